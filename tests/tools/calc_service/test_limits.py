"""What any local process can ask of the service is bounded: an upload with a wrong form is
refused before its file is stored, connections beyond the cap wait without a thread each, a
request header must arrive within the header time, and a model larger than --max-model-bytes
is refused without being read whole."""

import gzip
import json
import os
import select
import socket
import ssl
import threading
import time

import pytest

from calc_service.background_server import MAX_CONNECTIONS
from calc_service.testing import running_service
from models import ACCEPTANCE_MPS
from reference_client import (BOUNDARY, Client, multipart_body, request, tls_context,
                              wait_for)

DECLARED_BODY = 200 << 20  # under the default upload limit of 256 MiB
SENT_FILE_BYTES = 256 << 10
MULTIPART = f"multipart/form-data; boundary={BOUNDARY}"


def form_head(fields):
    """The body of an upload up to the file's first byte."""
    head = bytearray()
    for name, value in fields.items():
        head += (f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="{name}"\r\n\r\n'
                 f'{value}\r\n').encode()
    head += (f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="file"; '
             'filename="model.mps.gz"\r\n\r\n').encode()
    return bytes(head)


def without(fields, name):
    return {k: v for k, v in fields.items() if k != name}


@pytest.mark.parametrize("change, content_type, status", [
    (lambda f: without(f, "key"), MULTIPART, 400),
    (lambda f: without(f, "x-amz-signature"), MULTIPART, 400),
    (lambda f: dict(f, **{"x-amz-signature": "0" * 64}), MULTIPART, 403),
    (lambda f: dict(f, policy=f["policy"][:-4] + "AAAA"), MULTIPART, 403),
    (lambda f: f, "application/octet-stream", 400),
], ids=["keyless", "unsigned", "bad-signature", "altered-policy", "not-multipart"])
def test_a_wrong_upload_form_is_refused_before_the_file_is_stored(client, change, content_type,
                                                                  status):
    service = client.service
    created = client.create().json()
    uid, form = created["calc_uid"], created["upload"]
    service.control_client.clear_journal()
    head = form_head(change(form["fields"]))
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as raw:
        with tls_context(service.ca).wrap_socket(raw, server_hostname="127.0.0.1") as tls:
            tls.sendall(f"POST /storage/upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type:"
                        f" {content_type}\r\nContent-Length: {DECLARED_BODY}\r\n\r\n".encode()
                        + head + os.urandom(SENT_FILE_BYTES))
            # The reply comes although most of the declared body was never sent.
            reply = tls.recv(200)
    assert reply.startswith(f"HTTP/1.1 {status} ".encode()), reply
    [entry] = service.control_client.journal()
    assert (entry["endpoint"], entry["reply_status"]) == ("upload", status)
    assert entry["body_length"] <= len(head) + SENT_FILE_BYTES
    assert os.listdir(os.path.join(service.state, "incoming")) == []
    assert sorted(os.listdir(os.path.join(service.state, "calculations", uid))) == \
        ["log.txt", "params.json"]
    # The calculation still takes a right upload.
    assert client.upload(form, "model.mps", ACCEPTANCE_MPS.encode(), True).status == 204
    assert client.wait(uid)["status"] == "done"


def test_a_client_that_writes_a_refused_body_whole_still_reads_the_reply(client):
    service = client.service
    form = client.create().json()["upload"]
    service.control_client.clear_journal()
    body = multipart_body(without(form["fields"], "key"), "model.mps", os.urandom(16 << 20),
                          False)
    reply = client.call("POST", form["url"], [("Content-Type", MULTIPART)], body)
    assert reply.status == 400 and "key" in reply.json()["error"]
    [entry] = service.control_client.journal()
    assert entry["body_length"] < len(body)  # the rest was dropped unread by the form check
    assert os.listdir(os.path.join(service.state, "incoming")) == []


def thread_count(pid):
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        for line in status:
            if line.startswith("Threads:"):
                return int(line.split()[1])
    raise RuntimeError("no thread count")


