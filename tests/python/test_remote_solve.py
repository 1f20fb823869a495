"""Solving against the local calculation service: a MIP and an LP through Model, an LP through
MatrixModel, the asynchronous start, results fetched by identifier, the remote log, replies that
are no result, a missing API key, and Ctrl-C during a solve. Each synchronous solve waits at
least one 3-second poll."""
import base64
import os
import re
import subprocess
import sys
import time

import numpy as np
import pytest

import veloriumpy as v
from calc_service_fixture import SOURCE_DIR, calc_service  # noqa: F401 (a fixture)

# Integer optimum x = 4, y = 0, objective 20 (the relaxation's is 21).
MIP_LP = """Maximize
 obj: 5 x + 4 y
Subject To
 c1: 6 x + 4 y <= 24
 c2: x + 2 y <= 6
Generals
 x y
End
"""

# Optimum x = 3, y = 1, objective 11: c1 binds (dual 2), c2 does not, x's upper bound binds
# (reduced cost 1).
LP_LP = """Maximize
 obj: 3 x + 2 y
Subject To
 c1: x + y <= 4
 c2: x + 3 y <= 9
Bounds
 x <= 3
End
"""


def read_model(tmp_path, text):
    path = tmp_path / "model.lp"
    path.write_text(text)
    model = v.Model()
    model.set_bool_param("log_to_console", False)
    model.read(str(path))
    return model


def test_a_mip_with_a_name_map_and_start_values(calc_service, tmp_path):
    model = read_model(tmp_path, MIP_LP)
    x = model.get_variable("x")
    model.add_mip_start_values({"x": 3, "y": 1.0})
    name_map = str(tmp_path / "names.map")
    assert model.get_calc_uid() == ""
    result = model.solve_remote(name_map)

    assert result.get_solve_result() == v.solve_result.success
    assert result.get_solution_status() == v.solution_status.optimal
    assert (result.get_objective_value(), result.get_best_bound(), result.get_relative_gap()) == (20.0, 20.0, 0.0)
    assert result.get_variable_value(x) == result.get_variable_value("x") == 4.0
    assert result.get_variable_value("y") == 0.0
    assert result.get_expression_value(model.get_objective()) == 20.0
    assert result.get_expression_value(x * x + 1.0) == 17.0
    assert isinstance(result.get_nodes_count(), int) and isinstance(result.get_iterations_count(), int)
    assert result.get_solve_time() >= 0.0
    assert repr(result) == "Solve is successful.\nGap: 0 %.\nSolution is optimal\nObjective value: 20\nBest bound: 20"
    # A MIP's result has neither dual values nor reduced costs: it says so.
    with pytest.raises(v.VeloriumException, match="^Dual values недоступны для данной модели$"):
        result.get_dual_value("c1")
    with pytest.raises(v.VeloriumException, match="^Reduced costs недоступны для данной модели$"):
        result.get_reduced_cost(x)

    calc_uid = model.get_calc_uid()
    assert calc_uid and "x x0" in open(name_map).read()
    # The start values went up with the model, under the names the name map gave.
    bodies = [base64.b64decode(entry["body_base64"] or "") for entry in calc_service.control_client.journal()
              if entry["endpoint"] == "upload" and entry["calc_uid"] == calc_uid]
    assert any(b'filename="start.sol"' in body and b"\nx0 3\nx1 1\n" in body for body in bodies)
    solution_file = str(tmp_path / "result.sol")
    result.write_solution(solution_file)
    assert "x 4" in " ".join(open(solution_file).read().split())

    # The same calculation fetched by its identifier, named back through the map.
    fetched = v.SolveResult(calc_uid, name_map)
    assert (fetched.get_objective_value(), fetched.get_variable_value("x")) == (20.0, 4.0)
    assert repr(fetched) == repr(result)
    matrix_fetched = v.MatrixSolveResult(calc_uid, name_map)
    assert matrix_fetched.get_objective_value() == 20.0 and matrix_fetched.get_solution_vector().shape == (0,)
    assert model.get_remote_solve_log(calc_uid)


def test_an_lp_gives_dual_values_and_reduced_costs(calc_service, tmp_path):
    model = read_model(tmp_path, LP_LP)
    result = model.solve_remote("")
    assert (result.get_objective_value(), result.get_variable_value("x"), result.get_variable_value("y")) == (11, 3, 1)
    c1 = model.get_constraint("c1")
    assert result.get_dual_value(c1) == result.get_dual_value("c1") == pytest.approx(2.0)
    assert result.get_dual_value("c2") == pytest.approx(0.0)
    assert result.get_reduced_cost("x") == result.get_reduced_cost(model.get_variable("x")) == pytest.approx(1.0)
    assert os.listdir(tmp_path) == ["model.lp"], "no name map for an empty path"
    # A name the result does not hold is refused, never read as 0.
    with pytest.raises(v.VeloriumException, match=r"^Переменная с именем \[X\] отсутствует$"):
        result.get_variable_value("X")
    with pytest.raises(v.VeloriumException, match=r"^Ограничение с именем \[c9\] отсутствует$"):
        result.get_dual_value("c9")


