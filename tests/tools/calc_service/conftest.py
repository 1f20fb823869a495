import os
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.join(HERE, "..", "..", "..", "tools")
sys.path.insert(0, os.path.abspath(TOOLS))
sys.path.insert(0, HERE)

from calc_service.testing import running_service  # noqa: E402
from reference_client import Client  # noqa: E402


@pytest.fixture(scope="module")
def service(tmp_path_factory):
    """One service per test module; tests that script it clear what they set."""
    with running_service(tmp_path_factory.mktemp("service")) as handle:
        yield handle


@pytest.fixture
def client(service):
    service.control_client.faults([])
    service.control_client.status_script([])
    service.control_client.log_script([])
    return Client(service)


def pytest_configure(config):
    config.addinivalue_line("markers", "cbc: compares with cbc on glpk-utils' examples"
                            " (bounded: slow models are skipped)")
