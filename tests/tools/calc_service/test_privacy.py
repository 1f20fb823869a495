"""The service is private to the user who started it: the control port needs the token of
service.json, and the journal never holds the API key."""

import http.client
import json
import os
import socket
import stat

import pytest

from reference_client import request


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
