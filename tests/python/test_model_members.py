"""Model's members: variables, constraints and general constraints added, found by position and
name, counted and removed; the objective; the variable lists and dictionaries of constraints."""
import re

import pytest

import veloriumpy as v

EQ, LE, GE = v.constraint_sense.equal, v.constraint_sense.less_equal, v.constraint_sense.greater_equal
MAX, MIN = v.objective_sense.maximize, v.objective_sense.minimize

PLANT_LP = """Maximize
 obj: 3 x + 2 y
Subject To
 c1: x + y <= 4
 c2: x - y >= -2
Bounds
 0 <= x <= 10
General Constraints
 g1 : z = NL : ( PLUS , -1 , -1 ) ( VARIABLE , x , 0 ) ( CONSTANT , 2.5 , 0 )
End
"""


def quiet(model):
    model.set_bool_param("log_to_console", False)
    return model


@pytest.fixture
def plant(tmp_path):
    """x, y, z; rows c1, c2; the general constraint g1; objective 3 x + 2 y."""
    path = tmp_path / "plant.lp"
    path.write_text(PLANT_LP)
    model = quiet(v.Model())
    model.read(str(path))
    return model


@pytest.fixture
def lp_text(tmp_path):
    def text(model):
        path = str(tmp_path / "written.lp")
        model.write(path)
        with open(path) as file:
            return file.read()
    return text


def failure(call):
    with pytest.raises(v.VeloriumException) as caught:
        call()
    return str(caught.value)


def test_variables_with_default_and_generated_names(quiet_model):
    first, second = quiet_model.add_variable(), quiet_model.add_variable(var_name=None)
    assert (repr(first), repr(second)) == ("Continuous: 0 <= x#0 <= inf", "Continuous: 0 <= x#1 <= inf")
    named = quiet_model.add_variable(-1, 4, 2.0, v.variable_type.integer, "n")
    assert repr(named) == "Integer: -1 <= n <= 4" and quiet_model.get_variables_count() == 3
    assert repr(quiet_model.add_variable(var_name="")) == "Continuous: 0 <= x#3 <= inf"


def test_a_name_given_again_changes_the_variable_that_bears_it(quiet_model):
    first = quiet_model.add_variable(0, 1, var_name="a")
    again = quiet_model.add_variable(2, 5, 0.0, v.variable_type.integer, "a")
    assert quiet_model.get_variables_count() == 1
    assert repr(first) == repr(again) == "Integer: 2 <= a <= 5"


REPLACED = "ПРЕДУПРЕЖДЕНИЕ: Переменная с именем [{}] уже существует. Она будет заменена.\n"
RENAMED = "ПРЕДУПРЕЖДЕНИЕ: Ограничение с именем [{}] уже существует. Новое имя [{}]\n"


def add_keyed_binaries(model):
    """Names made as f"x_{i}{j}" over 1 and 11: (1, 11) and (11, 1) both give x_111."""
    return {(i, j): model.add_variable(0, 1, 0, v.variable_type.binary, f"x_{i}{j}") for i in (1, 11) for j in (1, 11)}


def test_names_given_again_are_warned_to_the_log_callable(quiet_model):
    lines = []
    quiet_model.set_log_callback(lines.append)
    x = add_keyed_binaries(quiet_model)
    assert quiet_model.get_variables_count() == 3
    quiet_model.add_constraint(x[1, 1] + x[11, 11] <= 1, "cap")
    quiet_model.add_constraint(x[1, 1] - x[11, 11] >= 0, "cap")
    quiet_model.add_general_constraint(x[1, 1] + 1, x[1, 11], "cap")
    assert lines == ["", REPLACED.format("x_111"), RENAMED.format("cap", "cap#1"), RENAMED.format("cap", "cap#2")]
    assert [quiet_model.get_constraint(i).get_name() for i in range(2)] == ["cap", "cap#1"]


def test_names_given_again_are_warned_on_stdout_while_log_to_console_is_on(model, capsys):
    add_keyed_binaries(model)
    assert capsys.readouterr().out == REPLACED.format("x_111")
    model.set_bool_param("log_to_console", False)
    add_keyed_binaries(model)
    assert capsys.readouterr().out == ""


