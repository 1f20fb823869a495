"""LP and MIP through GLPK (python3-swiglpk).

GLPK's own sign convention for row duals and reduced costs is the one the service reports:
the objective's rate of change, in the model's sense, per unit increase of the active bound.
GLPK prints its progress on stdout, which the worker sends to the calculation's log; the MIP's
best bound and node count are read back from those lines, since GLPK gives them only inside
callbacks that Python cannot install.
"""

import math
import re
import sys
import time

import swiglpk as glpk

from ..models.model import (INF, BINARY, INTEGRAL_KINDS, SEMICONTINUOUS, SEMIINTEGER,
                            ModelNotSupported)
from .outcome import SolveOutcome

_MIP_LINE = re.compile(r"^\+\s*(\d+): (?:mip =|>>>>>)\s*(not found yet|\S+)\s*(<=|>=)\s*"
                       r"(tree is empty|\S+)\s*(?:\S+%)?\s*\((\d+); (\d+)\)")
_INT_MAX_MS = 2**31 - 1


def _bound_type(lower, upper):
    if lower == -INF and upper == INF:
        return glpk.GLP_FR, 0.0, 0.0
    if lower == -INF:
        return glpk.GLP_UP, 0.0, upper
    if upper == INF:
        return glpk.GLP_LO, lower, 0.0
    if lower == upper:
        return glpk.GLP_FX, lower, upper
    return glpk.GLP_DB, lower, upper


def _load(problem, model):
    glpk.glp_set_obj_dir(problem, glpk.GLP_MAX if model.maximize else glpk.GLP_MIN)
    glpk.glp_set_obj_coef(problem, 0, model.objective_constant)
    if model.rows:
        glpk.glp_add_rows(problem, len(model.rows))
    if model.columns:
        glpk.glp_add_cols(problem, len(model.columns))
    for i, row in enumerate(model.rows, start=1):
        glpk.glp_set_row_bnds(problem, i, *_bound_type(row.lower, row.upper))
    for j, column in enumerate(model.columns, start=1):
        glpk.glp_set_col_bnds(problem, j, *_bound_type(column.lower, column.upper))
        glpk.glp_set_obj_coef(problem, j, column.cost)
        if column.kind in INTEGRAL_KINDS:
            glpk.glp_set_col_kind(problem, j, glpk.GLP_BV if column.kind == BINARY and
                                  column.lower == 0 and column.upper == 1 else glpk.GLP_IV)
    entries = [(i, j + 1, value) for i, row in enumerate(model.rows, start=1)
               for j, value in row.terms.items()]
    entries += _semicontinuous_links(problem, model)
    entries += _indicator_links(problem, model)
    count = len(entries)
    rows, columns, values = glpk.intArray(count + 1), glpk.intArray(count + 1), \
        glpk.doubleArray(count + 1)
    for k, (i, j, value) in enumerate(entries, start=1):
        rows[k], columns[k], values[k] = i, j, value
    if count:
        glpk.glp_load_matrix(problem, count, rows, columns, values)


def _activity_range(model, row):
    """The least and greatest value the row's terms can take within the column bounds."""
    least = greatest = 0.0
    for j, a in row.terms.items():
        column = model.columns[j]
        lower = min(0.0, column.lower) if column.kind in (SEMICONTINUOUS, SEMIINTEGER) \
            else column.lower
        low, high = (a * lower, a * column.upper) if a > 0 else (a * column.upper, a * lower)
        least += low
        greatest += high
    return least, greatest


def _indicator_links(problem, model):
    """An indicator row "z = v -> l <= a x <= u" becomes a x <= u + M (1 - s) and
    a x >= l - M' (1 - s), with s = z for v = 1 and s = 1 - z for v = 0, where M and M' are
    how far the column bounds let a x pass u and l. Row i keeps the upper side; a lower side
    beside an upper one gets a row of its own, added after the model's rows."""
    entries = []
    for i, row in enumerate(model.rows, start=1):
        if row.indicator is None:
            continue
        z, value = row.indicator
        column = model.columns[z]
        if column.kind not in INTEGRAL_KINDS or column.lower < 0 or column.upper > 1:
            raise ModelNotSupported(f"the indicator column '{column.name}' of row '{row.name}'"
                                    " must be binary")
        least, greatest = _activity_range(model, row)
        sides = []
        if row.upper != INF:
            sides.append((greatest - row.upper, 1.0, row.upper))
        if row.lower != -INF:
            sides.append((row.lower - least, -1.0, row.lower))
        if any(big == INF for big, _, _ in sides):
            raise ModelNotSupported(f"the indicator row '{row.name}' needs finite bounds on"
                                    " its columns")
        target = i
        glpk.glp_set_row_bnds(problem, i, glpk.GLP_FR, 0.0, 0.0)
        for big, direction, bound in sides:
            big = max(big, 0.0)
            if target != i:
                target = glpk.glp_add_rows(problem, 1)
                entries += [(target, j + 1, a) for j, a in row.terms.items()]
            # direction * (a x) <= direction * bound + big * (1 - s)
            coefficient = direction * big if value else -direction * big
            limit = bound + direction * big if value else bound
            glpk.glp_set_row_bnds(problem, target, *(_bound_type(-INF, limit) if direction > 0
                                                     else _bound_type(limit, INF)))
            entries.append((target, z + 1, coefficient))
            target = None
    return entries


