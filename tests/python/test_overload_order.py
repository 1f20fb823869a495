"""Each operator of the expression classes tries its operand kinds in its own fixed order; the
order shows in the signatures that pybind11 writes into the operator's docstring."""
import re

import pytest

import veloriumpy as v

KINDS = {"float": "c", "int": "n", "Variable": "w", "LinearExpression": "e", "QuadExpression": "q",
         "GeneralExpression": "g"}
ORDERS = {
    v.Variable: {"__add__": "cweqg", "__sub__": "cweqg", "__rsub__": "c", "__radd__": "c", "__mul__": "cweqg",
                 "__truediv__": "cweqg", "__rmul__": "c", "__ge__": "cwe", "__le__": "c", "__eq__": "wcg",
                 "__pow__": "n"},
    v.LinearExpression: {"__pow__": "n", "__iadd__": "cwqge", "__isub__": "cwqge", "__imul__": "c",
                         "__itruediv__": "c", "__sub__": "qgecw", "__mul__": "qegwc", "__truediv__": "qewc",
                         "__add__": "cwqge", "__radd__": "c", "__rtruediv__": "c", "__rsub__": "c", "__rmul__": "c",
                         "__ge__": "ewc", "__eq__": "weqc", "__le__": "c"},
    v.QuadExpression: {"__pow__": "n", "__iadd__": "cwegq", "__isub__": "cwegq", "__imul__": "c",
                       "__itruediv__": "c", "__mul__": "weqgc", "__truediv__": "weqgc", "__add__": "cwegq",
                       "__radd__": "c", "__sub__": "qcweg", "__rsub__": "c", "__rmul__": "c", "__ge__": "qwec",
                       "__le__": "weqc", "__eq__": "weqc"},
    v.GeneralExpression: {"__pow__": "n", "__iadd__": "cweqg", "__isub__": "cweqg", "__imul__": "cg",
                          "__itruediv__": "cg", "__add__": "cweqg", "__radd__": "c", "__mul__": "weqgc",
                          "__truediv__": "weqgc", "__sub__": "gcwqe", "__rsub__": "c", "__rmul__": "c", "__eq__": "w"},
}


def operand_kinds(method):
    found = re.findall(r"arg0: (?:veloriumpy\.)?(\w+)", method.__doc__)
    return "".join(KINDS[name] for name in found)


@pytest.mark.parametrize("cls, name, order", [(cls, name, order) for cls, names in ORDERS.items()
                                              for name, order in names.items()])
def test_overload_order(cls, name, order):
    assert operand_kinds(getattr(cls, name)) == order


@pytest.mark.parametrize("cls", list(ORDERS))
def test_no_other_operator_is_bound(cls):
    bound = {name for name in vars(cls) if re.fullmatch(r"__(r|i)?(add|sub|mul|truediv|pow|lt|le|eq|ne|gt|ge)__",
                                                          name)}
    assert bound == set(ORDERS[cls])
    assert cls.__hash__ is None
