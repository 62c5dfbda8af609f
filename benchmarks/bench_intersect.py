"""Distances to segments and to a long route, and intersections, against the
inverse problem they are made of, side by side in one run.

    python -P benchmarks/bench_intersect.py [--n 100000] [--vertices 10000] [--repeat 3]

No other Python library answers these on the ellipsoid, so the yardstick
is orvik's own inverse_batch over as many pairs, on the same pool:
  - distance_to_segment for --n points and segments (10 m to 1000 km long,
    points up to 500 km off them, anywhere along or beyond either end),
    against inverse_batch of --n pairs: target at most 6 times as long;
  - distance_to_line for --n points against one route of --vertices
    vertices (a ship's track across the Atlantic, about 600 m between
    vertices, wandering), against inverse_batch of --n pairs: target at most
    50 times as long; the points are fixes off the route, most within tens
    of kilometres, one in ten up to 1000 km away.  Also the inverse problems
    it solved per point, overall and by distance from the route, and the
    time to index the route;
  - intersect and segment_intersect, per pair, for information.
Prints wall-clock times (the best of --repeat rounds in which the calls take
turns) and CPU times (every thread of the process), and both ratios: on a
busy shared machine the wall-clock ratio moves with other work, the CPU
ratio much less.  Results are checked against a few brute-force answers.
"""

from __future__ import annotations

import argparse
import os
import platform
import sys
import time
from pathlib import Path

import numpy as np

from orvik import _engine, geodesic

# Run with -P, which leaves this folder off sys.path.
sys.path.insert(0, str(Path(__file__).resolve().parent))
from timing import best_of  # noqa: E402


def segments_and_points(rng: np.random.Generator, n: int) -> tuple[np.ndarray, ...]:
    lat1 = np.degrees(np.arcsin(rng.uniform(-1, 1, n)))
    lon1, azi = rng.uniform(-180, 180, n), rng.uniform(-180, 180, n)
    length = 10 ** rng.uniform(1, 6, n)
    end = geodesic.direct_batch(lat1, lon1, azi, length)
    foot = geodesic.direct_batch(lat1, lon1, azi, length * rng.uniform(-0.2, 1.2, n))
    side = np.where(rng.uniform(size=n) < 0.5, -90.0, 90.0)
    point = geodesic.direct_batch(foot["lat2"], foot["lon2"], foot["azi2"] + side, 10 ** rng.uniform(0, 5.7, n))
    return point["lat2"], point["lon2"], lat1, lon1, end["lat2"], end["lon2"]


def route(rng: np.random.Generator, vertices: int) -> tuple[np.ndarray, np.ndarray]:
    """From the Channel towards New York, steering for it with a wandering
    helm."""
    lat, lon = [49.9], [-5.2]
    total = geodesic.inverse(49.9, -5.2, 40.5, -73.9)["s12"]
    step = total / vertices
    for _ in range(vertices - 1):
        heading = geodesic.inverse(lat[-1], lon[-1], 40.5, -73.9)["azi1"] + rng.normal(0, 8)
        nxt = geodesic.direct(lat[-1], lon[-1], heading, step * rng.uniform(0.5, 1.5))
        lat.append(nxt["lat2"])
        lon.append(nxt["lon2"])
    return np.array(lat), np.array(lon)


def fixes(rng: np.random.Generator, line_lat: np.ndarray, line_lon: np.ndarray, n: int) -> tuple[np.ndarray, np.ndarray]:
    at = rng.integers(0, len(line_lat), n)
    off = np.where(rng.uniform(size=n) < 0.9, rng.exponential(20e3, n), rng.uniform(0, 1e6, n))
    p = geodesic.direct_batch(line_lat[at], line_lon[at], rng.uniform(-180, 180, n), off)
    return p["lat2"], p["lon2"]


