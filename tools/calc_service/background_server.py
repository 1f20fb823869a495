"""A socketserver run on its own thread, bound to 127.0.0.1 on a port the system picks."""

import socketserver
import threading


class ThreadingServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    request_queue_size = 64


class BackgroundServer:
    def __init__(self, server, name):
        self.server = server
        self.port = server.server_address[1]
        self.thread = threading.Thread(target=server.serve_forever, daemon=True, name=name)

    def start(self):
        self.thread.start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def connection_handler(serve):
    """A request handler class that hands each connection to serve(socket)."""

    class Handler(socketserver.BaseRequestHandler):
        def handle(self):
            serve(self.request)

    return Handler
