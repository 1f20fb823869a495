#!/usr/bin/python3
"""Building a model through operators from Python: veloriumpy against PuLP's own objects (no
solve), the two in turns within one run, each figure the best of the repeats.

    /usr/bin/python3 bench/python/expression_build.py [--build DIR] [--sizes N,N,...] [--rows M] [--repeat K]

veloriumpy is imported from DIR (default build/examples/python, which ./tools/run-example
builds optimised). What is timed, for each size n:
- variables: n variables with names;
- sum: veloriumpy.sum(c[i] * x[i] for i in range(n)) against pulp.lpSum of the same (Python's
  own sum adds by copies, quadratic in n, and is not timed);
- +=: e += c[i] * x[i] for every i, on one expression;
and, for M rows (default 100000), the two-term constraints x[i] + 2 * x[i + 1] <= 10: built
through operators ("rows"), then added to the model ("add rows": Model.add_constraint, when the
module's Model has it; PuLP: prob += row).
"""

import argparse
import gc
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def import_veloriumpy(build):
    sys.path.insert(0, build)
    import veloriumpy
    return veloriumpy


def timed(work):
    gc.collect()
    start = time.perf_counter()
    result = work()
    return time.perf_counter() - start, result


class Velorium:
    name = "veloriumpy"

    def __init__(self, module):
        self.v = module

    def drop_model(self):
        self.model = None

    def variables(self, n):
        self.model = self.v.Model()
        add = self.model.add_variable
        return [add(var_name=f"x{i}") for i in range(n)]

    def sum(self, c, x):
        return self.v.sum(c[i] * x[i] for i in range(len(x)))

    def accumulate(self, c, x):
        e = self.v.LinearExpression()
        for i in range(len(x)):
            e += c[i] * x[i]
        return e

    def rows(self, x, m):
        return [x[i] + 2 * x[i + 1] <= 10 for i in range(m)]

    def add_rows(self, built):
        add = getattr(self.model, "add_constraint", None)
        if add is None:
            return None
        for row in built:
            add(row, "")
        return len(built)

    def terms(self, e):
        return e.get_terms_count()


class Pulp:
    name = "PuLP"

    def __init__(self, module):
        self.pulp = module

    def drop_model(self):
        self.problem = None

    def variables(self, n):
        self.problem = self.pulp.LpProblem("bench", self.pulp.LpMinimize)
        return [self.pulp.LpVariable(f"x{i}", lowBound=0) for i in range(n)]

    def sum(self, c, x):
        return self.pulp.lpSum(c[i] * x[i] for i in range(len(x)))

    def accumulate(self, c, x):
        e = self.pulp.LpAffineExpression()
        for i in range(len(x)):
            e += c[i] * x[i]
        return e

    def rows(self, x, m):
        return [x[i] + 2 * x[i + 1] <= 10 for i in range(m)]

    def add_rows(self, built):
        for row in built:
            self.problem += row
        return len(built)

    def terms(self, e):
        return len(e)


def run(tool, n, rows):
    c = [1.0 + (i % 7) for i in range(n)]
    figures = {}
    tool.drop_model()  # the previous run's model goes before the timing, not inside it
    figures["variables"], x = timed(lambda: tool.variables(max(n, rows + 1)))
    x_n = x[:n]
    figures["sum"], total = timed(lambda: tool.sum(c, x_n))
    assert tool.terms(total) == n
    figures["+="], accumulated = timed(lambda: tool.accumulate(c, x_n))
    assert tool.terms(accumulated) == n
    figures["rows"], built = timed(lambda: tool.rows(x, rows))
    assert len(built) == rows
    seconds, added = timed(lambda: tool.add_rows(built))
    if added is not None:
        figures["add rows"] = seconds
    del total, accumulated, built, x, x_n
    return figures


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(HERE, "..", "..", "build", "examples", "python"))
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--rows", type=int, default=100000)
    parser.add_argument("--repeat", type=int, default=3)
    arguments = parser.parse_args()
    import pulp

    tools = [Velorium(import_veloriumpy(arguments.build)), Pulp(pulp)]
    sizes = [int(size) for size in arguments.sizes.split(",")]
    best = {}
    for _ in range(arguments.repeat):
        for n in sizes:
            for tool in tools:  # in turns, so that both see the same machine
                for task, seconds in run(tool, n, arguments.rows).items():
                    key = (tool.name, n, task)
                    best[key] = min(best.get(key, seconds), seconds)

    print(f"rows: {arguments.rows} constraints x[i] + 2*x[i+1] <= 10")
    print(f"{'n':>9} {'task':>10} {'veloriumpy s':>13} {'PuLP s':>9} {'PuLP/ours':>10}")
    for n in sizes:
        for task in ("variables", "sum", "+=", "rows", "add rows"):
            if ("veloriumpy", n, task) not in best:
                continue  # this Model cannot add a constraint object yet
            ours, theirs = best[("veloriumpy", n, task)], best[("PuLP", n, task)]
            print(f"{n:>9} {task:>10} {ours:>13.4f} {theirs:>9.4f} {theirs / ours:>10.1f}")
    for task in ("sum", "+="):
        per_term = [best[("veloriumpy", n, task)] / n * 1e9 for n in sizes]
        print(f"veloriumpy {task}: ns per term at n = {', '.join(map(str, sizes))}: "
              + ", ".join(f"{value:.0f}" for value in per_term))


if __name__ == "__main__":
    main()
