"""Starting the local calculation service from Python tests.

    with running_service(tmp_path) as service:
        service.control_client.faults([...])
        environment = service.client_env()

The service runs in its own process with its state in the given folder; leaving the block
shuts it down, and kills it when it has not exited within 5 seconds.
"""

import contextlib
import json
import os
import selectors
import subprocess
import time
import urllib.error
import urllib.request

from .control import TOKEN_HEADER
from .service import API_KEY_VARIABLE

SCRIPT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                      "calc-service")
PYTHON = "/usr/bin/python3"
READY_SECONDS = 30
STOP_SECONDS = 5


class ControlError(RuntimeError):
    def __init__(self, status, body):
        super().__init__(f"control request failed with {status}: {body}")
        self.status, self.body = status, body


class ControlClient:
    """A small client of the service's control port; every request carries the token."""

    def __init__(self, address, token, timeout=30):
        self.address = address.rstrip("/")
        self.token = token
        self.timeout = timeout

    def request(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode("utf-8")
        request = urllib.request.Request(self.address + path, data=data, method=method,
                                         headers={"Content-Type": "application/json",
                                                  TOKEN_HEADER: self.token})
        try:
            with urllib.request.urlopen(request, timeout=self.timeout) as reply:
                return json.loads(reply.read().decode("utf-8"))
        except urllib.error.HTTPError as error:
            raise ControlError(error.code, error.read().decode("utf-8", "replace")) from None

    def journal(self):
        return self.request("GET", "/journal")["requests"]

    def clear_journal(self):
        return self.request("POST", "/journal/clear", {})["cleared"]

    def faults(self, rules):
        return self.request("POST", "/faults", {"faults": rules})

    def status_script(self, statuses, calc_uid=None):
        body = {"statuses": statuses}
        if calc_uid is not None:
            body["calc_uid"] = calc_uid
        return self.request("POST", "/status-script", body)

    def log_script(self, pieces, calc_uid=None):
        body = {"pieces": pieces}
        if calc_uid is not None:
            body["calc_uid"] = calc_uid
        return self.request("POST", "/log-script", body)

    def hold(self, seconds):
        return self.request("POST", "/hold", {"seconds": seconds})

    def relay_journal(self):
        return self.request("GET", "/relay-journal")["requests"]

    def calculations(self):
        return self.request("GET", "/calculations")["calculations"]

    def shutdown(self):
        return self.request("POST", "/shutdown", {})


class ServiceHandle:
    def __init__(self, process, ready):
        self.process = process
        self.ready = ready
        self.base = ready["base"]
        self.port = ready["port"]
        self.control = ready["control"]
        self.relay_port = ready["relay_port"]
        self.ca = ready["ca"]
        self.api_key = ready["api_key"]
        self.state = ready["state"]
        self.control_token = read_control_token(self.state)
        self.control_client = ControlClient(self.control, self.control_token)

    def client_env(self, base=None):
        """The environment for the library's client (a build with VELORIUM_TEST_TRUST=ON)."""
        environment = dict(os.environ)
        environment.update({"NIMBROVA_TEST_SERVER_ADDRESS": self.base,
                            "X_API_KEY": self.api_key, "VELORIUM_TEST_ROOTS": self.ca})
        return environment


def read_control_token(state):
    """The control token of the service whose state folder this is (from its service.json,
    which only the user who started it can read)."""
    with open(os.path.join(state, "service.json"), encoding="utf-8") as source:
        return json.load(source)["control_token"]


def _read_ready_line(process, seconds):
    selector = selectors.DefaultSelector()
    selector.register(process.stdout, selectors.EVENT_READ)
    deadline = time.monotonic() + seconds
    data = b""
    try:
        while b"\n" not in data:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(f"the service printed no ready line within {seconds} s")
            if not selector.select(left):
                continue
            chunk = os.read(process.stdout.fileno(), 4096)
            if not chunk:
                raise RuntimeError("the service exited before it was ready")
            data += chunk
    finally:
        selector.close()
    return json.loads(data.split(b"\n", 1)[0].decode("utf-8"))


def stop_process(process, seconds=STOP_SECONDS):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


@contextlib.contextmanager
def running_service(folder, api_key=None, idle_exit=300, max_upload_bytes=None,
                    max_model_bytes=None, max_solve_seconds=60, workers=None,
                    header_timeout=None, options=()):
    """Without api_key the service makes a random one; either way its ready line gives it.
    A key given goes through the service's environment, never its command line. `options`
    are further command-line options."""
    folder = os.fspath(folder)
    os.makedirs(folder, exist_ok=True)
    command = [PYTHON, SCRIPT, "--state", os.path.join(folder, "state"),
               "--idle-exit", str(idle_exit), "--max-solve-seconds", str(max_solve_seconds),
               "--exit-with-parent"]
    for option, value in (("--max-upload-bytes", max_upload_bytes),
                          ("--max-model-bytes", max_model_bytes), ("--workers", workers),
                          ("--header-timeout", header_timeout)):
        if value is not None:
            command += [option, str(value)]
    command += list(options)
    environment = {name: value for name, value in os.environ.items()
                   if name != API_KEY_VARIABLE}
    if api_key is not None:
        environment[API_KEY_VARIABLE] = api_key
    with open(os.path.join(folder, "service-stderr.txt"), "wb") as stderr:
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=stderr, env=environment)
    try:
        handle = ServiceHandle(process, _read_ready_line(process, READY_SECONDS))
        yield handle
        try:
            handle.control_client.shutdown()
            process.wait(timeout=STOP_SECONDS)
        except (OSError, ControlError, subprocess.TimeoutExpired):
            pass
    finally:
        stop_process(process)
        process.stdout.close()
