#!/usr/bin/python3
"""A model of 10^5 rows and 10^6 nonzeros passed as CSR arrays: MatrixModel.add_constraints
against the C++ loop of IMatrixModel::AddConstraintLinearSparse on the same data (a program of
its own, bench_python_csr_rows), and against building the same model in PuLP. Each round runs
the C++ program (--repeat models in one process) and the same number of models in this process,
the one going first changing from round to round, and PuLP in the first --pulp-rounds rounds;
the medians of all models built are printed. The first model of a process fills the process's
pool of generated names and is not counted: each C++ process builds one more model than it
reports, and this process builds one before the rounds. PuLP runs in a Python process of its
own: the millions of objects it leaves behind slow every later allocation of the process that
made them.

    /usr/bin/python3 bench/python/matrix_model_bench.py [--build build/optimised] [--rounds 5]
        [--repeat 3] [--pulp-rounds 2] [--rows 100000] [--per-row 10] [--columns 100000]

The build folder is an optimised build with the benchmarks (./tools/test-all makes build/optimised).
"""

import argparse
import gc
import os
import statistics
import sys
import tempfile
import time

import numpy as np

from bench_process import child_output

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


class Csr:
    """The rows as a compressed-sparse-row object (the module needs no scipy)."""

    def __init__(self, shape, data, indices, indptr):
        self.format, self._shape, self.data, self.indices, self.indptr = "csr", shape, data, indices, indptr


def make_rows(rows, per_row, columns, seed=11):
    """Rows of `per_row` distinct, sorted columns each, values 0.1 to 9.9, right-hand sides 1 to 100."""
    rng = np.random.default_rng(seed)
    offsets = rng.choice(columns, per_row, replace=False)
    indices = np.sort((rng.integers(0, columns, rows)[:, None] + offsets[None, :]) % columns, axis=1)
    data = rng.integers(1, 100, (rows, per_row)) / 10.0
    indptr = np.arange(0, rows * per_row + 1, per_row, dtype=np.int32)
    rhs = rng.integers(1, 101, rows).astype(np.float64)
    return Csr((rows, columns), data.ravel(), indices.ravel().astype(np.int32), indptr), rhs


def time_veloriumpy(matrix, rhs):
    import veloriumpy as v
    model = v.MatrixModel()
    model.set_bool_param("log_to_console", False)
    model.add_variables(count=matrix._shape[1])
    start = time.perf_counter()
    model.add_constraints(matrix, v.constraint_sense.less_equal, rhs)
    seconds = time.perf_counter() - start
    assert model.get_variables_count() == matrix._shape[1]
    del model
    return seconds


def time_cpp(program, folder, columns, rows, repeat):
    lines = child_output([program, folder, str(columns), str(repeat + 1)]).splitlines()
    assert len(lines) == repeat + 1 and all(int(line.split()[1]) == rows for line in lines), lines
    return [float(line.split()[0]) for line in lines[1:]]


def read_rows(folder, columns):
    indptr = np.fromfile(os.path.join(folder, "indptr.i32"), dtype=np.int32)
    matrix = Csr((indptr.size - 1, columns), np.fromfile(os.path.join(folder, "data.f64")),
                 np.fromfile(os.path.join(folder, "indices.i32"), dtype=np.int32), indptr)
    return matrix, np.fromfile(os.path.join(folder, "rhs.f64"))


def time_pulp_process(folder, columns):
    return [float(child_output([sys.executable, os.path.abspath(__file__), "--pulp-from", folder, "--columns",
                                str(columns)]))]


