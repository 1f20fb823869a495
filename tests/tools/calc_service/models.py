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

# min x + 2 y; x + y >= 2 (r1); x - y <= 1 (r2); x, y >= 0 (rows as written by the library).
# Worked by hand: the optimum lies where r1 and r2 are tight, x = 1.5, y = 0.5, objective
# 2.5. Duals solve [1 1; 1 -1]' [d1 d2] = [1 2]: d1 = 1.5, d2 = -0.5 (raising r1's bound
# costs 1.5 a unit, raising r2's saves 0.5). Reduced costs of the basic x and y are 0.
DUALS_LP = """\\ File written by Velorium LP filereader
Minimize
 obj: x + 2 y
Subject To
r1 : x + y >= 2
r2 : x - y <= 1
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
