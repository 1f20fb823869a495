"""Reads LP text (the CPLEX-style format the library writes) into a Model.

Quirks of the format as this reader takes it:
- "\\" starts a comment to the end of the line ("\\* ... *\\" may span lines); ";" too.
- Section keywords are case-insensitive and stand first on a line: minimize/min/minimum,
  maximize/max/maximum, subject to/such that/st/s.t., bounds/bound, generals/general/
  integers/integer/gen, binaries/binary/bin, semi-continuous/semis/semi, sos, general constraints/
  gencons, end. The rest of the line belongs to the section.
- Names hold no blanks and none of + - * / ^ [ ] : < > =; a name followed by ":" labels the
  objective or a row. "<" and ">" mean "<=" and ">=", "=<" and "=>" likewise.
- A row is [label:] expression sense number; "-inf" and "inf" are numbers. A constant in the
  expression moves to the right-hand side. Two rows of one name whose terms are equal, one
  "<=" and one ">=", are one ranged row (the library writes ranged rows so).
- "[ ... ]/ 2" in the objective holds quadratic terms of 0.5 x'Qx; brackets in a row
  (quadratic constraints), SOS and general constraints are refused.
- An indicator row reads "[label:] column = 0 -> row" or "... = 1 -> row"; the second line of
  a ranged indicator row need not repeat the indicator.
- A column listed under Generals and Semi-continuous is semi-integer.
- Bounds: "x free", "l <= x", "x <= u", "l <= x <= u", "u >= x >= l", "x = v", "x >= l",
  "u >= x".
  Binaries get the upper bound 1 unless Bounds gave a finite one.
- Columns are numbered in the order the file first names them.
"""

import re

from .model import (INF, BINARY, INTEGER, SEMICONTINUOUS, SEMIINTEGER, Model, ModelFileError,
                    ModelNotSupported)

KEYWORDS = {
    "minimize": "min", "minimise": "min", "min": "min", "minimum": "min",
    "maximize": "max", "maximise": "max", "max": "max", "maximum": "max",
    "subject to": "rows", "such that": "rows", "st": "rows", "s.t.": "rows",
    "bounds": "bounds", "bound": "bounds",
    "generals": "generals", "general": "generals", "integers": "generals", "integer": "generals",
    "gen": "generals",
    "binaries": "binaries", "binary": "binaries", "bin": "binaries",
    "semi-continuous": "semi", "semis": "semi", "semi": "semi",
    "sos": "sos",
    "general constraints": "gencons", "general constraint": "gencons", "gencons": "gencons",
    "g.c.": "gencons",
    "end": "end",
}
REFUSED = {"sos": "SOS constraints", "gencons": "general constraints"}

_TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<number>(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)
  | (?P<op><=|>=|=<|=>|->|[-+*/^\[\]:<>=])
  | (?P<name>[^\s\-+*/^\[\]:<>=]+)
