"""Reading a request's body: every byte arrives, in memory or in the scratch folder, however
the connection cuts it into pieces, and every read goes into one reused buffer."""

import hashlib
import random

import pytest

from calc_service.header_deadline import HeaderDeadline
from calc_service.http_io import READ_BUFFER_BYTES, SMALL_BODY_BYTES, read_request


class PieceConnection:
    """A connection that hands out its bytes in pieces of the given sizes (then the rest in
    pieces of the largest size), and records the buffers the reader reads into."""

    def __init__(self, data, sizes):
        self.data, self.sizes, self.position = data, list(sizes), 0
        self.buffers = []

    def _next_size(self, limit):
        size = self.sizes.pop(0) if self.sizes else 1 << 20
        return min(size, limit, len(self.data) - self.position)

    def recv(self, limit):
        size = self._next_size(limit)
        self.position += size
        return self.data[self.position - size:self.position]

    def recv_into(self, buffer, limit):
        self.buffers.append(buffer.obj)
        assert limit <= len(buffer)
        size = self._next_size(limit)
        buffer[:size] = self.data[self.position:self.position + size]
        self.position += size
        return size

    def settimeout(self, seconds):
        pass

    def sendall(self, data):
        pass


def read_all(tmp_path, body, sizes, screen=None):
    head = f"POST /storage/upload HTTP/1.1\r\nContent-Length: {len(body)}\r\n\r\n".encode()
    connection = PieceConnection(head + body, sizes)
    request = read_request(connection, HeaderDeadline(30), str(tmp_path), 1 << 30,
                           lambda request: 1 << 30, screen)
    return connection, request


rng = random.Random(31)
BODY = rng.randbytes(3 * READ_BUFFER_BYTES + 12345)


@pytest.mark.parametrize("sizes", [
    [],  # the largest pieces the reader asks for
    [100, 1, 1, 7] + [rng.randint(1, 20000) for _ in range(400)],  # TLS-record-like
    [1] * 3000,  # byte by byte, across the header's end and the spill to a file
], ids=["large", "random", "bytes"])
@pytest.mark.parametrize("screened", [False, True], ids=["plain", "screened"])
def test_the_body_arrives_whole_through_one_reused_buffer(tmp_path, sizes, screened):
    seen = []

    def screen(request, first_bytes, complete):
        seen.append(len(first_bytes))
        return len(first_bytes) >= SMALL_BODY_BYTES + 1000 or complete

    connection, request = read_all(tmp_path, BODY, sizes, screen if screened else None)
    assert request.early_reply is None
    assert request.body_length == len(BODY)
    assert request.body_sha256 == hashlib.sha256(BODY).hexdigest()
    assert request.body() == BODY
    assert request.body_path is not None  # larger than what is kept in memory
    assert connection.buffers and all(b is connection.buffers[0] for b in connection.buffers)
    if screened:
        assert seen[-1] >= SMALL_BODY_BYTES + 1000 and seen == sorted(seen)
    request.discard()
