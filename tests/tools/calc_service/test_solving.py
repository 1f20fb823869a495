"""What the service computes, and how models it cannot solve end."""

import gzip
import re

import pytest

from models import ACCEPTANCE_MPS, DUALS_LP, QP_LP, QP_MPS, solution_sections


def maximised_lp(text):
    """The same model as a maximisation of the negated objective."""
    objective = re.search(r"obj: (.*)\n", text).group(1)
    negated = objective.replace("+", "#").replace("-", "+").replace("#", "-")
    negated = re.sub(r"^(?=[0-9x])", "- ", negated)
    return text.replace("Minimize", "Maximize").replace(objective, negated)


@pytest.mark.parametrize("sense, factor", [("min", 1.0), ("max", -1.0)])
def test_lp_values_duals_and_reduced_costs_match_the_hand_worked_ones(client, sense, factor):
    text = DUALS_LP if sense == "min" else maximised_lp(DUALS_LP)
    status, result, details = client.solve(text, "duals.lp")
    assert status["status"] == "done"
    sections = solution_sections(result)
    assert sections["values"] == pytest.approx({"x": 1.5, "y": 0.5, "z": 0.0}, abs=1e-9)
    assert sections["duals"] == pytest.approx({"r1": 1.5 * factor, "r2": -0.5 * factor},
                                              abs=1e-9)
    assert sections["reduced_costs"] == pytest.approx(
        {"x": 0.0, "y": 0.0, "z": 1.5 * factor}, abs=1e-9)
    assert details["objective"] == pytest.approx(2.5 * factor)
    assert details["solution_status_v2"] == "optimal"
    assert details["relative_gap"] == 0.0


@pytest.mark.parametrize("text, name", [(QP_MPS, "qp.mps"), (QP_LP, "qp.lp")],
                         ids=["mps", "lp"])
@pytest.mark.parametrize("sense", ["min", "max"])
def test_convex_qp_matches_the_hand_worked_solution(client, text, name, sense):
    factor = 1.0
    if sense == "max":
        # max -(x - 1)^2 - (y - 2)^2: the same point, every figure with its sign turned.
        factor = -1.0
        if name.endswith(".lp"):
            text = text.replace("Minimize", "Maximize").replace(
                "-2 x - 4 y + [ 2 x^2 + 2 y^2 ]/ 2  +5", "2 x + 4 y - [ 2 x^2 + 2 y^2 ]/ 2  -5")
        else:
            text = text.replace("NAME qp\n", "NAME qp\nOBJSENSE\n    MAX\n") \
                .replace("-2\n", "2\n").replace("-4\n", "4\n").replace("-5\n", "5\n") \
                .replace("x         2\n", "x         -2\n").replace("y         2\n",
                                                                    "y         -2\n")
    status, result, details = client.solve(text, name)
    assert status["status"] == "done", status
    sections = solution_sections(result)
    assert sections["values"] == pytest.approx({"x": 0.5, "y": 1.5}, abs=1e-6)
    assert sections["duals"] == pytest.approx({"c1": -1.0 * factor}, abs=1e-6)
    assert sections["reduced_costs"] == pytest.approx({"x": 0.0, "y": 0.0}, abs=1e-6)
    assert details["objective"] == pytest.approx(0.5 * factor, abs=1e-6)
    assert details["solution_status_v2"] == "optimal"
    assert details["best_bound"] == pytest.approx(0.5 * factor, abs=1e-6)


@pytest.mark.parametrize("text, name, solution_status", [
    # x + y >= 3 with x, y <= 1
    ("Minimize\n obj: x + y\nSubject To\n c: x + y >= 3\nBounds\n x <= 1\n y <= 1\nEnd\n",
     "infeasible.lp", "infeasible"),
    ("Maximize\n obj: x + y\nSubject To\n c: x - y <= 1\nEnd\n", "unbounded.lp", "unbounded"),
    # an integer column between 0.2 and 0.8: the relaxation is feasible, the MIP is not
    ("Minimize\n obj: x\nSubject To\n c: x >= 0.2\n d: x <= 0.8\nGenerals\n x\nEnd\n",
     "noint.lp", "infeasible"),
    ("Minimize\n obj: x\nSubject To\n c: x >= 0\nBounds\n 2 <= x <= 1\nEnd\n", "bounds.lp",
     "infeasible"),
], ids=["infeasible", "unbounded", "integer-infeasible", "crossed-bounds"])
def test_models_without_a_solution_end_done_with_the_status_that_says_why(
        client, text, name, solution_status):
    status, result, details = client.solve(text, name)
    assert status["status"] == "done"
    assert details["solution_status_v2"] == solution_status
    assert details["objective"] is None and details["best_bound"] is None
    assert result.endswith("# Columns  0\n") and "# Objective Value" not in result


