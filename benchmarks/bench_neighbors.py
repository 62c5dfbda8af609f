"""orvik.neighbors.PointIndex against scikit-learn's BallTree(metric="haversine"),
side by side in one run, on the same points, as users call them.

orvik queries on its worker pool (every core, or --threads); BallTree's
query runs on one thread, as it does.  Times are wall clock, the best of
--repeat runs, with the CPU time of that run in brackets.  Prints each
ratio (BallTree's time over orvik's) next to the target it must meet.

    python benchmarks/bench_neighbors.py [--n 1000000] [--queries 100000]
        [--threads N] [--repeat 3] [--scaling-queries 10000] [--max-n 1e7]
        [--no-scaling]
"""

from __future__ import annotations

import argparse
import os
import sys
import time

import numpy as np
from sklearn.neighbors import BallTree

import orvik
from orvik.neighbors import PointIndex

# BallTree's time over orvik's must be at least these (memory: at most).
TARGETS = {"great-circle": 10.0, "geodesic": 3.0, "build": 1.0, "bytes_per_point": 96}


def uniform_points(n: int, rng: np.random.Generator) -> tuple[np.ndarray, np.ndarray]:
    lat = np.degrees(np.arcsin(rng.uniform(-1.0, 1.0, n)))
    return lat, rng.uniform(-180.0, 180.0, n)


def best_of(repeat: int, fn):
    """(result, wall seconds, CPU seconds) of the fastest of `repeat` runs."""
    best = None
    for _ in range(repeat):
        wall, cpu = time.perf_counter(), time.process_time()
        result = fn()
        timing = (time.perf_counter() - wall, time.process_time() - cpu)
        if best is None or timing[0] < best[1]:
            best = (result, *timing)
    return best


def row(name: str, ours: tuple[float, float], theirs: tuple[float, float], scale: float, unit: str,
        target: float) -> str:
    ratio = theirs[0] / ours[0]
    verdict = "ok" if ratio >= target else "MISSED"
    return (f"{name:<24}{ours[0] * scale:>9.3f} ({ours[1] * scale:7.3f}){theirs[0] * scale:>10.3f} "
            f"({theirs[1] * scale:7.3f}) {unit:<9}{ratio:>7.1f}x{target:>7.1f}x  {verdict}")


def head_to_head(args, rng) -> int:
    ref = uniform_points(args.n, rng)
    queries = uniform_points(args.queries, rng)
    ref_rad = np.radians(np.column_stack(ref))
    q_rad = np.radians(np.column_stack(queries))

    index, *ours_build = best_of(args.repeat, lambda: PointIndex(*ref))
    tree, *bt_build = best_of(args.repeat, lambda: BallTree(ref_rad, metric="haversine"))
    bt_bytes = sum(a.nbytes for a in tree.get_arrays()) / args.n
    ours_bytes = index.nbytes / args.n

    print(f"n = {args.n:,} reference points, {args.queries:,} queries; orvik on "
          f"{orvik.get_num_threads()} threads, BallTree on 1; {os.cpu_count()} CPUs")
    print("wall clock (CPU time); ratio = BallTree / orvik")
    print(f"{'':24}{'orvik':>19}{'BallTree':>20} {'':9}{'ratio':>8}{'needed':>8}")
    missed = 0
    line = row("build", ours_build, bt_build, 1.0, "s", TARGETS["build"])
    missed += "MISSED" in line
    print(line)
    for k in (1, 10):
        _, *bt_query = best_of(args.repeat, lambda: tree.query(q_rad, k=k))
        for method in ("great-circle", "geodesic"):
            _, *ours_query = best_of(args.repeat, lambda: index.query(*queries, k, method=method))
            line = row(f"{method} k={k}", ours_query, bt_query, 1e6 / args.queries, "µs/query",
                       TARGETS[method])
            missed += "MISSED" in line
            print(line)
    verdict = "ok" if ours_bytes <= TARGETS["bytes_per_point"] else "MISSED"
    missed += verdict == "MISSED"
    print(f"{'memory':<24}{ours_bytes:>19.1f}{bt_bytes:>20.1f} {'B/point':<9}{'':>8}"
          f"{'<=' + str(TARGETS['bytes_per_point']):>8}  {verdict}")
    return missed


def scaling(args, rng) -> None:
    queries = uniform_points(args.scaling_queries, rng)
    q_rad = np.radians(np.column_stack(queries))
    print(f"\nQuery time against n, {args.scaling_queries:,} queries, µs per query (wall clock); "
          "build in seconds")
    print(f"{'n':>12}{'build':>8}{'gc k=1':>8}{'gc k=10':>9}{'geo k=1':>9}{'geo k=10':>9}{'B/pt':>6}"
          f"{'BT build':>9}{'BT k=1':>8}{'BT k=10':>8}{'gc/BT k=1':>10}{'geo/BT k=1':>11}")
    n = 1000
    while n <= args.max_n:
        ref = uniform_points(n, rng)
        index, build, _ = best_of(1, lambda: PointIndex(*ref))
        us = {}
        for method in ("great-circle", "geodesic"):
            for k in (1, 10):
                _, wall, _ = best_of(args.repeat, lambda: index.query(*queries, k, method=method))
                us[method, k] = wall * 1e6 / args.scaling_queries
        tree, bt_build, _ = best_of(1, lambda: BallTree(np.radians(np.column_stack(ref)), metric="haversine"))
        bt = {}
        for k in (1, 10):
            _, wall, _ = best_of(args.repeat, lambda: tree.query(q_rad, k=k))
            bt[k] = wall * 1e6 / args.scaling_queries
        print(f"{n:>12,}{build:>8.3f}{us['great-circle', 1]:>8.2f}{us['great-circle', 10]:>9.2f}"
              f"{us['geodesic', 1]:>9.2f}{us['geodesic', 10]:>9.2f}{index.nbytes / n:>6.1f}"
              f"{bt_build:>9.3f}{bt[1]:>8.2f}{bt[10]:>8.2f}{bt[1] / us['great-circle', 1]:>9.1f}x"
              f"{bt[1] / us['geodesic', 1]:>10.1f}x")
        del index, tree
        n *= 10


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--queries", type=int, default=100_000)
    parser.add_argument("--threads", type=int, help="orvik's threads (default: every core)")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--scaling-queries", type=int, default=10_000)
    parser.add_argument("--max-n", type=float, default=1e7,
                        help="largest n of the scaling table (1e7 needs about 2.5 GB)")
    parser.add_argument("--no-scaling", action="store_true")
    args = parser.parse_args()
    if args.threads:
        orvik.set_num_threads(args.threads)
    rng = np.random.default_rng(12)
    missed = head_to_head(args, rng)
    if not args.no_scaling:
        scaling(args, rng)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