@pytest.fixture(scope="module")
def flood_service(tmp_path_factory):
    """A service of its own, and its thread count while it serves nobody."""
    with running_service(tmp_path_factory.mktemp("flood")) as handle:
        yield handle, thread_count(handle.process.pid)


@pytest.mark.parametrize("port_name", ["port", "control", "relay_port"])
def test_a_connection_flood_waits_beyond_the_cap_without_a_thread_each(flood_service,
                                                                       port_name):
    service, idle = flood_service
    port = int(service.control.rstrip("/").rsplit(":", 1)[1]) if port_name == "control" \
        else getattr(service, port_name)
    pid = service.process.pid
    wait_for(lambda: thread_count(pid) == idle)  # the connections of earlier tests have ended
    flood = [socket.create_connection(("127.0.0.1", port), timeout=10)
             for _ in range(MAX_CONNECTIONS + 36)]
    answered = {}

    def queued_request():
        # Made after the flood: it is served once the connections before it end.
        answered["status"] = request(service.base + "nosuch/status",
                                     headers=[("X-API-KEY", service.api_key)], ca=service.ca,
                                     timeout=30).status

    later = threading.Thread(target=queued_request, daemon=True)
    try:
        wait_for(lambda: thread_count(pid) >= idle + MAX_CONNECTIONS)
        if port_name == "port":
            later.start()
        time.sleep(0.3)
        assert thread_count(pid) == idle + MAX_CONNECTIONS
        assert "status" not in answered
    finally:
        for connection in flood:
            connection.close()
    if port_name == "port":
        later.join(timeout=30)
        assert answered.get("status") == 404
    wait_for(lambda: thread_count(pid) == idle)
    assert service.control_client.journal() is not None  # the control port answers again


HEADER_SECONDS = 1


@pytest.fixture(scope="module")
def hurried_service(tmp_path_factory):
    with running_service(tmp_path_factory.mktemp("hurried"),
                         header_timeout=HEADER_SECONDS) as handle:
        yield handle


def connect(service, port_name, tls=True):
    port = int(service.control.rstrip("/").rsplit(":", 1)[1]) if port_name == "control" \
        else getattr(service, port_name)
    raw = socket.create_connection(("127.0.0.1", port), timeout=20)
    if port_name == "port" and tls:
        return tls_context(service.ca).wrap_socket(raw, server_hostname="127.0.0.1")
    return raw


def read_to_end(connection):
    data = b""
    while True:
        try:
            chunk = connection.recv(65536)
        except (OSError, ssl.SSLError):
            return data
        if not chunk:
            return data
        data += chunk


def wait_for_answer(connection, data, drip, seconds=20):
    """Sends data, at once or a byte every 0.1 s (far within the socket timeout), until the
    service answers or closes the connection; what it answered."""
    deadline = time.monotonic() + seconds
    if not drip:
        connection.sendall(data)
    for position in range(len(data) + int(seconds * 10)):
        if time.monotonic() > deadline:
            break
        if drip and position < len(data):
            try:
                connection.sendall(data[position:position + 1])
            except OSError:
                return b""
        if select.select([connection], [], [], 0.1)[0]:
            return read_to_end(connection)
    raise AssertionError(f"the connection is still open after {seconds} s")


NEVER_ENDING = b"X-Slow: " + b"a" * 400  # no empty line ever ends this header
HEADS = {"port": b"GET /api/v1/calculations/x/status HTTP/1.1\r\n",
         "control": b"GET /journal HTTP/1.1\r\n",
         "relay_port": b"CONNECT 127.0.0.1:1 HTTP/1.1\r\n"}


@pytest.mark.parametrize("port_name, how, answer", [
    ("port", "dripping", None), ("port", "stalled", b"HTTP/1.1 408 "),
    ("port", "silent", b""),  # a TLS handshake that never starts
    ("control", "dripping", None), ("control", "stalled", b"HTTP/1.1 408 "),
    ("relay_port", "dripping", b""),
], ids=["https-dripping", "https-stalled", "https-handshake", "control-dripping",
        "control-stalled", "relay-dripping"])
