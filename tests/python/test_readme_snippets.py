"""The README's Python snippet, run as written against the local calculation service: it shows
the outcome, and on a failure the reason."""
import os
import subprocess
import sys

from calc_service_fixture import SOURCE_DIR, calc_service  # noqa: F401 (a fixture)


def readme_snippet(heading):
    """The first indented block under `heading` in the README, unindented."""
    with open(os.path.join(SOURCE_DIR, "README.md"), encoding="utf-8") as file:
        text = file.read()
    lines = text.split(heading + "\n", 1)[1].splitlines()
    start = next(k for k, line in enumerate(lines) if line.startswith("    "))
    block = []
    for line in lines[start:]:
        if line and not line.startswith("    "):
            break
        block.append(line[4:])
    return "\n".join(block).strip() + "\n"


def run_snippet(environment):
    return subprocess.run([sys.executable, "-c", readme_snippet("## Using it from Python")], capture_output=True,
                          text=True, timeout=120, env=environment)


def test_the_python_snippet_prints_the_outcome_and_the_values(calc_service):  # noqa: F811 (the fixture)
    finished = run_snippet(dict(os.environ))
    assert finished.returncode == 0, finished.stderr
    # After the client's own lines (log_to_console is on by default): the result, the values.
    lines = finished.stdout.splitlines()
    assert lines[-6:-1] == ["Solve is successful.", "Gap: 0 %.", "Solution is optimal", "Objective value: 38",
                            "Best bound: 38"], finished.stdout
    assert lines[-1].split() == ["38.0", "10.0"], finished.stdout  # x = 10, y = 2


def test_the_python_snippet_says_why_a_solve_failed(calc_service):  # noqa: F811 (the fixture)
    environment = dict(os.environ, NIMBROVA_TEST_SERVER_ADDRESS="https://127.0.0.1:1/api/v1/calculations/")
    finished = run_snippet(environment)
    # print(result) shows why; the outcome check raises it (the solve gave no outcome at all).
    shown = finished.stdout.strip().splitlines()[-1]
    assert shown.startswith("Solve is not successful. Reason: Ошибка: ") and "Connection refused" in shown, \
        finished.stdout
    assert finished.returncode == 1
    last = finished.stderr.strip().splitlines()[-1]
    assert last.startswith("veloriumpy.VeloriumException: Ошибка: ") and "Connection refused" in last, last
