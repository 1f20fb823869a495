"""The calculation protocol end to end with a client written with ssl alone."""

import gzip
import hashlib

import pytest

from models import ACCEPTANCE_MPS, solution_sections
from reference_client import BOUNDARY, multipart_body


def test_whole_calculation_of_the_acceptance_model(client):
    created = client.create({"time_limit": 1000000.0, "problem_type": "max", "solver": "best"})
    assert created.status == 201
    reply = created.json()
    uid, form = reply["calc_uid"], reply["upload"]
    assert sorted(form["fields"]) == ["key", "policy", "x-amz-algorithm", "x-amz-credential",
                                      "x-amz-date", "x-amz-signature"]
    start = "# Velorium Solution File Version 1.1\n\n# Columns  2\nx0 3\nx1 1\n"
    assert client.upload(form, "start.sol", start.encode(), False).status == 204
    assert client.upload(form, "acceptance.mps", ACCEPTANCE_MPS.encode(), True).status == 204

    status = client.wait(uid)
    assert status == {"calc_uid": uid, "status": "done", "log_full": True}

    log = client.poll(uid, "log")
    assert log.status == 200 and b"Solution status: optimal" in log.body
    tail = client.poll(uid, "log", ("Range", f"bytes={len(log.body) - 1}-"))
    assert (tail.status, tail.body) == (206, log.body[-1:])
    assert tail.header("Content-Range") == f"bytes {len(log.body) - 1}-{len(log.body) - 1}/" \
        f"{len(log.body)}"
    assert b"Start values: 2 read, 2 of them name columns" in log.body
    assert b"Parameters: problem_type = max, solver = best, time_limit = 1000000.0\n" in log.body

    result = client.poll(uid, "result")
    assert result.status == 200
    text = result.body.decode()
    assert text.startswith("# Velorium Solution File Version 1.1\n\n# Objective Value  16\n")
    sections = solution_sections(text)
    assert sections["values"] == {"x0": 3.0, "x1": 1.0}
    assert "# Dual Solution" not in text  # a MIP has no duals

    details = client.poll(uid, "details").json()
    assert details["objective"] == 16.0
    assert details["best_bound"] == 16.0
    assert details["relative_gap"] == 0.0
    assert details["solution_status_v2"] == "optimal"
    assert details["processed_nodes"] >= 1 and details["iterations"] >= 1
    assert details["solve_time"] >= 0.0

    [record] = [c for c in client.service.control_client.calculations()
                if c["calc_uid"] == uid]
    assert record["params"]["solver"] == "best"
    assert [u["kind"] for u in record["uploads"]] == ["start", "model"]
    assert record["uploads"][1]["sha256"] == hashlib.sha256(
        gzip.compress(ACCEPTANCE_MPS.encode(), mtime=0)).hexdigest()


@pytest.mark.parametrize("key, status", [(None, 401), ("wrong", 403), ("", 403)])
def test_calculation_requests_need_the_key(service, key, status):
    from reference_client import request
    headers = [] if key is None else [("X-API-KEY", key)]
    for method, url in (("POST", service.base), ("GET", service.base + "abc/status"),
                        ("PATCH", service.base + "abc")):
        reply = request(url, method, headers, b"{}" if method == "POST" else b"", ca=service.ca)
        assert reply.status == status, (method, url)
        assert "error" in reply.json()


def test_requests_that_name_no_calculation(client):
    assert client.poll("nosuchcalc", "status").status == 404
    assert client.cancel("nosuchcalc").status == 404
    assert client.call("PATCH", client.service.base, client.keyed()).status == 404
    assert client.poll("nosuchcalc", "junk").status == 404


@pytest.mark.parametrize("body, message", [
    (b"[1, 2]", "JSON object"),
    (b"{not json", "not JSON"),
    (b'{"time_limit": "ten"}', "'time_limit' must be a number"),
])
def test_create_refuses_bad_parameters(client, body, message):
    reply = client.call("POST", client.service.base,
                        client.keyed(("Content-Type", "application/json")), body)
    assert reply.status == 400
    assert message in reply.json()["error"]


def test_create_takes_parameters_as_json_writers_send_them(client):
    body = b'{"time_limit":1E6,"gap":null,"remote_timeout":300,"solver":"best","x":[1,{"y":2}]}'
    reply = client.call("POST", client.service.base,
                        client.keyed(("Content-Type", "application/json")), body)
    assert reply.status == 201
    uid = reply.json()["calc_uid"]
    record = [c for c in client.service.control_client.calculations() if c["calc_uid"] == uid]
    assert record[0]["params"]["time_limit"] == 1e6 and record[0]["params"]["gap"] is None


