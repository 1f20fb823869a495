"""The objects of Variable and Constraint, which programs keep by the million, live in memory of
the module's own (slabs, in huge pages once there are many) rather than in the interpreter's
arenas. Every way of making or dropping one must use that memory alike (the sanitizer build
reports a mismatch), and to a program they stay ordinary objects of ordinary classes."""
import gc
import sys
import tracemalloc
import weakref

import numpy as np
import pytest

import veloriumpy as v


def member_objects_of_every_path(model):
    """Variables and constraints made by every path of the module: its fast methods, the
    registered methods, the lists, the look-ups, the operators and the constructor."""
    x = model.add_variable(var_name="x")
    y = model.add_variable(np.float64(0.0), 5.0, 0.0, v.variable_type.continuous, "y")
    made = [x, y, *model.binary_var_list([0, 1, 2], "b"), model.get_variable(0), model.get_variable("y")]
    row = x + 2.0 * y <= 10
    made += [row, model.add_constraint(row, "c"), model.add_constraint(constr=x <= 1, constr_name="k"),
             model.add_constraint(x + y, v.constraint_sense.equal, 3.0, "e"),
             v.Constraint(x + y, v.constraint_sense.less_equal, 4.0), model.get_constraint(0),
             model.get_constraint("k")]
    made += model.add_constraints({"d": x >= 0}) or []
    return made


def test_member_objects_of_every_path_come_and_go(quiet_model):
    made = member_objects_of_every_path(quiet_model)
    alive = [weakref.ref(member) for member in made]
    assert {type(member) for member in made} == {v.Variable, v.Constraint}
    del made
    gc.collect()
    assert [ref() for ref in alive] == [None] * len(alive)
    assert [quiet_model.get_variables_count(), quiet_model.get_constraints_count()] == [5, 4]
    assert repr(quiet_model.get_constraint("c")) == "c: -inf <= + 2*y + 1*x <= 10"


def test_many_objects_outlive_their_model_and_each_other_in_any_order():
    # Enough objects for several slabs; dropped in an order unlike that of their making, some
    # after the model, so slabs empty and go while others are still in use.
    model = v.Model()
    model.set_bool_param("log_to_console", False)
    count = 60000
    variables = [model.add_variable(var_name=f"x{i}") for i in range(count)]
    rows = [model.add_constraint(variables[i] + variables[i + 1] <= 1, f"c{i}") for i in range(0, count - 1, 2)]
    del variables[::3]
    del rows[1::2]
    model = None
    kept = variables[-1]
    del variables[: len(variables) // 2]
    assert kept.get_name() == f"x{count - 1}"
    assert repr(rows[-1]).startswith(f"c{count - 4}: -inf <= ")
    del variables, rows
    again = v.Model()
    again.set_bool_param("log_to_console", False)
    assert [again.add_variable(var_name=f"z{i}").get_name() for i in range(1000)][-1] == "z999"
    assert kept.get_upper_bound() == v.kVeloriumInf


def test_kept_objects_take_none_of_the_interpreters_memory(quiet_model):
    # The interpreter's allocator would take 56 bytes an object; the list's room is made first.
    count = 5000
    x = quiet_model.add_variable(var_name="x")
    kept = [None] * (2 * count)
    tracemalloc.start()
    try:
        before = tracemalloc.get_traced_memory()[0]
        for i in range(count):
            kept[i] = quiet_model.add_variable()
            kept[count + i] = quiet_model.add_constraint(x <= i, "")
        grown = tracemalloc.get_traced_memory()[0] - before
    finally:
        tracemalloc.stop()
    assert grown < 8 * count, grown
    assert kept[-1].get_name() == f"C#{count - 1}"


def test_the_classes_stay_ordinary_classes(quiet_model):
    x = quiet_model.add_variable(var_name="x")
    row = quiet_model.add_constraint(x <= 1, "c")
    assert sys.getsizeof(x) == type(x).__basicsize__ and sys.getsizeof(row) == type(row).__basicsize__

    class Kept(v.Variable):
        pass

    # A subclass's objects come from the interpreter's memory: making one fails as for the
    # class itself (it has no constructor), and no object changes its class to it or back.
    with pytest.raises(TypeError):
        Kept()
    with pytest.raises(TypeError):
        x.__class__ = Kept
    assert type(x) is v.Variable and x.get_name() == "x"
