"""Convex quadratic objectives with linear rows through cvxopt's interior-point QP.

cvxopt minimises 0.5 x'Px + q'x subject to Gx <= h and Ax = b. A maximisation is solved as
the minimisation of the negated objective and its results turned back. Row duals follow the
service's convention (the objective's rate of change per unit increase of the active bound,
in the model's sense): for Gx <= h the multiplier z gives -z per unit of h.
"""

import math
import time

import numpy

from ..models.model import INF, CONTINUOUS, ModelNotSupported
from .outcome import SolveOutcome

# Dense eigenvalue check of the quadratic part; beyond this many columns with quadratic
# terms the check (and cvxopt's dense P) would take too long for a local service.
MAX_QUADRATIC_COLUMNS = 3000


def _hessian(model, quadratic_columns):
    """P of 0.5 x'Px over the columns with quadratic terms, in the model's sense."""
    position = {j: k for k, j in enumerate(quadratic_columns)}
    hessian = numpy.zeros((len(quadratic_columns), len(quadratic_columns)))
    for (i, j), c in model.quadratic.items():
        a, b = position[i], position[j]
        if a == b:
            hessian[a, a] += 2.0 * c
        else:
            hessian[a, b] += c
            hessian[b, a] += c
    return hessian


def check_convex(model):
    """Raises ModelNotSupported unless the objective is convex (min) or concave (max)."""
    if any(c.kind != CONTINUOUS for c in model.columns):
        raise ModelNotSupported("integer or semi-continuous columns with a quadratic objective"
                                " are not supported")
    if any(row.indicator is not None for row in model.rows):
        raise ModelNotSupported("indicator rows with a quadratic objective are not supported")
    quadratic_columns = sorted({k for pair in model.quadratic for k in pair})
    if len(quadratic_columns) > MAX_QUADRATIC_COLUMNS:
        raise ModelNotSupported(f"quadratic objectives over more than {MAX_QUADRATIC_COLUMNS}"
                                " columns are not supported by the local QP solver")
    hessian = _hessian(model, quadratic_columns)
    if model.maximize:
        hessian = -hessian
    eigenvalues = numpy.linalg.eigvalsh(hessian) if len(quadratic_columns) else [0.0]
    scale = max(1.0, max(abs(e) for e in eigenvalues))
    if min(eigenvalues) < -1e-9 * scale:
        shape = "concave" if model.maximize else "convex"
        raise ModelNotSupported(f"the quadratic objective is not {shape}: its matrix has the"
                                f" eigenvalue {min(eigenvalues) * (-1 if model.maximize else 1):.6g}")
    return quadratic_columns


