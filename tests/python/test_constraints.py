"""The Python classes Constraint and GeneralConstraint."""
import pytest

import veloriumpy as v
from expression_cases import C, INF, NOT_CREATED, ops, shape  # noqa: F401

S = v.constraint_sense


@pytest.mark.parametrize("sense, rhs, lower, upper", [
    (S.less_equal, 5.0, -INF, 5.0),
    (S.greater_equal, 5, 5.0, INF),
    (S.equal, -1.5, -1.5, -1.5),
])
def test_the_constructor_sets_the_bounds_of_its_sense(ops, sense, rhs, lower, upper):
    constraint = v.Constraint(ops.e, sense, rhs)
    assert shape(constraint) == C(lower, [("x", 2.0)], 3.0, upper=upper)
    ops.e.add_term(ops.y, 1.0)
    assert shape(constraint) == C(lower, [("x", 2.0)], 3.0, upper=upper)


@pytest.mark.parametrize("arguments", [
    "ops.x, S.equal, 1.0", "ops.q, S.equal, 1.0", "ops.e, 1, 1.0", "None, S.equal, 1.0", "ops.e, None, 1.0",
    "ops.e, S.equal, 's'", "ops.e, S.equal", "expr=ops.e, sense=S.equal, rhs=1.0",
])
def test_the_constructor_takes_a_linear_expression_a_sense_and_a_number(ops, arguments):
    with pytest.raises(TypeError):
        eval(f"v.Constraint({arguments})")


def test_bounds_range_name_and_expression_views(ops):
    row = ops.x + 2.0 <= 5.0
    assert repr(row) == "-inf <= + 1*x + 2 <= 5"
    assert (row.get_name(), row.get_range()) == (None, INF)
    row.set_range(3.0)
    assert (row.get_lower_bound(), row.get_upper_bound(), row.get_range()) == (2.0, 5.0, 3.0)
    row.set_lower_bound(-INF)
    row.set_upper_bound(INF)
    with pytest.raises(v.VeloriumException, match="^Невозможно задать range для ограничения без заданных границ$"):
        row.set_range(1.0)
    row.set_name("предел")
    assert repr(row) == "предел: -inf <= + 1*x + 2 <= inf"
    with pytest.raises(TypeError):
        row.set_name(None)
    first, second = row.get_linear_expression(), row.get_linear_expression()
    assert first is not second
    first.add_term(ops.y, 4.0)
    assert shape(second) == ("L", [("x", 1.0), ("y", 4.0)], [], 2.0)
    quadratic = ops.x * ops.y <= 4.0
    assert repr(quadratic.get_quad_expression()) == " + 1*x*y  - 4"
    assert bool(row) and {row: 1}[row] == 1


def test_general_constraints(ops):
    named = v.GeneralConstraint(ops.g, ops.x, "связь")
    unnamed = v.GeneralConstraint(ops.g, ops.x, None)
    assert (repr(named), named.get_name(), named.get_variable().get_name()) == ("связь: x == sin(y)", "связь", "x")
    assert (repr(unnamed), unnamed.get_name()) == ("x == sin(y)", "")
    assert repr(ops.g == ops.x) == "x == sin(y)"
    named.set_name("другое")
    named.remove()
    assert named.get_name() == "другое" and {named: 1}[named] == 1
    with pytest.raises(v.VeloriumException, match=f"^{NOT_CREATED}$"):
        v.GeneralConstraint(ops.g, ops.w, "n")
    for arguments in ((ops.x, ops.g, "n"), (ops.g, ops.x), (ops.e, ops.x, "n"), (None, ops.x, "n")):
        with pytest.raises(TypeError):
            v.GeneralConstraint(*arguments)


def test_a_general_constraint_keeps_its_own_tree(ops):
    g = v.MathFunc.sin(ops.y)
    g += 1.0
    constraint = v.GeneralConstraint(g, ops.x, None)
    equality = ops.x == g
    g += 2.0
    assert repr(g) == "sin(y)+1+2"
    assert (repr(constraint), repr(equality)) == ("x == sin(y)+1", "x == sin(y)+1")


