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


LP_MODEL = """Maximize
 obj: 3 x + 2 y
Subject To
 c1: x + y <= 4
Bounds
 0 <= x <= 10
General
 y
End
"""


@pytest.fixture
def lp_file(tmp_path):
    """A small MIP as an LP file: its optimum is 12 (x = 4, y = 0)."""
    path = tmp_path / "model.lp"
    path.write_text(LP_MODEL)
    return str(path)
