"""Model.add_variable and Model.add_constraint with a constraint object take their common
argument forms without pybind11's dispatch; every form must give exactly what the registered
methods give, and every other form reaches them unchanged."""
import gc
import weakref

import numpy as np
import pytest

import veloriumpy as v

INF = v.kVeloriumInf
C, I, B = v.variable_type.continuous, v.variable_type.integer, v.variable_type.binary


def shape(variable):
    return (variable.get_name(), variable.get_lower_bound(), variable.get_upper_bound(), variable.get_type())


def outcome(work):
    try:
        return work()
    except (TypeError, RuntimeError, v.VeloriumException) as error:
        return type(error), str(error).split("\n")[0]


# Call on a new quiet model, and what the new variable is (name, bounds, type) or the error.
ADD_VARIABLE = [
    ("m.add_variable()", ("x#0", 0.0, INF, C)),
    ("m.add_variable(1.5, 4.0, 2.0, C, 'n')", ("n", 1.5, 4.0, C)),
    ("m.add_variable(1, 4, 2, I, 'n')", ("n", 1.0, 4.0, I)),
    ("m.add_variable(var_name='n')", ("n", 0.0, INF, C)),
    ("m.add_variable(var_type=B, lower_bound=-3)", ("x#0", 0.0, 1.0, B)),
    ("m.add_variable(upper_bound=2 ** 70)", ("x#0", 0.0, 2.0 ** 70, C)),
    ("m.add_variable(0, 1, 0, C, None)", ("x#0", 0.0, 1.0, C)),
    ("m.add_variable(0, 1, 0, C, '')", ("x#0", 0.0, 1.0, C)),
    ("m.add_variable(var_name='имя')", ("имя", 0.0, INF, C)),
    # Forms the registered method takes (its conversions), or refuses.
    ("m.add_variable(True, np.float64(2.5), var_name='n')", ("n", 1.0, 2.5, C)),
    ("m.add_variable(upper_bound=10 ** 400)", (TypeError, "add_variable(): incompatible function arguments. "
                                                          "The following argument types are supported:")),
    ("m.add_variable(var_type=1)", (TypeError, "add_variable(): incompatible function arguments. The following "
                                               "argument types are supported:")),
    ("m.add_variable(var_name=b'n')", ("n", 0.0, INF, C)),
    ("m.add_variable(var_name='\\udc80')", (TypeError, "add_variable(): incompatible function arguments. The "
                                                       "following argument types are supported:")),
    ("m.add_variable(0, 1, 0, C, 'n', 5)", (TypeError, "add_variable(): incompatible function arguments. The "
                                                       "following argument types are supported:")),
    ("m.add_variable(0, lower_bound=1)", (TypeError, "add_variable(): incompatible function arguments. The "
                                                     "following argument types are supported:")),
    ("m.add_variable(lb=1)", (TypeError, "add_variable(): incompatible function arguments. The following argument "
                                         "types are supported:")),
    # The library's refusals.
    ("m.add_variable(5, 1)", (v.VeloriumException, "Недопустимые границы переменной")),
    ("m.add_variable(1.5, 4.0, 2.0, I, 'n')", (v.VeloriumException, "Переменная типа INTEGER/SEMIINTEGER имеет "
                                                                  "нецелую нижнюю границу [1.500000]")),
    ("m.add_variable(var_name=' n')", (v.VeloriumException, "Имя переменной не может начинаться с символа [ ]")),
    ("m.add_variable(float('nan'))", (v.VeloriumException, "Неконечное значение")),
]


@pytest.mark.parametrize("call, expected", ADD_VARIABLE, ids=[call for call, _ in ADD_VARIABLE])
def test_add_variable_takes_every_form_as_the_registered_method(quiet_model, call, expected):
    names = {"m": quiet_model, "np": np, "C": C, "I": I, "B": B}
    result = outcome(lambda: shape(eval(call, names)))
    if isinstance(expected[0], type):
        assert result[0] is expected[0] and result[1].startswith(expected[1])
        assert quiet_model.get_variables_count() == 0
    else:
        assert result == expected
        assert quiet_model.get_variables_count() == 1


