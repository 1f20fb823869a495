"""Runs a benchmark's child process and returns its standard output; a child that fails stops
the benchmark with its command and its own error output, which capturing would otherwise hide."""

import subprocess
import sys


def child_output(command):
    finished = subprocess.run(command, capture_output=True, text=True)
    if finished.returncode != 0:
        sys.exit(f"{' '.join(command)} failed with exit status {finished.returncode}:\n{finished.stderr.rstrip()}")
    return finished.stdout
