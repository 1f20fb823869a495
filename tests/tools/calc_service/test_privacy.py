"""The service is private to the user who started it: the control port needs the token of
service.json, the journal never holds the API key, no command line shows the key unless a
person put it there, and the state folder and its files are the user's alone."""

import http.client
import json
import os
import re
import secrets
import socket
import stat
import subprocess

import pytest

from calc_service.service import API_KEY_VARIABLE
from calc_service.state_folder import StateFolderError, private_folder, write_private_file
from calc_service.testing import PYTHON, SCRIPT, running_service
from models import ACCEPTANCE_MPS
from reference_client import Client, request, wait_for


def control_exchange(service, method, path, headers, body=b""):
    connection = http.client.HTTPConnection("127.0.0.1", int(service.control.rsplit(":", 1)[1]
                                                              .rstrip("/")), timeout=10)
    try:
        connection.request(method, path, body=body, headers=dict(headers))
        reply = connection.getresponse()
        return reply.status, reply.read()
    finally:
        connection.close()


def test_the_control_token_is_in_service_json_alone(service):
    facts_path = os.path.join(service.state, "service.json")
    assert stat.S_IMODE(os.stat(facts_path).st_mode) == 0o600
    with open(facts_path, encoding="utf-8") as source:
        facts = json.load(source)
    assert len(facts.pop("control_token")) == 64
    assert facts == service.ready  # the ready line: the same facts, without the token
    assert "control_token" not in service.ready


@pytest.mark.parametrize("method, path, body", [
    ("GET", "/journal", b""), ("GET", "/calculations", b""),
    ("POST", "/faults", b'{"faults": [{"endpoint": "status", "action": "drop"}]}'),
    ("POST", "/hold", b'{"seconds": 30}'), ("POST", "/shutdown", b"{}"),
    ("GET", "/nowhere", b""), ("PUT", "/journal", b"{}"), ("DELETE", "/faults", b""),
])
def test_every_control_request_without_the_token_is_refused(service, method, path, body):
    control = service.control_client
    for headers in ([], [("X-Control-Token", "")], [("X-Control-Token", "0" * 64)],
                    [("X-Control-Token", service.control_token + "0")],
                    [("X-API-KEY", service.api_key)]):
        status, reply = control_exchange(service, method, path, headers, body)
        assert status == 401, (headers, reply)
        assert "X-Control-Token" in json.loads(reply)["error"]
    # Nothing was done: the service runs, with no fault and no hold in force.
    assert control.request("GET", "/faults") == {"faults": []}
    assert service.process.poll() is None
    status, _ = control_exchange(service, "GET", "/journal",
                                 [("x-control-token", service.control_token)])
    assert status == 200  # header names are case-insensitive


def test_the_journal_records_whether_the_key_was_right_never_its_value(client):
    service = client.service
    control = service.control_client
    control.clear_journal()
    key = service.api_key
    cases = [([("X-API-KEY", key)], "present", 404),
             ([("x-api-key", key)], "present", 404),
             ([("X-API-KEY", key + "0")], "wrong", 403),
             ([("X-API-KEY", key[:-1])], "wrong", 403),
             ([("X-API-KEY", "")], "wrong", 403),
             ([], "absent", 401)]
    for headers, _, status in cases:
        assert request(service.base + "nosuch/status", headers=headers,
                       ca=service.ca).status == status
    # The relay records the headers of what it is asked too.
    with socket.create_connection(("127.0.0.1", service.relay_port), timeout=10) as raw:
        raw.sendall(f"CONNECT example.com:443 HTTP/1.1\r\nX-API-KEY: {key}\r\n\r\n".encode())
        assert raw.recv(100).startswith(b"HTTP/1.1 403")
    journal = control.journal()
    assert [e["api_key"] for e in journal] == [verdict for _, verdict, _ in cases]
    assert [e["headers"][0] for e in journal[:-1]] == [
        [headers[0][0], verdict] for headers, verdict, _ in cases[:-1]]
    assert control.relay_journal()[-1]["headers"] == [["X-API-KEY", "present"]]
    for path in ("/journal", "/relay-journal", "/calculations", "/faults"):
        assert key not in json.dumps(control.request("GET", path)), path


def shown_to_others(pid):
    """The command line of a process, as any local user reads it."""
    with open(f"/proc/{pid}/cmdline", "rb") as source:
        return source.read()


def child_processes(pid):
    children = []
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/children", encoding="ascii") as source:
                children += [int(child) for child in source.read().split()]
        except FileNotFoundError:
            pass  # a connection's thread that ended after the listing
    return children


@pytest.mark.parametrize("how", ["made", "environment", "command line"])
def test_the_api_key_is_on_no_command_line_unless_a_person_put_it_there(tmp_path, how):
    chosen = "chosen-" + secrets.token_hex(12)
    arguments = {"made": {}, "environment": {"api_key": chosen},
                 "command line": {"options": ["--api-key", chosen]}}[how]
    with running_service(tmp_path, **arguments) as service:
        key = service.api_key
        if how == "made":
            assert re.fullmatch("[0-9a-f]{32}", key), key
        else:
            assert key == chosen
        assert (key.encode() in shown_to_others(service.process.pid)) == (how == "command line")
        for sent, status in ((key, 404), (key + "0", 403), (chosen[:-1], 403)):
            assert request(service.base + "nosuch/status", headers=[("X-API-KEY", sent)],
                           ca=service.ca).status == status
        # The solver processes have the key neither on their command line nor in their
        # environment (read once the solver runs: a child's environment before its exec is
        # still the service's).
        client = Client(service)
        service.control_client.hold(30)
        uid = client.start(ACCEPTANCE_MPS)
        try:
            wait_for(lambda: b"Held for" in client.poll(uid, "log").body)
            [solver] = child_processes(service.process.pid)
            with open(f"/proc/{solver}/environ", "rb") as source:
                environment = source.read()
            assert b"calc_service.solve_worker" in shown_to_others(solver)
            assert key.encode() not in shown_to_others(solver) + environment
            assert API_KEY_VARIABLE.encode() not in environment
        finally:
            service.control_client.hold(0)
            client.cancel(uid)


