"""The examples run against the local calculation service; the optima they print are checked
against cbc's on the MPS files they write (cbc, from Debian's coinor-cbc, is an independent
oracle only)."""
import os
import re
import shutil
import subprocess
import sys

import pytest

from calc_service_fixture import SOURCE_DIR, calc_service  # noqa: F401 (a fixture)

EXAMPLES = os.path.join(SOURCE_DIR, "examples", "python")


@pytest.fixture(scope="module")
def run_example(calc_service, tmp_path_factory):  # noqa: F811 (the fixture)
    """Runs an example once per module in a folder of its own: (its output, the folder)."""
    runs = {}

    def run(name):
        if name not in runs:
            folder = tmp_path_factory.mktemp(name.removesuffix(".py"))
            program = [sys.executable, os.path.join(EXAMPLES, name)] if name.endswith(".py") else \
                [os.path.join(os.environ.get("VELORIUM_BUILD_DIR", "build/examples"), "examples", name)]
            if not os.path.exists(program[-1]):
                pytest.skip(f"{program[-1]} is not built")
            finished = subprocess.run(program + [str(folder)], capture_output=True, text=True, timeout=300,
                                      env=dict(os.environ))
            assert finished.returncode == 0, finished.stdout + finished.stderr
            runs[name] = finished.stdout, folder
        return runs[name]
    return run


def printed_number(pattern, text):
    found = re.search(pattern + r"\s*(-?[0-9.eE+-]+)", text)
    assert found, f"{pattern!r} not in:\n{text}"
    return float(found.group(1))


def cbc_objective(mps_file, commands, folder):
    """cbc's objective for the file: "solve" gives the integer optimum, "initialSolve" the LP
    relaxation's ("max" first for a maximum: cbc ignores the file's OBJSENSE). Read from its
    solution file, whose first line is "Optimal - objective value V"."""
    solution = os.path.join(folder, "-".join(commands) + ".txt")
    plain = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}  # no sanitizers
    subprocess.run(["cbc", mps_file, *commands, "solu", solution], capture_output=True, text=True,
                   timeout=300, check=True, env=plain)
    with open(solution) as file:
        first = file.readline()
    assert first.startswith("Optimal"), first
    return printed_number("objective value", first)


# Example, the MPS file it writes, and what it prints beside the cbc commands that must agree.
OBJECTIVES = [
    ("facility_location.py", "facility_location.mps",
     [("Optimal objective:", ["solve"]), ("LP relaxation: objective", ["initialSolve"])]),
    ("matrix_model.py", "matrix_model.mps", [("Cheapest day:", ["initialSolve"])]),
    ("example_c_model", "c_model.mps", [("remote solve: optimal, objective", ["max", "solve"])]),
]


@pytest.mark.skipif(shutil.which("cbc") is None, reason="cbc (coinor-cbc) is not installed")
@pytest.mark.parametrize("example, mps_name, objectives", OBJECTIVES, ids=[case[0] for case in OBJECTIVES])
def test_an_example_finds_the_optimum_that_cbc_finds_in_its_file(run_example, example, mps_name, objectives):
    output, folder = run_example(example)
    mps_file = str(folder / mps_name)
    assert os.path.exists(mps_file), output
    for label, command in objectives:
        assert printed_number(label, output) == pytest.approx(cbc_objective(mps_file, command, str(folder)),
                                                              rel=1e-7), label


def test_facility_location_shows_the_relaxation_and_the_log(run_example):
    output, _ = run_example("facility_location.py")
    assert "Model: 310 variables (10 binary), 340 constraints" in output
    assert "Outcome: success, optimal" in output
    assert printed_number("LP relaxation: objective", output) < printed_number("Optimal objective:", output), \
        "the instance would not show the relaxation's gap"
    assert re.search(r"serve_s0: -?[0-9.]+(e[+-]?\d+)? per unit", output), output
    assert len(output.split("The service's log of the MIP:", 1)[1].strip().splitlines()) > 3, output


def test_the_cpp_example_solves_the_linear_part_of_its_model(run_example):
    # Without the quadratic row: x <= 8 (integer), y <= 6, x + y + z <= 10, maximise 3x + 2y - z.
    output, _ = run_example("example_build_model")
    assert "remote solve without the ball row: optimal, objective 28; x = 8, y = 2, z = 0" in output, output