def assert_optimum(client, text, name, values, objective):
    status, result, details = client.solve(text, name)
    assert details is not None and details["solution_status_v2"] == "optimal", status
    assert solution_sections(result)["values"] == pytest.approx(values, abs=1e-9)
    assert details["objective"] == pytest.approx(objective)


SEMI_LP = "Minimize\n obj: x + 3 y\nSubject To\n c: x + y >= {rhs}\nBounds\n 2 <= x <= 5\n{kinds}End\n"
SEMI_MPS = """NAME semi
ROWS
 N  obj
 G  c
COLUMNS
    x  obj  1
    x  c    1
    y  obj  3
    y  c    1
RHS
    RHS_V  c  {rhs}
BOUNDS
 S{letter} BOUND  x  5
 LO BOUND  x  2
ENDATA
"""


@pytest.mark.parametrize("text, name, x, y", [
    # x is 0 or in [2, 5]: covering 0.5 with y (cost 1.5) beats switching x on (cost 2).
    (SEMI_LP.format(rhs=0.5, kinds="Semi-continuous\n x\n"), "s.lp", 0.0, 0.5),
    (SEMI_MPS.format(rhs=0.5, letter="C"), "s.mps", 0.0, 0.5),
    # x is 0 or a whole number in [2, 5]: covering 2.5 is cheapest with x = 3.
    (SEMI_LP.format(rhs=2.5, kinds="Generals\n x\nSemi-continuous\n x\n"), "si.lp", 3.0, 0.0),
    (SEMI_MPS.format(rhs=2.5, letter="I"), "si.mps", 3.0, 0.0),
], ids=["lp-semicontinuous", "mps-semicontinuous", "lp-semiinteger", "mps-semiinteger"])
def test_semicontinuous_columns_are_off_or_within_their_bounds(client, text, name, x, y):
    assert_optimum(client, text, name, {"x": x, "y": y}, x + 3 * y)


INDICATOR_LP = "{sense}\n obj: {objective}\nSubject To\n c: {row}\nBounds\n x <= 10\nBinaries\n b\nEnd\n"
INDICATOR_MPS = """NAME ind
ROWS
 N  obj
 G  c
COLUMNS
    x  obj  1
    x  c    1
    MARK0000  'MARKER'  'INTORG'
    b  obj  -5
    MARK0001  'MARKER'  'INTEND'
RHS
    RHS_V  c  4
BOUNDS
 UP BOUND  x  10
 BV BOUND  b
INDICATORS
 IF c  b  1
ENDATA
"""


@pytest.mark.parametrize("text, name, x, b, objective", [
    # Without the indicator each optimum would move: x = 0, b = 1 (-5); x = 0, b = 0 (0);
    # x = 10, b = 1 (17); x = 0, b = 1 (-20).
    (INDICATOR_LP.format(sense="Minimize", objective="x - 5 b", row="b = 1 -> x >= 4"),
     "i.lp", 4.0, 1.0, -1.0),
    (INDICATOR_LP.format(sense="Minimize", objective="x + 5 b", row="b = 0 -> x >= 4"),
     "i.lp", 4.0, 0.0, 4.0),
    (INDICATOR_LP.format(sense="Maximize", objective="x + 7 b", row="b = 1 -> x <= 4"),
     "i.lp", 4.0, 1.0, 11.0),
    (INDICATOR_LP.format(sense="Minimize", objective="x - 20 b", row="b = 1 -> x = 3"),
     "i.lp", 3.0, 1.0, -17.0),
    (INDICATOR_MPS, "i.mps", 4.0, 1.0, -1.0),
], ids=["on-lower", "off-lower", "on-upper", "on-equal", "mps"])
def test_indicator_rows_hold_only_with_their_column_value(client, text, name, x, b, objective):
    assert_optimum(client, text, name, {"x": x, "b": b}, objective)


