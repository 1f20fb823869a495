"""The calculations the service holds: their state, uploads, scripts, and the solving in
worker processes (at most N at once; the rest wait as `queued`)."""

import collections
import json
import math
import os
import queue
import secrets
import subprocess
import sys
import threading
import time

from .solution_text import details, solution_text
from .solvers.outcome import SolveOutcome
from .state_folder import private_folder

# Waiting for an upload or for a worker both read as "queued" to the client.
CLIENT_WORDS = {"awaiting_upload": "queued", "queued": "queued", "calculating": "calculating",
                "done": "done", "error": "error"}
# How long a solver may overrun its time limit before it is killed: GLPK and cvxopt check
# the clock only between iterations.
MAX_KILL_GRACE_SECONDS = 5.0


def kill_grace(time_limit):
    return min(MAX_KILL_GRACE_SECONDS, 1.0 + time_limit)
PACKAGE_PARENT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Calculation:
    def __init__(self, uid, folder, params, time_limit, gap, presolve, created):
        self.uid, self.folder, self.params = uid, folder, params
        self.time_limit, self.gap, self.presolve = time_limit, gap, presolve
        self.created = created
        self.state = "awaiting_upload"
        self.minor = self.reason = None
        self.uploads = []
        self.model_upload = None  # (file name, sha256)
        self.model_summary = None
        self.outcome = None
        self.process = None
        self.cancelled = False
        self.status_script = collections.deque()
        self.log_pieces = None
        self.log_shown = 0
        self.status_requests = 0
        self.cancel_requests = 0
        self.hold_seconds = 0.0
        self.changed = threading.Condition()

    @property
    def log_path(self):
        return os.path.join(self.folder, "log.txt")

    def ended(self):
        return self.state in ("done", "error")

    def record(self):
        outcome = self.outcome
        return {
            "calc_uid": self.uid, "created": self.created, "params": self.params,
            "state": self.state, "minor": self.minor, "reason": self.reason,
            "uploads": list(self.uploads), "model": self.model_summary,
            "solution_status": outcome.solution_status if outcome else None,
            "objective": None if outcome is None or math.isnan(outcome.objective)
            else outcome.objective,
            "status_requests": self.status_requests, "cancel_requests": self.cancel_requests,
        }


