"""The operators of Variable and LinearExpression take their commonest operands without walking
the overload chains: every such case must give exactly what the registered methods give."""
import gc
import operator
import weakref

import pytest

import veloriumpy as v
from expression_cases import ops, shape  # noqa: F401

OPERANDS = ["x", "y", "e", "q", "g", "2.5", "3", "True", "10 ** 400", "None", "'s'"]
BINARY = [(operator.add, "__add__", "__radd__"), (operator.sub, "__sub__", "__rsub__"),
          (operator.mul, "__mul__", "__rmul__")]
COMPARISONS = [(operator.le, "__le__", "__ge__"), (operator.ge, "__ge__", "__le__"), (operator.eq, "__eq__", "__eq__")]


def by_methods(a, b, name, reflected):
    """What Python computes from the registered methods alone: a comparison tries the reflected
    method whatever the types, an arithmetic operator only for another type; == falls back to
    identity, except between a linear or quadratic expression and a general one, which it
    refuses."""
    comparison = name in ("__le__", "__ge__", "__eq__")
    if name == "__eq__" and {type(a), type(b)} in ({v.LinearExpression, v.GeneralExpression},
                                                   {v.QuadExpression, v.GeneralExpression}):
        raise TypeError("unsupported")
    result = getattr(a, name)(b) if hasattr(a, name) else NotImplemented
    if result is NotImplemented and (comparison or type(a) is not type(b)) and hasattr(b, reflected):
        result = getattr(b, reflected)(a)
    if result is NotImplemented:
        if name == "__eq__":
            return a is b
        raise TypeError("unsupported")
    return result


def outcome(work):
    try:
        return shape(work())
    except (TypeError, v.VeloriumException) as error:
        return type(error)


@pytest.mark.parametrize("left", ["x", "e"])
@pytest.mark.parametrize("right", OPERANDS)
def test_both_orders_give_what_the_methods_give(ops, left, right):
    names = ops.namespace()
    for a, b in ((eval(left, names), eval(right, names)), (eval(right, names), eval(left, names))):
        for function, name, reflected in BINARY + COMPARISONS:
            expected = outcome(lambda: by_methods(a, b, name, reflected))
            assert outcome(lambda: function(a, b)) == expected, (function.__name__, a, b)


@pytest.mark.parametrize("statement", ["e += 2.5", "e += 3", "e += x", "e += e", "e -= 2.5", "e -= x", "e -= e",
                                       "e += q", "e -= g", "e += True"])
def test_in_place_forms_give_what_the_methods_give(ops, statement):
    target, operand = statement.split(" += " if "+=" in statement else " -= ")
    name = "__iadd__" if "+=" in statement else "__isub__"
    expected_ops = type(ops)()
    expected = getattr(expected_ops.e, name)(eval(operand, expected_ops.namespace()))
    names = ops.namespace()
    before = names["e"]
    exec(statement, names)  # noqa: S102
    assert shape(names["e"]) == shape(expected)
    assert (names["e"] is before) == (expected is expected_ops.e)


def test_subclasses_take_the_registered_methods(ops):
    class Scaled(v.LinearExpression):
        pass

    scaled = Scaled(2.0)
    scaled += ops.x
    assert type(scaled) is v.LinearExpression
    assert shape(Scaled(1.0) + ops.x) == shape(1.0 + ops.x)
    assert shape(ops.x - Scaled(1.0)) == shape(ops.x - 1.0)
    assert shape(Scaled(1.0) <= 4.0) == shape(v.LinearExpression(1.0) <= 4.0)


def test_objects_that_the_fast_paths_make_are_used_replaced_and_freed_like_any_other(ops):
    """Such an object keeps its value in itself: pybind11's own ways to reach, replace and end a
    value must find it there."""
    e = ops.x + ops.y
    same = e
    e *= 2.0  # a registered method: it finds the object by the address of its value
    assert e is same and shape(e) == shape(2.0 * ops.x + 2.0 * ops.y)
    row = ops.x <= 1.0
    row.__init__(e, v.constraint_sense.equal, 4.0)  # called again: ends the value in place, makes another
    assert repr(row) == repr(v.Constraint(e, v.constraint_sense.equal, 4.0))
    made = [ops.x + 1.0, 2.0 * ops.x, ops.x * ops.y, ops.x <= 1.0, e, row]
    alive = [weakref.ref(item) for item in made]
    del e, same, row, made
    gc.collect()
    assert [ref() for ref in alive] == [None] * 6


OPERATOR_METHODS = ["__add__", "__radd__", "__sub__", "__rsub__", "__mul__", "__rmul__", "__truediv__",
                    "__rtruediv__", "__pow__", "__iadd__", "__isub__", "__imul__", "__itruediv__", "__eq__", "__le__",
                    "__ge__"]


@pytest.mark.parametrize("name", ["x", "e", "q", "g"])
def test_operators_answer_not_implemented_to_operands_they_do_not_take(ops, name):
    item = getattr(ops, name)
    registered = [method for method in OPERATOR_METHODS if method in vars(type(item))]
    assert {"__add__", "__mul__", "__eq__"} <= set(registered)
    for stranger in (None, "a", object()):
        for method in registered:
            assert getattr(item, method)(stranger) is NotImplemented, (name, method, stranger)
        assert (item == stranger, stranger == item) == (False, False)
        assert (item != stranger, stranger != item) == (True, True)
    assert item in [None, "a", item] and [None, "a"].count(item) == 0
