"""The service's own MPS and LP readers: what they make of a file, and the error each
malformed input gives."""

import math

import pytest

from calc_service.models.lp_reader import read_lp_text
from calc_service.models.model import ModelFileError, ModelNotSupported
from calc_service.models.mps_reader import read_mps_text
from models import ACCEPTANCE_MPS

INF = math.inf


def mps(rows, columns, rest=""):
    return f"NAME t\nROWS\n N  obj\n{rows}COLUMNS\n{columns}{rest}ENDATA\n"


def bounds_of(model):
    return {c.name: (c.lower, c.upper, c.kind) for c in model.columns}


def rows_of(model):
    return {r.name: (r.lower, r.upper) for r in model.rows}


def test_acceptance_model_as_the_library_writes_it():
    model = read_mps_text(ACCEPTANCE_MPS, "a.mps")
    assert model.maximize and model.objective_constant == 5.0
    assert rows_of(model) == {"c1": (-INF, 4.0), "c2": (1.0, 6.0)}
    assert bounds_of(model) == {"x0": (0.0, 3.5, "continuous"), "x1": (0.0, INF, "integer")}
    assert [c.cost for c in model.columns] == [3.0, 2.0]


@pytest.mark.parametrize("kind, rhs, range_value, expected", [
    ("G", 1, 2, (1.0, 3.0)), ("L", 1, 2, (-1.0, 1.0)), ("E", 1, 2, (1.0, 3.0)),
    ("E", 1, -2, (-1.0, 1.0)), ("G", 1, -2, (1.0, 3.0)), ("N", 0, 2, (-INF, INF)),
])
def test_ranges(kind, rhs, range_value, expected):
    text = mps(f" {kind}  r\n", "    x  r  1\n",
               f"RHS\n    RHS  r  {rhs}\nRANGES\n    RNG  r  {range_value}\n")
    assert rows_of(read_mps_text(text))["r"] == expected


@pytest.mark.parametrize("bound_lines, expected", [
    (" UP BND x 4\n", (0.0, 4.0, "continuous")),
    (" UP BND x -1\n", (-INF, -1.0, "continuous")),
    (" LO BND x -5\n UP BND x 7\n", (-5.0, 7.0, "continuous")),
    (" MI BND x\n", (-INF, INF, "continuous")),
    (" FR BND x\n", (-INF, INF, "continuous")),
    (" FX BND x 2.5\n", (2.5, 2.5, "continuous")),
    (" BV BND x\n", (0.0, 1.0, "binary")),
    (" LI BND x 2\n UI BND x 10\n", (2.0, 10.0, "integer")),
    (" UP BND x 1e30\n", (0.0, INF, "continuous")),
    (" UP x 4\n", (0.0, 4.0, "continuous")),  # no bound vector name
    (" SC BND x 10\n", (0.0, 10.0, "semicontinuous")),
    (" UP BND x 4\n MI BND x\n", (-INF, 4.0, "continuous")),
])
def test_bounds(bound_lines, expected):
    text = mps(" L  r\n", "    x  r  1\n", "BOUNDS\n" + bound_lines)
    assert bounds_of(read_mps_text(text))["x"] == expected


def test_integer_markers_default_to_binary_bounds_and_a_lone_lower_bound_lifts_them():
    columns = ("    M1 'MARKER' 'INTORG'\n    a  r  1\n    b  r  1\n    M2 'MARKER' 'INTEND'\n"
               "    c  r  1\n")
    model = read_mps_text(mps(" L  r\n", columns, "BOUNDS\n LO BND b 2\n"))
    assert bounds_of(model) == {"a": (0.0, 1.0, "integer"), "b": (2.0, INF, "integer"),
                                "c": (0.0, INF, "continuous")}


@pytest.mark.parametrize("section, lines, expected", [
    ("QMATRIX", "    x x 2\n    x y 1\n    y x 1\n", {(0, 0): 1.0, (0, 1): 1.0}),
    ("QUADOBJ", "    x x 2\n    x y 1\n", {(0, 0): 1.0, (0, 1): 1.0}),
    ("QCMATRIX obj", "    x x 2\n    x y 1\n    y x 1\n", {(0, 0): 2.0, (0, 1): 2.0}),
    ("QSECTION obj", "    x x 2\n    x y 1\n", {(0, 0): 2.0, (0, 1): 2.0}),
])
def test_quadratic_objective_sections(section, lines, expected):
    text = mps(" L  r\n", "    x  r  1\n    y  r  1\n", f"{section}\n{lines}")
    assert read_mps_text(text).quadratic == expected


def test_objective_sense_and_constant():
    text = "NAME t\nOBJSENSE MAXIMIZE\nROWS\n N obj\nCOLUMNS\n    x obj 1\nRHS\n    RHS obj 5\n" \
           "ENDATA\n"
    model = read_mps_text(text)
    assert model.maximize and model.objective_constant == -5.0