def test_a_header_not_complete_in_time_ends_the_connection(hurried_service, port_name, how,
                                                           answer):
    """Dripping a byte now and then does not hold a connection beyond the header time. The
    reply (408, on the ports that answer HTTP) reaches a client that stopped sending; one
    still sending may see the connection reset instead, its bytes left unread."""
    service = hurried_service
    service.control_client.clear_journal()
    started = time.monotonic()
    silent = how == "silent"
    with connect(service, port_name, tls=not silent) as connection:
        reply = wait_for_answer(connection, b"" if silent else HEADS[port_name] + NEVER_ENDING,
                                drip=how == "dripping")
    assert time.monotonic() - started >= HEADER_SECONDS
    message = f"the request header did not arrive within {HEADER_SECONDS} s"
    if answer is None:
        assert reply == b"" or reply.startswith(b"HTTP/1.1 408 "), reply
    else:
        assert reply.startswith(answer), reply
    if reply:
        assert message in json.loads(reply.partition(b"\r\n\r\n")[2])["error"]
    journal = service.control_client.journal()
    if port_name == "port" and not silent:
        [entry] = journal
        assert (entry["method"], entry["reply_status"], entry["error"]) == (None, 408, message)
    else:
        assert journal == []
    if port_name == "relay_port":
        entry = service.control_client.relay_journal()[-1]
        assert (entry["outcome"], entry["error"]) == ("bad_request", message)


def test_the_header_time_bounds_the_header_alone(hurried_service):
    """A header that arrives in time leaves the body (and a slow reader) the socket timeout."""
    service = hurried_service
    body = b'{"time_limit": 5}'
    with connect(service, "port") as connection:
        connection.sendall(f"POST /api/v1/calculations/ HTTP/1.1\r\nX-API-KEY: {service.api_key}"
                           f"\r\nContent-Length: {len(body)}\r\n\r\n".encode())
        time.sleep(HEADER_SECONDS + 0.5)
        connection.sendall(body)
        assert read_to_end(connection).startswith(b"HTTP/1.1 201 ")
    hold = b'{"seconds": 0}'
    with connect(service, "control") as connection:
        head = (f"POST /hold HTTP/1.1\r\nX-Control-Token: {service.control_token}\r\n"
                f"Content-Length: {len(hold)}\r\n\r\n").encode()
        for start in range(0, len(head), 20):  # a header in pieces, complete in time
            connection.sendall(head[start:start + 20])
            time.sleep(0.02)
        time.sleep(HEADER_SECONDS + 0.5)
        connection.sendall(hold)
        assert read_to_end(connection).startswith(b"HTTP/1.1 200 ")


def gzip_bomb():
    """8 GiB of zeros once decompressed, in 128 gzip members of 64 MiB."""
    return gzip.compress(bytes(64 << 20), mtime=0) * 128


def plain_model():
    return ACCEPTANCE_MPS.encode() + b"*" * (2 << 20) + b"\n"


@pytest.mark.parametrize("file_name, make_data", [
    ("bomb.mps.gz", gzip_bomb), ("plain.mps", plain_model)], ids=["gzip-bomb", "plain"])
def test_a_model_beyond_the_model_size_is_refused_unread(tmp_path, file_name, make_data):
    limit = 1 << 20
    with running_service(tmp_path, max_model_bytes=limit) as service:
        client = Client(service)
        created = client.create({"time_limit": 30}).json()
        uid = created["calc_uid"]
        reply = client.call("POST", created["upload"]["url"], [("Content-Type", MULTIPART)],
                            multipart_body(created["upload"]["fields"], file_name, make_data(),
                                           False))
        assert reply.status == 204, reply.body
        status = client.wait(uid)
        assert (status["status"], status["minor"]) == ("error", "MODEL_TOO_LARGE")
        assert f"larger than {limit} bytes" in status["reason"]
        assert not os.path.exists(os.path.join(service.state, "calculations", uid,
                                               "model.mps"))
        assert b"Reading" not in client.poll(uid, "log").body
