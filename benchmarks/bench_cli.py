"""Throughput of `orvik batch` against what the work itself costs.

    python -P benchmarks/bench_cli.py [--rows 1000000] [--repeat 3] [--method geodesic]

Writes a CSV of --rows rows and 7 columns (about 100 MB for 1e6 rows: an id,
four coordinates, a place name, some of which need quotes, and a timestamp)
to a temporary folder, then times, side by side in one run:
  - the whole command, `orvik batch IN -o OUT.csv`, as a user runs it (a new
    process, imports and all);
  - the floor: pyarrow reading the file with its own type inference,
    computing the distances with orvik's batch function, and pyarrow writing
    the table with the distance column, in this process.
It checks that the command wrote every input line back unchanged, and prints
the ratio of the two.  Timings are the best of --repeat runs of each,
taken in turns.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

import numpy as np
import pyarrow as pa
import pyarrow.csv as pcsv

from orvik import distance

NAMES = np.array(
    ["Berlin", "Paris", "New York, NY", "São Paulo", "Tōkyō", 'the "Big" Apple', "Cape Town"]
)


def write_input(path: str, rows: int) -> None:
    rng = np.random.default_rng(7)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("id,lat1,lon1,lat2,lon2,name,observed\n")
        step = 100_000
        for start in range(0, rows, step):
            n = min(step, rows - start)
            ids = np.arange(start, start + n)
            lat1, lat2 = rng.uniform(-90, 90, (2, n))
            lon1, lon2 = rng.uniform(-180, 180, (2, n))
            names = NAMES[rng.integers(0, len(NAMES), n)]
            seconds = rng.integers(1_600_000_000, 1_700_000_000, n).astype("datetime64[s]")
            for row in zip(ids, lat1, lon1, lat2, lon2, names, seconds, strict=True):
                i, a, b, c, d, name, when = row
                if '"' in name or "," in name:
                    name = '"' + name.replace('"', '""') + '"'
                f.write(
                    f"{i},{a:.9f},{b:.9f},{c:.9f},{d:.9f},{name},{str(when).replace('T', ' ')}\n"
                )


def timed(action) -> float:
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


def command(source: str, target: str, method: str) -> None:
    orvik = os.path.join(os.path.dirname(sys.executable), "orvik")
    subprocess.run([orvik, "batch", source, "-o", target, "--method", method, "-q"], check=True)


def floor(source: str, target: str, method: str) -> None:
    table = pcsv.read_csv(source)
    compute = {
        "geodesic": distance.geodesic_distance_batch,
        "great-circle": distance.great_circle_distance_batch,
    }[method]
    km = compute(*(table[c].to_numpy() for c in ("lat1", "lon1", "lat2", "lon2"))) / 1000.0
    pcsv.write_csv(table.append_column("distance_km", pa.array(km)), target)


def check(source: str, target: str) -> None:
    """Every input line comes back as it was, with one field added."""
    with open(source, "rb") as before, open(target, "rb") as after:
        for old, new in zip(before, after, strict=True):
            if not new.startswith(old.rstrip(b"\n") + b","):
                raise SystemExit(f"changed line:\n{old!r}\n{new!r}")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rows", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--method", choices=("geodesic", "great-circle"), default="geodesic")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="orvik-bench-") as folder:
        source = os.path.join(folder, "pairs.csv")
        write_input(source, args.rows)
        size = os.path.getsize(source) / 1e6
        target, copy = os.path.join(folder, "out.csv"), os.path.join(folder, "floor.csv")
        # Taken in turns, so that a busy moment of the machine hits both alike.
        ours, theirs = [], []
        for _ in range(args.repeat):
            ours.append(timed(lambda: command(source, target, args.method)))
            theirs.append(timed(lambda: floor(source, copy, args.method)))
        check(source, target)
        ours, theirs = min(ours), min(theirs)
    print(f"input: {args.rows:,} rows, 7 columns, {size:.0f} MB; method {args.method}", end="")
    print(f"; best of {args.repeat}")
    print(f"orvik batch IN -o OUT.csv (whole command):    {ours:7.2f} s")
    print(f"pyarrow read + compute + pyarrow write:       {theirs:7.2f} s")
    print(f"ratio: {ours / theirs:.2f}x")


if __name__ == "__main__":
    main()
