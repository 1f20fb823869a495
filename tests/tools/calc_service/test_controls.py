"""Every test control shown working: journal, faults, status and log scripts, hold and
cancel, the CONNECT relay, limits, shutdown and idle exit."""

import base64
import hashlib
import json
import os
import subprocess
import time

import pytest

from calc_service.testing import PYTHON, SCRIPT, ControlError, running_service
from models import ACCEPTANCE_MPS
from reference_client import Client, request, wait_for


def record_of(service, uid):
    return next(c for c in service.control_client.calculations() if c["calc_uid"] == uid)


def test_journal_records_requests_in_order_with_their_headers_and_bodies(client):
    control = client.service.control_client
    control.clear_journal()
    created = client.create({"time_limit": 5})
    uid = created.json()["calc_uid"]
    big = ("* " + "x" * 70 + "\n") * 2000 + ACCEPTANCE_MPS  # over 64 KiB uncompressed
    client.upload(created.json()["upload"], "m.mps", big.encode(), False)
    client.poll(uid, "status")
    journal = control.journal()
    assert [e["endpoint"] for e in journal] == ["create", "upload", "status"]
    assert [e["seq"] for e in journal] == [1, 2, 3]
    first = journal[0]
    assert first["headers"] == [["X-API-KEY", "present"],
                                ["Content-Type", "application/json"],
                                ["Connection", "close"], ["Host", "127.0.0.1"],
                                ["Content-Length", str(first["body_length"])]]
    body = base64.b64decode(first["body_base64"])
    assert json.loads(body) == {"time_limit": 5}
    assert first["body_sha256"] == hashlib.sha256(body).hexdigest()
    assert (first["attempt"], first["reply_status"], first["fault"]) == (1, 201, None)
    assert first["api_key"] == "present"
    upload = journal[1]
    assert upload["body_base64"] is None and upload["body_length"] > 65536
    assert upload["calc_uid"] == uid
    assert journal[2]["calc_uid"] == uid and journal[2]["target"].endswith(f"/{uid}/status")
    assert control.clear_journal() == 3 and control.journal() == []


def test_fault_actions(client):
    control = client.service.control_client
    uid = client.start(ACCEPTANCE_MPS)
    client.wait(uid)
    control.faults([
        {"endpoint": "status", "attempts": [1], "action": "drop"},
        {"endpoint": "status", "attempts": [2], "action": "status", "code": 500},
        {"endpoint": "status", "attempts": [3], "action": "empty"},
        {"endpoint": "status", "attempts": [4], "action": "malformed_json"},
        {"endpoint": "status", "attempts": [5], "action": "delay", "delay": 0.3},
        {"endpoint": "details", "action": "status", "code": 503, "body": "busy"},
    ])
    with pytest.raises(ConnectionError):
        client.poll(uid, "status")
    assert client.poll(uid, "status").status == 500
    empty = client.poll(uid, "status")
    assert (empty.status, empty.body) == (200, b"")
    with pytest.raises(ValueError):
        client.poll(uid, "status").json()
    started = time.monotonic()
    assert client.poll(uid, "status").json()["status"] == "done"
    assert time.monotonic() - started >= 0.3
    assert client.poll(uid, "status").json()["status"] == "done"  # attempt 6: no rule
    for _ in range(2):
        details = client.poll(uid, "details")
        assert (details.status, details.body) == (503, b"busy")
    journal = [e for e in control.journal() if e["calc_uid"] == uid and
               e["endpoint"] in ("status", "details")][-8:]
    assert [(e["attempt"], e["fault"], e["reply_status"]) for e in journal] == [
        (1, "drop", None), (2, "status", 500), (3, "empty", 200), (4, "malformed_json", 200),
        (5, "delay", 200), (6, None, 200), (1, "status", 503), (2, "status", 503)]


