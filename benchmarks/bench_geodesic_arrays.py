"""The geodesic array functions against pyproj's Geod, side by side in one run.

    python -P benchmarks/bench_geodesic_arrays.py [--n 1000000] [--repeat 5]

Prints, for each function, both times (the best of --repeat rounds in which
the two take turns, after a warm-up call), the cores orvik's call had (its
CPU time over its wall time), the speed-up (pyproj's time over orvik's), the
speed-up per core (pyproj's CPU time over orvik's), and the target it is held
to; and the load of the machine before and after, since other work on it
takes cores from the pool:
  - inverse_batch with distance and both azimuths against Geod.inv, and
    direct_batch against Geod.fwd, on --n random points;
  - line_points for one line of 1000 points against Geod.npts with both ends,
    and for 1000 such lines against Geod.npts called for each;
  - path_length of one track of --n vertices against Geod.line_length;
  - polygon_area of one ring of 1e5 vertices against
    Geod.polygon_area_perimeter, and of 1000 rings of 1000 vertices against
    Geod.polygon_area_perimeter called for each;
  - great_circle_destination_batch against the same formula written as a
    NumPy expression (the peer column is NumPy there).
Every pair is also checked to agree, so that a fast wrong answer shows.
--docs writes the table into docs/benchmarks.md.
"""

from __future__ import annotations

import sys
from pathlib import Path

import argparse
import math
import os
import platform
from collections.abc import Callable

import numpy as np
import pyproj

# Run with -P, which leaves this folder off sys.path.
sys.path.insert(0, str(Path(__file__).resolve().parent))
import docs_section  # noqa: E402
from timing import best_of  # noqa: E402
from orvik import _engine, distance, geodesic




def random_points(rng: np.random.Generator, n: int) -> tuple[np.ndarray, np.ndarray]:
    lat = np.degrees(np.arcsin(rng.uniform(-1, 1, n)))  # uniform over the sphere
    return lat, rng.uniform(-180, 180, n)


def ring(rng: np.random.Generator, n: int, lat0: float, lon0: float, radius: float) -> tuple[np.ndarray, np.ndarray]:
    """A star-shaped ring of n vertices (counter-clockwise) around (lat0, lon0),
    `radius` degrees across, with jagged edges."""
    t = np.linspace(0, 2 * np.pi, n, endpoint=False)
    r = radius * (1 + 0.2 * rng.uniform(-1, 1, n))
    return lat0 + r * np.sin(t), lon0 + r * np.cos(t)


