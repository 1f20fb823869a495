"""Reading one HTTP/1.1 request from a socket and writing one reply, by hand, so that every
byte the client sends can be journaled and every fault (a dropped connection, an empty or
broken reply) can be produced exactly."""

import hashlib
import os
import tempfile

MAX_HEADER_BYTES = 65536
SMALL_BODY_BYTES = 65536
REASONS = {100: "Continue", 102: "Processing", 103: "Early Hints", 200: "OK", 201: "Created",
           204: "No Content", 206: "Partial Content", 302: "Found", 307: "Temporary Redirect",
           400: "Bad Request", 401: "Unauthorized", 403: "Forbidden", 404: "Not Found", 405: "Method Not Allowed", 409: "Conflict",
           411: "Length Required", 413: "Content Too Large", 416: "Range Not Satisfiable",
           431: "Request Header Fields Too Large", 500: "Internal Server Error",
           501: "Not Implemented", 502: "Bad Gateway", 503: "Service Unavailable"}


class RequestError(Exception):
    """The request cannot be read; status is the reply to give (None: give none)."""

    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


class Request:
    def __init__(self, method, target, version, headers):
        self.method, self.target, self.version, self.headers = method, target, version, headers
        self.body_length = 0
        self.body_sha256 = hashlib.sha256(b"").hexdigest()
        self.small_body = b""  # the body when it is at most SMALL_BODY_BYTES
        self.body_path = None  # a file holding a larger body

    def header(self, name):
        name = name.lower()
        for key, value in self.headers:
            if key.lower() == name:
                return value
        return None

    @property
    def path(self):
        return self.target.split("?", 1)[0]

    @property
    def query(self):
        parts = self.target.split("?", 1)
        if len(parts) == 1:
            return {}
        pairs = (item.split("=", 1) for item in parts[1].split("&") if item)
        return {p[0]: (p[1] if len(p) > 1 else "") for p in pairs}

    def body(self):
        if self.body_path is None:
            return self.small_body
        with open(self.body_path, "rb") as source:
            return source.read()

    def discard(self):
        if self.body_path is not None:
            try:
                os.unlink(self.body_path)
            except OSError:
                pass
            self.body_path = None


def read_head(connection):
    """The bytes up to the empty line, and what was read after it."""
    data = b""
    while b"\r\n\r\n" not in data:
        if len(data) > MAX_HEADER_BYTES:
            raise RequestError(431, "request header too large")
        chunk = connection.recv(16384)
        if not chunk:
            raise RequestError(None, "connection closed before the header was complete")
        data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    if len(head) > MAX_HEADER_BYTES:
        raise RequestError(431, "request header too large")
    return head, rest


def parse_head(head):
    lines = head.decode("latin-1").split("\r\n")
    parts = lines[0].split(" ")
    if len(parts) != 3 or not parts[2].startswith("HTTP/1."):
        raise RequestError(400, f"malformed request line '{lines[0][:100]}'")
    headers = []
    for line in lines[1:]:
        name, colon, value = line.partition(":")
        if not colon or not name or name != name.strip():
            raise RequestError(400, f"malformed header line '{line[:100]}'")
        headers.append([name, value.strip()])
    return Request(parts[0], parts[1], parts[2], headers)


def read_request(connection, scratch_folder, max_body, body_limit_for):
    """Reads one request. body_limit_for(request) gives the largest body allowed for it."""
    head, rest = read_head(connection)
    request = parse_head(head)
    if request.header("Transfer-Encoding") is not None:
        raise RequestError(501, "transfer codings are not supported; send a Content-Length")
    length_text = request.header("Content-Length")
    length = 0
    if length_text is not None:
        if not length_text.isdigit():
            raise RequestError(400, f"bad Content-Length '{length_text[:40]}'")
        length = int(length_text)
    if length > min(max_body, body_limit_for(request)):
        request.body_length = length
        raise RequestError(413, f"the body of {length} bytes is larger than allowed")
    if length and (request.header("Expect") or "").lower() == "100-continue" and not rest:
        connection.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
    digest = hashlib.sha256()
    received = 0
    sink = None
    small = bytearray()
    try:
        chunk = rest[:length]
        while True:
            if chunk:
                digest.update(chunk)
                received += len(chunk)
                if sink is None and len(small) + len(chunk) <= SMALL_BODY_BYTES:
                    small += chunk
                else:
                    if sink is None:
                        descriptor, request.body_path = tempfile.mkstemp(dir=scratch_folder,
                                                                         prefix="body-")
                        sink = os.fdopen(descriptor, "wb")
                        sink.write(small)
                        small = bytearray()
                    sink.write(chunk)
            if received >= length:
                break
            chunk = connection.recv(min(1 << 20, length - received))
            if not chunk:
                request.body_length = received
                request.body_sha256 = digest.hexdigest()
                raise RequestError(None, f"connection closed after {received} of {length}"
                                   " body bytes")
    finally:
        if sink is not None:
            sink.close()
    request.small_body = bytes(small)
    request.body_length = received
    request.body_sha256 = digest.hexdigest()
    return request


def interim_bytes(codes):
    """Interim replies, one per status; a 103 carries a "Link" field as Early Hints do."""
    parts = []
    for code in codes:
        fields = "Link: </hint.css>; rel=preload\r\n" if code == 103 else ""
        parts.append(f"HTTP/1.1 {code} {REASONS.get(code, 'Interim')}\r\n{fields}\r\n")
    return "".join(parts).encode("latin-1")


def reply_bytes(status, body=b"", headers=(), content_type="application/json"):
    if isinstance(body, str):
        body = body.encode("utf-8")
    lines = [f"HTTP/1.1 {status} {REASONS.get(status, 'Status')}"]
    if body or status not in (204, 302):
        lines.append(f"Content-Type: {content_type}")
    lines.extend(f"{name}: {value}" for name, value in headers)
    lines.append(f"Content-Length: {len(body)}")
    lines.append("Connection: close")
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body
