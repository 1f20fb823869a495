"""MatrixModel's matrix inputs: the forms each argument takes, the refusals with their messages
(each leaving the model as it was), and the same model from every form of the same data."""
import numpy as np
import pytest

import veloriumpy as v
from csr_shaped import CsrShaped, csr_of

EQ, LE, GE = v.constraint_sense.equal, v.constraint_sense.less_equal, v.constraint_sense.greater_equal

TEXTS = {
    141: 'Ошибка конвертации элемента с индексом {}, значение "{}"',
    145: "Ожидается двумерная матрица",
    146: "Кол-во типов переменных должно соответствовать кол-ву переменных",
    147: "Невозможно сконвертировать var_types в velorium::variable_type",
    148: "Кол-во коэффициентов переменных в ЦФ должно соответствовать кол-ву переменных",
    149: "Количество значений в правой части должно совпадать с количеством ограничений",
    150: "Невозможно сконвертировать правую часть ограничений в double",
    151: "Количество значений senses должно совпадать с количеством ограничений",
    152: "Невозможно сконвертировать senses в velorium::constraint_sense",
    153: "Невозможно сконвертировать коэффициенты в double",
    154: "Невалидный объект матрицы. Ожидается валидный объект scipy.sparse.csr_matrix или numpy.array",
    155: "Нет данных для ограничения, невозможно добавить пустое ограничение",
    157: "Матрица, задающая квадратичное выражение, должна быть квадратной",
    158: "Количество переменных должно быть положительным",
    159: "Количество переменных в матрице должно быть равно количеству переменных в модели",
    160: "Невозможно сконвертировать lower_bounds в double или массив double",
    161: "Кол-во верхних границ должно соответствовать кол-ву переменных",
    162: "Невозможно сконвертировать upper_bounds в double или массив double",
    163: "Невозможно сконвертировать линейные коэффициенты в double или массив double",
    164: "Кол-во нижних границ должно соответствовать кол-ву переменных",
    505: "Неконечное значение",
}

# Three rows over four variables, entries exact in every accepted element type.
A = np.array([[1, 0, 2, 0], [0, 0, 0, 0], [3, -4, 0, 5]])
SENSES = [LE, EQ, GE]
B = [4.0, 0.0, -1.0]


def new_model(variables=0):
    model = v.MatrixModel()
    model.set_bool_param("log_to_console", False)
    if variables:
        model.add_variables(count=variables)
    return model


@pytest.fixture
def written(tmp_path):
    """The model's MPS text: models are compared through the files they write."""
    counter = iter(range(1000))

    def write(model):
        path = str(tmp_path / f"model{next(counter)}.mps")
        model.write_mps(path)
        with open(path) as file:
            return file.read()
    return write


def with_rows(build):
    model = new_model(4)
    build(model)
    return model


def reference_rows(written):
    return written(with_rows(lambda m: m.add_constraints(A.astype(np.float64), SENSES, B)))


@pytest.mark.parametrize("matrix", [
    A.astype(np.float32), A.astype(np.int32), A.astype(np.int64),
    np.asfortranarray(A.astype(np.float64)),
    np.ascontiguousarray(A.astype(np.float64)[::-1])[::-1],
    csr_of(A), csr_of(A, np.int64, np.float32), csr_of(A, np.uint16, np.int64), csr_of(A, np.float64),
    CsrShaped(list(A.shape), [1, 2, 3, -4, 5], [0, 2, 0, 1, 3], [0, 2, 2, 5]),
    CsrShaped(np.array(A.shape), np.array([1.0, 2, 3, -4, 5])[::-1][::-1], np.array([0, 2, 0, 1, 3]),
              np.array([0, 2, 2, 5])),
    # Strided and reversed views read as their contiguous copies.
    CsrShaped(A.shape, np.array([1.0, 0, 2, 0, 3, 0, -4, 0, 5])[::2], np.array([0, 9, 2, 9, 0, 9, 1, 9, 3])[::2],
              np.array([5, 2, 2, 0])[::-1]),
], ids=["f4", "i4", "i8", "fortran", "reversed", "csr", "csr-i8-f4", "csr-u2-i8", "csr-float-indices", "csr-lists",
        "csr-numpy", "csr-strided"])
