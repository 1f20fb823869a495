"""The result text (the library's solution-file format) and the details JSON."""

import math


def _number(value):
    return "%.17g" % value


def solution_text(outcome):
    """The solution text of a finished calculation's outcome."""
    lines = ["# Velorium Solution File Version 1.1", ""]
    has_objective = not math.isnan(outcome.objective)
    has_bound = not math.isnan(outcome.best_bound)
    if has_objective:
        lines.append("# Objective Value  " + _number(outcome.objective))
    if has_bound:
        lines.append("# Dual Bound       " + _number(outcome.best_bound))
    if has_objective and has_bound:
        if outcome.objective == 0.0:
            gap = 0.0 if outcome.best_bound == 0.0 else 100.0
        else:
            gap = abs(outcome.objective - outcome.best_bound) / abs(outcome.objective) * 100.0
        lines.append("# Gap  %f %%" % gap)
    if has_objective or has_bound:
        lines.append("")
    for heading, entries in (("# Dual Solution", outcome.duals),
                             ("# Reduced Costs", outcome.reduced_costs)):
        if entries is not None:
            lines.extend(["", heading])
            lines.extend(f"{name} {_number(value)}" for name, value in entries)
    values = outcome.values or []
    lines.append(f"# Columns  {len(values)}")
    lines.extend(f"{name} {_number(value)}" for name, value in values)
    return "\n".join(lines) + "\n"


def _json_number(value):
    if value is None or (isinstance(value, float) and math.isnan(value)):
        return None
    if isinstance(value, float) and math.isinf(value):
        return "Infinity" if value > 0 else "-Infinity"
    return value


def details(outcome, model_summary):
    return {
        "relative_gap": _json_number(outcome.relative_gap()),
        "objective": _json_number(outcome.objective),
        "best_bound": _json_number(outcome.best_bound),
        "processed_nodes": outcome.processed_nodes,
        "iterations": outcome.iterations,
        "solve_time": _json_number(outcome.solve_time),
        "solution_status_v2": outcome.solution_status,
        "solver": outcome.solver,
        "model": model_summary,
    }


def read_start_values(text):
    """Values by name from a solution text (the start-value upload); first value wins."""
    values, in_values = {}, True
    for line in text.splitlines():
        if not line.strip():
            continue
        if line.startswith("#"):
            if line.startswith("# Dual Solution") or line.startswith("# Reduced Costs"):
                in_values = False
            elif line.startswith("# Columns "):
                in_values = True
            continue
        if not in_values or " " not in line:
            continue
        name, _, value = line.rpartition(" ")
        try:
            values.setdefault(name.strip(), float(value))
        except ValueError:
            continue
    return values
