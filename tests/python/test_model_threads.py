"""A model is busy while an operation runs on it without the interpreter's lock (reading,
writing, solving, the other remote operations): every call on the model or on an object that
reaches its data is refused at once with VeloriumException, from any thread, and changes
nothing. The same holds for the other threads while one thread hands a log line of the model to
Python code. A named pipe holds a file operation open until the test lets it go on."""
import faulthandler
import os
import threading
import time

import pytest

import veloriumpy as v
from background import in_background
from calc_service_fixture import calc_service  # noqa: F401 (a fixture)

VARIABLES = 200_000
DEADLINE = 120  # seconds that any wait of these tests may last


def busy_text(operation):
    return (f"Модель занята операцией {operation}, которая ещё выполняется; "
            "модель и её объекты нельзя использовать, пока она не закончится")


LOG_BUSY_TEXT = ("Модель занята операцией в другом потоке (передаёт строку лога); "
                 "модель и её объекты нельзя использовать, пока она не закончится")


@pytest.fixture(autouse=True)
def stacks_on_a_hang():
    # A wait that never ends ends the process with every thread's stack instead.
    faulthandler.dump_traceback_later(DEADLINE + 60, exit=True)
    yield
    faulthandler.cancel_dump_traceback_later()


@pytest.fixture(scope="module")
def large_mps(tmp_path_factory):
    """A free MPS file of VARIABLES columns x0, x1, ... (objective 1, bounds 0 to 10) and one row."""
    path = tmp_path_factory.mktemp("large") / "large.mps"
    lines = ["NAME large", "ROWS", " N obj", " L c0", "COLUMNS", " x0 obj 1 c0 1", " x1 obj 1 c0 1"]
    lines += [f" x{i} obj 1" for i in range(2, VARIABLES)]
    lines += ["RHS", " rhs c0 1", "BOUNDS"] + [f" UP bnd x{i} 10" for i in range(VARIABLES)] + ["ENDATA", ""]
    path.write_text("\n".join(lines))
    return str(path)


def quiet(model):
    model.set_bool_param("log_to_console", False)
    return model


def large_model(large_mps):
    model = quiet(v.Model())
    model.read(large_mps)
    assert model.get_variables_count() == VARIABLES
    return model


def pipe(tmp_path, name):
    path = str(tmp_path / name)
    os.mkfifo(path)
    return path


def count_read(text, tmp_path, suffix):
    """The number of variables of a model file's text, as a fresh model reads it."""
    path = tmp_path / ("copy" + suffix)
    path.write_text(text)
    model = quiet(v.Model())
    model.read(str(path))
    return model.get_variables_count()


class Adder(threading.Thread):
    """Adds variables one at a time until stopped: counts those added before the first refusal
    and after it (once the operation is over), and keeps the refusals' texts."""

    def __init__(self, add):
        super().__init__()
        self.add = add
        self.before = 0
        self.after = 0
        self.refusals = []
        self.refused = threading.Event()
        self.stop = threading.Event()

    def run(self):
        deadline = time.monotonic() + DEADLINE
        while not self.stop.is_set() and time.monotonic() < deadline:
            try:
                self.add()
                if self.refusals:
                    self.after += 1
                else:
                    self.before += 1
            except v.VeloriumException as error:
                self.refusals.append(str(error))
                self.refused.set()

    def finish(self):
        self.stop.set()
        self.join()


def waited(event):
    assert event.wait(DEADLINE), "the other thread never got there"


def add_to(model):
    return lambda: model.add_variable(0.0, 1.0, 0.0, v.variable_type.continuous, None)


def large_matrix_model():
    model = quiet(v.MatrixModel())
    model.add_variables(count=VARIABLES)
    return model


@pytest.mark.parametrize("kind, operation, suffix", [("Model", "write", ".lp"), ("Model", "write_mps", ".mps"),
                                                     ("Model", "write_lp", ".lp"), ("MatrixModel", "write_mps", ".mps")])