""", re.VERBOSE)
_INFINITE_WORDS = ("inf", "infinity")


class _Token:
    __slots__ = ("kind", "text", "value", "line")

    def __init__(self, kind, text, value, line):
        self.kind, self.text, self.value, self.line = kind, text, value, line

    def __repr__(self):
        return f"{self.kind}:{self.text}"


def read_lp_text(text, file_name="model.lp"):
    sections = _split_sections(text, file_name)
    return _LpBuilder(file_name, sections).build()


def _strip_comments(lines):
    in_block = False
    for number, line in enumerate(lines, start=1):
        if in_block:
            end = line.find("*\\")
            if end < 0:
                continue
            line, in_block = line[end + 2:], False
        start = line.find("\\")
        if start >= 0:
            if line.startswith("\\*", start) and line.find("*\\", start + 2) < 0:
                in_block = True
            line = line[:start]
        semicolon = line.find(";")
        if semicolon >= 0:
            line = line[:semicolon]
        yield number, line


def _section_of_line(line):
    words = line.split()
    if not words:
        return None, line
    first = words[0].lower()
    if len(words) >= 2:
        pair = first + " " + words[1].lower()
        if pair in KEYWORDS:
            rest = line.split(None, 2)
            return KEYWORDS[pair], rest[2] if len(rest) > 2 else ""
    if first in KEYWORDS:
        rest = line.split(None, 1)
        return KEYWORDS[first], rest[1] if len(rest) > 1 else ""
    return None, line


def _tokenize(line, number, file_name):
    tokens, position = [], 0
    while position < len(line):
        match = _TOKEN.match(line, position)
        if match is None:
            raise ModelFileError(f"{file_name} line {number}: unexpected text"
                                 f" '{line[position:position + 20]}'")
        position = match.end()
        kind = match.lastgroup
        text = match.group()
        if kind == "space":
            continue
        if kind == "number":
            tokens.append(_Token("number", text, float(text), number))
        elif kind == "name" and text.lower() in _INFINITE_WORDS:
            tokens.append(_Token("number", text, INF, number))
        else:
            tokens.append(_Token(kind, {"=<": "<=", "=>": ">=", "<": "<=",
                                        ">": ">="}.get(text, text), None, number))
    return tokens


def _split_sections(text, file_name):
    sections, current, seen_end = [], None, False
    for number, line in _strip_comments(text.splitlines()):
        section, rest = _section_of_line(line)
        if section is not None:
            if seen_end:
                raise ModelFileError(f"{file_name} line {number}: text after End")
            if section in REFUSED:
                raise ModelNotSupported(f"{file_name} line {number}: {REFUSED[section]}"
                                        " are not supported")
            if section == "end":
                seen_end = True
            current = (section, [])
            sections.append(current)
        tokens = _tokenize(rest, number, file_name)
        if not tokens:
            continue
        if current is None or seen_end:
            raise ModelFileError(f"{file_name} line {number}: text outside any section")
        current[1].extend(tokens)
    return sections


class _Cursor:
    def __init__(self, tokens, file_name):
        self.tokens, self.position, self.file_name = tokens, 0, file_name

    def peek(self, offset=0):
        index = self.position + offset
        return self.tokens[index] if index < len(self.tokens) else None

    def take(self):
        token = self.peek()
        self.position += 1
        return token

    def at_end(self):
        return self.position >= len(self.tokens)

    def fail(self, message, token=None):
        token = token or self.peek() or (self.tokens[-1] if self.tokens else None)
        line = f" line {token.line}" if token else ""
        raise ModelFileError(f"{self.file_name}{line}: {message}")

    def signs(self):
        """Reads a run of "+" and "-" and returns its sign (1 when there is none)."""
        sign = 1.0
        while self.peek() is not None and self.peek().kind == "op" and \
                self.peek().text in ("+", "-"):
            sign = -sign if self.take().text == "-" else sign
        return sign

    def signed_number(self):
        """An optional run of signs and a number, or None (the cursor stays) when none."""
        start = self.position
        sign = self.signs()
        token = self.peek()
        if token is not None and token.kind == "number":
            self.take()
            return sign * token.value
        self.position = start
        return None


class _LpBuilder:
    def __init__(self, file_name, sections):
        self.file_name = file_name
        self.sections = sections
        self.model = Model(name=file_name)
        self.binaries_with_bound = set()

    def build(self):
        names = [name for name, _ in self.sections]
        for name in ("min", "max", "rows", "bounds"):
            if names.count(name) > 1:
                raise ModelFileError(f"{self.file_name}: the {name} section appears twice")
        if "min" in names and "max" in names:
            raise ModelFileError(f"{self.file_name}: the file has both Minimize and Maximize")
        order = {"min": 0, "max": 0, "rows": 1, "bounds": 2, "generals": 3, "binaries": 4,
                 "semi": 5, "end": 6}
        for name, tokens in sorted(self.sections, key=lambda s: order[s[0]]):
            cursor = _Cursor(tokens, self.file_name)
            if name in ("min", "max"):
                self.model.maximize = name == "max"
                self.objective(cursor)
            elif name == "rows":
                while not cursor.at_end():
                    self.row(cursor)
            elif name == "bounds":
                while not cursor.at_end():
                    self.bound(cursor)
            elif name in ("generals", "binaries", "semi"):
                self.kinds(cursor, name)
            elif tokens:
                cursor.fail("text after End")
        return self.model

    def label(self, cursor):
        first, second = cursor.peek(), cursor.peek(1)
        if first is not None and first.kind == "name" and second is not None and \
                second.kind == "op" and second.text == ":":
            cursor.take(), cursor.take()
            return first.text
        return None

    def linear_terms(self, cursor, objective):
        """Terms up to a sense or the end: (terms dict, constant)."""
        terms, constant = {}, 0.0
        while not cursor.at_end():
            token = cursor.peek()
            if token.kind == "op" and token.text in ("<=", ">=", "=", "->"):
                break
            start = cursor.position
            coefficient = cursor.signed_number()
            sign = 1.0 if coefficient is not None else cursor.signs()
            nxt = cursor.peek()
            if nxt is not None and nxt.kind == "name":
                cursor.take()
                index = self.model.column(nxt.text)
                value = sign * (1.0 if coefficient is None else coefficient)
                terms[index] = terms.get(index, 0.0) + value
            elif nxt is not None and nxt.kind == "op" and nxt.text == "[":
                if not objective:
                    raise ModelNotSupported(f"{self.file_name} line {nxt.line}: quadratic"
                                            " constraints are not supported")
                if coefficient is not None:
                    cursor.fail("a number before '['", nxt)
                cursor.take()
                self.quadratic_block(cursor, sign)
            elif coefficient is not None:
                constant += coefficient
            else:
                cursor.position = start
                cursor.fail(f"unexpected '{nxt.text if nxt else 'end of section'}'")
        return terms, constant

    def quadratic_block(self, cursor, sign):
        while True:
            token = cursor.peek()
            if token is None:
                cursor.fail("'[' without ']'")
            if token.kind == "op" and token.text == "]":
                cursor.take()
                break
            coefficient = cursor.signed_number()
            term_sign = 1.0
            if coefficient is None:
                term_sign, coefficient = cursor.signs(), 1.0
            first = cursor.take()
            if first is None or first.kind != "name":
                cursor.fail("a quadratic term needs a column name", first)
            operator = cursor.take()
            if operator is not None and operator.text == "^":
                power = cursor.take()
                if power is None or power.kind != "number" or power.value != 2:
                    cursor.fail("only the power 2 is allowed", power)
                second = first
            elif operator is not None and operator.text == "*":
                second = cursor.take()
                if second is None or second.kind != "name":
                    cursor.fail("'*' needs a column name after it", second)
            else:
                cursor.fail("a quadratic term needs '^ 2' or '* name'", operator)
            i, j = self.model.column(first.text), self.model.column(second.text)
            self.model.add_quadratic(i, j, 0.5 * sign * term_sign * coefficient)
        slash, two = cursor.peek(), cursor.peek(1)
        if slash is None or slash.text != "/" or two is None or two.kind != "number" or \
                two.value != 2:
            cursor.fail("the objective's quadratic block must end with ']/ 2'")
        cursor.take(), cursor.take()

    def objective(self, cursor):
        name = self.label(cursor)
        if name is not None:
            self.model.objective_name = name
        terms, constant = self.linear_terms(cursor, objective=True)
        if not cursor.at_end():
            cursor.fail("the objective holds a comparison")
        for index, value in terms.items():
            self.model.columns[index].cost += value
        self.model.objective_constant = constant

    def comparison(self, cursor, name, start):
        """expression sense number: (terms, lower, upper), the constant moved to the bounds."""
        terms, constant = self.linear_terms(cursor, objective=False)
        sense = cursor.take()
        if sense is None or sense.kind != "op" or sense.text not in ("<=", ">=", "="):
            cursor.fail(f"row '{name}' needs '<=', '>=' or '=' and a number", sense or start)
        rhs = cursor.signed_number()
        if rhs is None:
            cursor.fail(f"row '{name}' needs a number after '{sense.text}'")
        rhs -= constant
        lower, upper = {"<=": (-INF, rhs), ">=": (rhs, INF), "=": (rhs, rhs)}[sense.text]
        return terms, lower, upper

    def row(self, cursor):
        start = cursor.peek()
        name = self.label(cursor) or f"R{len(self.model.rows) + 1}"
        terms, lower, upper = self.comparison(cursor, name, start)
        indicator = None
        arrow = cursor.peek()
        if arrow is not None and arrow.kind == "op" and arrow.text == "->":
            if len(terms) != 1 or list(terms.values()) != [1.0] or lower != upper or \
                    lower not in (0.0, 1.0):
                cursor.fail(f"row '{name}': an indicator reads 'column = 0 ->' or"
                            " 'column = 1 ->'", arrow)
            cursor.take()
            indicator = (next(iter(terms)), lower == 1.0)
            terms, lower, upper = self.comparison(cursor, name, arrow)
        previous = self.model.row_index.get(name)
        if previous is not None:
            row = self.model.rows[previous]
            if row.terms == terms and row.lower == -INF and row.upper != INF and \
                    lower != -INF and upper == INF and indicator in (None, row.indicator):
                row.lower = lower
                return
        index = self.model.add_row(name, lower, upper)
        self.model.rows[index].terms = {k: v for k, v in terms.items() if v != 0.0}
        self.model.rows[index].indicator = indicator

    def bound(self, cursor):
        first = cursor.peek()
        value = cursor.signed_number()
        if value is not None:
            sense = cursor.take()
            column = cursor.take()
            if sense is None or sense.kind != "op" or sense.text not in ("<=", ">=", "=") or \
                    column is None or column.kind != "name":
                cursor.fail("a bound reads 'number <= name', 'name <= number' or 'name free'",
                            first)
            self.set_bound(column.text, value, {"<=": ">=", ">=": "<=", "=": "="}[sense.text])
            after = cursor.peek()
            if after is not None and after.kind == "op" and after.text in ("<=", ">=", "="):
                if after.text != sense.text or sense.text == "=":
                    cursor.fail("both comparisons of a double bound must be '<=' or both '>='",
                                after)
                cursor.take()
                second = cursor.signed_number()
                if second is None:
                    cursor.fail(f"a number must follow '{after.text}'")
                self.set_bound(column.text, second, after.text)
            return
        name = cursor.take()
        if name is None or name.kind != "name":
            cursor.fail("a bound reads 'number <= name', 'name <= number' or 'name free'",
                        name)
        following = cursor.peek()
        if following is not None and following.kind == "name" and \
                following.text.lower() == "free":
            cursor.take()
            column = self.model.columns[self.model.column(name.text)]
            column.lower, column.upper = -INF, INF
            return
        sense = cursor.take()
        if sense is None or sense.kind != "op" or sense.text not in ("<=", ">=", "="):
            cursor.fail(f"bound of '{name.text}' needs '<=', '>=', '=' or 'free'", name)
        value = cursor.signed_number()
        if value is None:
            cursor.fail(f"bound of '{name.text}' needs a number")
        self.set_bound(name.text, value, sense.text)

    def set_bound(self, name, value, sense):
        """Applies 'name sense value'."""
        index = self.model.column(name)
        column = self.model.columns[index]
        if sense in ("<=", "="):
            column.upper = value
            self.binaries_with_bound.add(index)
        if sense in (">=", "="):
            column.lower = value

    def kinds(self, cursor, section):
        while not cursor.at_end():
            token = cursor.take()
            if token.kind != "name":
                cursor.fail(f"the {section} section lists column names only", token)
            index = self.model.column(token.text)
            column = self.model.columns[index]
            if section == "generals":
                column.kind = INTEGER
            elif section == "semi":
                column.kind = SEMIINTEGER if column.kind == INTEGER else SEMICONTINUOUS
            else:
                column.kind = BINARY
                if column.upper == INF or index not in self.binaries_with_bound:
                    column.upper = 1.0
