"""The record of every request the service was asked, in arrival order, for tests to read."""

import base64
import threading
import time

from .http_io import SMALL_BODY_BYTES


class Journal:
    def __init__(self, started):
        self.started = started
        self.lock = threading.Lock()
        self.entries = []
        self.sequence = 0

    def add(self, **fields):
        """Appends an entry and returns it; the caller may fill in fields later."""
        with self.lock:
            self.sequence += 1
            entry = {"seq": self.sequence, "time": round(time.monotonic() - self.started, 6)}
            entry.update(fields)
            self.entries.append(entry)
            return entry

    def add_request(self, request, endpoint, calc_uid, attempt):
        small = request.body_length <= SMALL_BODY_BYTES and request.body_path is None
        return self.add(
            method=request.method, target=request.target, endpoint=endpoint,
            calc_uid=calc_uid, attempt=attempt, headers=[list(h) for h in request.headers],
            body_length=request.body_length, body_sha256=request.body_sha256,
            body_base64=base64.b64encode(request.small_body).decode("ascii") if small
            else None, reply_status=None, fault=None)

    def snapshot(self):
        with self.lock:
            return [dict(entry) for entry in self.entries]

    def clear(self):
        with self.lock:
            count = len(self.entries)
            self.entries = []
            return count
