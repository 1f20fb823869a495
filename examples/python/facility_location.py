"""Capacitated facility location: which depots to open, and which depot serves which shop.

    /usr/bin/python3 examples/python/facility_location.py [FOLDER]

Ten candidate depots, each with a yearly fixed cost and a capacity, serve thirty shops with
known demands; delivering costs the Manhattan distance per unit. The model (310 variables,
340 constraints) is built with operators and `veloriumpy.sum`, written as MPS into FOLDER (the
system's temporary folder by default) and solved by the calculation service (`solve_remote`),
which the environment names: X_API_KEY, and NIMBROVA_TEST_SERVER_ADDRESS and
VELORIUM_TEST_ROOTS for the local service (./tools/run-example sets them). Then the integrality
is relaxed and the LP is solved again, to show what a unit more demand at a shop would cost
(the dual values, which a MIP's result does not have).
"""
import os
import sys
import tempfile

import veloriumpy as v

# Depots: name, (x, y) on a grid of kilometres, fixed cost, capacity.
DEPOTS = [
    ("Aston", (2, 3), 410, 110), ("Bexley", (9, 2), 380, 95), ("Carden", (15, 4), 450, 130),
    ("Dunmore", (4, 10), 300, 80), ("Elford", (11, 9), 520, 150), ("Farley", (18, 11), 360, 90),
    ("Garston", (3, 17), 340, 85), ("Hawick", (10, 16), 470, 120), ("Irvine", (17, 18), 390, 100),
    ("Jarrow", (8, 6), 430, 105),
]
# Shops: (x, y), demand.
SHOPS = [
    ((1, 1), 12), ((5, 2), 8), ((8, 1), 15), ((12, 3), 9), ((16, 1), 11), ((19, 5), 14),
    ((3, 6), 10), ((7, 8), 7), ((10, 5), 13), ((14, 7), 6), ((17, 8), 12), ((1, 9), 9),
    ((5, 12), 16), ((9, 11), 8), ((13, 12), 10), ((16, 14), 7), ((19, 13), 15), ((2, 14), 11),
    ((6, 15), 9), ((11, 14), 12), ((14, 17), 8), ((18, 16), 13), ((1, 19), 10), ((5, 18), 6),
    ((9, 19), 14), ((12, 18), 9), ((15, 19), 11), ((19, 19), 7), ((7, 4), 10), ((13, 9), 12),
]


def distance(a, b):
    return abs(a[0] - b[0]) + abs(a[1] - b[1])


def build():
    """The model and its variables: open[d] (binary) and share[s][d], the part of shop s's
    demand that depot d delivers."""
    model = v.Model()
    model.set_name("facility_location")
    model.set_bool_param("log_to_console", False)  # the service's log is printed after the solve
    open_ = [model.add_variable(0, 1, 0, v.variable_type.binary, f"open_{name}") for name, *_ in DEPOTS]
    share = [[model.add_variable(0, 1, 0, v.variable_type.continuous, f"share_s{s}_{name}")
              for name, *_ in DEPOTS] for s in range(len(SHOPS))]

    for s, (where, demand) in enumerate(SHOPS):
        model.add_constraint(v.sum(share[s]) == 1, f"serve_s{s}")
    for d, (name, where, fixed, capacity) in enumerate(DEPOTS):
        delivered = v.sum(demand * share[s][d] for s, (_, demand) in enumerate(SHOPS))
        model.add_constraint(delivered <= capacity * open_[d], f"capacity_{name}")
        # Redundant for the integer model, but it makes the relaxation much tighter.
        for s in range(len(SHOPS)):
            model.add_constraint(share[s][d] <= open_[d], f"only_open_s{s}_{name}")

    fixed_costs = v.sum(fixed * open_[d] for d, (_, _, fixed, _) in enumerate(DEPOTS))
    transport = v.sum(demand * distance(where, DEPOTS[d][1]) * share[s][d]
                      for s, (where, demand) in enumerate(SHOPS) for d in range(len(DEPOTS)))
    model.set_objective(fixed_costs + transport, v.objective_sense.minimize)
    return model, open_, share


def solved(result, what):
    """True when the service found an optimum; otherwise says why not."""
    if result.get_solve_result() == v.solve_result.success and \
            result.get_solution_status() == v.solution_status.optimal:
        return True
    print(f"{what}: no optimum.\n{result!r}")
    if result.get_solve_result() == v.solve_result.remote_api_key_not_set:
        print("Set X_API_KEY (and the service's address) first, or run ./tools/run-example, "
              "which starts a local calculation service.")
    return False


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else tempfile.gettempdir()
    model, open_, share = build()
    print(f"Model: {model.get_variables_count()} variables ({len(open_)} binary), "
          f"{model.get_constraints_count()} constraints")
    mps_file = os.path.join(folder, "facility_location.mps")
    model.write_mps(mps_file)
    print(f"Written as {mps_file}")

    result = model.solve_remote("")
    if not solved(result, "The MIP"):
        return 1
    print(f"Outcome: {result.get_solve_result().name}, {result.get_solution_status().name}; "
          f"gap {result.get_relative_gap():g}, {result.get_nodes_count()} nodes")
    print(f"Optimal objective: {result.get_objective_value():.10g}")
    for d, (name, _, fixed, capacity) in enumerate(DEPOTS):
        if result.get_variable_value(open_[d]) < 0.5:
            continue
        served = [s for s in range(len(SHOPS)) if result.get_variable_value(share[s][d]) > 1e-6]
        load = result.get_expression_value(v.sum(SHOPS[s][1] * share[s][d] for s in served))
        print(f"  open {name:8s} load {load:5.1f} of {capacity:3d}, serves " +
              " ".join(f"s{s}" if result.get_variable_value(share[s][d]) > 1 - 1e-6 else
                       f"s{s}({result.get_variable_value(share[s][d]):.2f})" for s in served))
    mip_log = model.get_remote_solve_log(model.get_calc_uid())

    for variable in open_:
        variable.set_type(v.variable_type.continuous)
    relaxed = model.solve_remote("")
    if not solved(relaxed, "The LP relaxation"):
        return 1
    print(f"LP relaxation: objective {relaxed.get_objective_value():.10g}; "
          "a unit more demand would cost (dual values):")
    for s in range(5):
        print(f"  serve_s{s}: {relaxed.get_dual_value(f'serve_s{s}') / SHOPS[s][1]:.4g} per unit "
              f"(row dual {relaxed.get_dual_value(f'serve_s{s}'):.4g})")

    print("The service's log of the MIP:")
    for line in mip_log.splitlines():
        print("  | " + line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