@pytest.mark.parametrize("options, environment", [
    (["--api-key", ""], {}), ([], {API_KEY_VARIABLE: ""})], ids=["option", "environment"])
def test_an_empty_api_key_is_refused_at_start(tmp_path, options, environment):
    completed = subprocess.run([PYTHON, SCRIPT, "--state", str(tmp_path / "state"), *options],
                               env=dict(os.environ, **environment), capture_output=True,
                               text=True, timeout=30)
    assert completed.returncode == 2 and completed.stdout == ""
    assert "must not be empty" in completed.stderr, completed.stderr


def modes_under(folder):
    """{path relative to folder: permission bits} of everything below it."""
    modes = {}
    for root, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(root, name)
            modes[os.path.relpath(path, folder)] = stat.S_IMODE(os.lstat(path).st_mode)
    return modes


def test_the_state_folder_and_everything_in_it_are_the_users_alone(client):
    uid = client.start(ACCEPTANCE_MPS, start_values="# Velorium Solution File Version 1.1\n")
    assert client.wait(uid)["status"] == "done"
    state = client.service.state
    assert stat.S_IMODE(os.stat(state).st_mode) == 0o700
    modes = modes_under(state)
    calc = os.path.join("calculations", uid)
    # What the service, its certificate authority and the solver process wrote.
    for name in ("ca.pem", "ca-key.pem", "server.pem", "server-key.pem", "service.json",
                 "incoming", "calculations", calc, os.path.join(calc, "log.txt"),
                 os.path.join(calc, "params.json"), os.path.join(calc, "job.json"),
                 os.path.join(calc, "start.sol"), os.path.join(calc, "model.mps"),
                 os.path.join(calc, "outcome.json"), os.path.join(calc, "result.sol"),
                 os.path.join(calc, "details.json")):
        assert name in modes
    loose = {path: oct(mode) for path, mode in modes.items()
             if mode != (0o700 if os.path.isdir(os.path.join(state, path)) else 0o600)}
    assert loose == {}


def test_an_existing_state_folder_is_made_private_and_links_in_it_are_not_followed(tmp_path):
    state = tmp_path / "state"
    state.mkdir(mode=0o755)
    os.chmod(state, 0o755)
    elsewhere = tmp_path / "elsewhere.pem"
    elsewhere.write_text("not to be overwritten")
    os.symlink(elsewhere, state / "ca-key.pem")
    (state / "server.pem").write_text("left by an earlier run")
    os.chmod(state / "server.pem", 0o644)
    with running_service(tmp_path) as service:
        assert service.state == str(state)
        assert stat.S_IMODE(os.stat(state).st_mode) == 0o700
        key = os.lstat(state / "ca-key.pem")
        assert stat.S_ISREG(key.st_mode) and stat.S_IMODE(key.st_mode) == 0o600
        assert stat.S_IMODE(os.stat(state / "server.pem").st_mode) == 0o600
    assert elsewhere.read_text() == "not to be overwritten"


def folder_of_another_user(tmp_path):
    if os.geteuid() != 0:
        return "/"  # root's
    folder = tmp_path / "theirs"
    folder.mkdir()
    os.chown(folder, 65534, 65534)
    return str(folder)


def test_a_state_folder_of_another_user_is_refused_untouched(tmp_path):
    theirs = folder_of_another_user(tmp_path)
    link = tmp_path / "link"
    os.symlink(theirs, link)
    for folder in (theirs, str(link)):
        before = sorted(os.listdir(folder))
        completed = subprocess.run([PYTHON, SCRIPT, "--state", folder], capture_output=True,
                                   text=True, timeout=30)
        assert completed.returncode == 2 and completed.stdout == ""
        assert "belongs to another user" in completed.stderr, completed.stderr
        assert sorted(os.listdir(folder)) == before


def test_private_folders_and_files(tmp_path):
    fresh = tmp_path / "a" / "b"
    private_folder(fresh)
    assert stat.S_IMODE(os.stat(fresh).st_mode) == 0o700
    not_a_folder = tmp_path / "file"
    not_a_folder.write_text("x")
    with pytest.raises(OSError):
        private_folder(not_a_folder)
    if os.geteuid() == 0:
        with pytest.raises(StateFolderError, match="another user"):
            private_folder(folder_of_another_user(tmp_path))
    target = tmp_path / "target"
    target.write_text("keep")
    for existing in ("link", "file", None):
        path = tmp_path / f"written-{existing}"
        if existing == "link":
            os.symlink(target, path)
        elif existing == "file":
            path.write_text("old")
            os.chmod(path, 0o644)
        write_private_file(str(path), b"new")
        assert not os.path.islink(path) and path.read_bytes() == b"new"
        assert stat.S_IMODE(os.stat(path).st_mode) == 0o600
    assert target.read_text() == "keep"
