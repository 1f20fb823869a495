"""A socketserver run on its own thread, bound to 127.0.0.1 on a port the system picks, with a
cap on the connections it handles at once and a timeout on every connection's socket."""

import socketserver
import threading

MAX_CONNECTIONS = 64
SOCKET_TIMEOUT_SECONDS = 60


class CappedThreading(socketserver.ThreadingMixIn):
    """Each connection on a thread of its own, at most MAX_CONNECTIONS at once. The accepting
    thread waits for a free slot before it accepts the next connection, so that the rest wait
    in the listen backlog: a flood costs no thread beyond the cap, and is served in turn as the
    connections before it end (each within its socket timeout of inactivity)."""

    daemon_threads = True
    block_on_close = False
    request_queue_size = MAX_CONNECTIONS
    socket_timeout = SOCKET_TIMEOUT_SECONDS

    def server_activate(self):
        self.slots = threading.BoundedSemaphore(MAX_CONNECTIONS)
        self.stopping = threading.Event()
        # A client that gave up while it waited in the backlog must not block the accept.
        self.socket.setblocking(False)
        super().server_activate()

    def get_request(self):
        while not self.slots.acquire(timeout=0.2):
            if self.stopping.is_set():
                raise OSError("the server is stopping")
        try:
            connection, address = super().get_request()
            connection.settimeout(self.socket_timeout)
        except BaseException:
            self.slots.release()
            raise
        return connection, address

    def process_request(self, request, client_address):
        try:
            super().process_request(request, client_address)
        except BaseException:
            self.slots.release()
            raise

    def process_request_thread(self, request, client_address):
        try:
            super().process_request_thread(request, client_address)
        finally:
            self.slots.release()


class ThreadingServer(CappedThreading, socketserver.TCPServer):
    pass


class BackgroundServer:
    def __init__(self, server, name):
        self.server = server
        self.port = server.server_address[1]
        self.thread = threading.Thread(target=server.serve_forever, daemon=True, name=name)

    def start(self):
        self.thread.start()

    def stop(self):
        self.server.stopping.set()
        self.server.shutdown()
        self.server.server_close()


def connection_handler(serve):
    """A request handler class that hands each connection to serve(socket)."""

    class Handler(socketserver.BaseRequestHandler):
        def handle(self):
            serve(self.request)

    return Handler
