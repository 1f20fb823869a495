"""A CONNECT proxy relay on 127.0.0.1 that records what it is asked and tunnels only to the
loopback address."""

import select
import socket
import time

from .background_server import BackgroundServer, ThreadingServer, connection_handler
from .header_deadline import HeaderDeadline
from .http_io import RequestError, parse_head, read_head, reply_bytes
from .journal import Journal

ALLOWED_HOSTS = ("127.0.0.1", "localhost")
IDLE_SECONDS = 60


class Relay(BackgroundServer):
    def __init__(self, context):
        self.context = context
        self.journal = Journal(context.started, context.api_key)
        super().__init__(ThreadingServer(("127.0.0.1", 0), connection_handler(self.serve)),
                         "relay")

    def serve(self, client):
        self.context.touch()
        try:
            head, rest = read_head(client, HeaderDeadline(self.context.header_seconds))
            request = parse_head(head)
        except (RequestError, OSError) as error:
            self.journal.add(target=None, headers=[], outcome="bad_request", bytes_up=0,
                             bytes_down=0, error=str(error))
            return
        entry = self.journal.add(method=request.method, target=request.target,
                                 headers=self.journal.headers(request.headers), outcome=None,
                                 bytes_up=0, bytes_down=0)
        if request.method != "CONNECT":
            entry["outcome"] = "bad_request"
            client.sendall(reply_bytes(405, b'{"error": "only CONNECT is relayed"}'))
            return
        _, rule = self.context.faults.next_attempt("connect")
        if rule is not None:
            if rule.get("delay"):
                time.sleep(rule["delay"])
            if rule["action"] == "drop":
                entry["outcome"] = "dropped"
                return
            if rule["action"] == "status":
                entry["outcome"] = "refused"
                client.sendall(reply_bytes(rule["code"], rule.get("body", "")))
                return
        host, _, port = request.target.rpartition(":")
        if host.startswith("[") or host not in ALLOWED_HOSTS or not port.isdigit():
            entry["outcome"] = "refused"
            client.sendall(reply_bytes(403, b'{"error": "the relay only reaches 127.0.0.1"}'))
            return
        try:
            upstream = socket.create_connection(("127.0.0.1", int(port)), timeout=10)
        except OSError:
            entry["outcome"] = "refused"
            client.sendall(reply_bytes(502, b'{"error": "the target refused the connection"}'))
            return
        entry["outcome"] = "tunnel"
        with upstream:
            client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            if rest:
                upstream.sendall(rest)
                entry["bytes_up"] += len(rest)
            self._pipe(client, upstream, entry)

    def _pipe(self, client, upstream, entry):
        sockets = [client, upstream]
        while True:
            readable, _, _ = select.select(sockets, [], [], IDLE_SECONDS)
            if not readable:
                return
            for source in readable:
                try:
                    data = source.recv(65536)
                except OSError:
                    return
                if not data:
                    return
                target = upstream if source is client else client
                try:
                    target.sendall(data)
                except OSError:
                    return
                entry["bytes_up" if source is client else "bytes_down"] += len(data)
                self.context.touch()
