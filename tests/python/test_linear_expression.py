"""The Python class LinearExpression: constructors, methods, every operator with every kind of
operand, the in-place forms and what they return, and stores that hold quadratic terms."""
import math

import pytest

import veloriumpy as v
from expression_cases import (C, G, INF, L, NON_FINITE, OTHER_MODEL, Q, REMOVED,  # noqa: F401
                              check_refused_in_place, check_row, in_place_test, operator_tests, ops, shape, terms)

CONSTRUCTORS = [
    ("v.LinearExpression()", L()),
    ("v.LinearExpression(2.5)", L([], 2.5)),
    ("v.LinearExpression(value=2)", L([], 2.0)),
    ("v.LinearExpression(x, 3.0)", L([("x", 3.0)])),
    ("v.LinearExpression(x, 3)", L([("x", 3.0)])),
    ("v.LinearExpression(x, 0.0)", L()),
    ("v.LinearExpression(x)", TypeError),
    ("v.LinearExpression(None)", TypeError),
    ("v.LinearExpression('2')", TypeError),
    ("v.LinearExpression(float('nan'))", (v.VeloriumException, NON_FINITE)),
    ("v.LinearExpression(r, 1.0)", (v.VeloriumException, REMOVED)),
]


@pytest.mark.parametrize("expression, expected", CONSTRUCTORS)
def test_constructors(ops, expression, expected):
    check_row(ops, expression, expected)


def test_methods_edit_and_read_terms(ops):
    e = v.LinearExpression(1.0)
    e.add_term(ops.x)
    e.add_term(ops.y, 4.0)
    e.add_constant(0.5)
    e.set_term_coeff(0, -1.0)
    assert (e.get_terms_count(), e.empty(), e.get_constant()) == (2, False, 1.5)
    assert (e.get_term_variable(1).get_name(), e.get_term_variable_idx(1), e.get_term_coeff(1)) == ("y", 1, 4.0)
    e.add_expression(ops.e, -2.0)
    assert terms(e) == ([("x", -5.0), ("y", 4.0)], [], -4.5)
    e.remove_term(0)
    e.remove_variable(ops.y)
    e.set_constant(7.0)
    assert terms(e) == ([], [], 7.0) and e.empty()
    assert e.get_name() is None
    e.set_name("доход")
    assert e.get_name() == "доход"
    with pytest.raises(v.VeloriumException, match=r"^Неверный индекс выражения \[3\]$"):
        e.get_term_coeff(3)
    with pytest.raises(TypeError):
        e.set_name(None)
    with pytest.raises(TypeError):
        e.add_expression(ops.e)


def test_a_copy_is_independent_and_a_quad_part_is_a_view(ops):
    copy = ops.e.copy()
    copy.add_term(ops.y, 1.0)
    assert terms(ops.e) == ([("x", 2.0)], [], 3.0)
    view = ops.e.get_quad_part()
    view.add_term(ops.x, ops.y, 5.0)
    assert terms(ops.e) == ([("x", 2.0)], [("x", "y", 5.0)], 3.0)
    assert ops.e.get_terms_count() == 1 and not ops.e.empty()


