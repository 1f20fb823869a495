"""The Python class GeneralExpression: methods, texts, every operator with every kind of
operand, the in-place forms, trees that share nothing, and chains far deeper than the call stack."""
import pytest

import veloriumpy as v
from expression_cases import (G, NON_FINITE, NOT_CREATED, OTHER_MODEL, REMOVED,  # noqa: F401
                              check_refused_in_place, check_row, in_place_test, operator_tests, ops, shape)

T = v.gen_expr_type
sin, cos = v.MathFunc.sin, v.MathFunc.cos


def test_an_empty_expression_is_a_sum_without_children():
    g = v.GeneralExpression()
    assert (g.get_type(), g.get_arity(), g.get_expr_count(), repr(g)) == (T.plus, -1, 0, "")
    with pytest.raises(v.VeloriumException, match="^Недопустимое значение индекса - 0\n$"):
        g.get_expr(0)
    same = g
    g += 1.0
    g += 2.0
    assert g is same and repr(g) == "1+2" and g.get_expr_count() == 2


def test_reading_a_tree(ops):
    s = sin(ops.x) + ops.y
    assert (s.get_expr(1).get_type(), s.get_expr(1).get_variable().get_name()) == (T.variable, "y")
    child = s.get_expr(1)
    with pytest.raises(v.VeloriumException, match="^Действие не применимо к выражению типа 'Variable'\n$"):
        child.get_constant()
    assert child.get_type() == T.variable
    assert ((s * 2.0).get_expr(1).get_constant(), sin(ops.x).get_arity(), (ops.x / ops.y).get_arity()) == (2.0, 1, 2)
    with pytest.raises(v.VeloriumException, match="^Действие не применимо к выражению типа 'Plus'\n$"):
        s.get_variable()
    d = sin(ops.x) - ops.y
    with pytest.raises(v.VeloriumException, match="^Действие не применимо к выражению типа 'Minus'\n$"):
        d.add_expr(cos(ops.x))
    with pytest.raises(v.VeloriumException, match="^Операция не удалась\n$"):
        d.get_expr(2)
    with pytest.raises(TypeError):
        d.get_expr(1.0)


def test_editing_children(ops):
    s = sin(ops.x) + 1.0
    s.set_expr(1, cos(ops.x))
    assert repr(s) == "sin(x)+cos(x)"
    with pytest.raises(v.VeloriumException, match="^Операция не удалась\n$"):
        s.set_expr(2, cos(ops.y))
    with pytest.raises(v.VeloriumException, match=f"^{OTHER_MODEL}$"):
        s.set_expr(1, ops.g_b)
    with pytest.raises(v.VeloriumException, match=f"^{OTHER_MODEL}$"):
        s.add_expr(ops.g_b)
    with pytest.raises(TypeError):
        s.add_expr(None)
    assert repr(s) == "sin(x)+cos(x)"
    s.get_expr(0).set_expr(0, (ops.y / ops.x).get_expr(0))
    assert repr(s) == "sin(y)+cos(x)"


def test_the_texts_of_the_sine_of_x(ops):
    x, y = ops.x, ops.y
    s = sin(x)
    product, quotient, difference = sin(x), sin(x), sin(x)
    product *= 2.0
    quotient /= 2.0
    difference -= 2.0
    in_place = [repr(product), repr(quotient), repr(difference)]
    texts = [repr(s), repr(-s), repr(s + 1.0), repr(s - 1.0), repr(1.0 - s), repr(s + -2.0),
             repr(v.MathFunc.pow(x, 2.5)), repr(x / (s - y)), repr(2.0 * s), repr(s ** 2), repr(s ** -1)]
    assert texts + in_place == ["sin(x)", "-1*sin(x)", "sin(x)+1", "sin(x)-1", "sin(x)*(-1)+1", "sin(x)-2",
                                "pow(x, 2.5)", "x/(sin(x)-y)", "sin(x)*2", "pow(sin(x), 2)", "pow(sin(x), -1)",
                                "sin(x)*2", "sin(x)/2", "sin(x)-2"]


