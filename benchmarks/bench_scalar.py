"""Per-call cost of orvik's scalar functions against peers and targets.

Run with the installed package:  .venv/bin/python -P benchmarks/bench_scalar.py

Every comparison is timed best-of-N over short timings (about a millisecond
each), with the repeats of all comparisons interleaved: on a shared machine a
short timing often runs undisturbed, and a burst of load hits both sides of a
ratio alike.  Loops over point pairs go round several slices of random pairs,
one slice per round, and report the mean of the slices' best times, so that no
side gains from a branch predictor that has learnt one small set of inputs.
The C++ baseline (GeographicLib's inverse called in a C++ loop, over the same
slices) is compiled here with g++ -O2 against the system's libGeographicLib.
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
    """Pairs of points spread uniformly over the sphere."""
    rng = random.Random(seed)
    pts = []
    for _ in range(n):
        lat1 = math.degrees(math.asin(rng.uniform(-1, 1)))
        lat2 = math.degrees(math.asin(rng.uniform(-1, 1)))
        pts.append((lat1, rng.uniform(-180, 180), lat2, rng.uniform(-180, 180)))
    return pts


class Case:
    """A statement run `number` times per timing.  With slices, the statement
    loops over the global `pts`, which each round sets to the next slice (cut
    to `per_slice` pairs); the result is the mean of the slices' best times."""

    def __init__(self, stmt, namespace, number=1, slices=None, per_slice=None):
        self.namespace = namespace
        self.timer = timeit.Timer(stmt, globals=namespace)
        self.number = number
        self.slices = [s[:per_slice] for s in slices] if slices else [None]
        self.best = [math.inf] * len(self.slices)

    def run_once(self, round_index):
        k = round_index % len(self.slices)
        calls = self.number
        if self.slices[k] is not None:
            self.namespace["pts"] = self.slices[k]
            calls *= len(self.slices[k])
        self.best[k] = min(self.best[k], self.timer.timeit(self.number) / calls)

    @property
    def per_call(self):
        return sum(self.best) / len(self.best)


class CppLoop:
    """GeographicLib's inverse in a C++ loop over the same slices."""

    def __init__(self, slices, workdir):
        self.exe = None
        self.best = [math.inf] * len(slices)
        cxx = shutil.which("g++")
        if cxx is None:
            self.skip = "g++ not found"
            return
        exe = Path(workdir) / "geodesic_loop"
        source = HERE / "cpp" / "geodesic_loop.cpp"
        proc = subprocess.run([cxx, "-O2", "-std=c++20", str(source), "-o", str(exe), "-lGeographicLib"],
                              capture_output=True, text=True)  # fmt: skip
        if proc.returncode != 0:
            self.skip = "build failed: " + (proc.stderr.strip().splitlines() or ["?"])[-1]
            return
        self.points_file = Path(workdir) / "points.bin"
        self.points_file.write_bytes(b"".join(struct.pack("=4d", *p) for s in slices for p in s))
        self.slice = str(len(slices[0]))
        self.n_slices = len(slices)
        self.exe = exe
        self.skip = None

    def run_once(self, round_index):
        # One pass over all slices per that many rounds: as many timings of
        # each slice as the Python loops get.
        if round_index % self.n_slices == 0:
            out = subprocess.run([str(self.exe), str(self.points_file), self.slice, "1"],
                                 capture_output=True, text=True, check=True)  # fmt: skip
            times = [float(v) * 1e-9 for v in out.stdout.split()[:-1]]
            self.best = [min(b, t) for b, t in zip(self.best, times)]

    @property
    def per_call(self):
        return sum(self.best) / len(self.best)