def test_a_matrix_model_gives_the_services_solution_as_vectors(calc_service):
    model = v.MatrixModel()
    model.set_bool_param("log_to_console", False)
    model.add_variables(upper_bounds=[3.0, v.kVeloriumInf], obj_values=[3.0, 2.0], count=2)
    model.set_objective(q=[3.0, 2.0], sense=v.objective_sense.maximize)
    model.add_constraints(np.array([[1.0, 1.0], [1.0, 3.0]]), v.constraint_sense.less_equal, [4.0, 9.0])
    result = model.solve_remote()
    assert result.get_solve_result() == v.solve_result.success
    assert result.get_objective_value() == 11.0
    np.testing.assert_allclose(result.get_solution_vector(), [3.0, 1.0])
    np.testing.assert_allclose(result.get_dual_values_vector(), [2.0, 0.0], atol=1e-9)
    np.testing.assert_allclose(result.get_reduced_costs_vector(), [1.0, 0.0], atol=1e-9)
    first, second = result.get_solution_vector(), result.get_solution_vector()
    first[0] = -1.0
    assert second[0] == 3.0 and result.get_solution_vector()[0] == 3.0


def wait_until_ended(service, calc_uid):
    """Waits (bounded) until the service has ended the calculation."""
    for _ in range(600):
        if any(calc["calc_uid"] == calc_uid and calc["state"] in ("done", "error")
               for calc in service.control_client.calculations()):
            return
        time.sleep(0.05)
    pytest.fail(f"the calculation {calc_uid} did not end")


def test_an_asynchronous_start_returns_at_once_and_writes_its_name_map(calc_service, tmp_path):
    model = read_model(tmp_path, LP_LP)
    name_map = str(tmp_path / "later.map")
    assert model.solve_remote_async(name_map) is None
    calc_uid = model.get_calc_uid()
    assert calc_uid and "x x0" in open(name_map).read()
    assert any(calc["calc_uid"] == calc_uid for calc in calc_service.control_client.calculations())
    with pytest.raises(TypeError):
        model.get_remote_solve_log(calc_uid=calc_uid)
    with pytest.raises(v.VeloriumException, match="^Ошибка получения лога удаленных расчетов: "):
        model.get_remote_solve_log("no-such-calculation")
    with pytest.raises(v.VeloriumException, match=r"^Ошибка получения лога удаленных расчетов: the calculation "
                                                  r"identifier \[\.\./x\] is not valid: "):
        model.get_remote_solve_log("../x")
    # An identifier is data: one that would write a request of its own is refused, nothing sent.
    calc_service.control_client.clear_journal()
    hostile = v.SolveResult("X/status HTTP/1.1\r\nHost: h\r\n\r\nPATCH /api/v1/calculations/VICTIM HTTP/1.1\r\nX-Pad: ", "")
    refused = r"^Ошибка: the calculation identifier \[X/status HTTP/1\.1\?\?Host: h\?\?\?\?PATCH "
    with pytest.raises(v.VeloriumException, match=refused):
        hostile.get_solve_result()
    assert calc_service.control_client.journal() == []

    # Fetched later with the same map, every member reads under the model's own name; without
    # it, under the uploaded file's; and a name neither holds is refused, never 0.
    wait_until_ended(calc_service, calc_uid)
    fetched = v.SolveResult(calc_uid, name_map)
    assert (fetched.get_variable_value("x"), fetched.get_variable_value(model.get_variable("y"))) == (3, 1)
    assert v.SolveResult(calc_uid, "").get_variable_value("x0") == 3
    with pytest.raises(v.VeloriumException, match=r"^Переменная с именем \[x0\] отсутствует$"):
        fetched.get_variable_value("x0")
    missing = str(tmp_path / "missing.map")
    unread = v.SolveResult(calc_uid, missing)
    reason = re.escape(f"Невозможно прочитать файл [{missing}]: No such file or directory")
    with pytest.raises(v.VeloriumException, match=f"^{reason}$"):
        unread.get_solve_result()
    assert re.fullmatch("Solve is not successful. Reason: " + reason, repr(unread))


