"""The Python class QuadExpression: constructor, methods, every operator with every kind of
operand, and the in-place forms and what they return."""
import pytest

import veloriumpy as v
from expression_cases import (C, G, INF, L, NON_FINITE, OTHER_MODEL, Q, REMOVED,  # noqa: F401
                              check_refused_in_place, check_row, in_place_test, operator_tests, ops, shape, terms)


def test_methods_edit_and_read_terms(ops):
    q = v.QuadExpression()
    assert (q.get_terms_count(), q.empty(), terms(q.get_linear_part())) == (0, True, ([], [], 0.0))
    q.get_linear_part().add_term(ops.x, 2.0)
    assert q.empty() and terms(q) == ([("x", 2.0)], [], 0.0)
    q.add_term(ops.x, ops.y)
    q.add_term(ops.y, ops.y, 3.0)
    q.add_term(ops.x, ops.x, -1.0)
    assert (q.get_terms_count(), q.get_term_coeff(0)) == (3, 1.0)
    assert (q.get_term_variable1(1).get_name(), q.get_term_variable2(1).get_name()) == ("y", "y")
    q.remove_term(0)
    assert terms(q)[1] == [("x", "x", -1.0), ("y", "y", 3.0)]
    q.set_term_coeff(1, 4.0)
    q.add_expression(ops.q, 2.0)
    q.add_expression(ops.e, -1.0)
    assert terms(q) == ([("y", 2.0)], [("x", "x", -1.0), ("y", "y", 4.0), ("x", "y", 2.0)], -1.0)
    view = q.get_linear_part()
    q *= 2.0
    assert terms(view) == terms(q)
    q /= 2.0
    copy = q.copy()
    copy.add_term(ops.x, ops.y, 1.0)
    assert q.get_term_coeff(2) == 2.0
    q.set_name("q")
    assert (q.get_name(), v.QuadExpression().get_name()) == ("q", None)
    with pytest.raises(v.VeloriumException, match=r"^Неверный индекс выражения \[3\]$"):
        q.get_term_variable1(3)
    with pytest.raises(TypeError):
        v.QuadExpression(1.0)
    with pytest.raises(TypeError):
        q.add_term(None, ops.y)


# x and y of one model, e = 2x + 3, q = x*y + y + 1, g = sin(y).
XY = [("x", "y", 1.0)]
OPERATORS = [
    ("q + 1.0", Q(XY, [("y", 1.0)], 2.0)),
    ("1 + q", Q(XY, [("y", 1.0)], 2.0)),
    ("q + x", Q(XY, [("y", 1.0), ("x", 1.0)], 1.0)),
    ("q + e", Q(XY, [("y", 1.0), ("x", 2.0)], 4.0)),
    ("q + q", Q([("x", "y", 2.0)], [("y", 2.0)], 2.0)),
    ("q + g", G("x*y+y+1+sin(y)")),
    ("q - 1.0", Q(XY, [("y", 1.0)], 0.0)),
    ("3 - q", Q([("x", "y", -1.0)], [("y", -1.0)], 2.0)),
    ("q - x", Q(XY, [("y", 1.0), ("x", -1.0)], 1.0)),
    ("q - e", Q(XY, [("y", 1.0), ("x", -2.0)], -2.0)),
    ("q - q", Q()),
    ("q - g", G("(x*y+y+1)-sin(y)")),
    ("q * 2.0", Q([("x", "y", 2.0)], [("y", 2.0)], 2.0)),
    ("2 * q", Q([("x", "y", 2.0)], [("y", 2.0)], 2.0)),
    ("q * x", G("(x*y+y+1)*x")),
    ("q * e", G("(x*y+y+1)*(2*x+3)")),
    ("q * q", G("(x*y+y+1)*(x*y+y+1)")),
    ("q * g", G("(x*y+y+1)*sin(y)")),
    ("q / 2.0", Q([("x", "y", 0.5)], [("y", 0.5)], 0.5)),
    ("q / x", G("(x*y+y+1)/x")),
    ("q / e", G("(x*y+y+1)/(2*x+3)")),
    ("q / q", G("(x*y+y+1)/(x*y+y+1)")),
    ("q / g", G("(x*y+y+1)/sin(y)")),
    ("2.0 / q", TypeError),
    ("-q", Q([("x", "y", -1.0)], [("y", -1.0)], -1.0)),
    ("q ** 0", 1.0),
    ("q ** 1", L([("y", 1.0)], 1.0, XY)),
    ("q ** 2", G("pow(x*y+y+1, 2)")),
    ("(v.QuadExpression() + y + 1.0) ** 2", Q([("y", "y", 1.0)], [("y", 2.0)], 1.0)),
    ("q ** -1", G("pow(x*y+y+1, -1)")),
    ("q ** 2.0", TypeError),
    ("2 ** q", TypeError),
    ("q >= q", C(0.0)),
    ("q <= q", C(-INF, upper=0.0)),
    ("q == q", C(0.0, upper=0.0)),
    ("q >= x * x", C(0.0, [("y", 1.0)], 1.0, quadratic=[("x", "y", 1.0), ("x", "x", -1.0)])),
    ("q <= x", C(-INF, [("y", 1.0), ("x", -1.0)], 1.0, upper=0.0, quadratic=XY)),
    ("q >= e", C(0.0, [("y", 1.0), ("x", -2.0)], -2.0, quadratic=XY)),
    ("q == e", C(0.0, [("y", 1.0), ("x", -2.0)], -2.0, upper=0.0, quadratic=XY)),
    ("q <= 5.0", C(-INF, [("y", 1.0)], -4.0, upper=0.0, quadratic=XY)),
    ("q >= 5", C(0.0, [("y", 1.0)], -4.0, quadratic=XY)),
    ("q == 1.0", C(0.0, [("y", 1.0)], 0.0, upper=0.0, quadratic=XY)),
    ("5.0 <= q", C(0.0, [("y", 1.0)], -4.0, quadratic=XY)),
    ("5.0 == q", C(0.0, [("y", 1.0)], -4.0, upper=0.0, quadratic=XY)),
    ("q != x", False),
    # An operand that neither side takes: == and != fall back to identity, an order raises.
    ("q == 's'", False),
    ("q <= 's'", TypeError),
    ("q >= 's'", TypeError),
    ("q == None", False),
    ("q != None", True),
    # A general expression makes no constraint with q: == raises rather than give False.
    ("q == g", TypeError),
    ("g == q", TypeError),
    ("q != g", TypeError),
    ("q >= g", TypeError),
    ("q < x", TypeError),
    ("q > x", TypeError),
    ("q * None", TypeError),
    ("q + None", TypeError),
    ("{q: 1}", TypeError),
]