def _semicontinuous_links(problem, model):
    """A semi-continuous column x (0 or l <= x <= u) gets a binary z with l z <= x <= u z;
    the matrix entries of those rows are returned. The added rows and columns come after the
    model's own, so results read the model's indices unchanged."""
    entries = []
    for j, column in enumerate(model.columns, start=1):
        if column.kind not in (SEMICONTINUOUS, SEMIINTEGER):
            continue
        kind = glpk.GLP_IV if column.kind == SEMIINTEGER else glpk.GLP_CV
        glpk.glp_set_col_kind(problem, j, kind)
        if column.lower <= 0:
            continue  # zero lies within the bounds already
        if column.upper == INF:
            raise ModelNotSupported(f"semi-continuous column '{column.name}' needs a finite"
                                    " upper bound")
        glpk.glp_set_col_bnds(problem, j, *_bound_type(0.0, column.upper))
        z = glpk.glp_add_cols(problem, 1)
        glpk.glp_set_col_kind(problem, z, glpk.GLP_BV)
        first = glpk.glp_add_rows(problem, 2)
        glpk.glp_set_row_bnds(problem, first, glpk.GLP_UP, 0.0, 0.0)      # x - u z <= 0
        glpk.glp_set_row_bnds(problem, first + 1, glpk.GLP_LO, 0.0, 0.0)  # x - l z >= 0
        entries += [(first, j, 1.0), (first, z, -column.upper),
                    (first + 1, j, 1.0), (first + 1, z, -column.lower)]
    return entries


def _lp_status(problem):
    primal = glpk.glp_get_prim_stat(problem)
    dual = glpk.glp_get_dual_stat(problem)
    status = glpk.glp_get_status(problem)
    if status == glpk.GLP_OPT:
        return "optimal"
    if status == glpk.GLP_UNBND or (dual == glpk.GLP_NOFEAS and primal == glpk.GLP_FEAS):
        return "unbounded"
    if primal == glpk.GLP_NOFEAS:
        return "infeasible"
    if dual == glpk.GLP_NOFEAS:
        return "infeasible_or_unbounded"
    if status == glpk.GLP_FEAS:
        return "feasible"
    return "invalid_solution"


def _last_mip_line(log_path, offset):
    if log_path is None:
        return None
    try:
        with open(log_path, "rb") as log:
            log.seek(offset)
            text = log.read().decode("utf-8", "replace")
    except OSError:
        return None
    last = None
    for line in text.splitlines():
        match = _MIP_LINE.match(line)
        if match:
            last = match
    return last


def _log_size(log_path):
    try:
        with open(log_path, "rb") as log:
            return log.seek(0, 2)
    except (OSError, TypeError):
        return 0


def _simplex(problem, time_ms, use_presolve):
    options = glpk.glp_smcp()
    glpk.glp_init_smcp(options)
    options.msg_lev = glpk.GLP_MSG_ON
    options.meth = glpk.GLP_DUALP
    options.presolve = glpk.GLP_ON if use_presolve else glpk.GLP_OFF
    options.tm_lim = max(1, time_ms)
    code = glpk.glp_simplex(problem, options)
    sys.stdout.flush()
    return code