def build_cases(workdir, n_slices, slice_size):
    points = random_points(n_slices * slice_size)
    slices = [points[i * slice_size : (i + 1) * slice_size] for i in range(n_slices)]
    ns = {
        "fabs": math.fabs,
        "km_to_m": units.km_to_m,
        "x": 1.2345,
        "gcd": distance.great_circle_distance,
        "gd": distance.geodesic_distance,
        "haversine": haversine,
    }
    loop = "for a, b, c, d in pts: {}"
    cases = {
        "fabs": Case("fabs(x)", ns, number=20_000),
        "km_to_m": Case("km_to_m(x)", ns, number=20_000),
        "km_to_m_kw": Case("km_to_m(km=x)", ns, number=20_000),
        "gcd": Case(loop.format("gcd(a, b, c, d)"), ns, number=5, slices=slices),
        "haversine": Case(loop.format("haversine(a, b, c, d)"), ns, slices=slices),
        "gd": Case(loop.format("gd(a, b, c, d)"), ns, slices=slices),
    }
    skipped = {}
    try:
        import pyproj

        ns["geod"] = pyproj.Geod(ellps="WGS84")
        cases["pyproj"] = Case(loop.format("geod.inv(b, a, d, c)"), ns, slices=slices)
    except ImportError as e:
        skipped["pyproj"] = str(e)
    try:
        from geographiclib.geodesic import Geodesic

        ns["wgs84"] = Geodesic.WGS84
        # About fifty times slower: fewer pairs per timing.
        cases["geographiclib"] = Case(loop.format("wgs84.Inverse(a, b, c, d)"), ns, slices=slices, per_slice=40)
    except ImportError as e:
        skipped["geographiclib"] = str(e)
    cpp = CppLoop(slices, workdir)
    if cpp.skip:
        skipped["C++ loop"] = cpp.skip
    else:
        cases["cpp"] = cpp
    return cases, skipped


def row(label, ours, theirs, value, target, ok, unit="x"):
    status = "PASS" if ok else "MISS"
    print(f"{label:<46} {ours * 1e9:10.1f} {theirs * 1e9:10.1f} {value:9.2f}{unit:<3} {target:<10} {status}")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=40, help="interleaved rounds (best of N)")
    parser.add_argument("--slices", type=int, default=8, help="slices of point pairs")
    parser.add_argument("--slice-size", type=int, default=500, help="point pairs per slice")
    args = parser.parse_args(argv)

    with tempfile.TemporaryDirectory() as workdir:
        cases, skipped = build_cases(workdir, args.slices, args.slice_size)
        order = list(cases.values())
        for r in range(args.rounds):
            random.shuffle(order)
            for case in order:
                case.run_once(r)

    t = {key: case.per_call for key, case in cases.items()}
    print(f"Python {sys.version.split()[0]}, {os.cpu_count()} CPUs, best of {args.rounds} interleaved rounds, "
          f"{args.slices} slices of {args.slice_size} point pairs")  # fmt: skip
    print(f"{'comparison':<46} {'ours ns':>10} {'peer ns':>10} {'value':>12} {'target':<10} status")
    row("units.km_to_m(x) / math.fabs(x)", t["km_to_m"], t["fabs"], t["km_to_m"] / t["fabs"], "<= 1.2x",
        t["km_to_m"] <= 1.2 * t["fabs"])  # fmt: skip
    row("km_to_m(km=x) / km_to_m(x)", t["km_to_m_kw"], t["km_to_m"], t["km_to_m_kw"] / t["km_to_m"], "<= 1.5x",
        t["km_to_m_kw"] <= 1.5 * t["km_to_m"])  # fmt: skip
    row("pure-Python haversine / great_circle_distance", t["gcd"], t["haversine"], t["haversine"] / t["gcd"],
        ">= 3x", t["haversine"] >= 3 * t["gcd"])  # fmt: skip
    if "pyproj" in t:
        row("pyproj Geod.inv / geodesic_distance", t["gd"], t["pyproj"], t["pyproj"] / t["gd"], "> 1x",
            t["pyproj"] > t["gd"])  # fmt: skip
    if "geographiclib" in t:
        row("geographiclib Inverse / geodesic_distance", t["gd"], t["geographiclib"], t["geographiclib"] / t["gd"],
            ">= 20x", t["geographiclib"] >= 20 * t["gd"])  # fmt: skip
    if "cpp" in t:
        extra = t["gd"] - t["cpp"]
        row("geodesic_distance - C++ loop (ns per call)", t["gd"], t["cpp"], extra * 1e9, "<= 150 ns",
            extra <= 150e-9, unit="ns")  # fmt: skip
    for key, why in skipped.items():
        print(f"skipped {key}: {why}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
