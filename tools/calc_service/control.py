"""The control port: plain HTTP with JSON bodies on 127.0.0.1, for tests; never journaled.
Every request must carry the control token of this run (in "X-Control-Token"), which only the
user who started the service can read, from DIR/service.json."""

import hmac
import http.server
import io
import json
import math

from .background_server import BackgroundServer, CappedThreading
from .faults import FaultError
from .header_deadline import HeaderDeadline

TOKEN_HEADER = "X-Control-Token"


class _DeadlineReader(io.RawIOBase):
    """The connection's bytes, each read bounded by the header deadline as well."""

    def __init__(self, connection, deadline):
        super().__init__()
        self.connection, self.deadline = connection, deadline
        self.header_late = False

    def readable(self):
        return True

    def readinto(self, buffer):
        try:
            self.deadline.arm(self.connection)
            return self.connection.recv_into(buffer)
        except TimeoutError:
            self.header_late = self.deadline.passed()
            raise


class _ControlHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def setup(self):
        super().setup()
        self.deadline = HeaderDeadline(self.server.control.context.header_seconds)
        self.reader = _DeadlineReader(self.connection, self.deadline)
        self.rfile.close()
        self.rfile = io.BufferedReader(self.reader)

    def handle_one_request(self):
        super().handle_one_request()  # gives up, without a reply, on a read that times out
        if self.reader.header_late:
            self.deadline.met(self.connection)
            try:
                self._send(408, {"error": self.deadline.message()})
            except OSError:
                pass

    def log_message(self, *args):
        pass

    def _send(self, status, value):
        body = json.dumps(value).encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def _body(self):
        length = self.headers.get("Content-Length", "0")
        if not length.isdigit() or int(length) > (16 << 20):
            raise ValueError("a control body needs a Content-Length of at most 16 MiB")
        data = self.rfile.read(int(length)) if int(length) else b"{}"
        value = json.loads(data.decode("utf-8"))
        if not isinstance(value, dict):
            raise ValueError("a control body is a JSON object")
        return value

    def __getattr__(self, name):
        # Every method reaches the dispatcher, so that one without the token gets 401 too.
        if name.startswith("do_"):
            return lambda: self.server.control.dispatch(self, name[len("do_"):])
        raise AttributeError(name)


class _ControlHttpServer(CappedThreading, http.server.HTTPServer):
    pass


def _status_entries(entries):
    if not isinstance(entries, list):
        raise ValueError("'statuses' is a list")
    for entry in entries:
        if isinstance(entry, str):
            continue
        if not isinstance(entry, dict) or not isinstance(entry.get("status"), str):
            raise ValueError("a status entry is a word or an object with a 'status' text")
    return entries


class ControlServer(BackgroundServer):
    def __init__(self, context):
        self.context = context
        server = _ControlHttpServer(("127.0.0.1", 0), _ControlHandler)
        server.control = self
        super().__init__(server, "control")

    def dispatch(self, handler, method):
        handler.deadline.met(handler.connection)
        context = self.context
        token = handler.headers.get(TOKEN_HEADER)
        if token is None or not hmac.compare_digest(token.encode("utf-8", "replace"),
                                                    context.control_token.encode("ascii")):
            handler._send(401, {"error": f"a control request needs the header {TOKEN_HEADER}"
                                " with the control token of the service's service.json"})
            return
        context.touch()
        path = handler.path.split("?", 1)[0]
        routes = {
            ("GET", "/journal"): lambda b: {"requests": context.journal.snapshot()},
            ("POST", "/journal/clear"): lambda b: {"cleared": context.journal.clear()},
            ("GET", "/faults"): lambda b: {"faults": context.faults.show()},
            ("POST", "/faults"): lambda b: {"faults": context.faults.replace(
                b.get("faults", []))},
            ("POST", "/status-script"): self._status_script,
            ("POST", "/log-script"): self._log_script,
            ("POST", "/hold"): self._hold,
            ("GET", "/relay-journal"): lambda b: {"requests": context.relay_journal.snapshot()},
            ("GET", "/calculations"): lambda b: {"calculations":
                                                 context.calculations.records()},
            ("POST", "/shutdown"): self._shutdown,
        }
        route = routes.get((method, path))
        if route is None:
            known = any(p == path for _, p in routes)
            handler._send(405 if known else 404, {"error": f"no control request {method}"
                                                  f" {path}"})
            return
        try:
            body = handler._body() if method == "POST" else {}
            result = route(body)
        except (ValueError, FaultError) as error:
            handler._send(400, {"error": str(error)})
            return
        if isinstance(result, tuple):
            handler._send(*result)
        else:
            handler._send(200, result)

    def _target(self, body):
        uid = body.get("calc_uid")
        if uid is not None and not isinstance(uid, str):
            raise ValueError("'calc_uid' is a text")
        return uid

    def _status_script(self, body):
        entries = _status_entries(body.get("statuses", []))
        if not self.context.calculations.set_status_script(entries, self._target(body)):
            return 404, {"error": "no such calculation"}
        return {"ok": True}

    def _log_script(self, body):
        pieces = body.get("pieces", [])
        if not isinstance(pieces, list) or not all(isinstance(p, str) for p in pieces):
            raise ValueError("'pieces' is a list of texts")
        if not self.context.calculations.set_log_script(pieces, self._target(body)):
            return 404, {"error": "no such calculation"}
        return {"ok": True}

    def _hold(self, body):
        seconds = body.get("seconds")
        if not isinstance(seconds, (int, float)) or isinstance(seconds, bool) or \
                not 0 <= seconds <= 3600 or math.isnan(seconds):
            raise ValueError("'seconds' is a number from 0 to 3600")
        self.context.calculations.set_hold(float(seconds))
        return {"ok": True}

    def _shutdown(self, body):
        self.context.request_stop("shutdown request")
        return {"stopping": True}