@pytest.fixture
def xy(quiet_model):
    return quiet_model, quiet_model.add_variable(var_name="x"), quiet_model.add_variable(var_name="y")


def rows_of(model):
    return [repr(model.get_constraint(i)) for i in range(model.get_constraints_count())]


# A call with a constraint object and a name, and the one row the model holds afterwards (or the
# error, and no row).
ADD_CONSTRAINT = [
    ("m.add_constraint(x + 2.0 * y <= 10, 'c')", "c: -inf <= + 2*y + 1*x <= 10"),
    ("m.add_constraint(x + 2.0 * y <= 10, None)", "C#0: -inf <= + 2*y + 1*x <= 10"),
    ("m.add_constraint(x + 2.0 * y <= 10, '')", "C#0: -inf <= + 2*y + 1*x <= 10"),
    ("m.add_constraint(x * y >= 1, 'q')", "q: 0 <= + 1*x*y  - 1 <= inf"),
    ("m.add_constraint(constr=x <= 1, constr_name='k')", "k: -inf <= + 1*x <= 1"),
    ("m.add_constraint(x <= 1, b'k')", "k: -inf <= + 1*x <= 1"),
    # Not a constraint object: the other overloads.
    ("m.add_constraint(x + y, v.constraint_sense.equal, 3.0, 'e')", "e: 3 <= + 1*x + 1*y <= 3"),
    ("m.add_constraint(x + y, 1.0, 3.0, 'r')", "r: 1 <= + 1*x + 1*y <= 3"),
    # Refusals: no term, another model's terms, no name, a name the library refuses.
    ("m.add_constraint(v.LinearExpression(2.0) <= 1, 'z')",
     (v.VeloriumException, "Нет данных для ограничения, невозможно добавить пустое ограничение")),
    ("m.add_constraint(other <= 1, 'o')", (v.VeloriumException, "Невозможно добавить выражение из другой модели")),
    ("m.add_constraint(x <= 1)", (TypeError, "add_constraint(): incompatible function arguments.")),
    ("m.add_constraint(x <= 1, ' c')", (v.VeloriumException, "Ограничение не может начинаться с пробела")),
]


@pytest.mark.parametrize("call, expected", ADD_CONSTRAINT, ids=[call for call, _ in ADD_CONSTRAINT])
def test_add_constraint_takes_every_form_as_the_registered_method(xy, call, expected):
    model, x, y = xy
    other = v.Model().add_variable(var_name="o") + 0.0
    names = {"m": model, "x": x, "y": y, "v": v, "other": other}
    result = outcome(lambda: eval(call, names))
    if isinstance(expected, tuple):
        assert result[0] is expected[0] and result[1].startswith(expected[1])
        assert model.get_constraints_count() == 0
    else:
        assert isinstance(result, v.Constraint) and repr(result) == expected
        assert rows_of(model) == [expected]


def test_the_replacements_look_like_the_registered_methods():
    for name in ("add_variable", "add_constraint"):
        method = getattr(v.Model, name)
        assert (method.__name__, method.__qualname__, method.__module__) == (name, f"PyCapsule.{name}", "veloriumpy")
    assert v.Model.add_variable.__doc__.startswith("add_variable(self: veloriumpy.Model, lower_bound: float = 0.0")
    assert v.Model.add_constraint.__doc__.startswith("add_constraint(*args, **kwargs)\nOverloaded function.")


def test_objects_made_without_the_registry_are_freed_and_the_model_keeps_its_members(quiet_model):
    x = quiet_model.add_variable(var_name="x")
    row = quiet_model.add_constraint(x <= 1, "c")
    alive = [weakref.ref(x), weakref.ref(row)]
    del x, row
    gc.collect()
    assert [ref() for ref in alive] == [None, None]
    assert repr(quiet_model.get_constraint("c")) == "c: -inf <= + 1*x <= 1"