def test_drop_after_processes_the_request_but_sends_no_reply(client):
    control = client.service.control_client
    before = len(control.calculations())
    control.faults([{"endpoint": "create", "action": "drop_after"}])
    with pytest.raises(ConnectionError):
        client.create()
    assert len(control.calculations()) == before + 1


def test_redirects_to_storage_with_and_without_location(client):
    control = client.service.control_client
    uid = client.start(ACCEPTANCE_MPS)
    client.wait(uid)
    direct = client.poll(uid, "result").body
    control.faults([{"endpoint": "result", "attempts": [1], "action": "redirect"},
                    {"endpoint": "result", "attempts": [2], "action": "redirect",
                     "location": False},
                    {"endpoint": "log", "action": "redirect"},
                    {"endpoint": "storage_result", "attempts": [2], "action": "redirect",
                     "location": False}])
    moved = client.poll(uid, "result")
    assert moved.status == 302
    location = moved.header("Location")
    followed = request(location, ca=client.service.ca)  # pre-signed: no API key
    assert (followed.status, followed.body) == (200, direct)
    bare = client.poll(uid, "result")
    assert bare.status == 302 and bare.header("Location") is None
    log = client.poll(uid, "log")
    partial = request(log.header("Location"), headers=[("Range", "bytes=3-")],
                      ca=client.service.ca)
    whole = client.call("GET", log.header("Location"))
    assert partial.status == 206 and partial.body == whole.body[3:]
    # A second redirect, from storage, without a location and with an empty body.
    again = request(location, ca=client.service.ca)
    assert (again.status, again.body, again.header("Location")) == (302, b"", None)
    tampered = location.replace("result?", "details?")
    assert request(tampered, ca=client.service.ca).status == 403


def test_interim_replies_before_the_reply_and_a_log_that_ignores_ranges(client):
    control = client.service.control_client
    uid = client.start(ACCEPTANCE_MPS)
    client.wait(uid)
    whole = client.poll(uid, "log").body
    control.faults([{"endpoint": "status", "action": "interim", "codes": [100, 103]},
                    {"endpoint": "log", "action": "ignore_range"}])
    first = client.poll(uid, "status")  # the reference client reads the first head only
    assert first.status == 100
    hints, real, body = first.body.split(b"\r\n\r\n", 2)
    assert hints == b"HTTP/1.1 103 Early Hints\r\nLink: </hint.css>; rel=preload"
    assert real.startswith(b"HTTP/1.1 200 OK\r\n") and json.loads(body)["status"] == "done"
    log = client.poll(uid, "log", ("Range", "bytes=3-"))
    assert (log.status, log.body, log.header("Content-Range")) == (200, whole, None)
    faults = [e["fault"] for e in control.journal() if e["calc_uid"] == uid][-2:]
    assert faults == ["interim", "ignore_range"]


@pytest.mark.parametrize("rule, message", [
    ({"endpoint": "status", "action": "explode"}, "unknown fault action"),
    ({"endpoint": "status", "action": "status"}, "'code'"),
    ({"endpoint": "status", "action": "drop", "attempts": [0]}, "attempt numbers"),
    ({"action": "drop"}, "'endpoint'"),
    ({"endpoint": "status", "action": "delay"}, "needs 'delay'"),
    ({"endpoint": "status", "action": "interim", "codes": [101]}, "'codes'"),
    ({"endpoint": "status", "action": "interim", "codes": []}, "'codes'"),
])
def test_malformed_fault_rules_are_refused(client, rule, message):
    with pytest.raises(ControlError) as refused:
        client.service.control_client.faults([rule])
    assert refused.value.status == 400 and message in refused.value.body