@pytest.mark.parametrize("text, error, message", [
    (mps(" L  r\n", "    x  q  1\n"), ModelFileError, "line 6: column 'x' refers to unknown row 'q'"),
    (mps(" L  r\n", "    x  r  1\n    x  r  2\n"), ModelFileError, "line 7: column 'x' has two"),
    (mps(" L  r\n", "    x  r  one\n"), ModelFileError, "line 6: 'one' is not a number"),
    (mps(" L  r\n", "    x  r  nan\n"), ModelFileError, "'nan' is not a number"),
    (mps(" L  r\n", "    x  r\n"), ModelFileError, "line 6: a COLUMNS line needs"),
    (mps(" X  r\n", ""), ModelFileError, "line 4: unknown row type 'X'"),
    (mps(" L  r\n L  r\n", ""), ModelFileError, "line 5: row 'r' is declared twice"),
    (mps(" L  r\n", "    x  r  1\n", "RHS\n    RHS  q  1\n"), ModelFileError, "unknown row 'q'"),
    (mps(" L  r\n", "    x  r  1\n", "BOUNDS\n UP BND y 1\n"), ModelFileError,
     "bound for unknown column 'y'"),
    (mps(" L  r\n", "    x  r  1\n", "BOUNDS\n XX BND x 1\n"), ModelFileError,
     "unknown bound type 'XX'"),
    (mps(" L  r\n", "    x  r  1\n", "BOUNDS\n UP BND x\n"), ModelFileError,
     "line 8: a UP bound needs a column and a value"),
    (mps(" L  r\n", "    x  r  1\n", "FOO\n"), ModelFileError, "unknown section 'FOO'"),
    (mps(" L  r\n", "    x  r  1\n", "QMATRIX\n    x z 1\n"), ModelFileError,
     "unknown column 'z'"),
    (mps(" L  r\n", "    M 'MARKER' 'INTEND'\n"), ModelFileError, "unexpected marker"),
    ("NAME t\nROWS\n N obj\n", ModelFileError, "line 4: the file ends without ENDATA"),
    ("x 1 2\n", ModelFileError, "line 1: data line outside any section"),
    (mps(" L  r\n", "    x  r  1\n", "SOS\n"), ModelNotSupported, "SOS constraints"),
    (mps(" L  r\n", "    x  r  1\n", "INDICATORS\n IF r x\n"), ModelFileError,
     "line 8: an INDICATORS line reads 'IF row column value'"),
    (mps(" L  r\n", "    x  r  1\n", "INDICATORS\n IF q x 1\n"), ModelFileError,
     "indicator for unknown row 'q'"),
    (mps(" L  r\n", "    x  r  1\n", "QCMATRIX r\n"), ModelNotSupported,
     "quadratic constraints (row 'r')"),
], ids=["unknown-row", "twice", "not-number", "nan", "short-line", "row-type", "row-twice",
        "rhs-row", "bound-column", "bound-type", "bound-value", "section", "q-column",
        "marker", "no-endata", "outside", "sos", "indicator-line", "indicator-row", "qcmatrix"])
def test_malformed_mps(text, error, message):
    with pytest.raises(error) as raised:
        read_mps_text(text, "m.mps")
    assert message in str(raised.value) and str(raised.value).startswith("m.mps")


LIBRARY_LP = """\\ File written by Velorium LP filereader
Maximize
 obj: 3 x0 + 2 x1 + [ 2 x0^2 - 4 x0 * x1 ]/ 2  +5

Subject To
c1 : x0 + x1 <= 4
c2 : x0 + 3 x1 <= 6
c2 : x0 + 3 x1 >= 1
c3 : x0 - x1 >= -inf
c4 : - x1 = 0.5

Bounds
x0 <= 3.5
 -inf <= x2 <= 4
 2 <= x3
x4 Free
b <= 0

Binaries
b
Generals
x1
End
"""


def test_lp_as_the_library_writes_it():
    model = read_lp_text(LIBRARY_LP, "l.lp")
    assert model.maximize and model.objective_constant == 5.0
    # The ranged row written as two lines of one name is one row again.
    assert rows_of(model) == {"c1": (-INF, 4.0), "c2": (1.0, 6.0), "c3": (-INF, INF),
                              "c4": (0.5, 0.5)}
    assert [r.name for r in model.rows] == ["c1", "c2", "c3", "c4"]
    assert model.rows[3].terms == {1: -1.0}
    assert bounds_of(model) == {
        "x0": (0.0, 3.5, "continuous"), "x1": (0.0, INF, "integer"),
        "x2": (-INF, 4.0, "continuous"), "x3": (2.0, INF, "continuous"),
        "x4": (-INF, INF, "continuous"), "b": (0.0, 0.0, "binary")}
    assert model.quadratic == {(0, 0): 1.0, (0, 1): -2.0}


