"""The Python class Variable: its methods and every operator with every kind of operand."""
import pytest

import veloriumpy as v
from expression_cases import (C, G, INF, L, NOT_CREATED, OTHER_MODEL, Q, REMOVED,  # noqa: F401
                              check_row, operator_tests, ops)


def test_methods_read_and_change_the_models_variable(ops):
    x, same = ops.x, ops.model.add_variable(0.0, 10.0, 0.0, v.variable_type.continuous, "z")
    assert (x.get_name(), x.get_type(), x.get_lower_bound(), x.get_upper_bound()) == (
        "x", v.variable_type.continuous, 0.0, INF)
    x.set_name("длина")
    x.set_type(v.variable_type.integer)
    x.set_lower_bound(-2.0)
    x.set_upper_bound(7)
    assert repr(x) == "Integer: -2 <= длина <= 7"
    assert repr(same) == "Continuous: 0 <= z <= 10"
    # A binary's bounds are rounded to 0 or 1, never to minus zero.
    binary = ops.model.add_variable(-0.4, -0.0, 0.0, v.variable_type.binary, "b")
    assert repr(binary) == "Binary: 0 <= b <= 0"
    with pytest.raises(TypeError):
        x.set_type(2)
    with pytest.raises(TypeError):
        x.set_name(None)
    with pytest.raises(TypeError, match="No constructor defined"):
        v.Variable()


def test_removal_is_seen_through_every_handle(ops):
    handle = ops.x ** 1
    assert type(handle) is v.Variable and handle is not ops.x
    ops.x.remove()
    with pytest.raises(v.VeloriumException):
        handle.get_lower_bound()


# x and y of one model, e = 2x + 3, q = x*y + y + 1, g = sin(y).
OPERATORS = [
    ("x + 2.0", L([("x", 1.0)], 2.0)),
    ("x + 2", L([("x", 1.0)], 2.0)),
    ("2.0 + x", L([("x", 1.0)], 2.0)),
    ("x + y", L([("x", 1.0), ("y", 1.0)])),
    ("x + x", L([("x", 2.0)])),
    ("x + e", L([("x", 3.0)], 3.0)),
    ("x + q", Q([("x", "y", 1.0)], [("y", 1.0), ("x", 1.0)], 1.0)),
    ("x + g", G("sin(y)+x")),
    ("x - 2.0", L([("x", 1.0)], -2.0)),
    ("2 - x", L([("x", -1.0)], 2.0)),
    ("x - y", L([("x", 1.0), ("y", -1.0)])),
    ("x - x", L()),
    ("x - e", L([("x", -1.0)], -3.0)),
    ("x - q", Q([("x", "y", -1.0)], [("y", -1.0), ("x", 1.0)], -1.0)),
    ("x - g", G("-1*sin(y)+x")),
    ("x * 2.0", L([("x", 2.0)])),
    ("2.0 * x", L([("x", 2.0)])),
    ("x * 0.0", L()),
    ("x * y", Q([("x", "y", 1.0)])),
    ("x * e", Q([("x", "x", 2.0)], [("x", 3.0)])),
    ("x * q", G("x*(x*y+y+1)")),
    ("x * g", G("sin(y)*x")),
    ("x / 4.0", L([("x", 0.25)])),
    ("x / y", G("x/y")),
    ("x / x", G("x/x")),
    ("x / e", G("x/(2*x+3)")),
    ("x / q", G("x/(x*y+y+1)")),
    ("x / g", G("x/sin(y)")),
    ("-x", L([("x", -1.0)])),
    ("x >= 5.0", C(5.0, [("x", 1.0)])),
    ("x <= 5.0", C(-INF, [("x", 1.0)], upper=5.0)),
    ("x == 5.0", C(5.0, [("x", 1.0)], upper=5.0)),
    ("5.0 >= x", C(-INF, [("x", 1.0)], upper=5.0)),
    ("x >= y", C(0.0, [("x", 1.0), ("y", -1.0)])),
    ("x <= y", C(0.0, [("y", 1.0), ("x", -1.0)])),
    ("x == y", C(0.0, [("x", 1.0), ("y", -1.0)], upper=0.0)),
    ("x == x", C(0.0, upper=0.0)),
    # A variable at least a linear expression is kept as e - x <= 0.
    ("x >= e", C(-INF, [("x", 1.0)], 3.0, upper=0.0)),
    ("x <= e", C(0.0, [("x", 1.0)], 3.0)),
    ("x == e", C(0.0, [("x", 1.0)], 3.0, upper=0.0)),
    ("x == q", C(0.0, [("y", 1.0), ("x", -1.0)], 1.0, upper=0.0, quadratic=[("x", "y", 1.0)])),
    ("x <= q", C(0.0, [("y", 1.0), ("x", -1.0)], 1.0, quadratic=[("x", "y", 1.0)])),
    ("x >= q", C(-INF, [("y", 1.0), ("x", -1.0)], 1.0, upper=0.0, quadratic=[("x", "y", 1.0)])),
    ("x == g", ("GC", "x", "sin(y)")),
    ("x ** 0", 1.0),
    ("x ** 1", ("V", "x")),
    ("x ** 2", Q([("x", "x", 1.0)])),
    ("x ** 3", G("pow(x, 3)")),
    ("x ** -1", G("pow(x, -1)")),
    ("x != 1.0", False),
    ("x == None", False),
    ("x == 's'", False),
    ("x ** 2.0", TypeError),
    ("x ** 2 ** 40", TypeError),
    ("2 ** x", TypeError),
    ("2.0 / x", TypeError),
    ("x >= g", TypeError),
    ("x <= g", TypeError),
    ("x < 1.0", TypeError),
    ("x > y", TypeError),
    ("x + None", TypeError),
    ("x - None", TypeError),
    ("x * None", TypeError),
    ("x / None", TypeError),
    ("x >= None", TypeError),
    ("x + 's'", TypeError),
    ("{x: 1}", TypeError),
]