# x and y of one model, e = 2x + 3, q = x*y + y + 1, g = sin(y).
OPERATORS = [
    ("g + 1.0", G("sin(y)+1")),
    ("1 + g", G("sin(y)+1")),
    ("g + -2.0", G("sin(y)-2")),
    ("g + x", G("sin(y)+x")),
    ("g + e", G("sin(y)+(2*x+3)")),
    ("g + q", G("sin(y)+(x*y+y+1)")),
    ("g + g", G("sin(y)+sin(y)")),
    ("(g + 1.0) + 2.0", G("sin(y)+1+2")),
    ("g + (g + 1.0)", G("sin(y)+(sin(y)+1)")),
    ("g - 1.0", G("sin(y)-1")),
    ("1.0 - g", G("sin(y)*(-1)+1")),
    ("g - x", G("sin(y)-x")),
    ("g - e", G("sin(y)-(2*x+3)")),
    ("g - q", G("sin(y)-(x*y+y+1)")),
    ("g - g", G("sin(y)-sin(y)")),
    ("g * 2", G("sin(y)*2")),
    ("2.0 * g", G("sin(y)*2")),
    ("g * -2.0", G("sin(y)*(-2)")),
    ("g * x", G("sin(y)*x")),
    ("g * e", G("sin(y)*(2*x+3)")),
    ("g * q", G("sin(y)*(x*y+y+1)")),
    ("g * g", G("sin(y)*sin(y)")),
    ("(g * 2.0) * 3.0", G("sin(y)*2*3")),
    ("g / 2.0", G("sin(y)/2")),
    ("g / 0.0", G("sin(y)/0")),
    ("g / x", G("sin(y)/x")),
    ("g / e", G("sin(y)/(2*x+3)")),
    ("g / q", G("sin(y)/(x*y+y+1)")),
    ("g / g", G("sin(y)/sin(y)")),
    ("-g", G("-1*sin(y)")),
    ("-(g * 2.0)", G("-1*sin(y)*2")),
    ("x / (g - y)", G("x/(sin(y)-y)")),
    ("v.MathFunc.pow(x, 2.5)", G("pow(x, 2.5)")),
    ("g ** 0", 1.0),
    ("g ** 1", G("sin(y)")),
    ("g ** 2", G("pow(sin(y), 2)")),
    ("g ** -1", G("pow(sin(y), -1)")),
    ("g == x", ("GC", "x", "sin(y)")),
    ("g == 1.0", False),
    ("g == g", True),
    ("g == g ** 1", False),
    ("g == None", False),
    ("g != x", False),
    ("g ** 2.5", TypeError),
    ("2 ** g", TypeError),
    ("2.0 / g", TypeError),
    ("g <= 1.0", TypeError),
    ("g >= x", TypeError),
    ("g + 's'", TypeError),
    ("g * None", TypeError),
    ("{g: 1}", TypeError),
]


test_operators, test_operators_leave_their_operands_alone = operator_tests(OPERATORS)


# Statement, whether g is still the same object, and what g is afterwards.
IN_PLACE = [
    ("g += 1.0", True, G("sin(y)+1")),
    ("g -= 1.0", True, G("sin(y)-1")),
    ("g *= 2.0", True, G("sin(y)*2")),
    ("g /= 2", True, G("sin(y)/2")),
    ("g *= g", True, G("sin(y)*sin(y)")),
    ("g /= g", True, G("sin(y)/sin(y)")),
    ("g += x", False, G("sin(y)+x")),
    ("g -= x", False, G("sin(y)-x")),
    ("g += e", False, G("sin(y)+(2*x+3)")),
    ("g -= q", False, G("sin(y)-(x*y+y+1)")),
    ("g += g", False, G("sin(y)+sin(y)")),
    ("g -= g", False, G("sin(y)-sin(y)")),
    ("g *= x", False, G("sin(y)*x")),
    ("g /= e", False, G("sin(y)/(2*x+3)")),
]