@pytest.mark.parametrize("arguments, text", [
    ((5.0, 1.0), "Недопустимые границы переменной: верхняя граница [1.000000] меньше нижней границы [5.000000]"),
    ((0.5, 2, 0, v.variable_type.integer), "Переменная типа INTEGER/SEMIINTEGER имеет нецелую нижнюю границу [0.500000]"),
    ((0, 2.5, 0, v.variable_type.semiinteger), "Переменная типа INTEGER/SEMIINTEGER имеет нецелую верхнюю границу [2.500000]"),
    # Whole within 1e-14 above a whole number only.
    ((3 - 1e-15, 4, 0, v.variable_type.integer), "Переменная типа INTEGER/SEMIINTEGER имеет нецелую нижнюю границу [3.000000]"),
    ((0, 1, 0, v.variable_type.continuous, " x"), "Имя переменной не может начинаться с символа [ ]"),
])
def test_variables_the_model_refuses(quiet_model, arguments, text):
    assert failure(lambda: quiet_model.add_variable(*arguments)) == text
    assert quiet_model.get_variables_count() == 0


@pytest.mark.parametrize("lower, upper, shown", [
    (-0.5, 1.7, "0 <= b <= 1"), (0.4, 0.5, "0 <= b <= 1"), (0.6, 3, "1 <= b <= 1"), (-3, -0.6, "0 <= b <= 0"),
])
def test_binary_bounds_are_rounded_half_away_from_zero_then_kept_within_0_and_1(quiet_model, lower, upper, shown):
    assert repr(quiet_model.add_variable(lower, upper, 0, v.variable_type.binary, "b")) == "Binary: " + shown


def test_whole_bounds_within_the_tolerance_and_infinite_ones_pass(quiet_model):
    quiet_model.add_variable(3 + 1e-15, v.kVeloriumInf, 0, v.variable_type.integer, "i")
    quiet_model.add_variable(-v.kVeloriumInf, 2, 0, v.variable_type.semiinteger, "s")
    assert quiet_model.get_variables_count() == 2


@pytest.mark.parametrize("call", [
    lambda m: m.add_variable(0, 1, 0, 2),
    lambda m: m.add_variable(var_type=None),
    lambda m: m.get_variable(1.0),
    lambda m: m.get_variable(2 ** 40),
    lambda m: m.get_variable(None),
    lambda m: m.get_constraint(None),
    lambda m: m.get_general_constraint(None),
    lambda m: m.add_constraint(m.get_objective(), LE, 4),
    lambda m: m.add_constraint(m.get_variable(0), LE, 4, "r"),
    lambda m: m.set_objective_sense(1),
    lambda m: m.set_objective_sense(sense=MIN),
    lambda m: m.set_objective(2.0, MIN),
    lambda m: m.set_objective(m.get_variable(0), None),
])
def test_arguments_that_match_no_overload(plant, call):
    with pytest.raises(TypeError):
        call(plant)
    assert (plant.get_variables_count(), plant.get_constraints_count()) == (3, 2)


def test_lookups_by_position_and_name(plant):
    assert [repr(plant.get_variable(i)) for i in range(3)] == [
        "Continuous: 0 <= x <= 10", "Continuous: 0 <= y <= inf", "Continuous: 0 <= z <= inf"]
    assert repr(plant.get_variable("y")) == "Continuous: 0 <= y <= inf"
    assert repr(plant.get_constraint(1)) == repr(plant.get_constraint("c2"))
    assert plant.get_constraint("c1") is not plant.get_constraint("c1")
    assert plant.get_general_constraints_count() == 1
    assert repr(plant.get_general_constraint(0)) == repr(plant.get_general_constraint("g1"))


@pytest.mark.parametrize("call, text", [
    (lambda m: m.get_variable(3), "Неверный индекс объекта [3]"),
    (lambda m: m.get_variable(-1), "Неверный индекс объекта [-1]"),
    (lambda m: m.get_constraint(2), "Неверный индекс объекта [2]"),
    (lambda m: m.get_variable("w"), "Переменная с именем [w] отсутствует"),
    (lambda m: m.get_constraint("c9"), "Ограничение с именем [c9] отсутствует"),
    (lambda m: m.get_general_constraint(-1), "Недопустимое значение индекса - -1\n"),
    (lambda m: m.get_general_constraint("g9"), "Ограничение с именем 'g9' не существует\n"),
])
def test_lookups_that_find_nothing(plant, call, text):
    assert failure(lambda: call(plant)) == text