def test_every_form_of_a_matrix_gives_the_same_rows(written, matrix):
    reference = reference_rows(written)
    assert written(with_rows(lambda m: m.add_constraints(matrix, SENSES, B))) == reference


@pytest.mark.parametrize("senses, b", [
    ([1, 0, 2], np.array(B)),
    (np.array([1, 0, 2], dtype=np.int32), np.array(B, dtype=np.float32)),
    (np.array([1, 0, 2], dtype=np.int64)[::-1][::-1], np.array([4, 0, -1], dtype=np.int64)),
    ([LE, 0, True + 1], [4, 0.0, -1]),
])
def test_every_form_of_senses_and_right_hand_sides_gives_the_same_rows(written, senses, b):
    assert written(with_rows(lambda m: m.add_constraints(A, senses, b))) == reference_rows(written)


def test_one_sense_and_one_right_hand_side_serve_every_row(written):
    one = written(with_rows(lambda m: m.add_constraints(csr_of(A), GE, 2.5)))
    each = written(with_rows(lambda m: m.add_constraints(A, [GE] * 3, [2.5] * 3)))
    assert one == each
    # A row without entries is a constraint without terms, with its sense and right-hand side.
    assert " G  C#1 " in one and "RHS_V     C#1       2.5" in one


def test_nothing_is_added_for_zero_rows(written):
    empty = written(new_model(4))
    assert written(with_rows(lambda m: m.add_constraints(np.zeros((0, 4)), EQ, 1.0))) == empty
    assert written(with_rows(lambda m: m.add_constraints(CsrShaped((0, 4), [], [], [0]), EQ, []))) == empty


def test_variables_from_values_lists_and_arrays(written):
    model = new_model()
    model.add_variables(count=3)
    model.add_variables(lower_bounds=[1, 2.5, True], upper_bounds=np.array([4.0, 5.0, 6.0])[::-1], count=3)
    model.add_variables(lower_bounds=np.float64(-1.0), obj_values=[0, 2, 3.5],
                        var_types=[v.variable_type.binary, 2, v.variable_type.integer], count=3)
    model.add_variables(obj_values=7.0, var_types=np.array([v.variable_type.semicontinuous.value]), count=1)
    # An int is taken whole, not as 32 bits.
    model.add_variables(upper_bounds=2 ** 40 + 1, count=True)
    lines = {" ".join(line.split()) for line in written(model).splitlines()}
    assert {"LO BOUND x#3 1", "UP BOUND x#3 6", "LO BOUND x#4 2.5", "LO BOUND x#5 1", "UP BOUND x#5 4",
            "BV BOUND x#6", "LI BOUND x#7 -1", "SC BOUND x#9 inf", "x#7 obj 2", "x#8 obj 3.5", "x#9 obj 7",
            f"UP BOUND x#10 {2 ** 40 + 1}"} <= lines
    assert model.get_variables_count() == 11


@pytest.mark.parametrize("P, q", [
    (np.array([[2.0, 1.0], [1.0, 4.0]]), [1.0, -1.0]),
    (np.array([[2, 1], [1, 4]], dtype=np.int32), np.array([1, -1])),
    (csr_of([[2.0, 1.0], [1.0, 4.0]]), np.array([1.0, -1.0], dtype=np.float32)),
    (csr_of([[2.0, 1.0], [1.0, 4.0]], np.int64), [1, -1]),
])
def test_objective_and_constraint_from_every_form_of_a_quadratic_matrix(written, P, q):
    def build(P, q):
        model = new_model(2)
        model.set_objective(P, q, v.objective_sense.maximize)
        model.add_constraint(P, q, LE, 10.0)
        model.add_constraint(q=q, sense=GE, r=-2)
        return written(model)
    text = build(P, q)
    assert text == build(np.array([[2.0, 1.0], [1.0, 4.0]]), [1.0, -1.0])
    assert "QMATRIX" in text or "QUADOBJ" in text
    assert "QCMATRIX" in text and "MAX" in text