def test_lp_in_the_cplex_style_of_other_writers():
    text = ("\\* comment *\\\nMINIMIZE\n value: .03 a + 1e1 b\n   - c\nsubject to\n"
            " yield: a + b + c = 2000 \\ trailing comment\n r2: 2 a =< 10\n 3 b => 1\n"
            "bounds\n a >= -5\n 7 >= b\ninteger\n c\nbinary\n d\nend\n")
    model = read_lp_text(text)
    assert [c.cost for c in model.columns] == [0.03, 10.0, -1.0, 0.0]
    assert rows_of(model) == {"yield": (2000.0, 2000.0), "r2": (-INF, 10.0), "R3": (1.0, INF)}
    assert bounds_of(model)["a"] == (-5.0, INF, "continuous")
    assert bounds_of(model)["b"] == (0.0, 7.0, "continuous")
    assert bounds_of(model)["c"][2] == "integer" and bounds_of(model)["d"] == (0.0, 1.0, "binary")


def test_indicator_rows_in_both_formats():
    lp = read_lp_text("Minimize\n obj: x\nSubject To\n c1 :b = 0 -> x + y <= 4\n"
                      "c1 : x + y >= 1\nBinaries\n b\nEnd\n")
    [row] = lp.rows
    assert (row.lower, row.upper, row.indicator) == (1.0, 4.0, (1, False))
    text = mps(" L  r\n", "    x  r  1\n    b  r  1\n", "INDICATORS\n IF r b 1\n")
    assert read_mps_text(text).rows[0].indicator == (1, True)


def test_lp_semicontinuous_section():
    text = "Minimize\n obj: x + y\nSubject To\n c: x + y >= 1\nGenerals\n y\nSemi-continuous\n x\n y\nEnd\n"
    kinds = {name: kind for name, (_, _, kind) in bounds_of(read_lp_text(text)).items()}
    assert kinds == {"x": "semicontinuous", "y": "semiinteger"}


@pytest.mark.parametrize("text, error, message", [
    ("Minimize\n obj: x +\nEnd\n", ModelFileError, "line 2"),
    ("Minimize\n obj: x\nSubject To\n c: x <= y\nEnd\n", ModelFileError,
     "line 4: row 'c' needs a number after '<='"),
    ("Minimize\n obj: x\nSubject To\n c: x\nEnd\n", ModelFileError, "needs '<=', '>=' or '='"),
    ("Minimize\n obj: x\nSubject To\n c: x >= 1\nBounds\n 2 <= x >= 1\nEnd\n", ModelFileError,
     "line 6: both comparisons of a double bound"),
    ("Minimize\n obj: x\nMinimize\n obj: y\nEnd\n", ModelFileError, "appears twice"),
    ("Minimize\n obj: x\nMaximize\n obj: y\nEnd\n", ModelFileError, "both Minimize and"),
    ("Minimize\n obj: [ x^3 ]/ 2\nEnd\n", ModelFileError, "only the power 2"),
    ("Minimize\n obj: [ x^2 ]\nEnd\n", ModelFileError, "must end with ']/ 2'"),
    ("Minimize\n obj: x\nEnd\n x\n", ModelFileError, "line 4"),
    ("x + y\nMinimize\n obj: x\nEnd\n", ModelFileError, "line 1: text outside any section"),
    ("Minimize\n obj: x : y\nEnd\n", ModelFileError, "line 2: unexpected ':'"),
    ("Minimize\n obj: x\nSubject To\n c: [ x^2 ] <= 1\nEnd\n", ModelNotSupported,
     "quadratic constraints"),
    ("Minimize\n obj: x\nSOS\n s1: S1:: x:1\nEnd\n", ModelNotSupported, "SOS"),
    ("Minimize\n obj: x\nSubject To\n c: b + y = 1 -> x >= 1\nEnd\n", ModelFileError,
     "line 4: row 'c': an indicator reads"),
    ("Minimize\n obj: x\nGeneral Constraints\n g: y = NL : ( PLUS , -1 , -1 )\nEnd\n",
     ModelNotSupported, "general constraints"),
], ids=["dangling-sign", "rhs-name", "no-sense", "mixed-bounds", "two-objectives",
        "min-and-max", "cube", "no-half", "after-end", "before-sections", "lone-colon",
        "quadratic-row", "sos", "indicator-condition", "gencons"])
def test_malformed_lp(text, error, message):
    with pytest.raises(error) as raised:
        read_lp_text(text, "l.lp")
    assert message in str(raised.value) and str(raised.value).startswith("l.lp")