def check(args: tuple[np.ndarray, ...], got: dict, k: int = 20) -> float:
    """The largest difference from a brute force on k of the segments."""
    from pathlib import Path
    import sys

    sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests"))
    from segment_brute_force import brute_distance_to_segment

    return max(abs(got["distance"][i] - brute_distance_to_segment(*(a[i] for a in args))[0]) for i in range(k))


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--n", type=int, default=100_000)
    parser.add_argument("--vertices", type=int, default=10_000)
    parser.add_argument("--repeat", type=int, default=3)
    options = parser.parse_args()
    n = options.n
    rng = np.random.default_rng(2024)
    print(f"{platform.processor() or platform.machine()}, {os.cpu_count()} CPUs, pool of {_engine.pool_size()}, "
          f"load average {os.getloadavg()[0]:.2f}")  # fmt: skip
    missed = []

    def report(name: str, ours: tuple[float, float], base: tuple[float, float], target: float | None) -> None:
        wall, cpu = ours[0] / base[0], ours[1] / base[1]
        goal = f"target <= {target:g}x" if target else "no target"
        print(f"{name:<34} {ours[0] * 1e3:9.1f} ms ({ours[1] * 1e3:9.1f} ms CPU)   inverse_batch "
              f"{base[0] * 1e3:8.1f} ms ({base[1] * 1e3:8.1f} ms CPU)   {wall:5.1f}x wall, {cpu:5.1f}x CPU   {goal}")  # fmt: skip
        if target and min(wall, cpu) > target:
            missed.append(name)

    seg = segments_and_points(rng, n)
    pairs = (seg[0], seg[1], seg[2], seg[3])
    ours, base = best_of(options.repeat, lambda: geodesic.distance_to_segment(*seg),
                         lambda: geodesic.inverse_batch(*pairs, outputs="s12"))  # fmt: skip
    report(f"distance_to_segment, n = {n:g}", ours, base, 6)
    print(f"  (agrees with the brute force to {check(seg, geodesic.distance_to_segment(*seg)):.1e} m on 20 of them)")

    line_lat, line_lon = route(rng, options.vertices)
    lat, lon = fixes(rng, line_lat, line_lon, n)
    near = (lat, lon, np.resize(line_lat, n), np.resize(line_lon, n))
    before = _engine._distance_to_line_inverses()
    found = geodesic.distance_to_line(lat, lon, line_lat, line_lon)
    per_point = (_engine._distance_to_line_inverses() - before) / n
    ours, base = best_of(options.repeat, lambda: geodesic.distance_to_line(lat, lon, line_lat, line_lon),
                         lambda: geodesic.inverse_batch(*near, outputs="s12"))  # fmt: skip
    report(f"distance_to_line, {n:g} x {options.vertices:g}", ours, base, 50)
    start = time.perf_counter()
    geodesic.distance_to_line(0.0, 0.0, line_lat, line_lon)
    print(f"  indexing the route: {(time.perf_counter() - start) * 1e3:.1f} ms; inverse problems per point "
          f"{per_point:.2f} (against {options.vertices - 1} segments)")  # fmt: skip
    d = found["distance"]
    for low, high in [(0, 1e4), (1e4, 1e5), (1e5, 1e6), (1e6, np.inf)]:
        band = (d >= low) & (d < high)
        if band.any():
            before = _engine._distance_to_line_inverses()
            geodesic.distance_to_line(lat[band], lon[band], line_lat, line_lon)
            each = (_engine._distance_to_line_inverses() - before) / band.sum()
            print(f"    {low / 1e3:6g} to {high / 1e3:6g} km off the route: {band.sum():6d} points, "
                  f"{each:6.2f} inverse problems each")  # fmt: skip
    every = geodesic.distance_to_segment(lat[:50, None], lon[:50, None], line_lat[:-1], line_lon[:-1],
                                         line_lat[1:], line_lon[1:])["distance"].min(axis=1)  # fmt: skip
    print(f"  (agrees with every segment's distance to {np.abs(every - d[:50]).max():.1e} m on 50 points)")

    m = max(n // 10, 1)
    lines = (rng.uniform(-60, 60, m), rng.uniform(-180, 180, m), rng.uniform(-180, 180, m),
             rng.uniform(-60, 60, m), rng.uniform(-180, 180, m), rng.uniform(-180, 180, m))  # fmt: skip
    ours, base = best_of(options.repeat, lambda: geodesic.intersect(*lines),
                         lambda: geodesic.inverse_batch(*lines[:2], *lines[3:5], outputs="s12"))  # fmt: skip
    report(f"intersect, n = {m:g}", ours, base, None)
    ends = segments_and_points(rng, m)
    two = (*ends[2:], *segments_and_points(rng, m)[2:])
    ours, base = best_of(options.repeat, lambda: geodesic.segment_intersect(*two),
                         lambda: geodesic.inverse_batch(*two[:4], outputs="s12"))  # fmt: skip
    report(f"segment_intersect, n = {m:g}", ours, base, None)

    print(f"load average now {os.getloadavg()[0]:.2f} on {os.cpu_count()} CPUs")
    print("all targets met" if not missed else f"targets missed: {', '.join(missed)}")


if __name__ == "__main__":
    main()
