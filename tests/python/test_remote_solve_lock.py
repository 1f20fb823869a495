"""A remote solve releases the interpreter's lock: while the local calculation service holds
the calculation, this thread talks to the service and sees the model arrive."""
import os
import sys
import threading
import time

import pytest

import veloriumpy as v

SOURCE_DIR = os.environ.get("VELORIUM_SOURCE_DIR", "")
pytestmark = pytest.mark.skipif(not os.environ.get("VELORIUM_TEST_TRUST"),
                                reason="needs a build that trusts the local service (VELORIUM_TEST_TRUST)")

@pytest.fixture
def service(tmp_path, monkeypatch):
    sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))
    from calc_service.testing import running_service
    with running_service(tmp_path / "service") as running:
        for name, value in running.client_env().items():
            if name in ("NIMBROVA_TEST_SERVER_ADDRESS", "X_API_KEY", "VELORIUM_TEST_ROOTS"):
                monkeypatch.setenv(name, value)
        yield running


def model_arrived(service):
    return any(entry["endpoint"] == "upload" for entry in service.control_client.journal())


def test_solving_releases_the_lock(quiet_model, service, lp_file):
    quiet_model.read(lp_file)
    # The service keeps the calculation 6 seconds before it solves it.
    service.control_client.hold(6)
    outcome = {}
    worker = threading.Thread(target=lambda: outcome.update(result=quiet_model.solve_remote("")))
    worker.start()
    deadline = time.monotonic() + 6
    while not model_arrived(service) and time.monotonic() < deadline:
        time.sleep(0.05)
    # Had the solve kept the lock, this thread would only get here once the solve was over.
    assert model_arrived(service) and worker.is_alive()
    worker.join()
    report = repr(outcome["result"])
    assert report.startswith("Solve is successful.\nGap: ")
    assert "\nSolution is optimal\nObjective value: 12\n" in report