test_operators, test_operators_leave_their_operands_alone = operator_tests(OPERATORS)


# r was removed from the model; w belongs to another model.
REFUSED = [
    ("r + 1.0", REMOVED), ("2 - r", REMOVED), ("r * 2.0", REMOVED), ("r / 2.0", REMOVED), ("-r", REMOVED),
    ("r <= 5", REMOVED), ("r >= 5", REMOVED), ("r == 5", REMOVED), ("r + x", REMOVED), ("x - r", REMOVED),
    ("r * x", REMOVED), ("r ** 2", REMOVED), ("r ** 3", REMOVED), ("r + e", REMOVED), ("r - e", REMOVED),
    ("r * e", REMOVED), ("r + q", REMOVED), ("r - q", REMOVED), ("r >= e", REMOVED), ("r >= x", REMOVED),
    ("r + g", REMOVED), ("r - g", REMOVED), ("r * g", REMOVED), ("r / g", REMOVED), ("r / x", REMOVED),
    ("r * q", REMOVED),
    ("x + w", OTHER_MODEL), ("x - w", OTHER_MODEL), ("x * w", OTHER_MODEL), ("x >= w", OTHER_MODEL),
    ("x == w", OTHER_MODEL), ("w + e", OTHER_MODEL), ("w - e", OTHER_MODEL), ("w * e", OTHER_MODEL),
    ("w + q", OTHER_MODEL), ("w - q", OTHER_MODEL), ("w >= e", OTHER_MODEL), ("w * q", OTHER_MODEL),
    ("w / x", OTHER_MODEL), ("w / e", OTHER_MODEL), ("w + g", OTHER_MODEL), ("w - g", OTHER_MODEL),
    ("w * g", OTHER_MODEL), ("w / g", OTHER_MODEL),
    ("w == g", NOT_CREATED),
]


@pytest.mark.parametrize("expression, text", REFUSED)
def test_removed_and_foreign_operands_are_refused(ops, expression, text):
    check_row(ops, expression, (v.VeloriumException, text))


def test_dividing_by_zero_is_refused_rather_than_storing_infinity(ops):
    with pytest.raises(v.VeloriumException, match="^Неконечное значение$"):
        ops.x / 0.0
