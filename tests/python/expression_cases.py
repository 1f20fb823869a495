"""Shared by the expression tests: a small model, the operands of every kind, and results read
back as plain Python values, so that a table row states what an operation must give."""
import pytest

import veloriumpy as v

REMOVED = "Невозможно добавить удаленную переменную"
OTHER_MODEL = "Невозможно добавить выражение из другой модели"
NOT_CREATED = "Невозможно создать ограничение"
NON_FINITE = "Неконечное значение"
INF = float("inf")


class Operands:
    """x and y of one model; e = 2x + 3, q = x*y + y + 1, g = sin(y); w, e_b, q_b, g_b of another
    model; r, a variable of the first model that was removed."""

    def __init__(self):
        self.model = v.Model()
        self.model.set_bool_param("log_to_console", False)
        self.x = self.model.add_variable(var_name="x")
        self.y = self.model.add_variable(var_name="y")
        self.r = self.model.add_variable(var_name="r")
        self.r.remove()
        self.other = v.Model()
        self.w = self.other.add_variable(var_name="w")
        self.rebuild()

    def rebuild(self):
        x, y, w = self.x, self.y, self.w
        self.e = 2.0 * x + 3.0
        self.q = x * y + y + 1.0
        self.g = v.MathFunc.sin(y)
        self.e_b = 2.0 * w + 1.0
        self.q_b = w * w
        self.g_b = v.MathFunc.exp(w)

    def namespace(self):
        names = {"v": v}
        names.update({name: getattr(self, name) for name in ("x", "y", "r", "w", "e", "q", "g", "e_b", "q_b", "g_b")})
        return names


@pytest.fixture
def ops():
    return Operands()


def terms(expression):
    """Linear terms, quadratic terms and constant of a linear or quadratic expression's store."""
    if isinstance(expression, v.QuadExpression):
        quadratic, linear = expression, expression.get_linear_part()
    else:
        linear, quadratic = expression, expression.get_quad_part()
    linear_terms = [(linear.get_term_variable(i).get_name(), linear.get_term_coeff(i))
                    for i in range(linear.get_terms_count())]
    quadratic_terms = [(quadratic.get_term_variable1(i).get_name(), quadratic.get_term_variable2(i).get_name(),
                        quadratic.get_term_coeff(i)) for i in range(quadratic.get_terms_count())]
    return linear_terms, quadratic_terms, linear.get_constant()


def shape(result):
    """A result as plain values: ("L" or "Q", linear terms, quadratic terms, constant);
    ("G", text); ("C", lower bound, linear terms, quadratic terms, constant, upper bound);
    ("GC", variable name, text); a float or a variable name as themselves."""
    if isinstance(result, v.LinearExpression):
        return ("L",) + terms(result)
    if isinstance(result, v.QuadExpression):
        return ("Q",) + terms(result)
    if isinstance(result, v.GeneralExpression):
        return ("G", repr(result))
    if isinstance(result, v.Constraint):
        return ("C", result.get_lower_bound()) + terms(result.get_linear_expression()) + (result.get_upper_bound(),)
    if isinstance(result, v.GeneralConstraint):
        return ("GC", result.get_variable().get_name(), repr(result.get_expression()))
    if isinstance(result, v.Variable):
        return ("V", result.get_name())
    return result


def L(linear=(), constant=0.0, quadratic=()):
    return ("L", list(linear), list(quadratic), constant)


def Q(quadratic=(), linear=(), constant=0.0):
    return ("Q", list(linear), list(quadratic), constant)


def C(lower, linear=(), constant=0.0, upper=INF, quadratic=()):
    return ("C", lower, list(linear), list(quadratic), constant, upper)


def G(text):
    return ("G", text)


def evaluate(ops, expression):
    return eval(expression, ops.namespace())  # noqa: S307 - the tests' own table texts


def check_row(ops, expression, expected):
    """Evaluates one table row: the result's shape, or the exception (a class, or a class and the
    start of its text) that it raises."""
    if isinstance(expected, tuple) and len(expected) == 2 and isinstance(expected[0], type):
        with pytest.raises(expected[0]) as raised:
            evaluate(ops, expression)
        assert str(raised.value).startswith(expected[1])
    elif isinstance(expected, type) and issubclass(expected, BaseException):
        with pytest.raises(expected):
            evaluate(ops, expression)
    else:
        assert shape(evaluate(ops, expression)) == expected


def assert_operands_unchanged(ops, expressions):
    """Every expression that evaluates leaves e, q and g as they were."""
    before = [shape(item) for item in (ops.e, ops.q, ops.g)]
    for expression in expressions:
        try:
            evaluate(ops, expression)
        except TypeError:
            pass
    assert [shape(item) for item in (ops.e, ops.q, ops.g)] == before


def run_statement(ops, statement, name):
    """Runs an assignment statement of a table; gives the object the name held before and after."""
    names = ops.namespace()
    before = names[name]
    exec(statement, names)  # noqa: S102 - the tests' own table texts
    return before, names[name]


def check_refused_in_place(ops, statement, name, text):
    """The statement raises VeloriumException with `text` and leaves the object as it was."""
    names = ops.namespace()
    original = shape(names[name])
    with pytest.raises(v.VeloriumException) as raised:
        exec(statement, names)  # noqa: S102
    assert str(raised.value) == text
    assert shape(names[name]) == original


def operator_tests(table):
    """The tests of an operator table: each row, and that no row changes e, q or g."""

    @pytest.mark.parametrize("expression, expected", table)
    def test_operators(ops, expression, expected):
        check_row(ops, expression, expected)

    def test_operators_leave_their_operands_alone(ops):
        assert_operands_unchanged(ops, [expression for expression, _ in table])

    return test_operators, test_operators_leave_their_operands_alone


def in_place_test(table, name):
    """The test of a table of in-place statements on the operand `name`: whether the name still
    holds the same object, what it holds, and that a new object left the old one unchanged."""

    @pytest.mark.parametrize("statement, same, expected", table)
    def test_in_place_forms(ops, statement, same, expected):
        original = shape(getattr(ops, name))
        before, after = run_statement(ops, statement, name)
        assert (after is before) == same
        assert shape(after) == expected
        if not same:
            assert shape(before) == original

    return test_in_place_forms