def test_variables_added_during_a_write_are_refused_and_the_file_is_whole(large_mps, tmp_path, kind, operation,
                                                                           suffix):
    if kind == "Model":
        model = large_model(large_mps)
        adder = Adder(add_to(model))
    else:
        model = large_matrix_model()
        adder = Adder(lambda: model.add_variables(count=1))
    path = pipe(tmp_path, "written" + suffix)

    def drain():
        waited(adder.refused)
        with open(path) as written:
            return written.read()

    adder.start()
    reader, text = in_background(drain)
    getattr(model, operation)(path)
    adder.finish()
    reader.join()
    assert set(adder.refusals) == {busy_text(operation)}
    # The file holds the model as it was when the write began; nothing was added meanwhile.
    assert count_read(text["result"], tmp_path, suffix) == VARIABLES + adder.before
    assert model.get_variables_count() == VARIABLES + adder.before + adder.after


@pytest.mark.parametrize("operation, suffix", [("read", ".mps"), ("read_mps", ".mps"), ("read_lp", ".lp")])
def test_variables_added_during_a_read_are_refused_and_the_model_is_the_files(large_mps, tmp_path, operation,
                                                                               suffix):
    model = large_model(large_mps)
    source = tmp_path / ("source" + suffix)
    model.write(str(source))
    model.add_variable(var_name="gone")
    path = pipe(tmp_path, "read" + suffix)
    adder = Adder(add_to(model))

    def feed():
        waited(adder.refused)
        with open(path, "w") as reading:
            reading.write(source.read_text())

    adder.start()
    writer, _ = in_background(feed)
    getattr(model, operation)(path)
    adder.finish()
    writer.join()
    assert set(adder.refusals) == {busy_text(operation)}
    # The model is the file's: what was added before the read began went with the old one.
    assert model.get_variables_count() == VARIABLES + adder.after
    with pytest.raises(v.VeloriumException):
        model.get_variable("gone")


def test_variables_added_during_a_remote_solve_are_refused_and_the_service_gets_the_model_as_it_began(
        large_mps, calc_service):
    model = large_model(large_mps)
    adder = Adder(add_to(model))
    adder.start()
    # A synchronous solve waits at least one 3-second poll: the adder meets the busy model.
    result = model.solve_remote("")
    adder.finish()
    assert result.get_solve_result() == v.solve_result.success
    assert set(adder.refusals) == {busy_text("solve_remote")}
    solved = [calc for calc in calc_service.control_client.calculations() if calc["calc_uid"] == model.get_calc_uid()]
    assert solved[0]["model"]["columns"] == VARIABLES + adder.before
    assert model.get_variables_count() == VARIABLES + adder.before + adder.after


class Members:
    """Objects of one model, made before it gets busy, and objects that reach no model."""

    def __init__(self, model, result):
        self.model = model
        self.result = result
        self.x = model.add_variable(0.0, 10.0, 1.0, v.variable_type.continuous, "x")
        self.y = model.add_variable(0.0, 10.0, 1.0, v.variable_type.continuous, "y")
        self.row = model.add_constraint(self.x + 2.0 * self.y <= 10.0, "row")
        self.row_view = self.row.get_linear_expression()
        self.objective = model.get_objective()
        self.linear = 2.0 * self.x + self.y
        self.quadratic = self.x * self.y + self.x
        self.general = v.MathFunc.sin(self.x) + 1.0
        self.free_row = self.x + self.y >= 1.0
        self.general_row = self.y == v.MathFunc.exp(self.x)
        # A store that reaches no model until its first term, and a view of it taken before.
        self.late = v.LinearExpression(5.0)
        self.late_view = self.late.get_quad_part()
        self.late.add_term(self.x, 3.0)
        self.late_general = v.GeneralExpression()
        self.late_general += 2.0
        self.late_general_view = self.late_general.get_expr(0)
        self.late_general.add_expr(v.MathFunc.sin(self.x))
        self.unbound = v.LinearExpression(1.0)
        other = quiet(v.Model())
        self.other_x = other.add_variable(var_name="other")
        self.other_row = self.other_x + 1.0