def test_removal_moves_the_last_member_into_the_freed_position(plant, quiet_model):
    x = plant.get_variable(0)
    plant.remove(x)
    plant.remove(x)  # removed already: nothing happens
    assert plant.get_variables_count() == 2 and repr(plant.get_variable(0)).endswith(" z <= inf")
    plant.remove(plant.get_constraint("c1"))
    assert plant.get_constraints_count() == 1 and repr(plant.get_constraint(0)).startswith("c2: ")
    plant.remove(plant.get_general_constraint(0))
    assert plant.get_general_constraints_count() == 0
    stranger = quiet_model.add_variable()
    assert failure(lambda: plant.remove(stranger)) == "Переменная не принадлежит модели"
    assert plant.get_variables_count() == 2


def test_constraints_from_an_expression_with_names_as_given_or_generated(plant, lp_text):
    expression = plant.get_objective()  # 3 x + 2 y
    plant.add_constraint(expression, LE, 4, "r")
    plant.add_constraint(expression, 1, 4.5, "r")
    plant.add_constraint(expression, GE, 1.0, None)
    plant.add_constraint(expression, EQ, 2, "")
    rows = lp_text(plant).split("Subject To")[1].split("Bounds")[0]
    # A name in use, or none, gets "#" and a number from the row count up.
    assert re.findall(r"^(\S+) : ", rows, re.M) == ["c1", "c2", "r", "r#3", "r#3", "C#4", "C#5"]
    assert "r#3 : 3 x + 2 y >= 1" in rows and "r#3 : 3 x + 2 y <= 4.5" in rows and "C#5 : 3 x + 2 y = 2" in rows
    assert failure(lambda: plant.add_constraint(expression, LE, 4, " r")) == "Ограничение не может начинаться с пробела"
    assert plant.get_constraints_count() == 6


def test_a_constraint_without_terms_is_refused_not_dropped(quiet_model):
    quiet_model.add_variable(var_name="x")
    empty = quiet_model.get_objective()
    for call in [lambda: quiet_model.add_constraint(empty, LE, 1.0, "e"),
                 lambda: quiet_model.add_constraint(empty, 0.0, 1.0, "e"),
                 lambda: quiet_model.add_constraint(empty, EQ, empty, "e")]:
        assert failure(call) == "Нет данных для ограничения, невозможно добавить пустое ограничение"
    assert quiet_model.get_constraints_count() == 0


def test_a_constraint_of_two_sides_from_two_models_is_refused(plant, tmp_path):
    other = quiet(v.Model())
    other.read(str(tmp_path / "plant.lp"))
    text = failure(lambda: plant.add_constraint(plant.get_objective(), EQ, other.get_objective(), "d"))
    assert text == "Невозможно добавить выражение из другой модели"
    assert plant.get_constraints_count() == 2


def test_a_constraint_object_is_added_as_a_copy_under_a_new_name(plant, lp_text):
    copy = plant.add_constraint(plant.get_constraint("c1"), "c1_copy")
    assert repr(copy) == "c1_copy: -inf <= + 1*x + 1*y <= 4" and plant.get_constraints_count() == 3


def test_general_constraints_from_an_expression_or_another_general_constraint(plant):
    made = plant.add_general_constraint(plant.get_objective(), plant.get_variable("z"), None)
    assert repr(made) == "GC#2: z == 3*x+2*y"
    assert plant.add_general_constraint(plant.get_general_constraint("g1")) is None
    assert plant.get_general_constraints_count() == 3
    # The copy keeps its name: only the names of rows make the library number a name.
    assert repr(plant.get_general_constraint(2)) == "g1: z == x+2.5"


def test_the_objective(plant, lp_text):
    plant.set_objective_sense(constr_name=MIN)
    assert plant.get_objective_sense() == MIN
    plant.set_objective(plant.get_variable("y"), MAX)
    plant.set_objective_offset(5)
    assert plant.get_objective_sense() == MAX
    assert "Maximize\n obj: y  +5\n" in lp_text(plant)
    plant.set_objective(plant.get_objective(), MIN)
    assert "Minimize\n obj: y  +5\n" in lp_text(plant)