test_in_place_forms = in_place_test(IN_PLACE, "g")


def test_in_place_forms_append_to_a_node_of_their_own_kind(ops):
    g = sin(ops.x) + 1.0
    h = g ** 1
    g += 2.0
    assert (repr(g), repr(h)) == ("sin(x)+1+2", "sin(x)+1+2")
    g = sin(ops.x)
    h = g ** 1
    g += 1.0
    assert (repr(g), repr(h)) == ("sin(x)+1", "sin(x)")
    g = sin(ops.x)
    h = g
    g += ops.y
    assert (repr(g), repr(h), g is h) == ("sin(x)+y", "sin(x)", False)
    p = sin(ops.x) * 2.0
    p *= cos(ops.x)
    p *= 3.0
    assert repr(p) == "sin(x)*2*cos(x)*3"


@pytest.mark.parametrize("statement, text", [
    ("g *= g_b", OTHER_MODEL), ("g /= g_b", OTHER_MODEL), ("g += g_b", OTHER_MODEL), ("g -= g_b", OTHER_MODEL),
    ("g += w", OTHER_MODEL), ("g -= e_b", OTHER_MODEL), ("g += r", REMOVED), ("g += float('inf')", NON_FINITE),
    ("g /= float('nan')", NON_FINITE),
])
def test_a_refused_in_place_form_leaves_the_expression_unchanged(ops, statement, text):
    check_refused_in_place(ops, statement, "g", text)


@pytest.mark.parametrize("expression, text", [
    ("g + w", OTHER_MODEL), ("g * w", OTHER_MODEL), ("g - w", OTHER_MODEL), ("g / w", OTHER_MODEL),
    ("g + e_b", OTHER_MODEL), ("g * q_b", OTHER_MODEL), ("g - g_b", OTHER_MODEL), ("g / g_b", OTHER_MODEL),
    ("g + g_b", OTHER_MODEL), ("g_b * g", OTHER_MODEL), ("g == w", NOT_CREATED), ("g * r", REMOVED),
    ("g ** r", TypeError),
])
def test_foreign_and_removed_operands_are_refused(ops, expression, text):
    if text is TypeError:
        check_row(ops, expression, TypeError)
    else:
        check_row(ops, expression, (v.VeloriumException, text))


def test_results_share_no_node_with_their_operands(ops):
    g = sin(ops.x) + 1.0
    results = [g * 2.0, g + 1.0, g - 1.0, -g, g ** 2, g.copy(), ops.x + g, ops.e * g, v.sum([g])]
    texts = [repr(result) for result in results]
    g += 5.0
    g.get_expr(0).set_expr(0, (ops.y / ops.x).get_expr(0))
    assert repr(g) == "sin(y)+1+5"
    assert [repr(result) for result in results] == texts


def test_a_view_of_a_child_acts_inside_its_tree_until_the_tree_moves_on(ops):
    g = sin(ops.x)
    g -= 1.0
    child = g.get_expr(0)
    child.set_expr(0, (ops.y / ops.x).get_expr(0))
    assert repr(g) == "sin(y)-1"
    g -= 2.0
    child.set_expr(0, (ops.x / ops.y).get_expr(0))
    assert (repr(g), repr(child)) == ("(sin(y)-1)-2", "sin(x)")


def test_chains_far_deeper_than_the_call_stack(ops):
    levels = 100_000
    g = sin(ops.x)
    same = g
    for _ in range(levels):
        g -= 1.0
    assert g is same
    text = repr(g)
    assert text == "(" * (levels - 1) + "sin(x)-1" + ")-1" * (levels - 1)
    copy = g.copy()
    g += 1.0
    assert repr(copy) == text
    del g, copy
