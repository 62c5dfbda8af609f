"""orvik.geometry against its peers, side by side in one run.

    .venv/bin/python -P benchmarks/bench_geometry.py [--quick]

Each line times orvik and its peer on the same data, best of a few runs,
and prints the ratio of wall-clock times next to the target, and the ratio
of CPU times (all threads of the process).  The machine's load is printed
too: on a busy shared machine orvik, which uses every core it may, loses
more to other work than a peer that uses one, and the CPU-time ratio times
the cores says what a quiet machine would show.
"""

from __future__ import annotations

import argparse
import os
import time
from collections.abc import Callable
from typing import Any

import numpy as np
import pyproj
import shapely

from orvik import geometry

GEOD = pyproj.Geod(ellps="WGS84")


class Timing(float):
    """Best wall-clock seconds, with the CPU seconds of that run."""

    cpu: float


def best(fn: Callable[[], Any], repeats: int) -> tuple[Timing, Any]:
    result, runs = None, []
    for _ in range(repeats):
        start, cpu = time.perf_counter(), time.process_time()
        result = fn()
        runs.append((time.perf_counter() - start, time.process_time() - cpu))
    wall, cpu = min(runs)
    timing = Timing(wall)
    timing.cpu = cpu
    return timing, result


def star_polygons(rng: Any, count: int, sizes: Any, radius: Any, lat_range: tuple[float, float]) -> Any:
    """Simple polygons: `sizes[i]` vertices around random centres, at radii
    up to `radius[i]` degrees (longitudes stretched by the latitude)."""
    polygons = []
    for i in range(count):
        lat = rng.uniform(*lat_range)
        lon = rng.uniform(-170, 170)
        angles = np.sort(rng.uniform(0, 2 * np.pi, sizes[i]))
        r = radius[i] * rng.uniform(0.6, 1.0, sizes[i])
        x = lon + r * np.cos(angles) / max(np.cos(np.radians(lat)), 0.2)
        y = np.clip(lat + r * np.sin(angles), -89.5, 89.5)
        polygons.append(shapely.Polygon(np.column_stack([x, y])))
    return np.array(polygons, dtype=object)


def pyproj_areas(polygons: Any) -> Any:
    return np.array([abs(GEOD.geometry_area_perimeter(p)[0]) for p in polygons])


def row(work: str, ours: Timing, theirs: Timing, peer: str, target: str) -> None:
    print(f"| {work} | {ours * 1e3:.1f} ms | {peer} {theirs * 1e3:.1f} ms | {theirs / ours:.2f}x | "
          f"{theirs.cpu / ours.cpu:.2f}x | {target} |")  # fmt: skip


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--quick", action="store_true", help="fewer repeats")
    repeats = 1 if parser.parse_args().quick else 3
    rng = np.random.default_rng(2026)
    print(f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} CPUs; best of {repeats}")
    print("| work | orvik | peer | peer / orvik | in CPU time | target |\n|---|---|---|---|---|---|")

    small = star_polygons(rng, 20_000, np.full(20_000, 20), rng.uniform(0.01, 0.1, 20_000), (-60, 60))
    ours, got = best(lambda: geometry.area(small), repeats)
    theirs, expected = best(lambda: pyproj_areas(small), repeats)
    row("area, 20,000 polygons of 20 vertices", ours, theirs, "pyproj loop", ">= 4x")
    print(f"|   largest relative difference from pyproj | {np.max(np.abs(got - expected) / expected):.1e} | | | | |")

    import geopandas

    sizes = rng.integers(100, 1001, 1_000)
    countries = geopandas.GeoSeries(
        star_polygons(rng, 1_000, sizes, rng.uniform(1, 12, 1_000), (-70, 70)), crs=4326
    )
    ours, got = best(lambda: geometry.area(countries), repeats)
    theirs, expected = best(lambda: pyproj_areas(countries.values), repeats)
    row("area, GeoSeries of 1,000 polygons of 100-1,000 vertices", ours, theirs, "pyproj loop", ">= 3x")
    projected, planar = best(lambda: countries.to_crs("EPSG:6933").area, repeats)
    row("area, the same GeoSeries", ours, projected, 'to_crs("EPSG:6933").area', ">= 0.2x (within 5x)")
    error = np.abs(planar.to_numpy() / got.to_numpy() - 1)
    print(f"|   EPSG:6933's error against the exact area: median {np.median(error):.3%}, "
          f"largest {np.max(error):.2%}; orvik against pyproj: {np.max(np.abs(got - expected) / expected):.1e} | | | | | |")  # fmt: skip

    lines = []
    for _ in range(1_000):
        steps = rng.uniform(1_000, 10_000, 99)
        start = (rng.uniform(-170, 170), rng.uniform(-70, 70))
        # A walk: each vertex 1-10 km from the one before.
        points = [start]
        for az, s in zip(rng.uniform(0, 360, 99), steps, strict=True):
            x, y, _ = GEOD.fwd(points[-1][0], points[-1][1], az, s)
            points.append((x, y))
        lines.append(shapely.LineString(points))
    lines_array = np.array(lines, dtype=object)
    coords = [np.asarray(line.coords) for line in lines_array]

    def pyproj_segmentize() -> Any:
        out = []
        for c in coords:
            xs, ys = [c[0, 0]], [c[0, 1]]
            for (x1, y1), (x2, y2) in zip(c[:-1], c[1:], strict=True):
                r = GEOD.inv_intermediate(x1, y1, x2, y2, del_s=1_000, initial_idx=0, terminus_idx=0,
                                          return_back_azimuth=True)
                xs.extend(r.lons[1:])
                ys.extend(r.lats[1:])
            out.append(shapely.LineString(np.column_stack([xs, ys])))
        return out

    ours, dense = best(lambda: geometry.segmentize(lines_array, 1_000.0), repeats)
    theirs, _ = best(pyproj_segmentize, repeats)
    row("segmentize, 1,000 lines of 100 vertices to 1 km", ours, theirs, "pyproj inv_intermediate per edge", ">= 10x")
    print(f"|   points made: {int(shapely.get_num_coordinates(dense).sum()):,} | | | | | |")

    n, count, distance = 64, 100_000, 50_000.0
    lon = rng.uniform(-180, 180, count)
    lat = np.degrees(np.arcsin(rng.uniform(-1, 1, count)))  # uniform on the sphere
    points = shapely.points(lon, lat)

    def pyproj_buffer() -> Any:
        azimuths = np.tile(np.arange(n) * (-360.0 / n), count)
        x, y, _ = GEOD.fwd(np.repeat(lon, n), np.repeat(lat, n), azimuths, np.full(count * n, distance))
        ring = np.stack([x.reshape(count, n), y.reshape(count, n)], axis=-1)
        return shapely.polygons(np.concatenate([ring, ring[:, :1]], axis=1))

    ours, circles = best(lambda: geometry.buffer(points, distance, n=n), repeats)
    theirs, peer_circles = best(pyproj_buffer, repeats)
    row(f"buffer, {count:,} points, n = {n}", ours, theirs, "pyproj fwd + shapely.polygons", ">= 1.5x")
    print(f"|   invalid results: orvik {int((~shapely.is_valid(circles)).sum())}, "
          f"pyproj {int((~shapely.is_valid(peer_circles)).sum())} | | | | | |")  # fmt: skip


if __name__ == "__main__":
    main()
