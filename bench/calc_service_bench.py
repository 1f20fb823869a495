#!/usr/bin/python3
"""Figures of the local calculation service: start-up, one status request, an upload, and the
service's MPS reader and solve on a generated sparse LP; and the rate at which it takes a large
valid upload.

    /usr/bin/python3 bench/calc_service_bench.py [--columns N] [--repeat K] [--upload-mib M]
"""

import argparse
import gzip
import os
import random
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "tools", "calc_service"))

from calc_service.models.mps_reader import read_mps_text  # noqa: E402
from calc_service.testing import running_service  # noqa: E402
from reference_client import BOUNDARY, Client, multipart_body  # noqa: E402

MULTIPART = f"multipart/form-data; boundary={BOUNDARY}"


def sparse_lp(columns, per_column=5, seed=7):
    """A feasible, bounded minimisation with columns / 2 rows in the library's MPS layout."""
    rng = random.Random(seed)
    rows = max(1, columns // 2)
    lines = ["NAME bench", "OBJSENSE", "  MIN", "ROWS", " N  obj"]
    lines += [f" G  r{i}" for i in range(rows)]
    lines.append("COLUMNS")
    for j in range(columns):
        lines.append(f"    x{j}  obj  {rng.randint(1, 9)}")
        # Row j % rows among each column's rows, so that no row is empty.
        chosen = set(rng.sample(range(rows), min(per_column, rows) - 1)) | {j % rows}
        for i in sorted(chosen):
            lines.append(f"    x{j}  r{i}  {rng.randint(1, 5)}")
    lines.append("RHS")
    lines += [f"    RHS_V  r{i}  {rng.randint(1, 10)}" for i in range(rows)]
    lines.append("BOUNDS")
    lines += [f" UP BOUND  x{j}  100" for j in range(columns)]
    lines.append("ENDATA")
    return "\n".join(lines) + "\n"


def upload_rate(mib):
    """Seconds a valid upload of `mib` MiB takes, to its reply (the service's model limit is
    small, so it stores the file and solves nothing)."""
    with tempfile.TemporaryDirectory() as folder:
        with running_service(folder, max_model_bytes=1000) as service:
            client = Client(service)
            form = client.create().json()["upload"]
            body = multipart_body(form["fields"], "bench.mps", os.urandom(1 << 20) * mib, False)
            t = time.perf_counter()
            status = client.call("POST", form["url"], [("Content-Type", MULTIPART)], body).status
            elapsed = time.perf_counter() - t
            assert status == 204, status
            return elapsed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--columns", type=int, default=4000)
    parser.add_argument("--repeat", type=int, default=200)
    parser.add_argument("--upload-mib", type=int, default=64)
    options = parser.parse_args()
    text = sparse_lp(options.columns)
    with tempfile.TemporaryDirectory() as folder:
        started = time.monotonic()
        with running_service(folder) as service:
            print(f"start-up to ready line: {time.monotonic() - started:.3f} s")
            client = Client(service)
            uid = client.create().json()["calc_uid"]
            times = []
            for _ in range(options.repeat):
                t = time.perf_counter()
                client.poll(uid, "status")
                times.append(time.perf_counter() - t)
            print(f"status request (new TLS connection each): median"
                  f" {statistics.median(times) * 1000:.2f} ms, p90"
                  f" {sorted(times)[int(len(times) * 0.9)] * 1000:.2f} ms")
            reply = client.create().json()
            packed = gzip.compress(text.encode(), mtime=0)
            t = time.perf_counter()
            status = client.upload(reply["upload"], "bench.mps", text.encode(), True).status
            elapsed = time.perf_counter() - t
            print(f"upload of {len(text) / 1e6:.1f} MB ({len(packed) / 1e6:.1f} MB gzipped):"
                  f" {elapsed:.3f} s, status {status}")
            t = time.perf_counter()
            final = client.wait(reply["calc_uid"], seconds=600)
            details = client.poll(reply["calc_uid"], "details").json()
            print(f"solve of {options.columns} columns, {options.columns * 5} nonzeros:"
                  f" {time.perf_counter() - t:.2f} s to done ({final['status']},"
                  f" {details['solution_status_v2']}, GLPK {details['solve_time']:.2f} s)")
    elapsed = upload_rate(options.upload_mib)
    print(f"valid upload of {options.upload_mib} MiB (uncompressed, not solved): {elapsed:.2f} s,"
          f" {options.upload_mib * (1 << 20) / elapsed / 1e6:.0f} MB/s")
    t = time.perf_counter()
    model = read_mps_text(text)
    elapsed = time.perf_counter() - t
    print(f"MPS reader: {model.nonzeros()} nonzeros in {elapsed:.2f} s"
          f" ({elapsed / model.nonzeros() * 1e9:.0f} ns a nonzero)")


if __name__ == "__main__":
    main()