def test_status_script_then_the_real_state(client):
    control = client.service.control_client
    uid = client.start(ACCEPTANCE_MPS)
    wait_for(lambda: record_of(client.service, uid)["state"] == "done")
    control.status_script(["queued", "queued", "calculating", {"status": "paused"},
                           {"status": "error", "minor": "TIME_AMOUNT_IS_OVER"}, "done"],
                          calc_uid=uid)
    replies = [client.poll(uid, "status").json() for _ in range(7)]
    assert [r["status"] for r in replies] == ["queued", "queued", "calculating", "paused",
                                              "error", "done", "done"]
    assert replies[4]["minor"] == "TIME_AMOUNT_IS_OVER"
    assert [r["log_full"] for r in replies] == [False, False, False, False, True, True, True]


def test_status_script_for_calculations_created_later(client):
    control = client.service.control_client
    control.status_script(["calculating"])
    uid = client.start(ACCEPTANCE_MPS)
    assert client.poll(uid, "status").json()["status"] == "calculating"
    control.status_script([])
    assert client.wait(uid)["status"] == "done"


def test_log_script_grows_the_log_one_piece_per_status_request(client):
    control = client.service.control_client
    uid = client.start(ACCEPTANCE_MPS)
    wait_for(lambda: record_of(client.service, uid)["state"] == "done")
    control.log_script(["a\n", "bb\n", "ccc\n"], calc_uid=uid)
    logs, fulls = [], []
    for _ in range(3):
        fulls.append(client.poll(uid, "status").json()["log_full"])
        logs.append(client.poll(uid, "log").body)
    assert logs == [b"a\n", b"a\nbb\n", b"a\nbb\nccc\n"]
    assert fulls == [False, False, True]
    tail = client.poll(uid, "log", ("Range", "bytes=1-"))
    assert (tail.status, tail.body) == (206, b"\nbb\nccc\n")
    past = client.poll(uid, "log", ("Range", "bytes=9-"))
    assert past.status == 416 and past.header("Content-Range") == "bytes */9"


def test_hold_keeps_a_calculation_calculating_until_cancelled(client):
    control = client.service.control_client
    control.hold(30)
    try:
        uid = client.start(ACCEPTANCE_MPS)
        wait_for(lambda: client.poll(uid, "status").json()["status"] == "calculating")
        cancelled = client.cancel(uid)
        assert cancelled.status == 200
        status = client.wait(uid, seconds=10)
        assert (status["status"], status["minor"]) == ("error", "CANCELLED")
        assert client.cancel(uid).json()["status"] == "error"  # no change after the end
        assert record_of(client.service, uid)["cancel_requests"] == 2
    finally:
        control.hold(0)


def test_a_solver_over_its_time_limit_is_stopped(client):
    control = client.service.control_client
    control.hold(30)
    try:
        started = time.monotonic()
        uid = client.start(ACCEPTANCE_MPS, params={"time_limit": 0.2})
        status = client.wait(uid, seconds=15)
    finally:
        control.hold(0)
    assert (status["status"], status["minor"]) == ("error", "TIME_PER_CALC_VIOLATED")
    assert time.monotonic() - started < 10


def test_cancel_of_a_calculation_still_waiting_for_its_model(client):
    uid = client.create().json()["calc_uid"]
    assert client.poll(uid, "status").json()["status"] == "queued"
    assert client.poll(uid, "result").status == 409
    client.cancel(uid)
    assert client.poll(uid, "status").json()["minor"] == "CANCELLED"


def test_relay_tunnels_to_the_service_and_records_what_it_is_asked(client):
    service = client.service
    control = service.control_client
    reply = request(service.base + "nosuch/status", headers=[("X-API-KEY", service.api_key)],
                    ca=service.ca, proxy_port=service.relay_port)
    assert reply.status == 404
    entry = wait_for(lambda: [e for e in control.relay_journal()
                              if e["outcome"] == "tunnel" and e["bytes_down"] > 0])[-1]
    assert entry["method"] == "CONNECT" and entry["target"] == f"127.0.0.1:{service.port}"
    assert entry["headers"] == [["Host", f"127.0.0.1:{service.port}"]]
    assert entry["bytes_up"] > 0
    control.faults([{"endpoint": "connect", "attempts": [1], "action": "status",
                     "code": 407}])
    with pytest.raises(Exception):
        request(service.base + "nosuch/status", ca=service.ca, proxy_port=service.relay_port)
    assert control.relay_journal()[-1]["outcome"] == "refused"