def test_the_objective_constant_and_ranges_reach_the_solver(client):
    status, result, details = client.solve(ACCEPTANCE_MPS.replace("-5", "-7"), "c.mps")
    assert details["objective"] == 18.0  # 3 * 3 + 2 * 1 + 7


CORRUPT_GZIP = gzip.compress(ACCEPTANCE_MPS.encode(), mtime=0)


@pytest.mark.parametrize("file_name, data, compress, minor, reason", [
    ("m.mps.gz", b"this is not gzip", False, "MODEL_UPLOAD_CORRUPT", "not a valid gzip"),
    ("m.mps.gz", CORRUPT_GZIP[:len(CORRUPT_GZIP) // 2], False, "MODEL_UPLOAD_CORRUPT",
     "not a valid gzip"),
    ("m.mps", ACCEPTANCE_MPS.replace("x1        c2        3", "x1        c9        3").encode(),
     True, "MODEL_FILE_INVALID", "m.mps line 15: column 'x1' refers to unknown row 'c9'"),
    ("m.mps", ACCEPTANCE_MPS.replace("ENDATA\n", "").encode(), True, "MODEL_FILE_INVALID",
     "without ENDATA"),
    ("m.mps", b"NAME x\nROWS\n N obj\n\xff\xfe\nENDATA\n", True, "MODEL_FILE_INVALID",
     "not UTF-8"),
    ("m.lp", b"Minimize\n obj: x\nSubject To\n c: x <= \nEnd\n", True,
     "MODEL_FILE_INVALID", "m.lp line 4: row 'c' needs a number after '<='"),
    ("m.mps", ACCEPTANCE_MPS.replace("ENDATA", "QCMATRIX c1\n    x0 x0 1\nENDATA").encode(),
     True, "MODEL_NOT_SUPPORTED", "quadratic constraints"),
    ("m.mps", ACCEPTANCE_MPS.replace("ENDATA", "GENCONS\n NL g\n    x0\nENDATA").encode(),
     True, "MODEL_NOT_SUPPORTED", "general constraints"),
    ("m.lp", b"Minimize\n obj: x\nSubject To\n c: b = 1 -> x >= 1\nEnd\n", True,
     "MODEL_NOT_SUPPORTED", "the indicator column 'b' of row 'c' must be binary"),
    ("m.lp", b"Minimize\n obj: x\nSubject To\n c: b = 1 -> x - y >= 1\nBinaries\n b\nEnd\n",
     True, "MODEL_NOT_SUPPORTED", "the indicator row 'c' needs finite bounds"),
    ("m.lp", b"Minimize\n obj: [ - 2 x^2 ]/ 2\nSubject To\n c: x <= 1\nEnd\n", True,
     "MODEL_NOT_SUPPORTED", "not convex"),
    ("m.lp", b"Minimize\n obj: [ 2 x^2 ]/ 2\nSubject To\n c: x >= 1\nGenerals\n x\nEnd\n", True,
     "MODEL_NOT_SUPPORTED", "integer or semi-continuous columns with a quadratic objective"),
    ("m.lp", b"Minimize\n obj: x\nSubject To\n c: x >= 1\nBounds\n x >= 1\n"
     b"Semi-continuous\n x\nEnd\n", True, "MODEL_NOT_SUPPORTED", "needs a finite upper bound"),
], ids=["not-gzip", "cut-gzip", "unknown-row", "no-endata", "not-utf8", "lp-no-rhs",
        "quadratic-row", "gencons", "indicator-not-binary", "indicator-unbounded", "non-convex", "integer-qp", "unbounded-semi"])
def test_models_it_cannot_solve_end_in_error_with_a_reason(client, file_name, data, compress,
                                                           minor, reason):
    reply = client.create().json()
    uid = reply["calc_uid"]
    assert client.upload(reply["upload"], file_name, data, compress).status == 204
    status = client.wait(uid)
    assert status["status"] == "error" and status["minor"] == minor
    assert reason in status["reason"]
    assert status["log_full"] is True
    log = client.poll(uid, "log").body.decode()
    assert log.rstrip().endswith("Error: " + status["reason"])
    refused = client.poll(uid, "result")
    assert refused.status == 409 and refused.json()["minor"] == minor
