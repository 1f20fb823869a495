"""Start-up, the ready line, idle exit and shutdown of the local calculation service."""

import argparse
import json
import os
import secrets
import signal
import sys
import tempfile
import threading
import time

from .header_deadline import DEFAULT_HEADER_SECONDS
from .state_folder import private_folder

DEFAULT_IDLE_EXIT = 1800
DEFAULT_MAX_UPLOAD = 256 << 20
DEFAULT_MAX_MODEL = 2 << 30
DEFAULT_MAX_SOLVE = 600
# Where a launcher gives the API key: a process's environment is readable only by its user,
# its command line by every local user.
API_KEY_VARIABLE = "CALC_SERVICE_API_KEY"


class Context:
    """What the service's parts share."""

    def __init__(self, options):
        self.started = time.monotonic()
        self.state = os.path.abspath(options.state)
        self.api_key = options.api_key
        # Only the user who started the service can read it (in DIR/service.json).
        self.control_token = secrets.token_hex(32)
        self.max_upload_bytes = options.max_upload_bytes
        self.header_seconds = options.header_timeout
        self.idle_exit = options.idle_exit
        self.last_activity = time.monotonic()
        self.stop_event = threading.Event()
        self.stop_reason = None
        self.port = None
        self.scratch = os.path.join(self.state, "incoming")
        private_folder(self.scratch)

    def touch(self):
        self.last_activity = time.monotonic()

    def request_stop(self, reason):
        if self.stop_reason is None:
            self.stop_reason = reason
        self.stop_event.set()


def _positive_int(text):
    value = int(text)
    if value <= 0:
        raise argparse.ArgumentTypeError("must be a positive whole number")
    return value


def _non_negative_float(text):
    value = float(text)
    if not value >= 0:
        raise argparse.ArgumentTypeError("must be a number of seconds, 0 or more")
    return value


def _positive_float(text):
    value = float(text)
    if not 0 < value < float("inf"):
        raise argparse.ArgumentTypeError("must be a number of seconds above 0")
    return value


def parse_options(argv):
    parser = argparse.ArgumentParser(prog="calc-service",
                                     description="Local calculation service (for tests).")
    parser.add_argument("--state", required=True, help="folder for everything it writes")
    parser.add_argument("--api-key", default=None,
                        help=f"the API key (visible to every local user on the command line:"
                        f" prefer {API_KEY_VARIABLE} in the environment)")
    parser.add_argument("--idle-exit", type=_non_negative_float, default=DEFAULT_IDLE_EXIT)
    parser.add_argument("--max-upload-bytes", type=_positive_int, default=DEFAULT_MAX_UPLOAD)
    parser.add_argument("--max-model-bytes", type=_positive_int, default=DEFAULT_MAX_MODEL)
    parser.add_argument("--max-solve-seconds", type=_non_negative_float,
                        default=DEFAULT_MAX_SOLVE)
    parser.add_argument("--workers", type=_positive_int, default=2)
    parser.add_argument("--header-timeout", type=_positive_float,
                        default=DEFAULT_HEADER_SECONDS,
                        help="seconds from a connection's accept for its request header")
    parser.add_argument("--exit-with-parent", action="store_true",
                        help="exit when the process that started it ends")
    options = parser.parse_args(argv)
    # Taken out of the environment, so that the solver processes do not inherit it.
    environment_key = os.environ.pop(API_KEY_VARIABLE, None)
    if options.api_key is None:
        options.api_key = environment_key
    if options.api_key is None:
        options.api_key = secrets.token_hex(16)
    elif not options.api_key:
        parser.error(f"the API key (--api-key or {API_KEY_VARIABLE}) must not be empty")
    if options.max_solve_seconds <= 0:
        parser.error("--max-solve-seconds must be above 0")
    return options


def _write_json_atomically(path, value):
    descriptor, temporary = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".service-")
    with os.fdopen(descriptor, "w", encoding="utf-8") as target:
        json.dump(value, target)
        target.write("\n")
    os.replace(temporary, path)


def main(argv=None):
    options = parse_options(sys.argv[1:] if argv is None else argv)
    # Everything the service and its solver processes write is the user's alone.
    os.umask(0o077)
    try:
        private_folder(options.state)
        context = Context(options)
        from .certificates import create_certificates
        paths = create_certificates(context.state)
    except OSError as error:
        print(f"calc-service: cannot use the state folder {options.state}: {error}",
              file=sys.stderr)
        return 2
    from .api import HttpsFront
    from .calculations import Calculations
    from .control import ControlServer
    from .faults import FaultScript
    from .journal import Journal
    from .relay import Relay

    context.journal = Journal(context.started, options.api_key)
    context.faults = FaultScript()
    context.calculations = Calculations(context.state, context.started, options.workers,
                                        options.max_solve_seconds, options.max_model_bytes)
    front = HttpsFront(context, paths["server.pem"], paths["server-key.pem"])
    context.port = front.port
    control = ControlServer(context)
    relay = Relay(context)
    context.relay_journal = relay.journal
    for part in (front, control, relay):
        part.start()

    for signal_number in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signal_number, lambda number, frame: context.request_stop(
            f"signal {number}"))
    ready = {"base": f"https://127.0.0.1:{front.port}/api/v1/calculations/",
             "port": front.port, "control": f"http://127.0.0.1:{control.port}/",
             "relay_port": relay.port, "ca": paths["ca.pem"], "api_key": options.api_key,
             "pid": os.getpid(), "state": context.state}
    service_json = os.path.join(context.state, "service.json")
    # The control token goes only into this file of mode 0600, never to stdout.
    _write_json_atomically(service_json, dict(ready, control_token=context.control_token))
    sys.stdout.write(json.dumps(ready) + "\n")
    sys.stdout.flush()

    parent = os.getppid()
    while not context.stop_event.wait(0.2):
        if options.exit_with_parent and os.getppid() != parent:
            context.request_stop("its parent process ended")
            break
        idle = time.monotonic() - context.last_activity
        if options.idle_exit and idle > options.idle_exit and \
                not context.calculations.busy():
            context.request_stop(f"idle for {options.idle_exit:g} s")
    # Let the reply to a shutdown request leave before the ports close.
    time.sleep(0.1)
    print(f"calc-service: stopping ({context.stop_reason})", file=sys.stderr, flush=True)
    for part in (front, control, relay):
        part.stop()
    context.calculations.stop()
    try:
        os.unlink(service_json)
    except OSError:
        pass
    return 0
