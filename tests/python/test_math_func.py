"""The class MathFunc: every function and overload builds its node over the general forms of
its operands, taken in order, and shares no node with them."""
import pytest

import veloriumpy as v
from expression_cases import NON_FINITE, OTHER_MODEL, REMOVED, ops  # noqa: F401

T = v.gen_expr_type
UNARY = {"sqrt": T.func_square_root, "sqr": T.func_sqr, "exp": T.func_exp, "log": T.func_log,
         "log2": T.func_log2, "log10": T.func_log10, "sin": T.func_sin, "cos": T.func_cos, "tan": T.func_tan,
         "logistic": T.func_logistic, "tanh": T.func_tanh}
BINARY = {"pow": T.func_pow, "signpow": T.func_signpow}
# An operand of each kind (e = 2x + 3, q = x*y + y + 1, g = sin(y)) and the text of its general form.
KINDS = {"2.5": "2.5", "3": "3", "x": "x", "e": "2*x+3", "q": "x*y+y+1", "g": "sin(y)"}


def children(node):
    return [repr(node.get_expr(i)) for i in range(node.get_expr_count())]


@pytest.mark.parametrize("name, operand", [(name, operand) for name in UNARY for operand in KINDS])
def test_functions_of_one_operand(ops, name, operand):
    node = getattr(v.MathFunc, name)(eval(operand, ops.namespace()))
    assert (type(node), node.get_type(), node.get_arity(), children(node)) == (
        v.GeneralExpression, UNARY[name], 1, [KINDS[operand]])
    assert repr(node) == f"{name.replace('func_', '')}({KINDS[operand]})"


@pytest.mark.parametrize("name, first, second",
                         [(name, a, b) for name in BINARY for a in KINDS for b in KINDS])
def test_functions_of_two_operands_keep_their_order(ops, name, first, second):
    names = ops.namespace()
    node = getattr(v.MathFunc, name)(eval(first, names), eval(second, names))
    assert (node.get_type(), children(node)) == (BINARY[name], [KINDS[first], KINDS[second]])


def test_docstrings_and_registration():
    assert v.MathFunc.sqrt.__doc__.count("Получает выражение с функциейsqrt\n\n:return: выражение с функциейsqrt") == 5
    assert v.MathFunc.signpow.__doc__.count("\n\n:return: выражение с функциейsignpow") == 25
    assert isinstance(v.MathFunc(), v.MathFunc)


@pytest.mark.parametrize("call", [
    "v.MathFunc().sqrt(1.0)", "v.MathFunc.sqrt(None)", "v.MathFunc.sqrt('1')", "v.MathFunc.sqrt(self=1.0)",
    "v.MathFunc.pow(x)", "v.MathFunc.pow(x, y, 1.0)", "v.MathFunc.exp()", "v.MathFunc(1.0)",
    "v.MathFunc.log(v.Constraint(e, v.constraint_sense.equal, 1.0))",
])
def test_calls_that_match_no_overload(ops, call):
    with pytest.raises(TypeError):
        eval(call, ops.namespace())


@pytest.mark.parametrize("call, text", [
    ("v.MathFunc.pow(x, w)", OTHER_MODEL), ("v.MathFunc.signpow(g, e_b)", OTHER_MODEL),
    ("v.MathFunc.pow(q_b, e)", OTHER_MODEL), ("v.MathFunc.sin(r)", REMOVED), ("v.MathFunc.pow(2.0, r)", REMOVED),
    ("v.MathFunc.sqrt(float('nan'))", NON_FINITE), ("v.MathFunc.pow(x, float('inf'))", NON_FINITE),
])
def test_refused_operands(ops, call, text):
    with pytest.raises(v.VeloriumException) as raised:
        eval(call, ops.namespace())
    assert str(raised.value) == text


def test_nothing_is_evaluated(ops):
    assert repr(v.MathFunc.pow(2.0, 3.0)) == "pow(2, 3)"
    assert repr(v.MathFunc.sqrt(-1.0)) == "sqrt(-1)"
    assert repr(v.MathFunc.log(0)) == "log(0)"
    assert repr(v.MathFunc.sqr(ops.x)) == "sqr(x)"


def test_results_share_no_node_with_their_operands(ops):
    e, g = ops.e, ops.g + 1.0
    view = (g * 2.0).get_expr(0)
    results = [v.MathFunc.log(e), v.MathFunc.sin(g), v.MathFunc.pow(g, e), v.MathFunc.tanh(view)]
    texts = [repr(result) for result in results]
    e.add_term(ops.y, 1.0)
    g += 5.0
    view += 7.0
    view.get_expr(0).set_expr(0, (ops.x / ops.y).get_expr(0))
    assert [repr(result) for result in results] == texts