test_operators, test_operators_leave_their_operands_alone = operator_tests(OPERATORS)


# Statement, whether q is still the same object, and what q is afterwards.
IN_PLACE = [
    ("q += 1.0", True, Q(XY, [("y", 1.0)], 2.0)),
    ("q -= 1", True, Q(XY, [("y", 1.0)], 0.0)),
    ("q *= 2.0", True, Q([("x", "y", 2.0)], [("y", 2.0)], 2.0)),
    ("q /= 2.0", True, Q([("x", "y", 0.5)], [("y", 0.5)], 0.5)),
    ("q += q", True, Q([("x", "y", 2.0)], [("y", 2.0)], 2.0)),
    ("q -= x * x", True, Q([("x", "y", 1.0), ("x", "x", -1.0)], [("y", 1.0)], 1.0)),
    ("q += x", False, Q(XY, [("y", 1.0), ("x", 1.0)], 1.0)),
    ("q -= x", False, Q(XY, [("y", 1.0), ("x", -1.0)], 1.0)),
    ("q += e", False, Q(XY, [("y", 1.0), ("x", 2.0)], 4.0)),
    ("q -= e", False, Q(XY, [("y", 1.0), ("x", -2.0)], -2.0)),
    ("q += g", False, G("x*y+y+1+sin(y)")),
    ("q -= g", False, G("(x*y+y+1)-sin(y)")),
    ("q *= x", False, G("(x*y+y+1)*x")),
]


test_in_place_forms = in_place_test(IN_PLACE, "q")


@pytest.mark.parametrize("statement, text", [
    ("q += w", OTHER_MODEL), ("q -= e_b", OTHER_MODEL), ("q += q_b", OTHER_MODEL), ("q -= q_b", OTHER_MODEL),
    ("q += g_b", OTHER_MODEL), ("q += r", REMOVED), ("q *= float('inf')", NON_FINITE), ("q /= 0.0", NON_FINITE),
])
def test_a_refused_in_place_form_leaves_the_expression_unchanged(ops, statement, text):
    check_refused_in_place(ops, statement, "q", text)


@pytest.mark.parametrize("expression, text", [
    ("q + w", OTHER_MODEL), ("q - e_b", OTHER_MODEL), ("q + q_b", OTHER_MODEL), ("q * w", OTHER_MODEL),
    ("q / q_b", OTHER_MODEL), ("q <= w", OTHER_MODEL), ("q == q_b", OTHER_MODEL), ("q >= e_b", OTHER_MODEL),
    ("q - r", REMOVED), ("q * r", REMOVED), ("q / 0.0", NON_FINITE),
])
def test_foreign_and_removed_operands_are_refused(ops, expression, text):
    check_row(ops, expression, (v.VeloriumException, text))


def test_texts(ops):
    assert repr(ops.q) == " + 1*x*y  + 1*y + 1"
    assert repr(ops.x * ops.y) == " + 1*x*y"
    assert repr(ops.q - ops.q) == ""
