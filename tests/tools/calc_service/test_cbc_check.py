"""The service's objective against cbc's on the example models that glpk-utils ships.

Each model is solved as it is (minimised unless the file says otherwise) and once more
maximised. Models cbc cannot read or solve within CBC_SECONDS are skipped, so the check stays
bounded in CI."""

import glob
import gzip
import os
import re
import shutil
import subprocess

import pytest

EXAMPLES = "/usr/share/doc/glpk-utils/examples"
CBC_SECONDS = 20
PATTERNS = ("*.mps", "*.mps.gz", "*.lp", "*.lp.gz")
MODELS = sorted(p for pattern in PATTERNS for p in glob.glob(os.path.join(EXAMPLES, pattern)))

pytestmark = pytest.mark.cbc


def read_text(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rt", encoding="utf-8", errors="replace") as source:
        return source.read()


def maximised(text, is_lp):
    if is_lp:
        return re.sub(r"(?im)^\s*minimi[sz]e\b", "Maximize", text, count=1)
    lines = text.splitlines(keepends=True)
    at = next((k + 1 for k, line in enumerate(lines) if line.startswith("NAME")), 0)
    return "".join(lines[:at] + ["OBJSENSE\n    MAX\n"] + lines[at:])


def cbc_outcome(path, sense, scratch):
    """('optimal', objective), ('infeasible', None), ('unbounded', None) or None."""
    try:
        completed = subprocess.run(["cbc", path, sense, "solve"], capture_output=True,
                                   text=True, timeout=CBC_SECONDS, cwd=scratch)
    except subprocess.TimeoutExpired:
        return None
    output = completed.stdout
    if "ERROR" in output or "Bad image" in output or "errors on input" in output:
        return None
    match = re.search(r"Objective value:\s+(\S+)", output) or \
        re.search(r"Optimal - objective value (\S+)", output)
    if match and ("Result - Optimal solution found" in output or
                  output.lstrip().find("Optimal - objective value") >= 0):
        return "optimal", float(match.group(1))
    lowered = output.lower()
    if "unbounded" in lowered and "infeasible" not in lowered:
        return "unbounded", None
    if "infeasible" in lowered and "unbounded" not in lowered and "Result -" in output:
        return "infeasible", None
    return None


@pytest.mark.skipif(shutil.which("cbc") is None, reason="cbc is not installed")
@pytest.mark.skipif(not MODELS, reason="glpk-utils' examples are not installed")
@pytest.mark.parametrize("sense", ["as_written", "max"])
@pytest.mark.parametrize("path", MODELS, ids=os.path.basename)
def test_objective_agrees_with_cbc(client, tmp_path, path, sense):
    name = os.path.basename(path)[:-3] if path.endswith(".gz") else os.path.basename(path)
    is_lp = name.endswith(".lp")
    text = read_text(path)
    if sense == "max":
        text = maximised(text, is_lp)
    plain = tmp_path / name
    plain.write_text(read_text(path))
    expected = cbc_outcome(str(plain), "max" if sense == "max" else "min", tmp_path)
    if expected is None:
        pytest.skip("cbc does not read or solve this model within the time bound")
    status, result, details = client.solve(text, name, {"time_limit": CBC_SECONDS})
    assert status["status"] == "done", status
    if expected[0] == "optimal":
        assert details["solution_status_v2"] == "optimal"
        assert details["objective"] == pytest.approx(expected[1], rel=1e-6, abs=1e-9)
    else:
        assert details["solution_status_v2"] in (expected[0], "infeasible_or_unbounded")
