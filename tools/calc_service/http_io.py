"""Reading one HTTP/1.1 request from a socket and writing one reply, by hand, so that every
byte the client sends can be journaled and every fault (a dropped connection, an empty or
broken reply) can be produced exactly."""

import hashlib
import os
import tempfile
import time

MAX_HEADER_BYTES = 65536
SMALL_BODY_BYTES = 65536
READ_BUFFER_BYTES = 1 << 16  # a TLS read gives at most 16 KiB
REASONS = {100: "Continue", 102: "Processing", 103: "Early Hints", 200: "OK", 201: "Created",
           204: "No Content", 206: "Partial Content", 302: "Found", 307: "Temporary Redirect",
           400: "Bad Request", 401: "Unauthorized", 403: "Forbidden", 404: "Not Found",
           405: "Method Not Allowed", 408: "Request Timeout", 409: "Conflict",
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
        self.content_length = 0  # as the header declares it
        self.body_length = 0  # as received
        self.body_sha256 = hashlib.sha256(b"").hexdigest()
        self.small_body = b""  # the body when it was kept in memory
        self.body_path = None  # a file holding a larger body
        self.early_reply = None  # an EarlyReply when the body was refused before its end

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


def read_head(connection, deadline):
    """The bytes up to the empty line, and what was read after it; 408 when they have not
    arrived by the deadline (a HeaderDeadline)."""
    data = b""
    try:
        while b"\r\n\r\n" not in data:
            if len(data) > MAX_HEADER_BYTES:
                raise RequestError(431, "request header too large")
            try:
                deadline.arm(connection)
                chunk = connection.recv(16384)
            except TimeoutError:
                if deadline.passed():
                    raise RequestError(408, deadline.message()) from None
                raise
            if not chunk:
                raise RequestError(None, "connection closed before the header was complete")
            data += chunk
    finally:
        deadline.met(connection)
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


def read_request(connection, deadline, scratch_folder, max_body, body_limit_for, screen=None):
    """Reads one request, its header by the deadline (a HeaderDeadline). body_limit_for(request)
    gives the largest body allowed for it.

    screen(request, first_bytes, complete), when given, sees the body's first bytes before
    any of it is written to disk, each time more arrive: it returns False while it needs more
    (complete: no more will come before it decides), True to take the rest, or raises
    EarlyReply, which stops the reading: the request comes back with `early_reply` set and
    only the bytes read so far."""
    head, rest = read_head(connection, deadline)
    request = parse_head(head)
    if request.header("Transfer-Encoding") is not None:
        raise RequestError(501, "transfer codings are not supported; send a Content-Length")
    length_text = request.header("Content-Length")
    length = 0
    if length_text is not None:
        if not length_text.isdigit():
            raise RequestError(400, f"bad Content-Length '{length_text[:40]}'")
        length = int(length_text)
    request.content_length = length
    if length > min(max_body, body_limit_for(request)):
        request.body_length = length
        raise RequestError(413, f"the body of {length} bytes is larger than allowed")
    if length and (request.header("Expect") or "").lower() == "100-continue" and not rest:
        connection.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
    body = _Body(request, scratch_folder)
    screened = screen is None
    # One buffer for every read of the body: a new block per read costs more than the read.
    buffer = memoryview(bytearray(READ_BUFFER_BYTES))
    try:
        chunk = rest[:length]
        while True:
            if chunk:
                body.add(chunk, keep_in_memory=not screened)
            if not screened:
                try:
                    screened = screen(request, body.memory, body.received >= length or
                                      len(body.memory) >= SCREEN_BYTES)
                except EarlyReply as reply:
                    request.early_reply = reply
                    break
            if body.received >= length:
                break
            got = connection.recv_into(buffer, min(len(buffer), length - body.received))
            if not got:
                raise RequestError(None, f"connection closed after {body.received} of"
                                   f" {length} body bytes")
            chunk = buffer[:got]
    finally:
        body.finish()
    return request


def interim_bytes(codes):
    """Interim replies, one per status; a 103 carries a "Link" field as Early Hints do."""
    parts = []
    for code in codes:
        fields = "Link: </hint.css>; rel=preload\r\n" if code == 103 else ""
        parts.append(f"HTTP/1.1 {code} {REASONS.get(code, 'Interim')}\r\n{fields}\r\n")
    return "".join(parts).encode("latin-1")


class EarlyReply(Exception):
    """A screen's refusal of a request: the reply is given before the rest of the body is read
    (or written anywhere)."""

    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


# The most of a body a screen may ask to see, held in memory, before it decides.
SCREEN_BYTES = 1 << 20


class _Body:
    """Collects a body: in memory while it is small (or being screened), else in a file in the
    scratch folder; its length and digest as it comes."""

    def __init__(self, request, scratch_folder):
        self.request, self.scratch_folder = request, scratch_folder
        self.digest = hashlib.sha256()
        self.received = 0
        self.memory = bytearray()
        self.sink = None

    def add(self, chunk, keep_in_memory):
        self.digest.update(chunk)
        self.received += len(chunk)
        if self.sink is None and (keep_in_memory or
                                  len(self.memory) + len(chunk) <= SMALL_BODY_BYTES):
            self.memory += chunk
            return
        if self.sink is None:
            descriptor, self.request.body_path = tempfile.mkstemp(dir=self.scratch_folder,
                                                                  prefix="body-")
            self.sink = os.fdopen(descriptor, "wb")
            self.sink.write(self.memory)
            self.memory = bytearray()
        self.sink.write(chunk)

    def finish(self):
        if self.sink is not None:
            self.sink.close()
            self.sink = None
        self.request.small_body = bytes(self.memory)
        self.request.body_length = self.received
        self.request.body_sha256 = self.digest.hexdigest()


def drain(connection, count, seconds):
    """Reads and drops up to count bytes, for at most `seconds`: a client that is still sending
    a body refused early then reads the reply, instead of a reset, before the connection
    closes."""
    deadline = time.monotonic() + seconds
    buffer = memoryview(bytearray(READ_BUFFER_BYTES))
    while count > 0:
        left = deadline - time.monotonic()
        if left <= 0:
            return
        connection.settimeout(left)
        try:
            got = connection.recv_into(buffer, min(len(buffer), count))
        except OSError:
            return
        if not got:
            return
        count -= got


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
