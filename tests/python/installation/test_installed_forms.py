"""The module's installed forms, each imported by a fresh interpreter from an empty folder:
the build tree (PYTHONPATH), cmake --install under a prefix, and pip install into a venv. In
each the module must load exactly one libvelorium_core, the one that belongs to that form."""
import glob
import json
import os
import subprocess
import sys
from pathlib import Path

import pytest

BUILD_DIR = os.environ.get("VELORIUM_BUILD_DIR")
SOURCE_DIR = os.environ.get("VELORIUM_SOURCE_DIR")
PYTHON_INSTALL_DIR = os.environ.get("VELORIUM_PYTHON_INSTALL_DIR")
pytestmark = pytest.mark.skipif(not BUILD_DIR, reason="needs the CMake build (run through ctest)")
TEST_ROOTS_NAME = b"VELORIUM_TEST_ROOTS"

IMPORT_CHECK = """
import json, veloriumpy
model = veloriumpy.Model("m")
libraries = sorted({line.split()[-1] for line in open("/proc/self/maps") if "libvelorium_core" in line})
print(json.dumps({"module": veloriumpy.__file__, "libraries": libraries, "name": model.get_name()}))
"""


def imported(python, environment, folder):
    """What importing veloriumpy from the empty `folder` loaded."""
    folder.mkdir()
    run = subprocess.run([python, "-c", IMPORT_CHECK], cwd=folder, env=environment, capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    return json.loads(run.stdout)


def environment_with(**changes):
    environment = dict(os.environ)
    environment.pop("PYTHONPATH", None)
    environment.update(changes)
    return environment


def assert_loaded_from(found, module_folder, library_folder):
    assert Path(found["module"]).parent.resolve() == Path(module_folder).resolve()
    assert len(found["libraries"]) == 1
    assert Path(found["libraries"][0]).parent.resolve() == Path(library_folder).resolve()
    assert found["name"] == "m"


def test_build_tree(tmp_path):
    found = imported(sys.executable, environment_with(PYTHONPATH=f"{BUILD_DIR}/python"), tmp_path / "empty")
    assert_loaded_from(found, f"{BUILD_DIR}/python", BUILD_DIR)


def test_cmake_install(tmp_path):
    prefix = tmp_path / "prefix"
    subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", str(prefix)], check=True, capture_output=True)
    site = prefix / PYTHON_INSTALL_DIR
    found = imported(sys.executable, environment_with(PYTHONPATH=str(site)), tmp_path / "empty")
    (library,) = glob.glob(str(prefix / "lib*" / "libvelorium_core.so.1"))
    assert_loaded_from(found, site, Path(library).parent)


def test_pip_install(tmp_path):
    # pip builds an optimised module of its own, without the sanitizers of this build.
    environment = environment_with(CMAKE_BUILD_PARALLEL_LEVEL="3")
    for name in ("LD_PRELOAD", "ASAN_OPTIONS", "UBSAN_OPTIONS"):
        environment.pop(name, None)
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", str(venv)], check=True)
    python = str(venv / "bin" / "python")
    install = subprocess.run([python, "-m", "pip", "install", "--no-build-isolation", "--no-index", SOURCE_DIR],
                             env=environment, capture_output=True, text=True)
    assert install.returncode == 0, install.stdout + install.stderr
    found = imported(python, environment, tmp_path / "empty")
    module_folder = Path(found["module"]).parent
    assert module_folder.name == "site-packages" and str(module_folder).startswith(str(venv))
    assert_loaded_from(found, module_folder, module_folder / "veloriumpy.libs")
    # A default build: only a test build reads VELORIUM_TEST_ROOTS, and only its library holds
    # the name (this build's library shows the check can see it), so pip's module trusts the
    # built-in roots alone and cannot reach the local calculation service.
    assert TEST_ROOTS_NAME not in Path(found["libraries"][0]).read_bytes()
    if "VELORIUM_TEST_TRUST:BOOL=ON" in (Path(BUILD_DIR) / "CMakeCache.txt").read_text():
        (own,) = glob.glob(f"{BUILD_DIR}/libvelorium_core.so.1")
        assert TEST_ROOTS_NAME in Path(own).read_bytes()