def numpy_destination(lat1: np.ndarray, lon1: np.ndarray, bearing: np.ndarray, d: np.ndarray) -> tuple[np.ndarray, np.ndarray]:
    """The great-circle destination written as NumPy expressions, the same
    formula as orvik's."""
    delta = d / 6371008.8
    phi1, lambda1, theta = np.radians(lat1), np.radians(lon1), np.radians(bearing)
    x = np.sin(phi1) * np.cos(delta) + np.cos(theta) * (np.cos(phi1) * np.sin(delta))
    phi2 = np.arcsin(np.clip(x, -1.0, 1.0))
    y = np.cos(phi1) * (np.sin(theta) * np.sin(delta))
    z = np.cos(delta) - np.sin(phi1) * np.sin(phi2)
    return np.degrees(phi2), np.degrees(lambda1 + np.arctan2(y, z))


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--n", type=int, default=1_000_000, help="points of the batch calls, vertices of the track")
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--docs", action="store_true", help="write the table into docs/benchmarks.md")
    args = parser.parse_args()
    rng = np.random.default_rng(20241208)
    geod = pyproj.Geod(ellps="WGS84")
    rows: list[tuple[str, float, float, str, bool]] = []

    def compare(name: str, ours: Callable[[], object], theirs: Callable[[], object], target: str, goal: float) -> None:
        (t_ours, cpu_ours), (t_theirs, cpu_theirs) = best_of(args.repeat, ours, theirs)
        speedup = t_theirs / t_ours
        rows.append((name, t_ours, t_theirs, target, speedup >= goal))
        # Per core: the two sides' CPU time, which other work on the machine
        # hardly changes; with the cores orvik had, it tells a slow kernel
        # from a busy machine.
        print(f"{name:<42} orvik {t_ours * 1e3:8.2f} ms on {cpu_ours / t_ours:3.1f} cores  "
              f"peer {t_theirs * 1e3:8.2f} ms  x{speedup:5.2f}  per core x{cpu_theirs / cpu_ours:4.2f}  "
              f"(target {target}: {'met' if speedup >= goal else 'MISSED'})", flush=True)

    print(f"{platform.processor() or platform.machine()}, {os.cpu_count()} CPUs, pool of {_engine.pool_size()}, "
          f"pyproj {pyproj.__version__} (PROJ {pyproj.proj_version_str}), best of {args.repeat}, "
          f"load average {os.getloadavg()[0]:.2f}")

    # --- the two problems over arrays ---------------------------------------------------
    n = args.n
    lat1, lon1 = random_points(rng, n)
    lat2, lon2 = random_points(rng, n)
    got = geodesic.inverse_batch(lat1, lon1, lat2, lon2, outputs=("s12", "azi1", "azi2"))
    az12, _, dist = geod.inv(lon1, lat1, lon2, lat2)
    assert np.allclose(got["s12"], dist, rtol=0, atol=1e-6) and np.allclose(got["azi1"], az12, atol=1e-6)
    compare(f"inverse_batch s12 azi1 azi2, n={n:.0e}",
            lambda: geodesic.inverse_batch(lat1, lon1, lat2, lon2, outputs=("s12", "azi1", "azi2")),
            lambda: geod.inv(lon1, lat1, lon2, lat2), ">= 1.5x", 1.5)  # fmt: skip

    azi = rng.uniform(-180, 180, n)
    s12 = rng.uniform(0, 2e7, n)
    got = geodesic.direct_batch(lat1, lon1, azi, s12)
    lon_p, lat_p, _ = geod.fwd(lon1, lat1, azi, s12)
    assert np.allclose(got["lat2"], lat_p, atol=1e-9)
    compare(f"direct_batch lat2 lon2 azi2, n={n:.0e}",
            lambda: geodesic.direct_batch(lat1, lon1, azi, s12),
            lambda: geod.fwd(lon1, lat1, azi, s12), ">= 1.6x", 1.6)  # fmt: skip

    # --- points along lines ---------------------------------------------------------------
    a = (52.52, 13.405, -33.92, 151.2)
    lats, lons = geodesic.line_points(*a, n=1000)
    theirs = np.array(geod.npts(a[1], a[0], a[3], a[2], 1000, initial_idx=0, terminus_idx=0))
    assert np.allclose(lats, theirs[:, 1], atol=1e-9) and np.allclose(lons, theirs[:, 0], atol=1e-9)
    compare("line_points, 1 line x 1000 points",
            lambda: geodesic.line_points(*a, n=1000),
            lambda: geod.npts(a[1], a[0], a[3], a[2], 1000, initial_idx=0, terminus_idx=0),
            "within 1.2x", 1 / 1.2)  # fmt: skip
    ends = [*random_points(rng, 1000), *random_points(rng, 1000)]
    pairs = list(zip(*(e.tolist() for e in ends), strict=True))
    compare("line_points, 1000 lines x 1000 points",
            lambda: geodesic.line_points(*ends, n=1000),
            lambda: [geod.npts(b, a_, d, c, 1000, initial_idx=0, terminus_idx=0) for a_, b, c, d in pairs],
            "faster", 1.0)  # fmt: skip

    # --- length of a track --------------------------------------------------------------
    steps = rng.normal(0, 0.01, (2, n))
    track_lat = np.clip(np.cumsum(steps[0]) + 10, -89, 89)
    track_lon = np.cumsum(steps[1]) % 360 - 180
    # Against the exact sum of pyproj's own edges: Geod.line_length adds them
    # in plain double precision, which drifts by some 1e-14 of the length
    # over a million edges.
    ours_length = geodesic.path_length(track_lat, track_lon)
    exact = math.fsum(geod.line_lengths(track_lon, track_lat))
    assert abs(ours_length - exact) <= 1e-15 * exact, (ours_length, exact)
    print(f"  (path_length off the exact sum by {abs(ours_length - exact) / exact:.1e} of it, "
          f"Geod.line_length by {abs(geod.line_length(track_lon, track_lat) - exact) / exact:.1e})")
    compare(f"path_length, 1 track of {n:.0e} vertices",
            lambda: geodesic.path_length(track_lat, track_lon),
            lambda: geod.line_length(track_lon, track_lat), ">= 1.5x", 1.5)  # fmt: skip

    # --- areas of rings ---------------------------------------------------------------
    big_lat, big_lon = ring(rng, 100_000, 40.0, -100.0, 10.0)
    area, perimeter = geodesic.polygon_area(big_lat, big_lon)
    ref_area, ref_perimeter = geod.polygon_area_perimeter(big_lon, big_lat)
    assert abs(area - ref_area) <= max(1.0, 1e-9 * abs(ref_area)) and abs(perimeter - ref_perimeter) < 1e-6
    compare("polygon_area, 1 ring of 1e5 vertices",
            lambda: geodesic.polygon_area(big_lat, big_lon),
            lambda: geod.polygon_area_perimeter(big_lon, big_lat), "within 1.1x", 1 / 1.1)  # fmt: skip
    rings = [ring(rng, 1000, float(c), float(d), 2.0) for c, d in zip(*random_points(rng, 1000), strict=True)]
    ring_lats = np.array([r[0] for r in rings])
    ring_lons = np.array([r[1] for r in rings])
    compare("polygon_area, 1000 rings x 1000 vertices",
            lambda: geodesic.polygon_area(ring_lats, ring_lons),
            lambda: [geod.polygon_area_perimeter(lo, la) for la, lo in zip(ring_lats, ring_lons, strict=True)],
            ">= 1.5x", 1.5)  # fmt: skip

    # --- great-circle destinations against NumPy --------------------------------------
    bearing = rng.uniform(0, 360, n)
    ours_dest = distance.great_circle_destination_batch(lat1, lon1, bearing, s12)
    numpy_dest = numpy_destination(lat1, lon1, bearing, s12)
    assert np.allclose(ours_dest[0], numpy_dest[0], atol=1e-9)
    compare(f"great_circle_destination_batch, n={n:.0e} (peer: NumPy)",
            lambda: distance.great_circle_destination_batch(lat1, lon1, bearing, s12),
            lambda: numpy_destination(lat1, lon1, bearing, s12), ">= 5x", 5.0)  # fmt: skip

    print(f"load average now {os.getloadavg()[0]:.2f} on {os.cpu_count()} CPUs")
    if args.docs:
        table = [docs_section.machine_line() + f" pyproj {pyproj.__version__}; best of {args.repeat}.", "",
                 "### Geodesic problems over arrays, against pyproj (time per call; x: pyproj / orvik)", "",
                 "| call | orvik | peer | x | target |", "|---|---:|---:|---:|---|"]  # fmt: skip
        for name, t_ours, t_theirs, target, met in rows:
            table.append(f"| {name} | {t_ours * 1e3:.2f} ms | {t_theirs * 1e3:.2f} ms | {t_theirs / t_ours:.2f} "
                         f"| {target}{'' if met else ' (missed)'} |")  # fmt: skip
        docs_section.write_section("geodesic-arrays", "\n".join(table))
    missed = [name for name, *_, met in rows if not met]
    print("all targets met" if not missed else f"targets missed: {', '.join(missed)}")


if __name__ == "__main__":
    main()