USES_OF_THE_MODEL = {
    "the model": lambda m: m.model.get_variables_count(),
    "a variable": lambda m: m.x.get_upper_bound(),
    "a variable's text": lambda m: repr(m.x),
    "a row": lambda m: m.row.get_lower_bound(),
    "a row's view": lambda m: m.row_view.get_term_coeff(0),
    "the objective's view": lambda m: m.objective.get_terms_count(),
    "an expression of its variables": lambda m: m.linear.get_term_variable(0),
    "an operator on its variable": lambda m: m.x + 1.0,
    "an operator on its expression": lambda m: m.linear * 2.0,
    "a quadratic expression": lambda m: m.quadratic.get_term_variable1(0),
    "a general expression": lambda m: repr(m.general),
    "a constraint object": lambda m: m.free_row.get_linear_expression(),
    "a general constraint object": lambda m: m.general_row.get_expression(),
    "a store that took its model later": lambda m: m.late.get_terms_count(),
    "a view of it taken before": lambda m: m.late_view.get_linear_part(),
    "a general expression that took its model later": lambda m: m.late_general.get_expr_count(),
    "a view of that taken before": lambda m: m.late_general_view.get_constant(),
    "its variable as an argument": lambda m: m.unbound.add_term(m.x, 1.0),
    "its variable added to another model's expression": lambda m: m.other_row + m.x,
    "its result": lambda m: m.result.get_solve_result(),
}

USES_OF_NOTHING_BUSY = {
    "an expression without a model": lambda m: m.unbound.get_constant() + 1.0,
    "another model's variable": lambda m: m.other_x.get_upper_bound(),
    "another model's expression": lambda m: m.other_row * 2.0,
}


def failure(use, members):
    """The text of the VeloriumException that `use` raises, or None."""
    try:
        use(members)
    except v.VeloriumException as error:
        return str(error)
    return None


def test_the_model_and_every_object_that_reaches_it_are_refused_while_it_is_busy(tmp_path, monkeypatch):
    monkeypatch.delenv("X_API_KEY", raising=False)
    model = quiet(v.Model())
    # Without an API key the remote solve gives at once a result that names the reason.
    members = Members(model, model.solve_remote(""))
    path = pipe(tmp_path, "written.mps")
    writing, _ = in_background(lambda: model.write_mps(path))
    deadline = time.monotonic() + DEADLINE
    while writing.is_alive() and time.monotonic() < deadline:
        try:
            model.get_name()
        except v.VeloriumException:
            break
        time.sleep(0.01)
    refused = {name: failure(use, members) for name, use in USES_OF_THE_MODEL.items()}
    free = {name: failure(use, members) for name, use in USES_OF_NOTHING_BUSY.items()}
    with open(path) as written:
        text = written.read()
    writing.join()
    assert refused == {name: busy_text("write_mps") for name in USES_OF_THE_MODEL}
    assert free == {name: None for name in USES_OF_NOTHING_BUSY}
    # Nothing changed meanwhile: the file holds the two columns and the row, and every use is
    # taken again (the last but one is the library's own refusal of another model's terms).
    assert "row" in text and text.count(" UP ") == 2
    again = {name: failure(use, members) for name, use in USES_OF_THE_MODEL.items()}
    assert again == {name: None for name in USES_OF_THE_MODEL} | {
        "its variable added to another model's expression": "Невозможно добавить выражение из другой модели"}
    assert members.unbound.get_terms_count() == 1


