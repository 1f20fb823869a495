"""The model record the readers fill and the solvers read."""

import math
from dataclasses import dataclass, field

INF = math.inf

CONTINUOUS = "continuous"
BINARY = "binary"
INTEGER = "integer"
SEMICONTINUOUS = "semicontinuous"
SEMIINTEGER = "semiinteger"
INTEGRAL_KINDS = (BINARY, INTEGER)


class ModelFileError(ValueError):
    """The file is malformed; the text names the file and line."""


class ModelNotSupported(ValueError):
    """The file is well formed but holds something this service cannot solve."""


@dataclass
class Column:
    name: str
    lower: float = 0.0
    upper: float = INF
    kind: str = CONTINUOUS
    cost: float = 0.0


@dataclass
class Row:
    name: str
    lower: float = -INF
    upper: float = INF
    # Column index -> coefficient; one entry per column.
    terms: dict = field(default_factory=dict)
    # (column index, value): the row holds only while that binary column has that value.
    indicator: tuple = None


@dataclass
class Model:
    name: str = ""
    maximize: bool = False
    objective_name: str = "obj"
    objective_constant: float = 0.0
    columns: list = field(default_factory=list)
    rows: list = field(default_factory=list)
    # (i, j) with i <= j -> coefficient c of the term c * x_i * x_j.
    quadratic: dict = field(default_factory=dict)
    column_index: dict = field(default_factory=dict)
    row_index: dict = field(default_factory=dict)

    def add_column(self, name):
        index = len(self.columns)
        self.columns.append(Column(name))
        self.column_index[name] = index
        return index

    def column(self, name):
        """The index of the column, added when it is new."""
        index = self.column_index.get(name)
        return self.add_column(name) if index is None else index

    def add_row(self, name, lower=-INF, upper=INF):
        index = len(self.rows)
        self.rows.append(Row(name, lower, upper))
        # The first row of a name is the one results are reported under.
        self.row_index.setdefault(name, index)
        return index

    def add_quadratic(self, i, j, coefficient):
        key = (i, j) if i <= j else (j, i)
        self.quadratic[key] = self.quadratic.get(key, 0.0) + coefficient

    def is_mip(self):
        return any(c.kind != CONTINUOUS for c in self.columns)

    def nonzeros(self):
        return sum(len(r.terms) for r in self.rows)

    def summary(self):
        return {
            "rows": len(self.rows),
            "columns": len(self.columns),
            "integer_columns": sum(1 for c in self.columns if c.kind in INTEGRAL_KINDS),
            "nonzeros": self.nonzeros(),
            "quadratic_terms": sum(1 for v in self.quadratic.values() if v != 0.0),
        }


def parse_number(text, where):
    """A finite or infinite number; NaN and other text are errors that name the place."""
    try:
        value = float(text)
    except ValueError:
        raise ModelFileError(f"{where}: '{text}' is not a number") from None
    if math.isnan(value) or "_" in text:
        raise ModelFileError(f"{where}: '{text}' is not a number")
    return value
