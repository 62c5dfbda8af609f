"""Per-call cost of orvik's scalar functions against peers and targets.

Run with the installed package:  .venv/bin/python -P benchmarks/bench_scalar.py

Every comparison is timed best-of-N, with the repeats of all comparisons
interleaved, so that a burst of load on a shared machine hits both sides of a
ratio alike.  The C++ baseline (GeographicLib's inverse called in a C++ loop)
is compiled here with g++ -O2 against the system's libGeographicLib.
"""

from __future__ import annotations

import argparse
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import timeit
from pathlib import Path

from orvik._orvik import distance, units

HERE = Path(__file__).resolve().parent


def haversine(lat1, lon1, lat2, lon2):
    """The great-circle distance in pure Python, the same formula as orvik's."""
    phi1 = lat1 * 0.017453292519943295
    phi2 = lat2 * 0.017453292519943295
    s = math.sin((phi2 - phi1) * 0.5)
    t = math.sin((lon2 - lon1) * 0.017453292519943295 * 0.5)
    h = s * s + math.cos(phi1) * math.cos(phi2) * (t * t)
    c = math.asin(math.sqrt(h))
    return (c + c) * 6371008.8


def random_points(n, seed=1):
    rng = random.Random(seed)
    pts = []
    for _ in range(n):
        lat1 = math.degrees(math.asin(rng.uniform(-1, 1)))
        lat2 = math.degrees(math.asin(rng.uniform(-1, 1)))
        pts.append((lat1, rng.uniform(-180, 180), lat2, rng.uniform(-180, 180)))
    return pts


class Case:
    """A statement timed as `calls` calls per run; best per-call seconds kept."""

    def __init__(self, name, stmt, namespace, calls, number=1):
        self.name = name
        self.timer = timeit.Timer(stmt, globals=namespace)
        self.calls = calls * number
        self.number = number
        self.best = math.inf

    def run_once(self):
        self.best = min(self.best, self.timer.timeit(self.number) / self.calls)


class CppLoop:
    """GeographicLib's inverse in a C++ loop over the same points."""

    def __init__(self, points, workdir):
        self.name = "C++ GeographicLib Inverse loop"
        self.best = math.inf
        self.exe = None
        source = HERE / "cpp" / "geodesic_loop.cpp"
        cxx = shutil.which("g++")
        if cxx is None:
            self.skip = "g++ not found"
            return
        exe = Path(workdir) / "geodesic_loop"
        build = [cxx, "-O2", "-std=c++20", str(source), "-o", str(exe), "-lGeographicLib"]
        proc = subprocess.run(build, capture_output=True, text=True)
        if proc.returncode != 0:
            self.skip = "build failed: " + proc.stderr.strip().splitlines()[-1]
            return
        self.points_file = Path(workdir) / "points.bin"
        self.points_file.write_bytes(b"".join(struct.pack("=4d", *p) for p in points))
        self.exe = exe
        self.skip = None

    def run_once(self):
        if self.exe is None:
            return
        out = subprocess.run([str(self.exe), str(self.points_file), "5"], capture_output=True, text=True, check=True)
        self.best = min(self.best, float(out.stdout.split()[0]) * 1e-9)


