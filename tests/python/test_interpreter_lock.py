"""Reading and writing release the interpreter's lock: another Python thread runs while the
library waits on the file. A named pipe makes that certain: the library's open() blocks until
this thread, which can run only if the lock was released, opens the other end."""
import faulthandler
import os

import pytest

import veloriumpy as v
from background import in_background

MPS_MODEL = """NAME demo
ROWS
 N obj
 L c1
COLUMNS
 x obj 1 c1 1
 y obj 2 c1 1
RHS
 rhs c1 4
BOUNDS
 UP bnd x 10
ENDATA
"""


@pytest.fixture
def pipe(tmp_path):
    path = str(tmp_path / "pipe.mps")
    os.mkfifo(path)
    # Were the lock held, nothing below could run: end the process with its stacks instead.
    faulthandler.dump_traceback_later(60, exit=True)
    yield path
    faulthandler.cancel_dump_traceback_later()


def test_reading_releases_the_lock(quiet_model, pipe, tmp_path):
    thread, outcome = in_background(lambda: quiet_model.read_mps(pipe))
    with open(pipe, "w") as writer:
        writer.write(MPS_MODEL)
    thread.join()
    assert outcome == {"result": None}
    written = tmp_path / "read.lp"
    quiet_model.write(str(written))
    assert "c1 : x + y <= 4" in written.read_text()


def test_writing_releases_the_lock(quiet_model, pipe, tmp_path):
    source = tmp_path / "model.mps"
    source.write_text(MPS_MODEL)
    quiet_model.read(str(source))
    thread, outcome = in_background(lambda: quiet_model.write_mps(pipe))
    with open(pipe) as reader:
        written = reader.read()
    thread.join()
    assert outcome == {"result": None}
    assert "c1" in written and "ENDATA" in written
