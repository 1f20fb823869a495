"""The local calculation service for the module's remote tests, with the client's environment
set in this process (the library reads it at every remote operation)."""
import os
import sys

import pytest

SOURCE_DIR = os.environ.get("VELORIUM_SOURCE_DIR", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))
from calc_service.testing import running_service  # noqa: E402


@pytest.fixture(scope="module")
def calc_service(tmp_path_factory):
    if os.environ.get("VELORIUM_TEST_TRUST") != "1":
        pytest.skip("this build does not trust the local service's certificate authority (VELORIUM_TEST_TRUST)")
    with running_service(tmp_path_factory.mktemp("calc-service")) as service, pytest.MonkeyPatch.context() as patch:
        for name in ("NIMBROVA_TEST_SERVER_ADDRESS", "X_API_KEY", "VELORIUM_TEST_ROOTS", "VELORIUM_HTTP_PROXY"):
            patch.delenv(name, raising=False)
        patch.setenv("NIMBROVA_TEST_SERVER_ADDRESS", service.base)
        patch.setenv("X_API_KEY", service.api_key)
        patch.setenv("VELORIUM_TEST_ROOTS", service.ca)
        yield service
