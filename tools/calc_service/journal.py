"""The record of every request the service was asked, in arrival order, for tests to read.
It never holds the API key: an "X-API-KEY" header is recorded as "present" (the service's key)
or "wrong", and each request's `api_key` says "present", "wrong" or "absent"."""

import base64
import hmac
import threading
import time

from .http_io import SMALL_BODY_BYTES

KEY_HEADER = "x-api-key"


class Journal:
    def __init__(self, started, api_key):
        self.started = started
        self.api_key = api_key.encode("utf-8")
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

    def key_verdict(self, value):
        return "present" if hmac.compare_digest(value.encode("utf-8", "replace"),
                                                self.api_key) else "wrong"

    def headers(self, headers):
        """The headers as [name, value] pairs, the API key's value replaced by its verdict."""
        return [[name, self.key_verdict(value) if name.lower() == KEY_HEADER else value]
                for name, value in headers]

    def add_request(self, request, endpoint, calc_uid, attempt):
        small = request.body_length <= SMALL_BODY_BYTES and request.body_path is None
        key = request.header(KEY_HEADER)
        return self.add(
            method=request.method, target=request.target, endpoint=endpoint,
            calc_uid=calc_uid, attempt=attempt, headers=self.headers(request.headers),
            api_key="absent" if key is None else self.key_verdict(key),
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
