"""Reads free (and fixed, when names hold no blanks) MPS text into a Model.

Quirks of the format as this reader takes it:
- Fields are split at white space, so names cannot hold blanks; a line starting with "*" is a
  comment; section keywords stand first on a line, in upper case.
- The first N row is the objective; later N rows are free rows. An RHS entry on the objective
  gives the objective constant with its sign turned (RHS c means offset -c).
- OBJSENSE takes MAX, MAXIMIZE, MIN or MINIMIZE, on its own line or after the keyword.
- RHS and RANGES lines may leave out the vector name (2 or 4 fields); BOUNDS lines may leave
  out the bound name when the rest is unambiguous.
- RANGES: a G row [rhs, rhs + |r|], an L row [rhs - |r|, rhs], an E row [rhs, rhs + r] for
  r >= 0 and [rhs + r, rhs] otherwise; a range on a free row is ignored.
- Columns between the INTORG and INTEND markers are integer with bounds [0, 1] unless bounds
  are given. After BOUNDS: a column with only an upper bound below 0 gets the lower bound
  -infinity; a column with only a lower bound gets the upper bound +infinity.
- Bound or right-hand-side values of 1e30 or more in magnitude mean infinity.
- QMATRIX holds the full matrix Q of 0.5 x'Qx, QUADOBJ its upper or lower triangle; QSECTION
  and QCMATRIX on the objective row likewise (QSECTION as a triangle of x'Qx, QCMATRIX as the
  full matrix of x'Qx); on any other row they are quadratic constraints, which are refused.
- INDICATORS lines read "IF row column value" (value 0 or 1).
- GENCONS, SOS, SETS, CSECTION and the PWL sections are refused.
- A COLUMNS entry for an unknown row, an entry given twice, and a file without ENDATA are errors.
"""

from .model import (INF, BINARY, INTEGER, SEMICONTINUOUS, SEMIINTEGER, Model, ModelFileError,
                    ModelNotSupported, parse_number)

SECTIONS = {"NAME", "OBJSENSE", "OBJSENCE", "ROWS", "COLUMNS", "RHS", "RANGES", "BOUNDS",
            "QMATRIX", "QUADOBJ", "QSECTION", "QCMATRIX", "INDICATORS", "ENDATA"}
REFUSED = {
    "GENCONS": "general constraints",
    "SOS": "SOS constraints",
    "SETS": "SOS constraints",
    "CSECTION": "cone constraints",
    "DELAYEDROWS": "delayed rows",
    "MODELCUTS": "model cuts",
    "PWLOBJ": "piecewise-linear objectives",
    "PWLNAM": "piecewise-linear constraints",
    "PWLCON": "piecewise-linear constraints",
}
INFINITE_VALUE = 1e30


def read_mps_text(text, file_name="model.mps"):
    return _MpsReader(file_name).read(text.splitlines())


def _is_number(text):
    try:
        float(text)
        return True
    except ValueError:
        return False


def _as_bound(value):
    if value >= INFINITE_VALUE:
        return INF
    if value <= -INFINITE_VALUE:
        return -INF
    return value


