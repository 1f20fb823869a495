"""A diet LP in matrix form: the cheapest mix of foods that meets every nutrient's minimum.

    /usr/bin/python3 examples/python/matrix_model.py [FOLDER]

`MatrixModel` takes numpy arrays whole: bounds and costs as vectors, the nutrient table as one
two-dimensional array. Written as MPS into FOLDER (the system's temporary folder by default) and
solved by the calculation service (see facility_location.py for the
environment); the result's values and dual values come back as numpy vectors.
"""
import os
import sys
import tempfile

import numpy as np

import veloriumpy as v

FOODS = ["oats", "milk", "lentils", "rice", "apples", "cheese"]
COST = np.array([0.30, 0.25, 0.45, 0.20, 0.40, 0.90])  # per portion
MOST = np.array([4.0, 3.0, 3.0, 4.0, 3.0, 2.0])  # portions a day
NUTRIENTS = ["energy", "protein", "fibre", "calcium"]
# Rows: nutrients; columns: foods (per portion).
CONTENT = np.array([
    [380, 150, 230, 200, 95, 400],
    [13, 8, 18, 4, 0.5, 25],
    [10, 0, 16, 1, 4, 0],
    [50, 300, 40, 10, 10, 700],
])
NEED = np.array([2000, 55, 25, 800])


def main():
    model = v.MatrixModel()
    model.set_bool_param("log_to_console", False)
    model.add_variables(lower_bounds=0.0, upper_bounds=MOST, count=len(FOODS))
    model.set_objective(q=COST, sense=v.objective_sense.minimize)
    model.add_constraints(CONTENT, v.constraint_sense.greater_equal, NEED)
    folder = sys.argv[1] if len(sys.argv) > 1 else tempfile.gettempdir()
    model.write_mps(os.path.join(folder, "matrix_model.mps"))
    result = model.solve_remote()
    if result.get_solve_result() != v.solve_result.success:
        print(f"No solution:\n{result!r}")
        return 1
    print(f"Cheapest day: {result.get_objective_value():.10g}")
    for food, portions in zip(FOODS, result.get_solution_vector()):
        if portions > 1e-9:
            print(f"  {food:8s} {portions:6.3f} portions")
    print("What one unit more of each need would cost (dual values):")
    for nutrient, dual in zip(NUTRIENTS, result.get_dual_values_vector()):
        print(f"  {nutrient:8s} {dual:.5f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
