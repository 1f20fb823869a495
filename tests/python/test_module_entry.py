"""What importing the module gives: its attributes in order, classes, docstrings, and the
interpreter version check."""
import os
import subprocess
import sys

import pytest

import veloriumpy

ENUMERATIONS = ["MipStartCompletion", "solve_result", "solution_status", "variable_type",
                "objective_sense", "constraint_sense", "gen_expr_type"]
CLASS_DOCS = {
    "SolveResult": "Результат расчета",
    "Constraint": "Работа с линейными ограничениями у модели, \n\n"
                  "    позволяет работать с выражением и границами, а также удалять его",
    "GeneralConstraint": "Работа с нелинейными ограничениями у модели",
    "Variable": "Работа с переменной - чтение/изменение имени,     верхней и нижней границы, типа, "
                "а также удаление",
    "LinearExpression": "Обеспечивает работу с линейными выражениями -     добавление/удаление элементов и "
                        "изменение коэффициентов.    Элемент выражения - переменная * коэффициент.",
    "QuadExpression": "Обеспечивает работу с нелинейными выражениями -     добавление/удаление элементов и "
                      "изменение коэффициентов.    Элемент выражения - переменная * переменная * коэффициент.",
    "GeneralExpression": "Выражение общего вида",
    "Model": "Создает экземпляр модели",
    "MatrixModel": "Создает экземпляр матричной модели",
    "MatrixSolveResult": "Результат расчета матричной модели",
    "MathFunc": "Математические функции для нелинейных функций",
}


def test_attributes_come_in_registration_order():
    own = [name for name in vars(veloriumpy) if not name.startswith("__")]
    assert own == (["kVeloriumInf"] + ENUMERATIONS
                   + ["SolveResult", "Constraint", "GeneralConstraint", "Variable", "LinearExpression",
                      "QuadExpression", "GeneralExpression", "Model", "VeloriumException", "sum",
                      "MatrixModel", "MatrixSolveResult", "MathFunc"])


def test_constant_and_module_docstring():
    assert veloriumpy.__doc__ is None
    assert type(veloriumpy.kVeloriumInf) is float
    assert veloriumpy.kVeloriumInf == float("inf")


@pytest.mark.parametrize("name, doc", CLASS_DOCS.items())
def test_classes_carry_their_names_and_docstrings(name, doc):
    cls = getattr(veloriumpy, name)
    assert cls.__doc__ == doc
    assert cls.__module__ == "veloriumpy"
    assert cls.__qualname__ == name


def test_signatures_name_the_modules_classes():
    assert veloriumpy.Constraint.__init__.__doc__ == (
        "__init__(self: veloriumpy.Constraint, arg0: veloriumpy.LinearExpression, arg1: veloriumpy.constraint_sense, "
        "arg2: float) -> None\n")
    assert veloriumpy.MatrixModel.solve_remote.__doc__.startswith(
        "solve_remote(self: veloriumpy.MatrixModel) -> veloriumpy.MatrixSolveResult\n")
    # No docstring shows a C++ name where a Python class belongs.
    for name, cls in vars(veloriumpy).items():
        for attribute, member in [(name, cls)] + list(vars(cls).items() if isinstance(cls, type) else []):
            doc = getattr(member, "__doc__", None) or ""
            assert "::" not in doc, (name, attribute, doc)


def test_sum_takes_an_iterable_and_has_its_docstring():
    assert veloriumpy.sum.__doc__.startswith(
        "sum(iterable: Iterable) -> Union[float, veloriumpy.Variable, veloriumpy.LinearExpression, "
        "veloriumpy.QuadExpression, veloriumpy.GeneralExpression]\n\n")
    assert veloriumpy.sum.__doc__.endswith("Суммирует переменные и/или линейные выражения\n"
                                           "                   :return: объект выражения\n")


def test_a_class_without_constructor_refuses_to_be_called():
    with pytest.raises(TypeError, match=r"^veloriumpy\.Variable: No constructor defined!$"):
        veloriumpy.Variable()


def test_arguments_that_match_no_overload_raise_type_error(model):
    with pytest.raises(TypeError, match="incompatible function arguments"):
        model.get_int_param(1)
    with pytest.raises(TypeError):
        model.set_int_param("threads", 1.5)
    with pytest.raises(TypeError):
        veloriumpy.Model(name="named")


def test_an_integer_parameter_takes_an_enumeration_member(model):
    model.set_int_param("mip_start_completion_node_limit", veloriumpy.MipStartCompletion.DISABLED)
    assert model.get_int_param("mip_start_completion_node_limit") == -3


PROBE = os.environ.get("VELORIUM_VERSION_PROBE")
COMPILED = "{}.{}".format(*sys.version_info[:2])
MAJOR, MINOR = sys.version_info[:2]


@pytest.mark.skipif(not PROBE, reason="the embedding probe comes with the CMake build")
@pytest.mark.parametrize("version, accepted", [
    (sys.version, True),
    (f"{COMPILED}.9 (main, Jan 1 2024, 00:00:00) [GCC 12.2.0]", True),
    (f"{COMPILED} (tags/v{COMPILED})", True),
    (f"{COMPILED}", True),
    (f"{COMPILED}0.1", False),
    (f"{MAJOR}.{MINOR + 1}.4 (main)", False),
    (f"{MAJOR}.{MINOR - 1}.9", False),
    (f"{MAJOR}.1", False),
])
def test_the_module_imports_only_into_its_own_python_version(version, accepted):
    folder = os.path.dirname(veloriumpy.__file__)
    run = subprocess.run([PROBE, folder, version], capture_output=True, text=True)
    if accepted:
        assert run.stdout == "imported\n", run.stderr
    else:
        assert run.stdout == (f"ImportError: Python version mismatch: module was compiled for Python {COMPILED}, "
                              f"but the interpreter version is incompatible: {version}.\n")