def test_while_a_log_line_is_in_python_code_only_the_logging_thread_uses_the_model(quiet_model):
    model = quiet_model
    x = model.add_variable(var_name="x")
    in_callable, tried = threading.Event(), threading.Event()
    seen = {}

    def log(line):
        if line:
            seen["own thread"] = model.get_name()
            in_callable.set()
            waited(tried)  # the wait lets the other thread run in the middle of the operation

    def other_thread():
        waited(in_callable)
        seen["other thread"] = failure(lambda m: x.set_upper_bound(5.0), None)
        tried.set()

    model.set_log_callback(log)
    thread = threading.Thread(target=other_thread)
    thread.start()
    with pytest.raises(v.VeloriumException, match=r"^Ошибка изменения параметра \[remote_timeout\]$"):
        model.set_int_param("remote_timeout", 5)  # refused, with one log line
    thread.join()
    assert seen == {"own thread": model.get_name(), "other thread": LOG_BUSY_TEXT}
    assert x.get_upper_bound() == v.kVeloriumInf
    x.set_upper_bound(5.0)
    assert x.get_upper_bound() == 5.0


def test_the_log_callable_of_an_operation_without_the_lock_cannot_change_the_model(quiet_model, tmp_path):
    model = quiet_model
    model.add_variable(var_name="1x")  # the writers rename it, and log that
    refusals = []

    def log(line):
        if line:
            refusals.append(failure(lambda m: model.add_variable(var_name="late"), None))

    model.set_log_callback(log)
    model.write_mps(str(tmp_path / "renamed.mps"))
    assert refusals and set(refusals) == {busy_text("write_mps")}
    assert model.get_variables_count() == 1
    # The mark goes with a failed operation too.
    with pytest.raises(v.VeloriumException):
        model.write_mps(str(tmp_path / "no-such-folder" / "model.mps"))
    assert model.get_variables_count() == 1


REMOTE_WAITS = {
    "get_remote_solve_log": lambda model: model.get_remote_solve_log("no-such-calculation"),
    "solve_remote_async": lambda model: model.solve_remote_async(""),
    "SolveResult": lambda model: v.SolveResult("no-such-calculation", ""),
    "MatrixSolveResult": lambda model: v.MatrixSolveResult("no-such-calculation", ""),
}


@pytest.mark.parametrize("operation", REMOTE_WAITS)
def test_waiting_for_another_remote_operation_lets_other_threads_run(calc_service, operation):
    """The process runs one remote operation at a time; the others wait without the
    interpreter's lock, and a model that waits is busy."""
    control = calc_service.control_client
    holder = quiet(v.Model())
    holder.add_variable(0.0, 1.0, 1.0, v.variable_type.continuous, "h")
    waiting = quiet(v.Model())
    waiting.add_variable(0.0, 1.0, 1.0, v.variable_type.continuous, "w")
    # The holder's calculation is created 2 seconds after its request arrives.
    control.faults([{"endpoint": "create", "attempts": [1], "action": "delay", "delay": 2.0}])
    control.clear_journal()
    try:
        worker, started = in_background(lambda: holder.solve_remote_async(""))
        deadline = time.monotonic() + DEADLINE
        while not any(entry["endpoint"] == "create" for entry in control.journal()):
            assert time.monotonic() < deadline and worker.is_alive()
            time.sleep(0.02)
        ticks, busy, stop = [], set(), threading.Event()

        def tick():
            while not stop.wait(0.05):
                ticks.append(time.monotonic())
                busy.add(failure(lambda m: waiting.get_name(), None))

        ticker = threading.Thread(target=tick)
        ticker.start()
        began = time.monotonic()
        try:
            REMOTE_WAITS[operation](waiting)
        except v.VeloriumException:
            pass  # no such calculation: only the wait matters here
        ended = time.monotonic()
        stop.set()
        ticker.join()
        worker.join()
    finally:
        control.faults([])
    assert "error" not in started
    # Held, the interpreter's lock would have stopped the ticker for the whole wait.
    assert len([t for t in ticks if began <= t <= ended]) >= 10
    if operation in ("get_remote_solve_log", "solve_remote_async"):
        assert busy_text(operation) in busy