def _solve_relaxation(problem, deadline_ms, presolve, started):
    """Solves the LP (relaxation); returns its solution status word.

    The presolver settles most models fastest and keeps the duals of an optimum, but only
    says "no primal" or "no dual feasible solution"; a run without it then tells an unbounded
    model from an infeasible one."""
    glpk.glp_scale_prob(problem, glpk.GLP_SF_AUTO)
    use_presolve = presolve != "off"
    code = _simplex(problem, deadline_ms, use_presolve)
    if code == glpk.GLP_ENOPFS:
        return "infeasible"
    if code == glpk.GLP_ENODFS:
        left = deadline_ms - int((time.monotonic() - started) * 1000)
        if left <= 0:
            return "infeasible_or_unbounded"
        _simplex(problem, left, False)
        status = _lp_status(problem)
        return status if status in ("unbounded", "infeasible") else "infeasible_or_unbounded"
    if code not in (0, glpk.GLP_ETMLIM, glpk.GLP_EITLIM):
        print(f"GLPK simplex stopped with code {code}", flush=True)
    return _lp_status(problem)


def solve_with_glpk(model, time_limit, gap, presolve, log_path):
    outcome = SolveOutcome(solver=f"GLPK {glpk.glp_version()}")
    started = time.monotonic()
    deadline_ms = min(_INT_MAX_MS, int(time_limit * 1000)) if math.isfinite(time_limit) \
        else _INT_MAX_MS
    problem = glpk.glp_create_prob()
    try:
        _load(problem, model)
        sys.stdout.flush()
        relaxation = _solve_relaxation(problem, deadline_ms, presolve, started)
        mip = model.is_mip()
        if not mip:
            outcome.solution_status = relaxation
            outcome.iterations = glpk.glp_get_it_cnt(problem)
            if relaxation in ("optimal", "feasible"):
                objective = glpk.glp_get_obj_val(problem)
                outcome.objective = objective
                outcome.best_bound = objective if relaxation == "optimal" else math.nan
                outcome.values = [(c.name, glpk.glp_get_col_prim(problem, j))
                                  for j, c in enumerate(model.columns, start=1)]
            if relaxation == "optimal":
                # Before optimality the simplex multipliers are no duals of the model.
                outcome.duals = [(r.name, glpk.glp_get_row_dual(problem, i))
                                 for i, r in enumerate(model.rows, start=1)]
                outcome.reduced_costs = [(c.name, glpk.glp_get_col_dual(problem, j))
                                         for j, c in enumerate(model.columns, start=1)]
            return outcome
        if relaxation != "optimal":
            # An unbounded relaxation leaves open whether any integer point exists.
            outcome.solution_status = {"unbounded": "infeasible_or_unbounded"}.get(
                relaxation, relaxation if relaxation in ("infeasible",
                                                         "infeasible_or_unbounded")
                else "invalid_solution")
            outcome.iterations = glpk.glp_get_it_cnt(problem)
            return outcome
        root_bound = glpk.glp_get_obj_val(problem)
        options = glpk.glp_iocp()
        glpk.glp_init_iocp(options)
        options.msg_lev = glpk.GLP_MSG_ON
        options.presolve = glpk.GLP_OFF
        options.mip_gap = max(0.0, gap)
        options.gmi_cuts = options.mir_cuts = options.cov_cuts = options.clq_cuts = \
            glpk.GLP_ON if presolve != "off" else glpk.GLP_OFF
        spent_ms = int((time.monotonic() - started) * 1000)
        options.tm_lim = max(1, deadline_ms - spent_ms)
        offset = _log_size(log_path)
        sys.stdout.flush()
        code = glpk.glp_intopt(problem, options)
        sys.stdout.flush()
        status = glpk.glp_mip_status(problem)
        outcome.iterations = glpk.glp_get_it_cnt(problem)
        if status == glpk.GLP_OPT or (status == glpk.GLP_FEAS and code == glpk.GLP_EMIPGAP):
            outcome.solution_status = "optimal"
        elif status == glpk.GLP_FEAS:
            outcome.solution_status = "feasible"
        elif status == glpk.GLP_NOFEAS:
            outcome.solution_status = "infeasible"
        else:
            outcome.solution_status = "invalid_solution"
        line = _last_mip_line(log_path, offset)
        if line is not None:
            outcome.processed_nodes = int(line.group(6))
        if outcome.solution_status in ("optimal", "feasible"):
            objective = glpk.glp_mip_obj_val(problem)
            outcome.objective = objective
            bound = root_bound
            if line is not None and line.group(4) == "tree is empty":
                bound = objective
            elif line is not None:
                try:
                    bound = float(line.group(4))
                except ValueError:
                    pass
            if status == glpk.GLP_OPT and options.mip_gap == 0.0:
                bound = objective
            outcome.best_bound = bound
            outcome.values = [(c.name, glpk.glp_mip_col_val(problem, j))
                              for j, c in enumerate(model.columns, start=1)]
        return outcome
    finally:
        glpk.glp_delete_prob(problem)
        outcome.solve_time = time.monotonic() - started
