"""Small model files shared by the service's tests."""

# max 3 x0 + 2 x1 + 5; x0 + x1 <= 4; 1 <= x0 + 3 x1 <= 6 (RANGES); 0 <= x0 <= 3.5;
# x1 integer >= 0. Optimum 16 at x0 = 3, x1 = 1.
ACCEPTANCE_MPS = """NAME acceptance
OBJSENSE
  MAX
ROWS
 N  obj
 L  c1
 L  c2
COLUMNS
    x0        obj       3
    x0        c1        1
    x0        c2        1
    MARK0000  'MARKER'                 'INTORG'
    x1        obj       2
    x1        c1        1
    x1        c2        3
    MARK0001  'MARKER'                 'INTEND'
RHS
    RHS_V     obj       -5
    RHS_V     c1        4
    RHS_V     c2        6
RANGES
    RANGE     c2        5
BOUNDS
 UP BOUND     x0        3.5
 LI BOUND     x1        0
ENDATA
"""

# min x + 2 y + 3 z; x + y + z >= 2 (r1); x - y <= 1 (r2); x, y, z >= 0, written as the
# library's LP writer writes it. Worked by hand: r1 and r2 are tight at x = 1.5, y = 0.5,
# z = 0, objective 2.5. The duals solve x: d1 + d2 = 1, y: d1 - d2 = 2, so d1 = 1.5 (raising
# r1's bound costs 1.5 a unit) and d2 = -0.5 (raising r2's saves 0.5). Reduced costs: x and
# y are basic (0); z: 3 - 1 * 1.5 = 1.5.
DUALS_LP = """\\ File written by Velorium LP filereader
Minimize
 obj: x + 2 y + 3 z

Subject To
r1 : x + y + z >= 2
r2 : x - y <= 1

Bounds
End
"""

# min (x - 1)^2 + (y - 2)^2 = x^2 + y^2 - 2 x - 4 y + 5 subject to x + y <= 2 (c1).
# Worked by hand: the projection of (1, 2) onto x + y = 2 is (0.5, 1.5), objective 0.5. The
# objective's gradient there is (-1, -1) = -1 * (1, 1): raising c1's bound by d lowers the
# objective at the rate 1, so the dual is -1; both reduced costs are -1 - 1 * (-1) = 0.
QP_MPS = """NAME qp
ROWS
 N  obj
 L  c1
COLUMNS
    x         obj       -2
    x         c1        1
    y         obj       -4
    y         c1        1
RHS
    RHS_V     obj       -5
    RHS_V     c1        2
QMATRIX
    x         x         2
    y         y         2
ENDATA
"""

QP_LP = """\\ File written by Velorium LP filereader
Minimize
 obj: -2 x - 4 y + [ 2 x^2 + 2 y^2 ]/ 2  +5

Subject To
c1 : x + y <= 2

Bounds
End
"""


def solution_sections(text):
    """{"values": {...}, "duals": {...}, "reduced_costs": {...}} of a solution text, read as
    the library's reader reads it (last blank splits name and value)."""
    sections = {"values": {}, "duals": {}, "reduced_costs": {}}
    current = "values"
    for line in text.splitlines():
        if not line:
            continue
        if line.startswith("#"):
            if line.startswith("# Dual Solution"):
                current = "duals"
            elif line.startswith("# Reduced Costs"):
                current = "reduced_costs"
            elif line.startswith("# Columns "):
                current = "values"
            continue
        name, _, value = line.rpartition(" ")
        sections[current].setdefault(name.strip(), float(value))
    return sections