def test_variable_lists_name_their_variables_from_the_prefix_and_the_items(quiet_model):
    made = quiet_model.continuous_var_list([1, 2], name="x")
    assert [repr(x) for x in made] == ["Continuous: 0 <= x_1 <= inf", "Continuous: 0 <= x_2 <= inf"]
    made = quiet_model.integer_var_list([(1, 2), (3, -4), (), -5, True, 2 ** 70], [0, 1, 2, 3, 4, 5], 9.0, "y")
    assert [repr(y) for y in made] == [
        "Integer: 0 <= y_1_2 <= 9", "Integer: 1 <= y_3_-4 <= 9", "Integer: 2 <= y <= 9", "Integer: 3 <= y_-5 <= 9",
        "Integer: 4 <= y_1 <= 9", f"Integer: 5 <= y_{2 ** 70} <= 9"]
    made = quiet_model.continuous_var_list([7], ub=[3], name="")
    assert [repr(z) for z in made] == ["Continuous: 0 <= _7 <= 3"]
    made = quiet_model.binary_var_list([0, 1], "b")
    assert [repr(b) for b in made] == ["Binary: 0 <= b_0 <= 1", "Binary: 0 <= b_1 <= 1"]
    assert quiet_model.integer_var_list([], name="none") == []
    assert quiet_model.get_variables_count() == 11


@pytest.mark.parametrize("call, error, text", [
    (lambda m: m.continuous_var_list([1, 2, 3], [0, 1], [0], "x"), v.VeloriumException,
     "Размеры массивов индексов и нижних границ не совпадают."),
    (lambda m: m.integer_var_list([1, 2], [0, 1], [0], "x"), v.VeloriumException,
     "Размеры массивов индексов и верхних границ не совпадают."),
    (lambda m: m.continuous_var_list([1], ub=[], name="x"), v.VeloriumException,
     "Размеры массивов индексов и верхних границ не совпадают."),
    (lambda m: m.continuous_var_list([], lb=[0], name="x"), v.VeloriumException,
     "Размеры массивов индексов и нижних границ не совпадают."),
    # Every item is converted before the first variable is added.
    (lambda m: m.continuous_var_list([1, 2, 1.0], name="x"), RuntimeError,
     "Unable to cast Python instance of type <class 'float'> to C++ type 'int'"),
    (lambda m: m.continuous_var_list([1, (2, "a")], name="x"), RuntimeError,
     "Unable to cast Python instance of type <class 'str'> to C++ type 'int'"),
    (lambda m: m.continuous_var_list([1, 2], [0, "a"], [1, 1], "x"), RuntimeError,
     "Unable to cast Python instance of type <class 'str'> to C++ type 'double'"),
    (lambda m: m.continuous_var_list((1, 2), name="x"), TypeError, None),
    (lambda m: m.continuous_var_list([1, 2], lb="01", name="x"), TypeError, None),
    (lambda m: m.continuous_var_list([1, 2], name=None), TypeError, None),
    (lambda m: m.binary_var_list([1]), TypeError, None),
])
def test_variable_lists_refused_add_nothing(quiet_model, call, error, text):
    with pytest.raises(error) as caught:
        call(quiet_model)
    if text is not None:
        assert str(caught.value) == text
    assert quiet_model.get_variables_count() == 0


def test_a_dictionary_of_constraints_adds_copies_named_by_the_keys_in_order(plant):
    rows = {"b": plant.get_constraint("c2"), "a": plant.get_constraint("c1")}
    assert plant.add_constraints(rows) is None
    assert [repr(plant.get_constraint(i)).split(":")[0] for i in range(4)] == ["c1", "c2", "b", "a"]


@pytest.mark.parametrize("rows, error", [
    (lambda m: {"a": m.get_constraint(0), "b": 1.5}, "Unable to cast Python instance of type <class 'float'>"),
    (lambda m: {"a": m.get_constraint(0), "b": None}, "Unable to cast Python instance of type <class 'NoneType'>"),
    (lambda m: {"a": m.get_constraint(0), 3: m.get_constraint(1)}, "Unable to cast Python instance of type <class 'int'>"),
])
def test_a_dictionary_with_a_wrong_item_adds_nothing(plant, rows, error):
    with pytest.raises(RuntimeError, match="^" + re.escape(error)):
        plant.add_constraints(rows(plant))
    assert plant.get_constraints_count() == 2
    for not_a_dictionary in [[("a", plant.get_constraint(0))], None]:
        with pytest.raises(TypeError):
            plant.add_constraints(not_a_dictionary)


@pytest.fixture
def xy(quiet_model):
    return quiet_model, quiet_model.add_variable(var_name="x"), quiet_model.add_variable(var_name="y")


EMPTY = "Нет данных для ограничения, невозможно добавить пустое ограничение"


