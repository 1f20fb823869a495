"""The time a connection has to deliver its request header, counted from its accept. The
socket timeout alone bounds each read, so a peer sending a byte now and then could hold one of
the connection slots for ever; with this bound it holds it for the header time at most."""

import time

from .background_server import SOCKET_TIMEOUT_SECONDS

DEFAULT_HEADER_SECONDS = 30


class HeaderDeadline:
    def __init__(self, seconds):
        self.seconds = seconds
        self.end = time.monotonic() + seconds

    def arm(self, connection):
        """Sets the timeout of the connection's next read: the header's time left (TimeoutError
        when none is left), at most the socket timeout; once the header has arrived, the socket
        timeout."""
        if self.end is None:
            connection.settimeout(SOCKET_TIMEOUT_SECONDS)
            return
        left = self.end - time.monotonic()
        if left <= 0:
            raise TimeoutError(self.message())
        connection.settimeout(min(left, SOCKET_TIMEOUT_SECONDS))

    def met(self, connection):
        """The header has arrived (or its reading has ended): the rest of the exchange has the
        socket timeout alone."""
        self.end = None
        connection.settimeout(SOCKET_TIMEOUT_SECONDS)

    def passed(self):
        return self.end is not None and time.monotonic() >= self.end

    def message(self):
        return f"the request header did not arrive within {self.seconds:g} s"
