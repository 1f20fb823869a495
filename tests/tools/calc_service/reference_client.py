"""A small client of the calculation protocol written with socket and ssl alone: one request
per connection, the multipart body framed as the library writes it."""

import gzip
import json
import socket
import ssl
import time
import urllib.parse

BOUNDARY = "33B2FB9127EC4426B087A13F8F06B9F2"


class Reply:
    def __init__(self, status, headers, body):
        self.status, self.headers, self.body = status, headers, body

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None

    def json(self):
        return json.loads(self.body.decode("utf-8"))


def wait_for(predicate, seconds=20):
    """The predicate's first true value, polled every 20 ms for at most `seconds`."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.02)
    raise TimeoutError("condition not met in time")


def tls_context(ca):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
    context.minimum_version = context.maximum_version = ssl.TLSVersion.TLSv1_2
    context.load_verify_locations(ca)
    context.check_hostname = False
    return context


def request(url, method="GET", headers=(), body=b"", ca=None, proxy_port=None, timeout=30):
    """One exchange; raises ConnectionError when the connection ends without a reply."""
    parts = urllib.parse.urlsplit(url)
    host, port = parts.hostname, parts.port or 443
    target = parts.path + ("?" + parts.query if parts.query else "")
    raw = socket.create_connection(("127.0.0.1", proxy_port or port), timeout=timeout)
    try:
        if proxy_port:
            raw.sendall(f"CONNECT {host}:{port} HTTP/1.1\r\nHost: {host}:{port}\r\n\r\n"
                        .encode("ascii"))
            answer = b""
            while b"\r\n\r\n" not in answer:
                chunk = raw.recv(4096)
                if not chunk:
                    raise ConnectionError("the proxy closed the connection")
                answer += chunk
        connection = tls_context(ca).wrap_socket(raw, server_hostname=host)
        lines = [f"{method} {target} HTTP/1.1"]
        lines += [f"{name}: {value}" for name, value in headers]
        lines += ["Connection: close", f"Host: {host}"]
        if body or method == "POST":
            lines.append(f"Content-Length: {len(body)}")
        connection.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body)
        data = b""
        while True:
            try:
                chunk = connection.recv(65536)
            except (ssl.SSLError, ConnectionResetError) as error:
                if data:
                    break
                raise ConnectionError(str(error)) from None
            if not chunk:
                break
            data += chunk
    finally:
        raw.close()
    if not data:
        raise ConnectionError("the connection ended without a reply")
    head, _, rest = data.partition(b"\r\n\r\n")
    head_lines = head.decode("latin-1").split("\r\n")
    status = int(head_lines[0].split(" ")[1])
    reply_headers = [tuple(p.strip() for p in line.split(":", 1)) for line in head_lines[1:]]
    return Reply(status, reply_headers, rest)


def multipart_body(fields, file_name, data, compress):
    body = bytearray()
    for name, value in sorted(fields.items()):
        body += f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="{name}"\r\n\r\n' \
            .encode("utf-8")
        body += value.encode("utf-8") + b"\r\n"
    part_name = file_name + (".gz" if compress else "")
    body += (f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="file"; '
             f'filename="{part_name}"\r\n\r\n').encode("utf-8")
    body += gzip.compress(data, mtime=0) if compress else data
    body += f"\r\n\r\n--{BOUNDARY}\r\n".encode("ascii")
    return bytes(body)


class Client:
    """The client's steps against one service (a ServiceHandle of testing.py)."""

    def __init__(self, service, api_key=None):
        self.service = service
        self.api_key = service.api_key if api_key is None else api_key

    def call(self, method, url, headers=(), body=b""):
        return request(url, method, headers, body, ca=self.service.ca)

    def keyed(self, *extra):
        return [("X-API-KEY", self.api_key)] + list(extra)

    def create(self, params=None):
        return self.call("POST", self.service.base,
                         self.keyed(("Content-Type", "application/json")),
                         json.dumps(params or {}).encode("utf-8"))

    def upload(self, form, file_name, data, compress):
        body = multipart_body(form["fields"], file_name, data, compress)
        return self.call("POST", form["url"], [
            ("Accept", "*/*"),
            ("Content-Type", f"multipart/form-data; boundary={BOUNDARY}")], body)

    def poll(self, uid, word, *extra):
        return self.call("GET", f"{self.service.base}{uid}/{word}", self.keyed(*extra))

    def cancel(self, uid):
        return self.call("PATCH", f"{self.service.base}{uid}", self.keyed())

    def start(self, model_text, file_name="model.mps", params=None, start_values=None):
        """Create and upload; returns the calculation's identifier."""
        created = self.create(params)
        assert created.status == 201, created.body
        reply = created.json()
        if start_values is not None:
            assert self.upload(reply["upload"], "start.sol", start_values.encode("utf-8"),
                               False).status == 204
        uploaded = self.upload(reply["upload"], file_name, model_text.encode("utf-8"), True)
        assert uploaded.status == 204, uploaded.body
        return reply["calc_uid"]

    def wait(self, uid, seconds=60):
        """Polls the status until the calculation ends; returns the last status reply."""
        import time
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            status = self.poll(uid, "status").json()
            if status["status"] == "error" or (status["status"] == "done" and
                                               status.get("log_full")):
                return status
            time.sleep(0.02)
        raise TimeoutError(f"calculation {uid} did not end within {seconds} s")

    def solve(self, model_text, file_name="model.mps", params=None):
        """(status reply, result text, details) of a whole calculation."""
        uid = self.start(model_text, file_name, params)
        status = self.wait(uid)
        if status["status"] != "done":
            return status, None, None
        return status, self.poll(uid, "result").body.decode("utf-8"), \
            self.poll(uid, "details").json()