def test_relay_refuses_targets_off_this_machine(service):
    import socket
    with socket.create_connection(("127.0.0.1", service.relay_port), timeout=10) as raw:
        raw.sendall(b"CONNECT example.com:443 HTTP/1.1\r\nHost: example.com:443\r\n\r\n")
        assert raw.recv(100).startswith(b"HTTP/1.1 403")
    assert service.control_client.relay_journal()[-1]["outcome"] == "refused"


def test_limits_on_upload_and_model_size(tmp_path):
    with running_service(tmp_path, max_upload_bytes=4000, max_model_bytes=600) as service:
        client = Client(service)
        reply = client.create().json()
        form, uid = reply["upload"], reply["calc_uid"]
        too_big = client.upload(form, "m.mps", os.urandom(5000), False)
        assert too_big.status == 413
        padded = ACCEPTANCE_MPS + "*" * 700 + "\n"  # compresses well below 4000 bytes
        assert client.upload(form, "m.mps", padded.encode(), True).status == 204
        status = client.wait(uid)
        assert (status["status"], status["minor"]) == ("error", "MODEL_TOO_LARGE")


def test_shutdown_ends_the_process_and_removes_its_ready_file(tmp_path):
    with running_service(tmp_path) as service:
        assert os.path.exists(os.path.join(service.state, "service.json"))
        assert service.control_client.shutdown() == {"stopping": True}
        assert service.process.wait(timeout=10) == 0
        assert not os.path.exists(os.path.join(service.state, "service.json"))
        assert os.stat(os.path.join(service.state, "ca-key.pem")).st_mode & 0o077 == 0


def test_idle_exit(tmp_path):
    with running_service(tmp_path, idle_exit=0.5) as service:
        started = time.monotonic()
        assert service.process.wait(timeout=10) == 0
        assert time.monotonic() - started < 5


def test_a_start_that_cannot_use_its_state_folder_fails_clearly(tmp_path):
    blocker = tmp_path / "file"
    blocker.write_text("not a folder")
    completed = subprocess.run([PYTHON, SCRIPT, "--state", str(blocker / "state")],
                               capture_output=True, text=True, timeout=30)
    assert completed.returncode == 2
    assert completed.stdout == "" and "cannot use the state folder" in completed.stderr


def test_control_refuses_malformed_requests(service):
    control = service.control_client
    for method, path, body in (("POST", "/status-script", {"statuses": [1]}),
                               ("POST", "/log-script", {"pieces": "x"}),
                               ("POST", "/hold", {"seconds": -1}),
                               ("GET", "/nowhere", None)):
        with pytest.raises(ControlError) as refused:
            control.request(method, path, body)
        assert refused.value.status in (400, 404)
    with pytest.raises(ControlError) as missing:
        control.status_script(["done"], calc_uid="nosuch")
    assert missing.value.status == 404


def test_exit_with_parent(tmp_path):
    starter = ("import subprocess, sys\n"
               f"p = subprocess.Popen([{PYTHON!r}, {SCRIPT!r}, '--state', {str(tmp_path)!r},"
               " '--exit-with-parent'], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)\n"
               "sys.stdout.write(p.stdout.readline().decode())\n")
    ready = json.loads(subprocess.run([PYTHON, "-c", starter], capture_output=True, text=True,
                                      timeout=30).stdout)

    def gone():
        try:
            with open(f"/proc/{ready['pid']}/stat") as stat:
                return stat.read().split(") ", 1)[1].startswith("Z")
        except FileNotFoundError:
            return True
    try:
        wait_for(gone, seconds=10)
    finally:
        if not gone():
            os.kill(ready["pid"], 9)