@pytest.mark.parametrize("faults, is_the_result", [
    # Interim replies come before the real one and are skipped.
    ([{"endpoint": "result", "action": "interim", "codes": [100, 103]},
      {"endpoint": "details", "action": "interim"}], True),
    # Neither a 307's body nor a second redirect is a result, however it looks.
    ([{"endpoint": "result", "action": "status", "code": 307,
       "body": "# Velorium Solution File Version 1.1\n\n# Objective Value 99\n# Columns 2\nx 9\ny 9\n"}], False),
    ([{"endpoint": "result", "action": "redirect"}, {"endpoint": "storage_result", "action": "redirect"}], False),
])
def test_only_the_real_reply_is_read_as_the_result(calc_service, tmp_path, faults, is_the_result):
    model = read_model(tmp_path, LP_LP)
    calc_service.control_client.faults(faults)
    try:
        result = model.solve_remote("")
    finally:
        calc_service.control_client.faults([])
    if is_the_result:
        assert result.get_solve_result() == v.solve_result.success
        assert (result.get_objective_value(), result.get_variable_value("x"), result.get_variable_value("y")) == (11, 3, 1)
    else:
        try:
            outcome = result.get_solve_result()
        except v.VeloriumException:
            outcome = None
        assert outcome != v.solve_result.success
        assert result.get_objective_value() != 99


def test_without_an_api_key_the_result_says_so(calc_service, tmp_path, monkeypatch):
    monkeypatch.delenv("X_API_KEY")
    model = read_model(tmp_path, LP_LP)
    result = model.solve_remote("")
    assert result.get_solve_result() == v.solve_result.remote_api_key_not_set
    assert repr(result) == "Solve is not successful. Reason: X_API_KEY not set"


CTRL_C_SCRIPT = """
import os, signal, sys, threading, time
sys.path.insert(0, {tools!r})
import veloriumpy as v
from calc_service.testing import ControlClient, read_control_token

control = ControlClient({control!r}, read_control_token({state!r}))
control.clear_journal()
control.faults({faults!r})
control.hold(30)  # the calculation stays "calculating" until it is cancelled
model = v.Model()
model.set_bool_param("log_to_console", False)
model.set_string_param("temp_folder_path", {temp!r})
model.read({model!r})

def interrupt_when_ready():
    for _ in range(300):
        if {ready}:
            os.kill(os.getpid(), signal.SIGINT)
            return
        time.sleep(0.1)

threading.Thread(target=interrupt_when_ready, daemon=True).start()
start = time.monotonic()
try:
    model.solve_remote("")
    print("solve_remote returned")
except KeyboardInterrupt:
    print("KeyboardInterrupt from solve_remote", "at once" if time.monotonic() - start < 25 else "late")
calc = [c for c in control.calculations() if c["calc_uid"] == model.get_calc_uid()][0]
print("state", calc["state"], calc["minor"], "cancel requests", calc["cancel_requests"])
print("files left", os.listdir({temp!r}))
control.hold(0)
control.faults([])
try:
    os.kill(os.getpid(), signal.SIGINT)
    time.sleep(5)
    print("no KeyboardInterrupt")
except KeyboardInterrupt:
    print("KeyboardInterrupt")
"""


@pytest.mark.parametrize("moment, faults, ready", [
    # From the first poll on: the calculation is cancelled and the wait ends with it.
    ("waiting", [], 'any(c["state"] == "calculating" and c["status_requests"] for c in control.calculations())'),
    # The upload stops at once (the service would hold it 60 s) and the calculation is cancelled.
    ("uploading", [{"endpoint": "upload", "action": "delay", "delay": 60}],
     'any(e["endpoint"] == "upload" for e in control.journal())'),
])
def test_ctrl_c_during_a_solve_cancels_the_calculation_and_raises_keyboard_interrupt(calc_service, tmp_path, moment,
                                                                                     faults, ready):
    model_file = tmp_path / "model.lp"
    model_file.write_text(LP_LP)
    temp = tmp_path / "temp"
    temp.mkdir()
    script = CTRL_C_SCRIPT.format(tools=os.path.join(SOURCE_DIR, "tools"), control=calc_service.control,
                                  state=calc_service.state, faults=faults, temp=str(temp), model=str(model_file), ready=ready)
    finished = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=120,
                              env=dict(os.environ))
    assert finished.returncode == 0, finished.stderr
    # Python's own handler is back after the call, and got the interrupt the solve caught.
    assert finished.stdout.splitlines() == [
        "KeyboardInterrupt from solve_remote at once",
        "state error CANCELLED cancel requests 1",
        "files left []",
        "KeyboardInterrupt",
    ], moment