def solve_with_cvxopt(model, time_limit, log_path):
    import cvxopt
    import cvxopt.solvers

    quadratic_columns = check_convex(model)
    sign = -1.0 if model.maximize else 1.0
    n = len(model.columns)
    started = time.monotonic()
    outcome = SolveOutcome(solver=f"cvxopt {cvxopt.__version__} (interior-point QP)")

    p_entries, p_rows, p_cols = [], [], []
    for (i, j), c in model.quadratic.items():
        for a, b, v in ((i, j, c), (j, i, c)) if i != j else ((i, i, 2.0 * c),):
            p_entries.append(sign * v)
            p_rows.append(a)
            p_cols.append(b)
    P = cvxopt.spmatrix(p_entries, p_rows, p_cols, (n, n))
    q = cvxopt.matrix([sign * c.cost for c in model.columns], (n, 1), "d")

    # Inequalities: (row index or None, column index or None, direction) per G row.
    g_values, g_rows, g_cols, h, g_origin = [], [], [], [], []
    a_values, a_rows, a_cols, b, a_origin = [], [], [], [], []

    def add_inequality(terms, bound, direction, origin):
        k = len(h)
        for j, v in terms:
            g_values.append(direction * v)
            g_rows.append(k)
            g_cols.append(j)
        h.append(direction * bound)
        g_origin.append((origin, direction))

    def add_equality(terms, bound, origin):
        k = len(b)
        for j, v in terms:
            a_values.append(v)
            a_rows.append(k)
            a_cols.append(j)
        b.append(bound)
        a_origin.append(origin)

    for i, row in enumerate(model.rows):
        terms = list(row.terms.items())
        if row.lower == row.upper:
            add_equality(terms, row.lower, ("row", i))
            continue
        if row.upper != INF:
            add_inequality(terms, row.upper, 1.0, ("row", i))
        if row.lower != -INF:
            add_inequality(terms, row.lower, -1.0, ("row", i))
    for j, column in enumerate(model.columns):
        if column.lower == column.upper:
            add_equality([(j, 1.0)], column.lower, ("column", j))
            continue
        if column.upper != INF:
            add_inequality([(j, 1.0)], column.upper, 1.0, ("column", j))
        if column.lower != -INF:
            add_inequality([(j, 1.0)], column.lower, -1.0, ("column", j))

    G = cvxopt.spmatrix(g_values, g_rows, g_cols, (len(h), n)) if h else None
    H = cvxopt.matrix(h, (len(h), 1), "d") if h else None
    A = cvxopt.spmatrix(a_values, a_rows, a_cols, (len(b), n)) if b else None
    B = cvxopt.matrix(b, (len(b), 1), "d") if b else None
    cvxopt.solvers.options.update({"show_progress": True, "maxiters": 200})
    print(f"Quadratic objective over {len(quadratic_columns)} columns; {len(h)} inequalities,"
          f" {len(b)} equalities", flush=True)
    try:
        result = cvxopt.solvers.qp(P, q, G, H, A, B)
    except (ValueError, ArithmeticError) as error:
        raise RuntimeError(f"cvxopt could not solve the model: {error} (dependent equality"
                           " rows, or a column that neither rows nor bounds hold)") from None
    finally:
        outcome.solve_time = time.monotonic() - started
    outcome.iterations = int(result.get("iterations") or 0)
    status = result["status"]
    primal_residual = result.get("primal infeasibility") or 0.0
    dual_residual = result.get("dual infeasibility") or 0.0
    if status == "optimal":
        outcome.solution_status = "optimal"
    elif primal_residual <= 1e-6 and dual_residual <= 1e-6:
        outcome.solution_status = "imprecise"
    else:
        outcome.solution_status = "invalid_solution"
        print("cvxopt stopped without reaching a solution (the model may be infeasible or"
              " unbounded)", flush=True)
        return outcome
    x = numpy.array(result["x"]).ravel()
    objective = 0.5 * float(x @ numpy.array(cvxopt.matrix(P * cvxopt.matrix(x)))
                            .ravel()) + float(numpy.array(q).ravel() @ x)
    outcome.objective = sign * objective + model.objective_constant
    dual_objective = result.get("dual objective")
    outcome.best_bound = sign * dual_objective + model.objective_constant \
        if dual_objective is not None else math.nan
    if outcome.solution_status == "optimal" and abs(outcome.best_bound - outcome.objective) <= \
            1e-7 * max(1.0, abs(outcome.objective)):
        outcome.best_bound = outcome.objective
    z = numpy.array(result["z"]).ravel() if h else numpy.zeros(0)
    y = numpy.array(result["y"]).ravel() if b else numpy.zeros(0)
    row_duals = numpy.zeros(len(model.rows))
    for k, ((kind, index), direction) in enumerate(g_origin):
        if kind == "row":
            row_duals[index] += -direction * z[k] * sign
    for k, (kind, index) in enumerate(a_origin):
        if kind == "row":
            row_duals[index] += -y[k] * sign
    gradient = numpy.array([c.cost for c in model.columns])
    for (i, j), c in model.quadratic.items():
        if i == j:
            gradient[i] += 2.0 * c * x[i]
        else:
            gradient[i] += c * x[j]
            gradient[j] += c * x[i]
    reduced = gradient.copy()
    for i, row in enumerate(model.rows):
        for j, v in row.terms.items():
            reduced[j] -= v * row_duals[i]
    outcome.values = [(c.name, float(x[j])) for j, c in enumerate(model.columns)]
    outcome.duals = [(r.name, float(row_duals[i])) for i, r in enumerate(model.rows)]
    outcome.reduced_costs = [(c.name, float(reduced[j])) for j, c in enumerate(model.columns)]
    return outcome
