"""One calculation's solve, run as its own process so that a solver crash, a hang or a kill
at the time limit never touches the service.

    python3 -m calc_service.solve_worker CALCULATION_FOLDER

It reads job.json from the folder, writes its log on stdout (the service sends stdout to the
calculation's log file) and leaves outcome.json: {"outcome": {...}} or {"error": {"minor",
"reason"}}.
"""

import ctypes
import json
import math
import os
import sys
import time

from .gunzip import GunzipError, gunzip_file
from .models.lp_reader import read_lp_text
from .models.model import ModelFileError, ModelNotSupported
from .models.mps_reader import read_mps_text
from .solution_text import read_start_values


class CalculationError(Exception):
    def __init__(self, minor, reason):
        super().__init__(reason)
        self.minor, self.reason = minor, reason


def _line_buffered_c_stdout():
    # GLPK prints through C stdio, which a file makes block-buffered: the log would only
    # grow when the solve ends.
    try:
        libc = ctypes.CDLL(None)
        stdout = ctypes.c_void_p.in_dll(libc, "stdout")
        libc.setvbuf(stdout, None, 1, 0)
    except (OSError, ValueError, AttributeError):
        pass


def log(text):
    print(text, flush=True)


def decompress(source, target, limit):
    try:
        return gunzip_file(source, target, limit)
    except GunzipError as error:
        if error.too_large:
            raise CalculationError("MODEL_TOO_LARGE", f"the model is {error}") from None
        raise CalculationError("MODEL_UPLOAD_CORRUPT", f"the uploaded model is {error}") \
            from None


def read_model(path, model_format, display_name):
    try:
        with open(path, "rb") as source:
            data = source.read()
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        raise CalculationError("MODEL_FILE_INVALID", f"{display_name}: the file is not text"
                               f" (byte {error.start} is not UTF-8)") from None
    if "\0" in text:
        raise CalculationError("MODEL_FILE_INVALID", f"{display_name}: the file holds a NUL"
                               " byte")
    try:
        if model_format == "lp":
            return read_lp_text(text, display_name)
        return read_mps_text(text, display_name)
    except ModelFileError as error:
        raise CalculationError("MODEL_FILE_INVALID", str(error)) from None
    except ModelNotSupported as error:
        raise CalculationError("MODEL_NOT_SUPPORTED", str(error)) from None


def check_bounds(model):
    """The name of a member whose lower bound lies above its upper bound, or None."""
    for member in model.columns + model.rows:
        if member.lower > member.upper or member.lower == math.inf or \
                member.upper == -math.inf:
            return member.name
    return None


def run(job, folder):
    log(f"Velorium local calculation service: calculation {job['calc_uid']}")
    params = job.get("params", {})
    if params:
        log("Parameters: " + ", ".join(f"{k} = {v}" for k, v in sorted(params.items())))
    hold = job.get("hold_seconds", 0)
    if hold > 0:
        log(f"Held for {hold:g} s by the test control")
        time.sleep(hold)
    model_path = os.path.join(folder, "model." + job["format"])
    upload = os.path.join(folder, job["upload_name"])
    display_name = job["display_name"]
    if job["gzip"]:
        size = decompress(upload, model_path, job["max_model_bytes"])
    else:
        size = os.path.getsize(upload)
        if size > job["max_model_bytes"]:
            raise CalculationError("MODEL_TOO_LARGE", f"the model is larger than"
                                   f" {job['max_model_bytes']} bytes")
        os.replace(upload, model_path)
    log(f"Reading {display_name} ({job['format'].upper()}, {size} bytes)")
    model = read_model(model_path, job["format"], display_name)
    summary = model.summary()
    log(f"Rows: {summary['rows']}, columns: {summary['columns']} ({summary['integer_columns']}"
        f" integer), nonzeros: {summary['nonzeros']}, quadratic terms:"
        f" {summary['quadratic_terms']}; {'maximise' if model.maximize else 'minimise'}")
    asked = params.get("problem_type")
    if asked in ("max", "min") and (asked == "max") != model.maximize:
        log(f"Note: problem_type is '{asked}', but the model file asks to"
            f" {'maximise' if model.maximize else 'minimise'}; the file's sense is used")
    start_path = os.path.join(folder, "start.sol")
    if os.path.exists(start_path):
        with open(start_path, "rb") as start:
            values = read_start_values(start.read().decode("utf-8", "replace"))
        known = sum(1 for name in values if name in model.column_index)
        log(f"Start values: {len(values)} read, {known} of them name columns of the model"
            " (GLPK does not use start values)")
    time_limit = job["time_limit"]
    bad = check_bounds(model)
    from .solvers.outcome import SolveOutcome
    if bad is not None:
        log(f"'{bad}' has a lower bound above its upper bound: the model is infeasible")
        return {"outcome": SolveOutcome(solution_status="infeasible", solver="bounds check")
                .to_json(), "model": summary}
    if any(v != 0.0 for v in model.quadratic.values()):
        from .solvers.qp_solver import solve_with_cvxopt
        log(f"Solving a convex QP with cvxopt (time limit {time_limit:g} s)")
        try:
            outcome = solve_with_cvxopt(model, time_limit, job["log_path"])
        except ModelNotSupported as error:
            raise CalculationError("MODEL_NOT_SUPPORTED", str(error)) from None
        except RuntimeError as error:
            raise CalculationError("CALCULATION_FAILED", str(error)) from None
    else:
        from .solvers.glpk_solver import solve_with_glpk
        kind = "MIP" if model.is_mip() else "LP"
        log(f"Solving an {kind} with GLPK (time limit {time_limit:g} s, relative gap"
            f" {job['gap']:g})")
        try:
            outcome = solve_with_glpk(model, time_limit, job["gap"], job["presolve"],
                                      job["log_path"])
        except ModelNotSupported as error:
            raise CalculationError("MODEL_NOT_SUPPORTED", str(error)) from None
    log(f"Solution status: {outcome.solution_status}")
    if not math.isnan(outcome.objective):
        log(f"Objective: {outcome.objective:.17g}")
    log(f"Solve time: {outcome.solve_time:.3f} s, iterations: {outcome.iterations},"
        f" nodes: {outcome.processed_nodes}")
    return {"outcome": outcome.to_json(), "model": summary}


def main(argv):
    folder = argv[1]
    _line_buffered_c_stdout()
    with open(os.path.join(folder, "job.json"), encoding="utf-8") as source:
        job = json.load(source)
    try:
        result = run(job, folder)
    except CalculationError as error:
        log(f"Error: {error.reason}")
        result = {"error": {"minor": error.minor, "reason": error.reason}}
    except MemoryError:
        result = {"error": {"minor": "CALCULATION_FAILED",
                            "reason": "the solver ran out of memory"}}
        log("Error: the solver ran out of memory")
    temporary = os.path.join(folder, "outcome.json.tmp")
    with open(temporary, "w", encoding="utf-8") as target:
        json.dump(result, target, allow_nan=True)
    os.replace(temporary, os.path.join(folder, "outcome.json"))
    sys.stdout.flush()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