# x and y of one model, e = 2x + 3, q = x*y + y + 1, g = sin(y).
OPERATORS = [
    ("e + 1.0", L([("x", 2.0)], 4.0)),
    ("1 + e", L([("x", 2.0)], 4.0)),
    ("e + x", L([("x", 3.0)], 3.0)),
    ("e + y", L([("x", 2.0), ("y", 1.0)], 3.0)),
    ("e + e", L([("x", 4.0)], 6.0)),
    ("e + q", L([("x", 2.0), ("y", 1.0)], 4.0, [("x", "y", 1.0)])),
    ("e + g", G("2*x+3+sin(y)")),
    ("e - 1.0", L([("x", 2.0)], 2.0)),
    ("5.0 - e", L([("x", -2.0)], 2.0)),
    ("e - x", L([("x", 1.0)], 3.0)),
    ("e - e", L()),
    ("e - q", L([("x", 2.0), ("y", -1.0)], 2.0, [("x", "y", -1.0)])),
    ("e - g", G("(2*x+3)-sin(y)")),
    ("e * 2.0", L([("x", 4.0)], 6.0)),
    ("2 * e", L([("x", 4.0)], 6.0)),
    ("e * x", Q([("x", "x", 2.0)], [("x", 3.0)])),
    ("e * y", Q([("y", "x", 2.0)], [("y", 3.0)])),
    ("e * e", Q([("x", "x", 4.0)], [("x", 12.0)], 9.0)),
    ("(2 * x + 3) * (x - 1)", Q([("x", "x", 2.0)], [("x", 1.0)], -3.0)),
    ("(x + y) * (x + 0)", Q([("x", "x", 1.0), ("y", "x", 1.0)])),
    ("e * q", G("(2*x+3)*(x*y+y+1)")),
    ("e * g", G("(2*x+3)*sin(y)")),
    ("e / 2.0", L([("x", 1.0)], 1.5)),
    ("e / x", G("(2*x+3)/x")),
    ("e / e", G("(2*x+3)/(2*x+3)")),
    ("e / q", G("(2*x+3)/(x*y+y+1)")),
    ("2.0 / e", G("2/(2*x+3)")),
    ("e / g", TypeError),
    ("-e", L([("x", -2.0)], -3.0)),
    ("e ** 0", 1.0),
    ("e ** 1", L([("x", 2.0)], 3.0)),
    ("e ** 2", Q([("x", "x", 4.0)], [("x", 12.0)], 9.0)),
    ("e ** 3", G("pow(2*x+3, 3)")),
    ("e ** -1", G("pow(2*x+3, -1)")),
    ("(e + q) ** 2", G("pow(2*x+y+x*y+4, 2)")),
    ("e ** 2.0", TypeError),
    ("2 ** e", TypeError),
    ("e <= 10.0", C(-INF, [("x", 2.0)], 3.0, upper=10.0)),
    ("e >= 10.0", C(10.0, [("x", 2.0)], 3.0)),
    ("e == 10.0", C(10.0, [("x", 2.0)], 3.0, upper=10.0)),
    ("10.0 >= e", C(-INF, [("x", 2.0)], 3.0, upper=10.0)),
    ("e >= e", C(0.0)),
    ("e == e", C(0.0, upper=0.0)),
    ("e >= x + y", C(0.0, [("x", 1.0), ("y", -1.0)], 3.0)),
    ("e <= x + y", C(0.0, [("x", -1.0), ("y", 1.0)], -3.0)),
    ("e >= x", C(0.0, [("x", 1.0)], 3.0)),
    ("e <= x", C(-INF, [("x", 1.0)], 3.0, upper=0.0)),
    ("e == x", C(0.0, [("x", 1.0)], 3.0, upper=0.0)),
    ("e == q", C(0.0, [("y", 1.0), ("x", -2.0)], -2.0, upper=0.0, quadratic=[("x", "y", 1.0)])),
    ("e <= q", C(0.0, [("y", 1.0), ("x", -2.0)], -2.0, quadratic=[("x", "y", 1.0)])),
    ("e >= q", C(-INF, [("y", 1.0), ("x", -2.0)], -2.0, upper=0.0, quadratic=[("x", "y", 1.0)])),
    ("e != 1.0", False),
    # A general expression makes no constraint with e: == raises rather than give False.
    ("e == g", TypeError),
    ("g == e", TypeError),
    ("e != g", TypeError),
    # == and != with an operand that neither side takes fall back to identity.
    ("e == None", False),
    ("e == 's'", False),
    ("e != None", True),
    ("None != e", True),
    ("e >= g", TypeError),
    ("e < 1.0", TypeError),
    ("e > x", TypeError),
    ("e + None", TypeError),
    ("e * None", TypeError),
    ("e >= None", TypeError),
    ("e - 's'", TypeError),
    ("{e: 1}", TypeError),
]


test_operators, test_operators_leave_their_operands_alone = operator_tests(OPERATORS)