def test_an_objective_without_parts_changes_nothing(written):
    model = new_model(2)
    model.set_objective(q=[1.0, 2.0], sense=v.objective_sense.maximize)
    before = written(model)
    model.set_objective()
    model.set_objective(q=0.0, sense=v.objective_sense.minimize)
    model.set_objective(q=[0.0], sense=v.objective_sense.minimize)
    assert written(model) == before
    model.set_objective(q=[0.0, 0.0])
    assert "MAX" not in written(model) and "x#0 OBJ" not in written(model)


def expect_refusal(written, model, call, message, *fill):
    before = written(model)
    with pytest.raises(v.VeloriumException) as caught:
        call(model)
    # Message texts are kept to 4095 bytes, cut after a whole character.
    assert str(caught.value) == TEXTS[message].format(*fill).encode()[:4095].decode(errors="ignore")
    assert written(model) == before, "a refused call adds nothing"


# (message, call on a model of two variables, the values of message 141)
REFUSALS = [
    (141, lambda m: m.add_variables(lower_bounds=[1.0, "a"], count=2), (1, "a")),
    (141, lambda m: m.add_variables(upper_bounds=[np.int64(3)], count=1), (0, "3")),
    (141, lambda m: m.add_variables(lower_bounds=[0, 2 ** 70], count=2), (1, str(2 ** 70))),
    (141, lambda m: m.add_variables(var_types=[0, None], count=2), (1, "None")),
    (141, lambda m: m.add_variables(var_types=[0, 2 ** 40], count=2), (1, str(2 ** 40))),
    (141, lambda m: m.add_constraints(np.eye(2), [EQ, "x"], 1.0), (1, "x")),
    (141, lambda m: m.set_objective(q=[1.0, "é" * 3000]), (1, "é" * 3000)),
    (145, lambda m: m.set_objective(P=np.ones(2)), ()),
    (145, lambda m: m.add_constraints(np.ones((2, 2, 2)), EQ, 1.0), ()),
    (146, lambda m: m.add_variables(var_types=[0, 1], count=3), ()),
    (147, lambda m: m.add_variables(var_types=5, count=1), ()),
    (147, lambda m: m.add_variables(var_types=-1, count=1), ()),
    (147, lambda m: m.add_variables(var_types=1.0, count=1), ()),
    (147, lambda m: m.add_variables(var_types=2 ** 40, count=1), ()),
    (147, lambda m: m.add_variables(var_types=np.array([2 ** 32 + 1]), count=1), ()),
    (147, lambda m: m.add_variables(var_types=v.constraint_sense.equal, count=1), ()),
    (148, lambda m: m.set_objective(q=[1.0]), ()),
    (148, lambda m: m.add_variables(obj_values=2.0, count=3), ()),
    (149, lambda m: m.add_constraints(np.eye(2), EQ, [1.0, 2.0, 3.0]), ()),
    (150, lambda m: m.add_constraints(np.eye(2), EQ, None), ()),
    (150, lambda m: m.add_constraints(np.eye(2), EQ, "1"), ()),
    (150, lambda m: m.add_constraints(np.eye(2), EQ, 2 ** 64), ()),
    (151, lambda m: m.add_constraints(np.eye(2), [EQ, LE, GE], 1.0), ()),
    (152, lambda m: m.add_constraints(np.eye(2), None, 1.0), ()),
    (152, lambda m: m.add_constraints(np.eye(2), 1.5, 1.0), ()),
    (152, lambda m: m.add_constraints(np.eye(2), [EQ, 3], 1.0), ()),
    (152, lambda m: m.add_constraints(np.eye(2), 2 ** 33, 1.0), ()),
    (152, lambda m: m.add_constraints(np.eye(2), v.variable_type.binary, 1.0), ()),
    (153, lambda m: m.add_constraint(q="12", sense=EQ, r=1.0), ()),
    (153, lambda m: m.add_constraint(q=(1.0, 2.0), sense=EQ, r=1.0), ()),
    (154, lambda m: m.add_constraints([[1.0, 0.0], [0.0, 1.0]], EQ, 1.0), ()),
    (154, lambda m: m.add_constraints(None, EQ, 1.0), ()),
    (154, lambda m: m.set_objective(P=np.eye(2, dtype=np.float16)), ()),
    (154, lambda m: m.add_constraint(P=CsrShaped((2, 2), [1.0], [0], [0, 1, 1], format="csc"), sense=EQ, r=1.0), ()),
    (155, lambda m: m.add_constraint(sense=EQ, r=1.0), ()),
    (155, lambda m: m.add_constraint(q=[], sense=EQ, r=1.0), ()),
    (157, lambda m: m.set_objective(P=np.ones((2, 3))), ()),
    (157, lambda m: m.add_constraint(P=csr_of(np.ones((2, 3))), sense=EQ, r=1.0), ()),
    (158, lambda m: m.add_variables(count=0), ()),
    (158, lambda m: m.add_variables(lower_bounds="not looked at", count=-1), ()),
    (159, lambda m: m.set_objective(P=np.eye(3)), ()),
    (159, lambda m: m.add_constraints(np.ones((2, 3)), EQ, 1.0), ()),
    (160, lambda m: m.add_variables(lower_bounds=(0.0, 1.0), count=2), ()),
    (160, lambda m: m.add_variables(lower_bounds=np.int64(1), count=1), ()),
    (160, lambda m: m.add_variables(lower_bounds=2 ** 70, count=1), ()),
    (160, lambda m: m.add_variables(lower_bounds=np.ones((1, 2)), count=2), ()),
    (161, lambda m: m.add_variables(upper_bounds=[1.0, 2.0], count=3), ()),
    (162, lambda m: m.add_variables(upper_bounds="1", count=1), ()),
    (163, lambda m: m.set_objective(q=np.array([1, 2], dtype=np.uint8)), ()),
    (163, lambda m: m.add_variables(obj_values=(1.0,), count=1), ()),
    (164, lambda m: m.add_variables(lower_bounds=[0, 1], count=3), ()),
    # Checked before the first row, so that a refused call adds no row at all.
    (505, lambda m: m.add_constraints(np.array([[1.0, 2.0], [np.inf, 1.0]]), EQ, 1.0), ()),
    (505, lambda m: m.add_constraints(csr_of(np.eye(2)), EQ, [1.0, float("nan")]), ()),
]


