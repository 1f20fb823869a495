"""Builds veloriumpy through the project's CMake build for the interpreter that runs pip.

The wheel holds the module and, in veloriumpy.libs/, the shared library libvelorium_core
that it links (found through the module's run path): one library, never a second copy
linked into the module. CMAKE_BUILD_PARALLEL_LEVEL and the CMAKE_<LANG>_COMPILER_LAUNCHER
variables of the environment apply as for any CMake build.
"""
import glob
import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE_DIR = Path(__file__).resolve().parent
LIBRARY_FOLDER = "veloriumpy.libs"


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = Path(self.build_temp).resolve() / "cmake"
        staging = Path(self.build_temp).resolve() / "staging"
        shutil.rmtree(staging, ignore_errors=True)
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        subprocess.check_call(
            ["cmake", "-S", str(SOURCE_DIR), "-B", str(build_dir), *generator,
             "-DCMAKE_BUILD_TYPE=Release",
             "-DVELORIUM_BUILD_TESTS=OFF", "-DVELORIUM_BUILD_BENCH=OFF", "-DVELORIUM_BUILD_EXAMPLES=OFF",
             # A default build, whatever an earlier configuration of this folder said: it trusts
             # only the built-in roots, so it never reaches the local calculation service.
             "-DVELORIUM_TEST_TRUST=OFF",
             f"-DPython_EXECUTABLE={sys.executable}",
             "-DVELORIUM_PYTHON_INSTALL_DIR=python",
             f"-DVELORIUM_PYTHON_RPATH=$ORIGIN/{LIBRARY_FOLDER}",
             "-DCMAKE_INSTALL_LIBDIR=lib"])
        subprocess.check_call(["cmake", "--build", str(build_dir), "--target", "veloriumpy"])
        subprocess.check_call(["cmake", "--install", str(build_dir), "--prefix", str(staging)])

        module_path = Path(self.get_ext_fullpath(ext.name))
        module_path.parent.mkdir(parents=True, exist_ok=True)
        (built_module,) = glob.glob(str(staging / "python" / "veloriumpy*.so"))
        shutil.copy2(built_module, module_path)
        library_dir = module_path.parent / LIBRARY_FOLDER
        library_dir.mkdir(exist_ok=True)
        # The file under the name the module asks for (its soname).
        (library,) = glob.glob(str(staging / "lib" / "libvelorium_core.so.*.*.*"))
        soname = ".".join(Path(library).name.split(".")[:3])
        shutil.copy2(library, library_dir / soname)


setup(ext_modules=[CMakeExtension("veloriumpy")], cmdclass={"build_ext": CMakeBuild})