def test_the_stored_tree_changes_through_its_view_and_never_through_a_copy(ops):
    leaf_x = (ops.x / ops.y).get_expr(0)
    constraint = v.GeneralConstraint(ops.g + 1.0, ops.x, "c")
    copy = constraint.get_expression().copy()
    copy += 5.0
    copy.get_expr(0).set_expr(0, leaf_x)
    assert repr(constraint) == "c: x == sin(y)+1"
    view = constraint.get_expression()
    view += 2.0
    assert repr(constraint) == "c: x == sin(y)+1+2"
    holder = v.GeneralExpression()
    holder.add_expr(constraint.get_expression())
    constraint.get_expression().get_expr(0).set_expr(0, leaf_x)
    assert (repr(constraint), repr(holder)) == ("c: x == sin(x)+1+2", "(sin(y)+1+2)")


def test_a_general_constraint_made_in_python_survives_an_lp_file(tmp_path):
    if not hasattr(v.Model, "add_general_constraint"):
        pytest.skip("this build's Model has no add_general_constraint")
    model = v.Model()
    model.set_bool_param("log_to_console", False)
    x, y, z, w = (model.add_variable(1.0, 10.0, var_name=name) for name in ("x", "y", "z", "w"))
    chain = v.MathFunc.sin(x)
    chain += 1.0
    chain -= 2.0
    model.add_general_constraint(chain, z, "chain")
    chain += 3.0
    tree = v.MathFunc.exp(x) * 2.0 + v.MathFunc.pow(y, 2.5) - x / (y + 1.0) + v.MathFunc.log10(x * y)
    model.add_general_constraint(w == tree)
    def trees(owner):
        found = (owner.get_general_constraint(i) for i in range(owner.get_general_constraints_count()))
        return sorted((c.get_variable().get_name(), repr(c.get_expression())) for c in found)

    texts = trees(model)
    assert texts[1] == ("z", "(sin(x)+1)-2")
    assert repr(model.get_general_constraint("chain")) == "chain: z == (sin(x)+1)-2"
    path = str(tmp_path / "model.lp")
    model.write_lp(path)
    back = v.Model()
    back.set_bool_param("log_to_console", False)
    back.read_lp(path)
    assert trees(back) == texts
    assert repr(back.get_general_constraint("chain")) == "chain: z == (sin(x)+1)-2"


@pytest.mark.parametrize("kind", ["lp", "mps"])
@pytest.mark.parametrize("name_map", ["", "names.map"])
def test_general_constraints_of_one_name_stay_apart_in_a_file(tmp_path, kind, name_map):
    model = v.Model()
    model.set_bool_param("log_to_console", False)
    x, y, z = (model.add_variable(1.0, 10.0, var_name=name) for name in ("x", "y", "z"))
    model.add_general_constraint(v.MathFunc.sin(x), y, "g")
    model.add_general_constraint(v.MathFunc.exp(x), z, "g")
    # Both keep the name in the model; the name finds the later one.
    assert [model.get_general_constraint(i).get_name() for i in range(2)] == ["g", "g"]
    assert repr(model.get_general_constraint("g")) == "g: z == exp(x)"
    # The file gives the second a name of its own, so each line stands for one constraint.
    path = str(tmp_path / f"model.{kind}")
    getattr(model, f"write_{kind}")(path, str(tmp_path / name_map) if name_map else "")
    back = v.Model()
    back.set_bool_param("log_to_console", False)
    getattr(back, f"read_{kind}")(path)
    found = [back.get_general_constraint(i) for i in range(back.get_general_constraints_count())]
    assert [(c.get_name(), c.get_expression().get_type()) for c in found] == [
        ("g", v.gen_expr_type.func_sin), ("g#1", v.gen_expr_type.func_exp)]
    assert repr(back.get_general_constraint("g#1")).endswith(" == exp(x)" if not name_map else " == exp(x0)")