@pytest.mark.parametrize("message, call, fill", REFUSALS)
def test_refusals_carry_their_message_and_change_nothing(written, message, call, fill):
    expect_refusal(written, new_model(2), call, message, *fill)


def csr_2x2(**changes):
    """A valid CSR matrix of two rows over two columns, with some attributes replaced."""
    attributes = dict(shape=(2, 2), data=[1.0, 2.0, 3.0], indices=[0, 1, 1], indptr=[0, 2, 3])
    attributes.update(changes)
    return CsrShaped(**attributes)


MALFORMED_CSR = {
    "indptr starts at 1": csr_2x2(indptr=[1, 2, 3]),
    "indptr decreases": csr_2x2(indptr=[0, 3, 2]),
    "indptr too short": csr_2x2(indptr=[0, 3]),
    "indptr too long": csr_2x2(indptr=[0, 2, 3, 3]),
    "indptr ends before the entries": csr_2x2(indptr=[0, 1, 2]),
    "indptr beyond the entries": csr_2x2(indptr=[0, 2, 4]),
    "index beyond the columns": csr_2x2(indices=[0, 2, 1]),
    "negative index": csr_2x2(indices=[0, -1, 1]),
    "index beyond 32 bits": csr_2x2(indices=np.array([0, 2 ** 32 + 1, 1], dtype=np.int64)),
    "indptr beyond 32 bits": csr_2x2(indptr=np.array([0, 2 ** 32 + 2, 3], dtype=np.int64)),
    "fractional index": csr_2x2(indices=[0, 0.5, 1]),
    "boolean indices": csr_2x2(indices=np.array([0, 1, 1], dtype=bool)),
    "index as text": csr_2x2(indices=["0", "1", "1"]),
    "more indices than data": csr_2x2(indices=[0, 1, 1, 0]),
    "two-dimensional data": csr_2x2(data=[[1.0, 2.0, 3.0]]),
    "scalar indptr": csr_2x2(indptr=0),
    "shape of three": csr_2x2(shape=(2, 2, 1)),
    "negative shape": csr_2x2(shape=(-2, 2)),
    "shape beyond 32 bits": csr_2x2(shape=(2 ** 31, 2)),
    "shape of floats": csr_2x2(shape=(2.0, 2.0)),
}