def test_upload_framing_and_form_are_checked(client):
    form = client.create().json()["upload"]
    fields = form["fields"]
    good = multipart_body(fields, "m.mps", b"x", True)
    header = [("Content-Type", f"multipart/form-data; boundary={BOUNDARY}")]
    cases = [
        (good[:-4], header, 400),                        # trailer cut off
        (good.replace(b"--" + BOUNDARY.encode(), b"--X", 1), header, 400),
        (multipart_body(dict(fields, policy=fields["policy"][:-4] + "AAAA"), "m.mps", b"x",
                        True), header, 403),             # policy altered
        (multipart_body({k: v for k, v in fields.items() if k != "key"}, "m.mps", b"x", True),
         header, 400),
        (good, [("Content-Type", "text/plain")], 400),
    ]
    for body, headers, status in cases:
        assert client.call("POST", form["url"], headers, body).status == status


def test_the_standard_close_delimiter_is_accepted(client):
    reply = client.create().json()
    body = multipart_body(reply["upload"]["fields"], "m.mps", ACCEPTANCE_MPS.encode(), True)
    body = body[:-len(f"\r\n\r\n--{BOUNDARY}\r\n")] + f"\r\n--{BOUNDARY}--\r\n".encode()
    assert client.call("POST", reply["upload"]["url"], [
        ("Content-Type", f"multipart/form-data; boundary={BOUNDARY}")], body).status == 204
    assert client.wait(reply["calc_uid"])["status"] == "done"


def test_repeated_and_conflicting_model_uploads(client):
    reply = client.create().json()
    form, uid = reply["upload"], reply["calc_uid"]
    assert client.upload(form, "m.mps", ACCEPTANCE_MPS.encode(), True).status == 204
    assert client.upload(form, "m.mps", ACCEPTANCE_MPS.encode(), True).status == 204
    assert client.upload(form, "m.mps", ACCEPTANCE_MPS.encode() + b"\n", True).status == 409
    assert client.wait(uid)["status"] == "done"
    assert len([u for u in client.service.control_client.calculations()
                if u["calc_uid"] == uid][0]["uploads"]) == 1


def raw_exchange(service, data, read_reply=True):
    import socket

    from reference_client import tls_context
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as raw:
        with tls_context(service.ca).wrap_socket(raw, server_hostname="127.0.0.1") as tls:
            tls.sendall(data)
            if not read_reply:
                return None
            reply = b""
            while True:
                chunk = tls.recv(65536)
                if not chunk:
                    return reply
                reply += chunk


@pytest.mark.parametrize("data, status", [
    (b"GARBAGE\r\n\r\n", 400),
    (b"GET / SPDY/3\r\n\r\n", 400),
    (b"GET /x HTTP/1.1\r\nBad header line\r\n\r\n", 400),
    (b"GET /x HTTP/1.1\r\nX-Long: " + b"a" * 70000 + b"\r\n\r\n", 431),
    (b"POST /api/v1/calculations/ HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 501),
    (b"POST /api/v1/calculations/ HTTP/1.1\r\nContent-Length: -5\r\n\r\n", 400),
    (b"POST /api/v1/calculations/ HTTP/1.1\r\nContent-Length: 2000000\r\n\r\n", 413),
    (b"GET /elsewhere HTTP/1.1\r\n\r\n", 404),
], ids=["garbage", "not-http1", "header-line", "huge-header", "chunked", "bad-length",
        "create-too-large", "unknown-path"])
def test_malformed_requests_get_a_clear_status(service, data, status):
    reply = raw_exchange(service, data)
    assert reply.startswith(f"HTTP/1.1 {status} ".encode()), reply[:80]
    assert b'"error"' in reply


def test_a_request_cut_short_is_journaled_without_a_reply(service):
    service.control_client.clear_journal()
    raw_exchange(service, b"POST /api/v1/calculations/ HTTP/1.1\r\nContent-Length: 100\r\n"
                 b"\r\n{", read_reply=False)
    entry = None
    for _ in range(100):
        journal = service.control_client.journal()
        if journal:
            entry = journal[-1]
            break
        import time
        time.sleep(0.02)
    assert entry["fault"] == "incomplete" and entry["reply_status"] is None


def test_expect_continue_is_answered_before_the_body(service):
    import socket

    from reference_client import tls_context
    body = b'{"time_limit": 1}'
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as raw:
        with tls_context(service.ca).wrap_socket(raw, server_hostname="127.0.0.1") as tls:
            tls.sendall(f"POST /api/v1/calculations/ HTTP/1.1\r\nX-API-KEY: {service.api_key}"
                        f"\r\nExpect: 100-continue\r\nContent-Length: {len(body)}\r\n\r\n"
                        .encode())
            assert tls.recv(100) == b"HTTP/1.1 100 Continue\r\n\r\n"
            tls.sendall(body)
            assert tls.recv(100).startswith(b"HTTP/1.1 201 ")