def build_cases(workdir, n_points):
    points = random_points(n_points)
    ns = {"units": units, "distance": distance, "math": math, "x": 1.2345, "pts": points, "haversine": haversine}
    km_to_m, fabs = units.km_to_m, math.fabs
    ns.update(km_to_m=km_to_m, fabs=fabs, gcd=distance.great_circle_distance, gd=distance.geodesic_distance)
    loop = "for a, b, c, d in pts: {}"
    cases = {
        "fabs": Case("math.fabs(x)", "fabs(x)", ns, 1, number=200_000),
        "km_to_m": Case("units.km_to_m(x)", "km_to_m(x)", ns, 1, number=200_000),
        "km_to_m_kw": Case("units.km_to_m(km=x)", "km_to_m(km=x)", ns, 1, number=200_000),
        "gcd": Case("great_circle_distance", loop.format("gcd(a, b, c, d)"), ns, len(points), number=20),
        "haversine": Case("pure-Python haversine", loop.format("haversine(a, b, c, d)"), ns, len(points), number=5),
        "gd": Case("geodesic_distance", loop.format("gd(a, b, c, d)"), ns, len(points), number=5),
    }
    skipped = {}
    try:
        import pyproj

        ns["geod"] = pyproj.Geod(ellps="WGS84")
        cases["pyproj"] = Case("pyproj Geod.inv (scalars)", loop.format("geod.inv(b, a, d, c)"), ns, len(points), number=2)
    except ImportError as e:
        skipped["pyproj"] = str(e)
    try:
        from geographiclib.geodesic import Geodesic

        ns["wgs84"] = Geodesic.WGS84
        few = points[: max(1, len(points) // 10)]
        ns["few"] = few
        cases["geographiclib"] = Case(
            "geographiclib Inverse", "for a, b, c, d in few: wgs84.Inverse(a, b, c, d)", ns, len(few), number=1
        )
    except ImportError as e:
        skipped["geographiclib"] = str(e)
    cpp = CppLoop(points, workdir)
    if cpp.skip:
        skipped["cpp"] = cpp.skip
    else:
        cases["cpp"] = cpp
    return cases, skipped


def row(label, ours, theirs, value, target, ok, unit="x"):
    status = "PASS" if ok else "MISS"
    theirs_text = f"{theirs * 1e9:10.1f}" if theirs is not None else " " * 10
    print(f"{label:<46} {ours * 1e9:10.1f} {theirs_text} {value:9.2f}{unit:<3} {target:<10} {status}")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeats", type=int, default=7, help="interleaved rounds (best of N)")
    parser.add_argument("--points", type=int, default=2000, help="point pairs per distance loop")
    args = parser.parse_args(argv)

    with tempfile.TemporaryDirectory() as workdir:
        cases, skipped = build_cases(workdir, args.points)
        order = list(cases.values())
        for _ in range(args.repeats):
            random.shuffle(order)
            for case in order:
                case.run_once()

    b = {key: case.best for key, case in cases.items()}
    print(f"Python {sys.version.split()[0]}, {os.cpu_count()} CPUs, best of {args.repeats} interleaved rounds")
    print(f"{'comparison':<46} {'ours ns':>10} {'peer ns':>10} {'value':>12} {'target':<10} status")
    row("units.km_to_m(x) / math.fabs(x)", b["km_to_m"], b["fabs"], b["km_to_m"] / b["fabs"], "<= 1.2x", b["km_to_m"] <= 1.2 * b["fabs"])
    row("km_to_m(km=x) / km_to_m(x)", b["km_to_m_kw"], b["km_to_m"], b["km_to_m_kw"] / b["km_to_m"], "<= 1.5x", b["km_to_m_kw"] <= 1.5 * b["km_to_m"])
    row("pure-Python haversine / great_circle_distance", b["gcd"], b["haversine"], b["haversine"] / b["gcd"], ">= 3x", b["haversine"] >= 3 * b["gcd"])
    if "pyproj" in b:
        row("pyproj Geod.inv / geodesic_distance", b["gd"], b["pyproj"], b["pyproj"] / b["gd"], "> 1x", b["pyproj"] > b["gd"])
    if "geographiclib" in b:
        row("geographiclib Inverse / geodesic_distance", b["gd"], b["geographiclib"], b["geographiclib"] / b["gd"], ">= 20x", b["geographiclib"] >= 20 * b["gd"])
    if "cpp" in b:
        extra = b["gd"] - b["cpp"]
        row("geodesic_distance - C++ loop (ns per call)", b["gd"], b["cpp"], extra * 1e9, "<= 150 ns", extra <= 150e-9, unit="ns")
    for key, why in skipped.items():
        print(f"skipped {key}: {why}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