# Statement, whether e is still the same object, and what e is afterwards.
IN_PLACE = [
    ("e += 1.0", True, L([("x", 2.0)], 4.0)),
    ("e -= 2", True, L([("x", 2.0)], 1.0)),
    ("e *= 3.0", True, L([("x", 6.0)], 9.0)),
    ("e /= 4.0", True, L([("x", 0.5)], 0.75)),
    ("e += x + y", True, L([("x", 3.0), ("y", 1.0)], 3.0)),
    ("e -= x + y", True, L([("x", 1.0), ("y", -1.0)], 3.0)),
    ("e += x", False, L([("x", 3.0)], 3.0)),
    ("e -= y", False, L([("x", 2.0), ("y", -1.0)], 3.0)),
    ("e += q", False, L([("x", 2.0), ("y", 1.0)], 4.0, [("x", "y", 1.0)])),
    ("e -= q", False, L([("x", 2.0), ("y", -1.0)], 2.0, [("x", "y", -1.0)])),
    ("e += g", False, G("sin(y)+(2*x+3)")),
    ("e -= g", False, G("-1*sin(y)+(2*x+3)")),
    ("e *= x", False, Q([("x", "x", 2.0)], [("x", 3.0)])),
]


test_in_place_forms = in_place_test(IN_PLACE, "e")


@pytest.mark.parametrize("statement, text", [
    ("e += w", OTHER_MODEL), ("e -= w", OTHER_MODEL), ("e += e_b", OTHER_MODEL), ("e -= e_b", OTHER_MODEL),
    ("e += q_b", OTHER_MODEL), ("e += g_b", OTHER_MODEL), ("e += r", REMOVED), ("e -= r", REMOVED),
    ("e *= 1e308", NON_FINITE), ("e /= 0.0", NON_FINITE), ("e += float('inf')", NON_FINITE),
    ("e -= float('nan')", NON_FINITE),
])
def test_a_refused_in_place_form_leaves_the_expression_unchanged(ops, statement, text):
    check_refused_in_place(ops, statement, "e", text)


@pytest.mark.parametrize("expression, text", [
    ("e + w", OTHER_MODEL), ("e - w", OTHER_MODEL), ("e + e_b", OTHER_MODEL), ("e * e_b", OTHER_MODEL),
    ("e * w", OTHER_MODEL), ("e + q_b", OTHER_MODEL), ("e + g_b", OTHER_MODEL), ("e / w", OTHER_MODEL),
    ("e >= w", OTHER_MODEL), ("e == e_b", OTHER_MODEL), ("e * r", REMOVED), ("e + r", REMOVED),
    ("e / 0.0", NON_FINITE), ("e * float('inf')", NON_FINITE), ("e / r", REMOVED),
])
def test_foreign_and_removed_operands_are_refused(ops, expression, text):
    check_row(ops, expression, (v.VeloriumException, text))


def test_a_store_with_quadratic_terms_is_scaled_and_negated_whole(ops):
    mixed = ops.e + ops.q
    assert repr(mixed) == " + 1*x*y  + 2*x + 1*y + 4"
    assert shape(mixed * 2.0) == L([("x", 4.0), ("y", 2.0)], 8.0, [("x", "y", 2.0)])
    assert shape(-mixed) == L([("x", -2.0), ("y", -1.0)], -4.0, [("x", "y", -1.0)])
    assert shape(1.0 - mixed) == L([("x", -2.0), ("y", -1.0)], -3.0, [("x", "y", -1.0)])
    view = ops.q.get_linear_part()
    view /= 2.0
    assert shape(ops.q) == Q([("x", "y", 0.5)], [("y", 0.5)], 0.5)


def test_a_product_that_would_not_be_quadratic_is_refused(ops):
    mixed = ops.e + ops.q
    for product in (lambda: mixed * ops.x, lambda: mixed * ops.e, lambda: ops.e * mixed, lambda: ops.x * mixed,
                    lambda: ops.q.get_linear_part() * ops.y):
        with pytest.raises(v.VeloriumException, match="квадратичными членами"):
            product()


def test_edge_values(ops):
    assert math.copysign(1.0, (-v.LinearExpression()).get_constant()) == 1.0
    assert shape(ops.e * 0.0) == L([("x", 0.0)])
    assert repr(v.LinearExpression(1234.5)) == " + 1234.5"
    assert repr(ops.e * 617.25) == " + 1.23e+03*x + 1.85e+03"
    same = ops.e ** 1
    same.add_constant(1.0)
    assert ops.e.get_constant() == 4.0
