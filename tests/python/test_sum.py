"""The module function sum: one pass over any iterable, the narrowest kind of result, and every
item either added or refused."""
import fractions

import numpy
import pytest

import veloriumpy as v
from expression_cases import G, L, NON_FINITE, OTHER_MODEL, Q, REMOVED, ops, shape  # noqa: F401

CAST_ERROR = ("Unable to cast Python instance of type {} to C++ type '?' (#define PYBIND11_DETAILED_ERROR_MESSAGES "
              "or compile in debug mode for details)")

# x and y of one model, e = 2x + 3, q = x*y + y + 1, g = sin(y).
SUMS = [
    ("[]", L()),
    ("()", L()),
    ("[1, 2.5, True]", L([], 4.5)),
    ("[x, y, 3.0]", L([("x", 1.0), ("y", 1.0)], 3.0)),
    ("[x, x, e]", L([("x", 4.0)], 3.0)),
    ("(c * x for c in (1.0, 2.0, 3.0))", L([("x", 6.0)])),
    ("[x, numpy.int64(2), numpy.float32(0.5), fractions.Fraction(1, 4)]", L([("x", 1.0)], 2.75)),
    ("[v.QuadExpression() + x + 1.0, y]", L([("y", 1.0), ("x", 1.0)], 1.0)),
    ("[x * y, x]", Q([("x", "y", 1.0)], [("x", 1.0)])),
    ("[q, e, 2]", Q([("x", "y", 1.0)], [("y", 1.0), ("x", 2.0)], 6.0)),
    ("[g, x]", G("sin(y)+0+x")),
    ("[q, e, g, 2.0]", G("sin(y)+(x*y+y+1)+(2*x+5)")),
    ("[g, g + 1.0]", G("sin(y)+(sin(y)+1)+0+0")),
]


@pytest.mark.parametrize("items, expected", SUMS)
def test_the_narrowest_kind_of_result(ops, items, expected):
    names = ops.namespace()
    names.update(numpy=numpy, fractions=fractions)
    before = [shape(item) for item in (ops.e, ops.q, ops.g)]
    assert shape(v.sum(eval(items, names))) == expected
    assert [shape(item) for item in (ops.e, ops.q, ops.g)] == before


def test_a_general_result_has_the_general_items_then_the_two_parts(ops):
    result = v.sum([ops.g, ops.x])
    assert [result.get_expr(i).get_type() for i in range(result.get_expr_count())] == [
        v.gen_expr_type.func_sin, v.gen_expr_type.constant, v.gen_expr_type.variable]


def test_the_result_shares_nothing_with_the_items(ops):
    linear, quadratic = v.sum([ops.e]), v.sum([ops.q])
    linear.add_term(ops.y, 1.0)
    quadratic += 1.0
    assert (shape(ops.e), shape(ops.q)) == (L([("x", 2.0)], 3.0), Q([("x", "y", 1.0)], [("y", 1.0)], 1.0))


@pytest.mark.parametrize("items, error, text", [
    ("['a']", RuntimeError, CAST_ERROR.format("<class 'str'>")),
    ("[x, None]", RuntimeError, CAST_ERROR.format("<class 'NoneType'>")),
    ("[x, [1.0]]", RuntimeError, CAST_ERROR.format("<class 'list'>")),
    ("[x <= 1.0]", RuntimeError, CAST_ERROR.format("<class 'veloriumpy.Constraint'>")),
    ("[10 ** 400]", RuntimeError, CAST_ERROR.format("<class 'int'>")),
    ("[float('inf')]", v.VeloriumException, NON_FINITE),
    ("[x, w]", v.VeloriumException, OTHER_MODEL),
    ("[e, e_b]", v.VeloriumException, OTHER_MODEL),
    ("[q, q_b]", v.VeloriumException, OTHER_MODEL),
    ("[g, g_b]", v.VeloriumException, OTHER_MODEL),
    ("[g, e_b]", v.VeloriumException, OTHER_MODEL),
    ("[x, r]", v.VeloriumException, REMOVED),
])
def test_items_that_cannot_be_added_end_the_sum(ops, items, error, text):
    with pytest.raises(error) as raised:
        v.sum(eval(items, ops.namespace()))
    assert str(raised.value) == text


def test_the_argument_must_be_iterable_and_its_errors_reach_the_caller(ops):
    with pytest.raises(TypeError):
        v.sum(5)

    def failing():
        yield ops.x
        raise KeyError("from the generator")

    with pytest.raises(KeyError, match="from the generator"):
        v.sum(failing())
    items = iter([ops.x, ops.y])
    assert shape(v.sum(items)) == L([("x", 1.0), ("y", 1.0)])
    assert shape(v.sum(items)) == L()