class Calculations:
    def __init__(self, state_folder, started, workers, max_solve_seconds, max_model_bytes):
        self.folder = os.path.join(state_folder, "calculations")
        private_folder(self.folder)
        self.started = started
        self.max_solve_seconds = max_solve_seconds
        self.max_model_bytes = max_model_bytes
        self.lock = threading.Lock()
        self.by_uid = {}
        self.default_status_script = []
        self.default_log_script = None
        self.hold_seconds = 0.0
        self.pending = queue.Queue()
        self.stopping = False
        self.running = 0
        self.threads = [threading.Thread(target=self._work, daemon=True, name=f"solver-{k}")
                        for k in range(workers)]
        for thread in self.threads:
            thread.start()

    # -- creation and look-up -------------------------------------------------------------

    def create(self, params):
        # A null parameter (a NaN as some JSON writers send it) counts as not given.
        time_limit = params.get("time_limit")
        time_limit = self.max_solve_seconds if time_limit is None else \
            min(float(time_limit), self.max_solve_seconds)
        if time_limit <= 0:
            time_limit = self.max_solve_seconds
        gap = float(params.get("gap") or 0.0)
        presolve = str(params.get("presolve", ""))
        uid = secrets.token_hex(16)
        folder = os.path.join(self.folder, uid)
        os.mkdir(folder, 0o700)
        calc = Calculation(uid, folder, params, time_limit, gap if gap >= 0 else 0.0, presolve,
                           round(time.monotonic() - self.started, 6))
        with open(calc.log_path, "wb"):
            pass
        with open(os.path.join(folder, "params.json"), "w", encoding="utf-8") as target:
            json.dump(params, target)
        with self.lock:
            calc.status_script.extend(self.default_status_script)
            if self.default_log_script is not None:
                calc.log_pieces = list(self.default_log_script)
            self.by_uid[uid] = calc
        return calc

    def get(self, uid):
        with self.lock:
            return self.by_uid.get(uid)

    def records(self):
        with self.lock:
            calcs = list(self.by_uid.values())
        return [calc.record() for calc in sorted(calcs, key=lambda c: c.created)]

    def busy(self):
        with self.lock:
            return self.running > 0

    # -- test scripts ---------------------------------------------------------------------

    def set_status_script(self, entries, uid=None):
        with self.lock:
            if uid is None:
                self.default_status_script = list(entries)
                return True
            calc = self.by_uid.get(uid)
        if calc is None:
            return False
        with calc.changed:
            calc.status_script = collections.deque(entries)
        return True

    def set_log_script(self, pieces, uid=None):
        """An empty list ends the script: the solver's own log answers again."""
        pieces = list(pieces) or None
        with self.lock:
            if uid is None:
                self.default_log_script = pieces
                return True
            calc = self.by_uid.get(uid)
        if calc is None:
            return False
        with calc.changed:
            calc.log_pieces, calc.log_shown = pieces, 0
        return True

    def set_hold(self, seconds):
        with self.lock:
            self.hold_seconds = seconds

    # -- uploads --------------------------------------------------------------------------

    def accept_model(self, calc, file_name, sha256, upload_path, gzip_flag, model_format,
                     size):
        """Queues the calculation for the uploaded model. Returns an HTTP status."""
        with calc.changed:
            if calc.model_upload is not None:
                os.unlink(upload_path)
                return 204 if calc.model_upload == (file_name, sha256) else 409
            if calc.ended():
                os.unlink(upload_path)
                return 409
            calc.model_upload = (file_name, sha256)
            calc.uploads.append({"filename": file_name, "kind": "model", "bytes": size,
                                 "sha256": sha256})
            upload_name = "upload-model" + (".gz" if gzip_flag else "")
            os.replace(upload_path, os.path.join(calc.folder, upload_name))
            with self.lock:
                hold = self.hold_seconds
            job = {"calc_uid": calc.uid, "format": model_format, "gzip": gzip_flag,
                   "upload_name": upload_name, "display_name": file_name[:-3] if gzip_flag
                   else file_name, "time_limit": calc.time_limit, "gap": calc.gap,
                   "presolve": calc.presolve, "max_model_bytes": self.max_model_bytes,
                   "hold_seconds": hold, "log_path": calc.log_path, "params": calc.params}
            with open(os.path.join(calc.folder, "job.json"), "w", encoding="utf-8") as target:
                json.dump(job, target)
            calc.state = "queued"
            calc.changed.notify_all()
        self.pending.put(calc)
        return 204

    def accept_start(self, calc, file_name, sha256, upload_path, size):
        with calc.changed:
            calc.uploads.append({"filename": file_name, "kind": "start", "bytes": size,
                                 "sha256": sha256})
            os.replace(upload_path, os.path.join(calc.folder, "start.sol"))
        return 204

    # -- solving --------------------------------------------------------------------------

    def _work(self):
        while True:
            calc = self.pending.get()
            if calc is None:
                return
            with calc.changed:
                if calc.ended() or self.stopping:
                    continue
                calc.state = "calculating"
                calc.changed.notify_all()
            with self.lock:
                self.running += 1
            try:
                self._solve(calc)
            finally:
                with self.lock:
                    self.running -= 1

    def _solve(self, calc):
        with calc.changed:
            try:
                with open(calc.log_path, "ab") as log:
                    environment = dict(os.environ, PYTHONPATH=PACKAGE_PARENT,
                                       PYTHONUNBUFFERED="1")
                    calc.process = subprocess.Popen(
                        [sys.executable, "-m", "calc_service.solve_worker", calc.folder],
                        stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                        cwd=calc.folder, env=environment)
            except OSError as error:
                self._finish_locked(calc, error=("CALCULATION_FAILED",
                                                 f"the solver could not start: {error}"))
                return
            process = calc.process
        deadline = time.monotonic() + calc.time_limit + kill_grace(calc.time_limit)
        try:
            process.wait(timeout=max(0.0, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            self._finish(calc, error=("TIME_PER_CALC_VIOLATED",
                                      f"the solver did not stop within the time limit of"
                                      f" {calc.time_limit:g} s and was stopped"))
            return
        outcome_path = os.path.join(calc.folder, "outcome.json")
        try:
            with open(outcome_path, encoding="utf-8") as source:
                result = json.load(source)
        except (OSError, ValueError):
            if calc.cancelled:
                self._finish(calc, error=("CANCELLED", "the calculation was cancelled"))
            else:
                self._finish(calc, error=("CALCULATION_FAILED", f"the solver ended with exit"
                                          f" status {process.returncode} and no result; the"
                                          " log shows what it printed"))
            return
        if "error" in result:
            self._finish(calc, error=(result["error"]["minor"], result["error"]["reason"]),
                         summary=result.get("model"))
        else:
            self._finish(calc, outcome=SolveOutcome.from_json(result["outcome"]),
                         summary=result.get("model"))

    def _finish(self, calc, **kwargs):
        with calc.changed:
            self._finish_locked(calc, **kwargs)

    def _finish_locked(self, calc, outcome=None, error=None, summary=None):
        if calc.ended():
            return
        calc.process = None
        calc.model_summary = summary or calc.model_summary
        if error is not None:
            calc.minor, calc.reason = error
            with open(calc.log_path, "ab") as log:
                if calc.minor in ("TIME_PER_CALC_VIOLATED", "CANCELLED",
                                  "CALCULATION_FAILED") and "Error: " + calc.reason not in \
                        self._log_tail(calc):
                    log.write(f"Error: {calc.reason}\n".encode("utf-8"))
            calc.state = "error"
        else:
            calc.outcome = outcome
            with open(os.path.join(calc.folder, "result.sol"), "w", encoding="utf-8") as target:
                target.write(solution_text(outcome))
            with open(os.path.join(calc.folder, "details.json"), "w",
                      encoding="utf-8") as target:
                json.dump(details(outcome, calc.model_summary), target)
            calc.state = "done"
        calc.changed.notify_all()

    @staticmethod
    def _log_tail(calc):
        try:
            with open(calc.log_path, "rb") as log:
                log.seek(max(0, log.seek(0, 2) - 4096))
                return log.read().decode("utf-8", "replace")
        except OSError:
            return ""

    def cancel(self, calc):
        with calc.changed:
            calc.cancel_requests += 1
            calc.status_script.clear()
            if calc.ended():
                return
            calc.cancelled = True
            if calc.process is not None:
                calc.process.kill()
            else:
                self._finish_locked(calc, error=("CANCELLED", "the calculation was cancelled"))

    @staticmethod
    def status_word(calc):
        return CLIENT_WORDS[calc.state]

    def wait_ended(self, calc, timeout):
        with calc.changed:
            return calc.changed.wait_for(calc.ended, timeout)

    # -- what the client reads ------------------------------------------------------------

    def status_reply(self, calc):
        with calc.changed:
            calc.status_requests += 1
            if calc.log_pieces is not None and calc.log_shown < len(calc.log_pieces):
                calc.log_shown += 1
            log_complete = calc.log_pieces is None or calc.log_shown >= len(calc.log_pieces)
            reply = {"calc_uid": calc.uid}
            if calc.status_script:
                entry = calc.status_script.popleft()
                entry = {"status": entry} if isinstance(entry, str) else dict(entry)
                word = entry.get("status")
                reply["status"] = word
                reply["log_full"] = entry.get("log_full", word in ("done", "error") and
                                              log_complete and (calc.log_pieces is not None or
                                                                calc.ended()))
                for key in ("minor", "reason"):
                    if key in entry:
                        reply[key] = entry[key]
                if word == "error" and "minor" not in reply:
                    reply["minor"] = "CALCULATION_FAILED"
                return reply
            reply["status"] = CLIENT_WORDS[calc.state]
            reply["log_full"] = calc.ended() and log_complete
            if calc.state == "error":
                reply["minor"], reply["reason"] = calc.minor, calc.reason
            return reply

    def log_bytes(self, calc):
        with calc.changed:
            if calc.log_pieces is not None:
                return "".join(calc.log_pieces[:calc.log_shown]).encode("utf-8")
        try:
            with open(calc.log_path, "rb") as log:
                return log.read()
        except OSError:
            return b""

    def result_files(self, calc):
        """(solution text, details JSON text) of a calculation that has ended well."""
        with open(os.path.join(calc.folder, "result.sol"), "rb") as source:
            text = source.read()
        with open(os.path.join(calc.folder, "details.json"), "rb") as source:
            figures = source.read()
        return text, figures

    # -- stopping -------------------------------------------------------------------------

    def stop(self):
        self.stopping = True
        with self.lock:
            calcs = list(self.by_uid.values())
        for calc in calcs:
            process = calc.process
            if process is not None and process.poll() is None:
                process.kill()
        for _ in self.threads:
            self.pending.put(None)
        for calc in calcs:
            process = calc.process
            if process is not None:
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    pass
