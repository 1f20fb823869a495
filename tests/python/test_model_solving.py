"""Model's solving and start values without a calculation service: what is refused before any
request, and what the start values take."""
import pytest

import veloriumpy as v

LOCAL_SOLVE = "Локальное решение моделей не предусмотрено в данной версии."


def test_a_local_solve_is_refused(quiet_model):
    with pytest.raises(v.VeloriumException) as caught:
        quiet_model.solve()
    assert str(caught.value) == LOCAL_SOLVE
    assert quiet_model.get_calc_uid() == ""


@pytest.mark.parametrize("call", [
    lambda m: m.solve_remote(),
    lambda m: m.solve_remote_async(None),
    lambda m: m.get_remote_solve_log(None),
    lambda m: m.get_remote_solve_log(calc_uid="x"),
    lambda m: m.add_mip_start_values(None),
    lambda m: m.add_mip_start_values([("x", 1.0)]),
    lambda m: v.SolveResult(),
    lambda m: v.SolveResult(None, ""),
    lambda m: v.SolveResult("", "").get_variable_value(None),
    lambda m: v.SolveResult("", "").get_variable_value(1.0),
    lambda m: v.SolveResult("", "").get_reduced_cost(None),
    lambda m: v.SolveResult("", "").get_dual_value(None),
    lambda m: v.SolveResult("", "").write_solution(None),
    lambda m: v.SolveResult("", "").get_expression_value(m.get_variable(0)),
    lambda m: v.SolveResult("", "").get_expression_value(expr=m.get_objective()),
])
def test_arguments_that_match_no_overload(quiet_model, call):
    quiet_model.add_variable(var_name="x")
    with pytest.raises(TypeError):
        call(quiet_model)


@pytest.mark.parametrize("values", [
    {}, {"x": 1, "y": 2.5, "z": "a", 3: 4.0}, {"x": True}, {"x": 3000000000}, {"y": -2 ** 70}])
def test_start_values_of_every_accepted_kind(quiet_model, values):
    quiet_model.add_mip_start_values(values)
    quiet_model.clear_mip_start_values()


def test_start_values_refused(quiet_model, tmp_path):
    with pytest.raises(OverflowError):
        quiet_model.add_mip_start_values({"x": 1.0, "y": 10 ** 400})
    missing = str(tmp_path / "missing.sol")
    with pytest.raises(v.VeloriumException, match=r"^Невозможно прочитать файл \[" + missing):
        quiet_model.add_mip_start_values(missing)
    with pytest.raises(v.VeloriumException, match="^Неконечное значение$"):
        quiet_model.add_mip_start_values({"x": float("nan")})


def test_a_result_without_a_calculation(quiet_model):
    result = v.SolveResult("", "")
    assert result.get_solution_status() == v.solution_status.invalid_solution
    assert result.get_objective_value() != result.get_objective_value()  # NaN
    # It holds no solution, so it gives no value (never a 0 that could pass for one).
    no_solution = "^Результат не содержит решения: Ошибка: no calculation identifier was given$"
    with pytest.raises(v.VeloriumException, match=no_solution):
        result.get_variable_value("x")
    with pytest.raises(v.VeloriumException, match=no_solution):
        result.get_variable_value(quiet_model.add_variable(var_name="x"))
    assert repr(result) == "Solve is not successful. Reason: Ошибка: no calculation identifier was given"
