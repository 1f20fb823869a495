import pytest

import veloriumpy


@pytest.fixture
def model():
    return veloriumpy.Model()


@pytest.fixture
def quiet_model():
    """A model whose log lines go nowhere unless a test installs a callable."""
    m = veloriumpy.Model()
    m.set_bool_param("log_to_console", False)
    return m