def time_pulp(matrix, rhs):
    """The whole model in PuLP: variables and rows (PuLP has no matrix input)."""
    import pulp
    rows, columns = matrix._shape
    start = time.perf_counter()
    problem = pulp.LpProblem("bench", pulp.LpMinimize)
    variables = [pulp.LpVariable(f"x{j}", lowBound=0) for j in range(columns)]
    data, indices, indptr = matrix.data.tolist(), matrix.indices.tolist(), matrix.indptr.tolist()
    for i in range(rows):
        first, last = indptr[i], indptr[i + 1]
        expression = pulp.LpAffineExpression([(variables[indices[k]], data[k]) for k in range(first, last)])
        problem += pulp.LpConstraint(expression, pulp.LpConstraintLE, f"r{i}", rhs[i])
    seconds = time.perf_counter() - start
    assert len(problem.constraints) == rows
    return seconds


def time_veloriumpy_whole(matrix, rhs):
    """The whole model in veloriumpy, as PuLP builds it: variables and rows."""
    import veloriumpy as v
    start = time.perf_counter()
    model = v.MatrixModel()
    model.set_bool_param("log_to_console", False)
    model.add_variables(count=matrix._shape[1])
    model.add_constraints(matrix, v.constraint_sense.less_equal, rhs)
    seconds = time.perf_counter() - start
    del model
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "optimised"))
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--pulp-rounds", type=int, default=2)
    parser.add_argument("--rows", type=int, default=100_000)
    parser.add_argument("--per-row", type=int, default=10)
    parser.add_argument("--columns", type=int, default=100_000)
    parser.add_argument("--pulp-from", help=argparse.SUPPRESS)
    options = parser.parse_args()
    if options.pulp_from:
        print(time_pulp(*read_rows(options.pulp_from, options.columns)))
        return
    sys.path.insert(0, os.path.join(options.build, "python"))
    program = os.path.join(options.build, "bench", "bench_python_csr_rows")

    matrix, rhs = make_rows(options.rows, options.per_row, options.columns)
    print(f"{options.rows} rows, {matrix.data.size} nonzeros, {options.columns} columns")
    figures = {"veloriumpy add_constraints": [], "C++ AddConstraintLinearSparse": [], "veloriumpy whole model": [],
               "PuLP whole model": []}
    with tempfile.TemporaryDirectory() as folder:
        for name, array in [("data.f64", matrix.data), ("indices.i32", matrix.indices),
                            ("indptr.i32", matrix.indptr), ("rhs.f64", rhs)]:
            array.tofile(os.path.join(folder, name))
        time_veloriumpy_whole(matrix, rhs)
        for round_number in range(options.rounds):
            repeat = options.repeat
            turns = [("C++ AddConstraintLinearSparse",
                      lambda: time_cpp(program, folder, options.columns, options.rows, repeat)),
                     ("veloriumpy add_constraints", lambda: [time_veloriumpy(matrix, rhs) for _ in range(repeat)]),
                     ("veloriumpy whole model", lambda: [time_veloriumpy_whole(matrix, rhs) for _ in range(repeat)])]
            if round_number < options.pulp_rounds:
                turns.append(("PuLP whole model", lambda: time_pulp_process(folder, options.columns)))
            if round_number % 2:
                turns.reverse()
            for name, run in turns:
                gc.collect()
                figures[name] += run()
    median = {name: statistics.median(values) for name, values in figures.items() if values}
    for name, values in figures.items():
        if values:
            print(f"{name:32s} median {median[name]:8.4f} s, lowest {min(values):8.4f} s ({len(values)} models)")
    lowest = {name: min(values) for name, values in figures.items() if values}
    for kind, figure in [("medians", median), ("lowest", lowest)]:
        ratio = figure["veloriumpy add_constraints"] / figure["C++ AddConstraintLinearSparse"]
        print(f"{kind}: add_constraints / C++ rows loop {ratio:.2f} (goal: at most 1.5)", end="")
        if "PuLP whole model" in figure:
            print(f"; PuLP / veloriumpy, whole model {figure['PuLP whole model'] / figure['veloriumpy whole model']:.0f} "
                  "times (goal: at least 50)", end="")
        print()


if __name__ == "__main__":
    main()
