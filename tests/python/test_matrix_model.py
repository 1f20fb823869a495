"""MatrixModel beside its matrix inputs: construction, what it offers, parameters, files, log,
solving; and MatrixSolveResult of a calculation that holds nothing."""
import math

import numpy as np
import pytest

import veloriumpy as v

LOCAL_SOLVE = "Локальное решение моделей не предусмотрено в данной версии."


@pytest.fixture
def matrix_model():
    model = v.MatrixModel()
    model.set_bool_param("log_to_console", False)
    return model


def test_construction():
    for arguments in [(), (None,), ("plant",)]:
        model = v.MatrixModel(*arguments)
        assert model.get_variables_count() == 0
    with pytest.raises(TypeError):
        v.MatrixModel(name="plant")
    with pytest.raises(AttributeError):
        v.MatrixModel().dynamic = 1


def test_it_offers_the_matrix_face_and_nothing_else_of_model():
    methods = {name for name in dir(v.MatrixModel) if not name.startswith("_")}
    assert methods == {
        "get_int_param", "get_dbl_param", "get_string_param", "get_bool_param", "set_int_param", "set_dbl_param",
        "set_string_param", "set_bool_param", "set_log_file", "write", "write_mps", "write_lp", "clear",
        "set_objective", "add_variables", "solve", "solve_remote", "get_variables_count", "add_constraint",
        "set_objective_offset", "add_constraints"}
    assert v.MatrixModel.__bases__ == v.Model.__bases__ and not issubclass(v.MatrixModel, v.Model)


def test_parameter_docstrings_are_indented_as_the_class_wants():
    for cls, blanks in [(v.MatrixModel, 13), (v.Model, 8)]:
        assert cls.set_int_param.__doc__.endswith(
            "Задаёт целочисленный параметр\n\n" + " " * blanks + ":param param_name: имя параметра\n" + " " * blanks
            + ":param param_value: значение параметра\n")


def test_parameters(matrix_model):
    matrix_model.set_int_param("threads", 3)
    matrix_model.set_dbl_param("time_limit", 7.5)
    matrix_model.set_string_param("log_file", "")
    assert (matrix_model.get_int_param("threads"), matrix_model.get_dbl_param("time_limit"),
            matrix_model.get_string_param("log_file"), matrix_model.get_bool_param("log_to_console")) == (3, 7.5, "",
                                                                                                          False)
    with pytest.raises(v.VeloriumException, match=r"^Ошибка получения параметра \[threads\]$"):
        matrix_model.get_dbl_param("threads")
    with pytest.raises(v.VeloriumException, match=r"^Ошибка изменения параметра \[nope\]$"):
        matrix_model.set_bool_param("nope", True)
    for call in [lambda: matrix_model.get_int_param(None), lambda: matrix_model.set_log_file(None),
                 lambda: matrix_model.write(None), lambda: matrix_model.set_string_param("log_file", None)]:
        with pytest.raises(TypeError):
            call()


def test_files_carry_the_models_own_names_and_the_offset(matrix_model, tmp_path):
    matrix_model.add_variables(count=2, obj_values=[1.0, 2.0])
    matrix_model.add_constraint(q=[1.0, 1.0], sense=v.constraint_sense.less_equal, r=4)
    matrix_model.set_objective_offset(3.5)
    for write, name in [(matrix_model.write, "m.lp"), (matrix_model.write_lp, "m.txt"),
                        (matrix_model.write_mps, "m.mps")]:
        path = str(tmp_path / name)
        write(path)
        assert "x#1" in open(path).read()
    assert "RHS_V     obj       -3.5" in open(tmp_path / "m.mps").read()
    with pytest.raises(TypeError):
        matrix_model.write(str(tmp_path / "n.lp"), str(tmp_path / "names.map"))


def test_clear_empties_the_model_and_solving_locally_is_refused(matrix_model):
    matrix_model.add_variables(count=3)
    matrix_model.clear()
    assert matrix_model.get_variables_count() == 0
    with pytest.raises(v.VeloriumException) as caught:
        matrix_model.solve()
    assert str(caught.value) == LOCAL_SOLVE


def test_log_lines_go_to_stdout_only_while_log_to_console_is_on(capsys):
    model = v.MatrixModel()
    with pytest.raises(v.VeloriumException):
        model.set_int_param("remote_timeout", 5)
    printed = capsys.readouterr().out
    assert "remote_timeout" in printed and printed.endswith("\n")
    model.set_bool_param("log_to_console", False)
    with pytest.raises(v.VeloriumException):
        model.set_int_param("remote_timeout", 5)
    assert capsys.readouterr().out == ""


def test_a_result_without_a_calculation_holds_nothing():
    result = v.MatrixSolveResult("", "")
    assert result.get_solution_status() == v.solution_status.invalid_solution
    assert math.isnan(result.get_objective_value())
    # It holds no solution: its vectors are refused, never empty or zeros that could pass for one.
    for vector in [result.get_solution_vector, result.get_reduced_costs_vector, result.get_dual_values_vector]:
        with pytest.raises(v.VeloriumException, match="^Результат не содержит решения: "):
            vector()
    assert isinstance(result.get_iterations_count(), int) and isinstance(result.get_nodes_count(), int)
    for arguments in [(None, ""), ("", None), ("",)]:
        with pytest.raises(TypeError):
            v.MatrixSolveResult(*arguments)
    with pytest.raises(AttributeError):
        result.get_variable_value
    assert "пустые массивы" in v.MatrixSolveResult.__init__.__doc__