# A failed remote solve says why where the program looks: in the result's text (catalogue text
# first, then the reason the client logged), which repr() shows and get_solve_result() raises.
@pytest.mark.parametrize("failure, reason", [
    ("nobody listens", "connecting: Connection refused"),
    ("an untrusted certificate", "certificate verify failed"),
    ("404", "Http result : 404"),
])
def test_a_failed_solve_says_why_and_repr_never_raises(calc_service, tmp_path, monkeypatch, failure, reason):
    if failure == "nobody listens":
        monkeypatch.setenv("NIMBROVA_TEST_SERVER_ADDRESS", "https://127.0.0.1:1/api/v1/calculations/")
    elif failure == "an untrusted certificate":
        monkeypatch.delenv("VELORIUM_TEST_ROOTS")
    else:
        calc_service.control_client.faults([{"endpoint": "create", "action": "status", "code": 404}])
    try:
        result = read_model(tmp_path, LP_LP).solve_remote("")
    finally:
        calc_service.control_client.faults([])
    text = repr(result)
    assert text.startswith("Solve is not successful. Reason: Ошибка: ") and reason in text, text
    assert str(result) == text
    with pytest.raises(v.VeloriumException, match=re.escape(reason)) as raised:
        result.get_solve_result()
    assert text == "Solve is not successful. Reason: " + str(raised.value)
    with pytest.raises(v.VeloriumException, match="^The result holds no solution: Ошибка: "):
        result.get_variable_value("x")


def test_a_cancelled_calculation_says_so_without_an_exception(calc_service, tmp_path):
    # The service's own end of a cancelled calculation, as after Ctrl-C.
    calc_service.control_client.status_script([{"status": "error", "minor": "CANCELLED"}])
    try:
        result = read_model(tmp_path, LP_LP).solve_remote("")
    finally:
        calc_service.control_client.status_script([])
    assert result.get_solve_result() == v.solve_result.fail
    assert repr(result) == "Solve is not successful. Reason: The calculation was cancelled at the caller's request."
    with pytest.raises(v.VeloriumException, match="^The result holds no solution: The calculation was cancelled"):
        result.get_variable_value("x")


def test_an_infeasible_model_has_no_values_to_read(calc_service, tmp_path):
    model = read_model(tmp_path, LP_LP)
    model.add_constraint(model.get_variable("x") >= 4, "x_at_least_4")  # its bound is 3
    result = model.solve_remote("")
    assert result.get_solve_result() == v.solve_result.success
    assert result.get_solution_status() == v.solution_status.infeasible
    no_solution = "^The result holds no solution: the calculation ended with the solution status infeasible$"
    with pytest.raises(v.VeloriumException, match=no_solution):
        result.get_variable_value("x")
    with pytest.raises(v.VeloriumException, match=no_solution):
        result.get_expression_value(model.get_objective())


# A reply that is no result text (an expired storage address's page, a text cut short, NaN)
# is a failed result with its reason: for a result fetched by its identifier too.
@pytest.mark.parametrize("reply, reason", [
    ({"action": "empty"}, "the calculation's result text is empty"),
    ({"action": "status", "code": 200, "body": "<html><body>Request has expired</body></html>"},
     'the calculation\'s result text does not begin with "# Velorium Solution File Version 1.1"'),
    ({"action": "status", "code": 200, "body": "# Velorium Solution File Version 1.1\n\n# Columns  2\nx0 nan\nx1 1\n"},
     'the calculation\'s result text has NaN for "x0" (line 4)'),
], ids=["empty", "html", "nan"])
def test_a_result_text_that_is_none_is_a_failed_result(calc_service, tmp_path, reply, reason):
    model = read_model(tmp_path, LP_LP)
    model.solve_remote_async("")
    calc_uid = model.get_calc_uid()
    wait_until_ended(calc_service, calc_uid)
    calc_service.control_client.faults([dict(reply, endpoint="result")])
    try:
        fetched = v.SolveResult(calc_uid, "")
        matrix_fetched = v.MatrixSolveResult(calc_uid, "")
    finally:
        calc_service.control_client.faults([])
    for result in (fetched, matrix_fetched):
        assert repr(result).startswith("Solve is not successful. Reason: Ошибка: " + reason), repr(result)
        with pytest.raises(v.VeloriumException, match="^Ошибка: " + re.escape(reason)):
            result.get_solve_result()
    with pytest.raises(v.VeloriumException, match="^The result holds no solution: Ошибка: "):
        fetched.get_variable_value("x")
    with pytest.raises(v.VeloriumException, match="^The result holds no solution: Ошибка: "):
        matrix_fetched.get_solution_vector()