@pytest.mark.parametrize("matrix", MALFORMED_CSR.values(), ids=MALFORMED_CSR.keys())
@pytest.mark.parametrize("call", [
    lambda m, matrix: m.add_constraints(matrix, EQ, 1.0),
    lambda m, matrix: m.set_objective(P=matrix),
    lambda m, matrix: m.add_constraint(P=matrix, sense=EQ, r=1.0),
], ids=["add_constraints", "set_objective", "add_constraint"])
def test_a_malformed_csr_matrix_is_refused_whole_on_every_path(written, matrix, call):
    expect_refusal(written, new_model(2), lambda m: call(m, matrix), 154)


def test_errors_of_the_interpreter_or_numpy_reach_the_caller_unchanged():
    model = new_model(2)
    with pytest.raises(TypeError):
        model.add_constraints(csr_2x2(shape=5), EQ, 1.0)
    with pytest.raises(RuntimeError, match="^Unable to cast Python instance of type"):
        model.add_constraints(csr_2x2(format=3), EQ, 1.0)
    with pytest.raises(ValueError):
        model.add_constraints(csr_2x2(data=["a", "b", "c"]), EQ, 1.0)
    assert model.get_variables_count() == 2


class Three:
    def __index__(self):
        return 3


@pytest.mark.parametrize("count", [np.int64(3), np.int32(3), np.uint8(3), Three()], ids=["int64", "int32", "uint8",
                                                                                         "__index__"])
def test_the_count_is_any_integer_with_the_index_protocol(count):
    model = new_model(2)
    model.add_variables(count=count)
    assert model.get_variables_count() == 5


@pytest.mark.parametrize("call, error", [
    (lambda m: m.add_variables(count=2.0), TypeError),
    (lambda m: m.add_variables(3), TypeError),
    (lambda m: m.add_variables(count=np.float64(3.0)), TypeError),
    (lambda m: m.add_variables(count=2 ** 31), RuntimeError),
    (lambda m: m.add_variables(count=np.int64(2 ** 31)), RuntimeError),
    (lambda m: m.set_objective(sense=None), TypeError),
    (lambda m: m.set_objective(sense=1), TypeError),
    (lambda m: m.add_constraint(q=[1.0, 1.0], sense=EQ), TypeError),
    (lambda m: m.add_constraint(q=[1.0, 1.0], sense=0, r=1.0), TypeError),
    (lambda m: m.add_constraint(q=[1.0, 1.0], sense=EQ, r="1"), TypeError),
    (lambda m: m.set_objective_offset("1"), TypeError),
])
def test_arguments_that_match_no_signature(call, error):
    model = new_model(2)
    with pytest.raises(error):
        call(model)
    assert model.get_variables_count() == 2


def test_the_librarys_own_refusals(written):
    model = new_model(2)
    with pytest.raises(v.VeloriumException, match=r"^Недопустимые границы переменной"):
        model.add_variables(lower_bounds=5.0, upper_bounds=1.0, count=1)
    with pytest.raises(v.VeloriumException,
                       match="^Количество коэффициентов линейной части должно быть равно кол-ву переменных$"):
        model.add_constraint(q=[1.0, 2.0, 3.0], sense=EQ, r=1.0)
    assert model.get_variables_count() == 2
