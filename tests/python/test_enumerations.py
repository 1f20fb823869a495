"""The seven enumeration classes: members, numbers, texts, comparisons."""
import pickle

import pytest

import veloriumpy as v

MEMBERS = {
    "MipStartCompletion": [("AUTO", -1), ("FULL_START_ONLY", -2), ("DISABLED", -3)],
    "solve_result": [("success", 0), ("fail", 1), ("remote_invalid_api_key", 2), ("remote_api_key_not_set", 3),
                     ("remote_time_amount_is_over", 4), ("remote_time_per_calc_violated", 5), ("remote_fail", 6)],
    "solution_status": [("invalid_solution", 0), ("optimal", 1), ("feasible", 2), ("infeasible", 3),
                        ("unbounded", 4), ("infeasible_or_unbounded", 5), ("imprecise", 6)],
    "variable_type": [("continuous", 0), ("binary", 1), ("integer", 2), ("semicontinuous", 3), ("semiinteger", 4)],
    "objective_sense": [("minimize", 0), ("maximize", 1)],
    "constraint_sense": [("equal", 0), ("less_equal", 1), ("greater_equal", 2)],
    "gen_expr_type": [("constant", 0), ("variable", 1), ("minus", 2), ("plus", 3), ("divide", 4), ("multiply", 5),
                      ("func_square_root", 6), ("func_sqr", 7), ("func_pow", 8), ("func_exp", 9), ("func_log", 10),
                      ("func_log2", 11), ("func_log10", 12), ("func_sin", 13), ("func_cos", 14), ("func_tan", 15),
                      ("func_logistic", 16), ("func_tanh", 17), ("func_signpow", 18)],
}


@pytest.mark.parametrize("class_name, members", MEMBERS.items())
def test_members_numbers_and_texts(class_name, members):
    cls = getattr(v, class_name)
    assert [(name, int(member)) for name, member in cls.__members__.items()] == members
    for name, number in members:
        member = getattr(cls, name)
        assert isinstance(member, cls)
        assert (member.name, member.value, int(member), member.__index__()) == (name, number, number, number)
        assert cls(number) == member
        assert str(member) == f"{class_name}.{name}"
        assert repr(member) == f"<{class_name}.{name}: {number}>"
        assert member != number and not (member == number)
        assert hash(member) == hash(number)
        assert pickle.loads(pickle.dumps(member)) == member
        assert not hasattr(v, name)
    assert cls.__doc__.startswith("Members:")
    assert all(f"  {name}" in cls.__doc__ for name, _ in members)


@pytest.mark.parametrize("class_name", [name for name in MEMBERS if name != "MipStartCompletion"])
def test_only_mip_start_completion_orders_its_members(class_name):
    first, second = (getattr(v, class_name)(number) for _, number in MEMBERS[class_name][:2])
    with pytest.raises(TypeError):
        first < second
    assert first != second


def test_mip_start_completion_orders_by_number_and_refuses_other_types():
    msc = v.MipStartCompletion
    assert msc.AUTO > msc.DISABLED and msc.DISABLED < msc.FULL_START_ONLY
    assert msc.AUTO >= msc.AUTO and msc.DISABLED <= msc.AUTO
    for compare in (lambda: msc.AUTO < -1, lambda: msc.AUTO >= v.variable_type.binary):
        with pytest.raises(TypeError, match="Expected an enumeration of matching type!"):
            compare()


def test_a_value_that_is_no_member_still_converts():
    stray = v.solution_status(9)
    assert int(stray) == 9
    assert stray.name == "???"


def test_members_of_different_classes_are_unequal():
    assert v.variable_type.binary != v.objective_sense.maximize
    assert v.variable_type(3) == v.variable_type.semicontinuous
    assert v.solve_result(6).name == "remote_fail"
