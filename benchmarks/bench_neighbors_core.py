"""The point index's core against scikit-learn's BallTree(metric="haversine"),
side by side in one run, on the same points, one thread each.

The C++ side is benchmarks/cpp/point_index_bench.cpp, built with
-DORVIK_BENCHMARKS=ON; this script writes the points to files, runs it, then
builds and queries a BallTree on the same points in radians, and prints both
with their ratios.  Times are CPU time of each process (wall clock in
brackets): other work on a busy machine disturbs them less.

    python benchmarks/bench_neighbors_core.py [--binary PATH] [--n 1000000]
        [--queries 100000] [--scaling-queries 10000] [--no-scaling]
"""

from __future__ import annotations

import argparse
import json
import pathlib
import subprocess
import sys
import tempfile
import time

import numpy as np
from sklearn.neighbors import BallTree

ROOT = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_BINARY = ROOT / "build" / "bench" / "orvik_point_index_bench"

# Single-thread ratios that reach the targets once queries run on 2 threads
# (the build and memory targets do not depend on threads).
TARGETS = {"great_circle": 10 / 2, "geodesic": 3 / 2, "build": 1.0, "bytes_per_point": 96}


def uniform_points(n: int, rng: np.random.Generator) -> tuple[np.ndarray, np.ndarray]:
    lat = np.degrees(np.arcsin(rng.uniform(-1.0, 1.0, n)))
    lon = rng.uniform(-180.0, 180.0, n)
    return lat, lon


def write_points(path: pathlib.Path, lat: np.ndarray, lon: np.ndarray) -> None:
    np.concatenate([lat, lon]).astype("<f8").tofile(path)


def timed(fn):
    wall, cpu = time.perf_counter(), time.process_time()
    result = fn()
    return result, time.process_time() - cpu, time.perf_counter() - wall


def balltree(ref, queries, ks):
    """Build seconds (cpu, wall), bytes per point, and µs per query for each k."""
    data = np.radians(np.column_stack(ref))
    q = np.radians(np.column_stack(queries))
    tree, build_cpu, build_wall = timed(lambda: BallTree(data, metric="haversine"))
    nbytes = sum(a.nbytes for a in tree.get_arrays())
    per_query = {}
    for k in ks:
        _, cpu, wall = timed(lambda: tree.query(q, k=k))
        per_query[k] = (cpu * 1e6 / len(q), wall * 1e6 / len(q))
    return (build_cpu, build_wall), nbytes / len(data), per_query


def orvik(binary: pathlib.Path, ref, queries, workdir: pathlib.Path) -> dict:
    ref_path, query_path = workdir / "ref.f8", workdir / "queries.f8"
    write_points(ref_path, *ref)
    write_points(query_path, *queries)
    out = subprocess.run([str(binary), str(ref_path), str(query_path)], check=True,
                         capture_output=True, text=True).stdout
    return json.loads(out)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", type=pathlib.Path, default=DEFAULT_BINARY)
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--queries", type=int, default=100_000)
    parser.add_argument("--scaling-queries", type=int, default=10_000)
    parser.add_argument("--no-scaling", action="store_true")
    args = parser.parse_args()
    if not args.binary.exists():
        sys.exit(f"{args.binary} is missing: configure with -DORVIK_BENCHMARKS=ON and build "
                 "the orvik_point_index_bench target")

    rng = np.random.default_rng(12)
    ref = uniform_points(args.n, rng)
    queries = uniform_points(args.queries, rng)
    with tempfile.TemporaryDirectory() as tmp:
        ours = orvik(args.binary, ref, queries, pathlib.Path(tmp))
    (bt_build_cpu, bt_build_wall), bt_bytes, bt = balltree(ref, queries, (1, 10))

    print(f"n = {args.n:,} reference points, {args.queries:,} queries, one thread each; "
          "CPU time (wall clock)")
    print(f"{'':26}{'orvik':>20}{'BallTree':>20}{'ratio':>8}{'needed':>8}")
    build = ours["build_s"]
    ratio = bt_build_cpu / build["cpu"]
    print(f"{'build (s)':26}{build['cpu']:>10.3f} ({build['wall']:6.3f}){bt_build_cpu:>10.3f} "
          f"({bt_build_wall:6.3f}){ratio:>7.1f}x{TARGETS['build']:>7.1f}x")
    for method in ("great_circle", "geodesic"):
        for k in (1, 10):
            name = f"{method}_k{k}"
            cpu, wall = ours["us_per_query_cpu"][name], ours["us_per_query_wall"][name]
            bt_cpu, bt_wall = bt[k]
            print(f"{name + ' (µs/query)':26}{cpu:>10.2f} ({wall:6.2f}){bt_cpu:>10.2f} "
                  f"({bt_wall:6.1f}){bt_cpu / cpu:>7.1f}x{TARGETS[method]:>7.1f}x")
    print(f"{'memory (bytes/point)':26}{ours['bytes_per_point']:>20.1f}{bt_bytes:>20.1f}"
          f"{'':>8}{'<=' + str(TARGETS['bytes_per_point']):>8}")

    if args.no_scaling:
        return 0
    print(f"\nCPU time against n, {args.scaling_queries:,} queries: build in seconds, "
          "queries in µs; BallTree k=1 alongside")
    print(f"{'n':>10}{'build':>8}{'gc k=1':>8}{'gc k=10':>8}{'geo k=1':>8}{'geo k=10':>9}"
          f"{'B/pt':>6}{'BT build':>9}{'BT k=1':>8}{'gc ratio':>9}")
    queries = uniform_points(args.scaling_queries, rng)
    for exponent in range(3, 8):
        n = 10**exponent
        ref = uniform_points(n, rng)
        with tempfile.TemporaryDirectory() as tmp:
            row = orvik(args.binary, ref, queries, pathlib.Path(tmp))
        (bt_build, _), _, bt = balltree(ref, queries, (1,))
        us = row["us_per_query_cpu"]
        print(f"{n:>10,}{row['build_s']['cpu']:>8.3f}{us['great_circle_k1']:>8.2f}"
              f"{us['great_circle_k10']:>8.2f}{us['geodesic_k1']:>8.2f}{us['geodesic_k10']:>9.2f}"
              f"{row['bytes_per_point']:>6.1f}{bt_build:>9.3f}{bt[1][0]:>8.1f}"
              f"{bt[1][0] / us['great_circle_k1']:>8.1f}x")
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
