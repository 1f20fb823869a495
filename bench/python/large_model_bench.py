#!/usr/bin/python3
"""A large model built one member at a time through operators, every handle kept: N named
variables x0, x1, ... and N named rows x[i] + 2.0 * x[(i + 1) % N] <= 10, with veloriumpy
(Model.add_variable, Model.add_constraint of the built row, the rows' handles kept in a list)
and with PuLP (LpVariable, prob += row, name). Each build runs in a Python process of its own,
veloriumpy and PuLP in turns; the time is the build's wall time, the memory the process's peak
resident size (the interpreter and the imported module included) and its growth during the
build. Prints the best time and the lowest peak of each, and the ratios; the time of the
variables alone (the first part of the build: Model.add_variable against LpVariable) as well.

    /usr/bin/python3 bench/python/large_model_bench.py [--build build/optimised] [--n 1000000]
        [--rounds 2]

The build folder is an optimised build (./tools/test-all makes build/optimised).
"""

import argparse
import json
import os
import resource
import sys
import time

from bench_process import child_output

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def resident_bytes():
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) * 1024
    return 0


def build_veloriumpy(n):
    import veloriumpy as v
    before = resident_bytes()
    start = time.perf_counter()
    model = v.Model()
    model.set_bool_param("log_to_console", False)
    add_variable, add_constraint = model.add_variable, model.add_constraint
    x = [add_variable(var_name=f"x{i}") for i in range(n)]
    variables_seconds = time.perf_counter() - start
    rows = [add_constraint(x[i] + 2.0 * x[(i + 1) % n] <= 10, f"c{i}") for i in range(n)]
    seconds = time.perf_counter() - start
    assert model.get_variables_count() == n and model.get_constraints_count() == n and len(rows) == n
    return seconds, variables_seconds, before


def build_pulp(n):
    import pulp
    before = resident_bytes()
    start = time.perf_counter()
    problem = pulp.LpProblem("bench", pulp.LpMinimize)
    x = [pulp.LpVariable(f"x{i}", lowBound=0) for i in range(n)]
    variables_seconds = time.perf_counter() - start
    for i in range(n):
        problem += x[i] + 2.0 * x[(i + 1) % n] <= 10, f"c{i}"
    seconds = time.perf_counter() - start
    assert len(problem.constraints) == n and len(x) == n
    return seconds, variables_seconds, before


def run_one(tool, n, build):
    """This process builds the model once and prints its figures as JSON."""
    if tool == "veloriumpy":
        sys.path.insert(0, os.path.join(build, "python"))
        seconds, variables_seconds, before = build_veloriumpy(n)
    else:
        seconds, variables_seconds, before = build_pulp(n)
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
    print(json.dumps({"seconds": seconds, "variables_seconds": variables_seconds, "peak": peak, "growth": peak - before}))


def measure(tool, n, build):
    return json.loads(child_output([sys.executable, os.path.abspath(__file__), "--one", tool, "--n", str(n),
                                    "--build", build]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "optimised"))
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--one", choices=["veloriumpy", "PuLP"], help=argparse.SUPPRESS)
    options = parser.parse_args()
    if options.one:
        run_one(options.one, options.n, os.path.abspath(options.build))
        return
    build = os.path.abspath(options.build)
    with open("/proc/loadavg") as load:
        print(f"{options.n} variables and {options.n} rows; load average at the start: "
              f"{' '.join(load.read().split()[:3])}")
    figures = {"veloriumpy": [], "PuLP": []}
    for round_number in range(options.rounds):
        tools = ["veloriumpy", "PuLP"] if round_number % 2 == 0 else ["PuLP", "veloriumpy"]
        for tool in tools:
            figure = measure(tool, options.n, build)
            figures[tool].append(figure)
            print(f"  round {round_number + 1} {tool:10s} {figure['seconds']:7.2f} s (variables {figure['variables_seconds']:5.2f} s), peak "
                  f"{figure['peak'] / 2 ** 20:6.0f} MB (growth {figure['growth'] / 2 ** 20:6.0f} MB)", flush=True)
    best = {tool: {key: min(f[key] for f in values) for key in ("seconds", "variables_seconds", "peak", "growth")}
            for tool, values in figures.items()}
    ours, theirs = best["veloriumpy"], best["PuLP"]
    for tool, figure in best.items():
        print(f"{tool:10s} best {figure['seconds']:7.2f} s ({figure['seconds'] / options.n * 1e6:.2f} us a variable "
              f"and row), lowest peak {figure['peak'] / 2 ** 20:.0f} MB, growth {figure['growth'] / 2 ** 20:.0f} MB")
    print(f"PuLP / veloriumpy: time {theirs['seconds'] / ours['seconds']:.1f} times (goal: at least 5), "
          f"peak memory {theirs['peak'] / ours['peak']:.2f} times, growth {theirs['growth'] / ours['growth']:.2f} times "
          "(goal: at least 2)")
    print(f"the variables alone: veloriumpy {ours['variables_seconds']:.3f} s, PuLP {theirs['variables_seconds']:.3f} s, "
          f"{theirs['variables_seconds'] / ours['variables_seconds']:.1f} times (goal: at least 4)")
    with open("/proc/loadavg") as load:
        print(f"load average at the end: {' '.join(load.read().split()[:3])}")


if __name__ == "__main__":
    main()