class _MpsReader:
    def __init__(self, file_name):
        self.file_name = file_name
        self.model = Model(name=file_name)
        self.objective = None
        self.line_number = 0
        # Columns whose bounds BOUNDS set: index -> [lower given, upper given].
        self.bound_flags = {}
        self.entries = set()

    def where(self):
        return f"{self.file_name} line {self.line_number}"

    def fail(self, message):
        raise ModelFileError(f"{self.where()}: {message}")

    def number(self, text):
        return parse_number(text, self.where())

    def read(self, lines):
        section = None
        handlers = {
            "ROWS": self.rows_line, "COLUMNS": self.columns_line, "RHS": self.rhs_line,
            "RANGES": self.ranges_line, "BOUNDS": self.bounds_line,
            "OBJSENSE": self.objsense_line, "OBJSENCE": self.objsense_line,
            "INDICATORS": self.indicators_line,
        }
        quadratic_target = None
        self.integer_block = False
        for self.line_number, line in enumerate(lines, start=1):
            if not line.strip() or line.startswith("*"):
                continue
            fields = line.split()
            keyword = fields[0] if not line[0].isspace() else None
            if keyword in REFUSED:
                raise ModelNotSupported(f"{self.where()}: {REFUSED[keyword]} ({keyword} section)"
                                        " are not supported")
            if keyword in SECTIONS:
                section = keyword
                if section == "ENDATA":
                    return self.finish()
                if section == "NAME":
                    continue
                if section in ("OBJSENSE", "OBJSENCE") and len(fields) > 1:
                    self.objsense_line(fields[1:])
                if section in ("QMATRIX", "QUADOBJ", "QSECTION", "QCMATRIX"):
                    quadratic_target = self.quadratic_header(section, fields)
                continue
            if keyword is not None and len(fields) == 1 and keyword.isupper():
                self.fail(f"unknown section '{keyword}'")
            if section in handlers:
                handlers[section](fields)
            elif section in ("QMATRIX", "QUADOBJ", "QSECTION", "QCMATRIX"):
                self.quadratic_line(quadratic_target, fields)
            else:
                self.fail("data line outside any section")
        self.line_number += 1
        self.fail("the file ends without ENDATA")

    def objsense_line(self, fields):
        word = fields[0].upper()
        if word in ("MAX", "MAXIMIZE"):
            self.model.maximize = True
        elif word in ("MIN", "MINIMIZE"):
            self.model.maximize = False
        else:
            self.fail(f"unknown objective sense '{fields[0]}'")

    def rows_line(self, fields):
        if len(fields) != 2:
            self.fail("a ROWS line needs a type and a name")
        kind, name = fields[0].upper(), fields[1]
        if name in self.model.row_index or name == self.objective:
            self.fail(f"row '{name}' is declared twice")
        if kind == "N" and self.objective is None:
            self.objective = name
            self.model.objective_name = name
            return
        bounds = {"E": (0.0, 0.0), "L": (-INF, 0.0), "G": (0.0, INF), "N": (-INF, INF)}
        if kind not in bounds:
            self.fail(f"unknown row type '{fields[0]}'")
        self.model.add_row(name, *bounds[kind])

    def columns_line(self, fields):
        if len(fields) >= 3 and fields[1] == "'MARKER'":
            if fields[2] == "'INTORG'" and not self.integer_block:
                self.integer_block = True
            elif fields[2] == "'INTEND'" and self.integer_block:
                self.integer_block = False
            else:
                self.fail(f"unexpected marker {fields[2]}")
            return
        if len(fields) not in (3, 5):
            self.fail("a COLUMNS line needs a column and one or two (row, value) pairs")
        name = fields[0]
        index = self.model.column_index.get(name)
        if index is None:
            index = self.model.add_column(name)
            if self.integer_block:
                column = self.model.columns[index]
                column.kind, column.lower, column.upper = INTEGER, 0.0, 1.0
        for row_name, value_text in zip(fields[1::2], fields[2::2]):
            self.column_entry(index, row_name, self.number(value_text))

    def column_entry(self, column, row_name, value):
        if (column, row_name) in self.entries:
            self.fail(f"column '{self.model.columns[column].name}' has two entries in row"
                      f" '{row_name}'")
        self.entries.add((column, row_name))
        if row_name == self.objective:
            self.model.columns[column].cost = value
            return
        row = self.model.row_index.get(row_name)
        if row is None:
            self.fail(f"column '{self.model.columns[column].name}' refers to unknown row"
                      f" '{row_name}'")
        if value != 0.0:
            self.model.rows[row].terms[column] = value

    def pairs(self, fields, what):
        # The vector name may be left out: an even count of fields means it is.
        if len(fields) in (3, 5):
            fields = fields[1:]
        elif len(fields) not in (2, 4):
            self.fail(f"a {what} line needs one or two (row, value) pairs")
        return [(fields[k], self.number(fields[k + 1])) for k in range(0, len(fields), 2)]

    def rhs_line(self, fields):
        for name, value in self.pairs(fields, "RHS"):
            if name == self.objective:
                self.model.objective_constant = -value
                continue
            index = self.model.row_index.get(name)
            if index is None:
                self.fail(f"RHS for unknown row '{name}'")
            row, value = self.model.rows[index], _as_bound(value)
            if row.lower != -INF:
                row.lower = value
            if row.upper != INF:
                row.upper = value

    def ranges_line(self, fields):
        for name, value in self.pairs(fields, "RANGES"):
            index = self.model.row_index.get(name)
            if index is None:
                self.fail(f"RANGES for unknown row '{name}'")
            row = self.model.rows[index]
            if row.lower == -INF and row.upper == INF:
                continue
            if row.upper == INF:
                row.upper = row.lower + abs(value)
            elif row.lower == -INF:
                row.lower = row.upper - abs(value)
            elif row.lower == row.upper:
                if value >= 0:
                    row.upper = row.lower + value
                else:
                    row.lower = row.upper + value
            else:
                self.fail(f"row '{name}' is given two ranges")

    def bounds_line(self, fields):
        kind = fields[0].upper()
        needs_value = kind in ("UP", "LO", "FX", "LI", "UI", "SC", "SI")
        if kind not in ("UP", "LO", "FX", "LI", "UI", "SC", "SI", "MI", "PL", "BV", "FR"):
            self.fail(f"unknown bound type '{fields[0]}'")
        if needs_value:
            if len(fields) == 4:
                name, value_text = fields[2], fields[3]
            elif len(fields) == 3 and _is_number(fields[2]):
                name, value_text = fields[1], fields[2]
            else:
                self.fail(f"a {kind} bound needs a column and a value")
            value = _as_bound(self.number(value_text))
        else:
            if len(fields) not in (2, 3, 4):
                self.fail(f"a {kind} bound needs a column")
            name = fields[2] if len(fields) >= 3 else fields[1]
            value = None
        index = self.model.column_index.get(name)
        if index is None:
            self.fail(f"bound for unknown column '{name}'")
        column = self.model.columns[index]
        flags = self.bound_flags.setdefault(index, [False, False])
        if kind in ("UP", "UI", "SC", "SI", "PL"):
            column.upper = INF if kind == "PL" else value
            flags[1] = True
            column.kind = {"UI": INTEGER, "SC": SEMICONTINUOUS,
                           "SI": SEMIINTEGER}.get(kind, column.kind)
        elif kind in ("LO", "LI", "MI"):
            column.lower = -INF if kind == "MI" else value
            flags[0] = True
            if kind == "LI":
                column.kind = INTEGER
        elif kind == "FX":
            column.lower = column.upper = value
            flags[0] = flags[1] = True
        elif kind == "FR":
            column.lower, column.upper = -INF, INF
            flags[0] = flags[1] = True
        elif kind == "BV":
            column.kind, column.lower, column.upper = BINARY, 0.0, 1.0
            flags[0] = flags[1] = True

    def indicators_line(self, fields):
        if len(fields) != 4 or fields[0] != "IF":
            self.fail("an INDICATORS line reads 'IF row column value'")
        row = self.model.row_index.get(fields[1])
        if row is None:
            self.fail(f"indicator for unknown row '{fields[1]}'")
        column = self.model.column_index.get(fields[2])
        if column is None:
            self.fail(f"indicator on unknown column '{fields[2]}'")
        self.model.rows[row].indicator = (column, self.number(fields[3]) != 0.0)

    def quadratic_header(self, section, fields):
        if section in ("QMATRIX", "QUADOBJ"):
            return (section, None)
        if len(fields) < 2:
            self.fail(f"{section} needs a row name")
        if fields[1] != self.objective:
            if fields[1] not in self.model.row_index:
                self.fail(f"{section} for unknown row '{fields[1]}'")
            raise ModelNotSupported(f"{self.where()}: quadratic constraints (row '{fields[1]}')"
                                    " are not supported")
        return (section, fields[1])

    def quadratic_line(self, target, fields):
        section = target[0]
        if len(fields) != 3:
            self.fail(f"a {section} line needs two columns and a value")
        indices = []
        for name in fields[:2]:
            index = self.model.column_index.get(name)
            if index is None:
                self.fail(f"{section} refers to unknown column '{name}'")
            indices.append(index)
        value = self.number(fields[2])
        i, j = indices
        # Stored as c * x_i * x_j: halve the matrices of 0.5 x'Qx; a triangle lists each
        # off-diagonal pair once, so its entry stands for both places.
        factor = 0.5 if section in ("QMATRIX", "QUADOBJ") else 1.0
        if i != j and section in ("QUADOBJ", "QSECTION"):
            factor *= 2.0
        self.model.add_quadratic(i, j, factor * value)

    def finish(self):
        if self.objective is None and not self.model.rows and not self.model.columns:
            self.fail("the file holds no ROWS section")
        for index, (lower_given, upper_given) in self.bound_flags.items():
            column = self.model.columns[index]
            if upper_given and not lower_given and column.upper < 0:
                column.lower = -INF
            if lower_given and not upper_given and column.kind == INTEGER:
                column.upper = INF
        return self.model