@pytest.mark.parametrize("expression, kept", [
    (lambda x, y: x * y, True),
    (lambda x, y: x * y + x + 1.0, True),
    (lambda x, y: (x * y).get_linear_part(), True),  # a linear view of a store with quadratic terms only
    (lambda x, y: x * y - x * y + x, True),  # a quadratic expression with linear terms only
    (lambda x, y: v.QuadExpression(), False),
    (lambda x, y: v.LinearExpression(5.0), False),
    (lambda x, y: (x + y) - (x + y), False),
])
def test_a_constraint_is_kept_whenever_it_has_terms_of_either_kind(xy, lp_text, expression, kept):
    model, x, y = xy
    e = expression(x, y)
    calls = [lambda: model.add_constraint(e, LE, 4.0, "a"), lambda: model.add_constraint(e, -1.0, 4.0, "b"),
             lambda: model.add_constraint(e <= 4.0, "c")]
    for call in calls:
        if kept:
            call()
        else:
            assert failure(call) == EMPTY
    assert model.get_constraints_count() == (3 if kept else 0)


def test_quadratic_rows_are_written(xy, lp_text):
    model, x, y = xy
    model.add_constraint(x * y + 2.0 * x, LE, 4.0, "q")
    model.add_constraint(x * x, 1.0, 9.0, "r")
    assert "q : 2 x + [ x * y ] <= 4\nr : [ x^2 ] <= 9\nr : [ x^2 ] >= 1\n" in lp_text(model)
    assert model.is_nonlinear()


def test_expressions_and_constraints_given_stay_as_they_were(xy):
    model, x, y = xy
    left, right, free, product = x + 2.0 * y + 1.0, x * 1.0, x + y <= 4.0, x * y
    before = [repr(left), repr(right), repr(free), repr(product)]
    model.add_constraint(left, EQ, right, "d")
    model.add_constraint(free, "f")
    model.remove(free)  # a constraint of no model is left alone
    model.add_general_constraint(product, y, "g")
    assert [repr(left), repr(right), repr(free), repr(product)] == before
    assert repr(model.get_constraint("d")) == "d: 0 <= + 2*y + 1 <= 0"
    assert model.get_constraints_count() == 2 and model.get_general_constraints_count() == 1


def test_general_constraints_from_every_kind_of_expression(xy):
    model, x, y = xy
    model.add_general_constraint(v.MathFunc.sqrt(x + 1.0), y, "g1")
    model.add_general_constraint(x * y, y, None)
    model.add_general_constraint(x + 1.0, y, "g3")
    model.add_general_constraint(y == v.MathFunc.exp(x))
    assert [repr(model.get_general_constraint(i)) for i in range(4)] == [
        "g1: y == sqrt(x+1)", "GC#0: y == x*y", "g3: y == x+1", "GC#1: y == exp(x)"]
    with pytest.raises(TypeError):
        model.add_general_constraint(x, y, "g")


def test_the_objective_given_out_is_a_view(xy, lp_text):
    model, x, y = xy
    model.set_objective(x + 2.0 * y, MAX)
    objective = model.get_objective()
    objective.add_term(x, 3.0)
    assert "Maximize\n obj: 2 y + 4 x \n" in lp_text(model)
    model.set_objective(x * y + y, MIN)
    assert model.is_nonlinear()


def test_constraints_of_another_model(xy, plant):
    model, x, y = xy
    assert failure(lambda: model.remove(plant.get_constraint("c1"))) == "Ограничение не принадлежит модели"
    assert failure(lambda: model.add_constraint(plant.get_constraint("c1"), "c")) == \
        "Невозможно добавить выражение из другой модели"
    assert model.get_constraints_count() == 0


@pytest.mark.parametrize("call", [
    lambda m, x, y: m.add_constraint(x, LE, 4.0, "r"),
    lambda m, x, y: m.add_constraint(v.MathFunc.exp(x), LE, 4.0, "r"),
    lambda m, x, y: m.add_constraint(x + y, LE, x * y, "r"),
    lambda m, x, y: m.add_constraint(x + y, LE, y, "r"),
    lambda m, x, y: m.add_constraint(x * y, LE, 4.0),
    lambda m, x, y: m.add_constraint(x + y <= 4.0),
])
def test_constraint_arguments_that_match_no_overload(xy, call):
    model, x, y = xy
    with pytest.raises(TypeError):
        call(model, x, y)
    assert model.get_constraints_count() == 0


def test_ints_beyond_32_bits_are_taken_in_start_values_not_refused(quiet_model):
    quiet_model.add_variable(var_name="x")
    quiet_model.add_variable(var_name="y")
    quiet_model.add_mip_start_values({"x": 2 ** 40, "y": -2 ** 53})
    quiet_model.add_mip_start_values({"x": 2 ** 70})
