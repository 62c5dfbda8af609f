"""What one call on a small array costs: orvik's array functions against
pyproj's Geod and NumPy's ufuncs, side by side in one run, at n = 1, 10,
100 and 1000.

    .venv/bin/python -P benchmarks/bench_small_calls.py [--repeat 7] [--baseline PYTHON]

Code that calls a library once per group (pandas' groupby().apply, a loop
over tracks) pays this on every call.  Each cost is the best of --repeat
rounds, the contenders taking turns within a round, in microseconds per
call; inputs are NumPy float64 arrays.  The targets: each geodesic array
function costs no more than its pyproj counterpart at every n
(inverse_batch and geodesic_distance_batch against Geod.inv, direct_batch
and geodesic_destination_batch against Geod.fwd); a one-element
great-circle batch or unit conversion costs at most 4x np.arctan2 on
one-element arrays.

--baseline runs the same orvik calls under another interpreter (another
checkout's virtualenv) in alternation with this one, for a before/after
table measured in one sitting.
"""

from __future__ import annotations

import argparse
import json
import os
import subprocess
import sys
from collections.abc import Callable
from pathlib import Path

import numpy as np

# Run with -P, which leaves this folder off sys.path.
sys.path.insert(0, str(Path(__file__).resolve().parent))
from timing import best_time  # noqa: E402

SIZES = (1, 10, 100, 1000)
ORVIK_CALLS = {
    "geodesic_distance_batch": "distance.geodesic_distance_batch(a, b, c, d)",
    "inverse_batch (3 outputs)": "geodesic.inverse_batch(a, b, c, d)",
    "direct_batch": "geodesic.direct_batch(a, b, c, d)",
    "geodesic_destination_batch": "distance.geodesic_destination_batch(a, b, c, d)",
    "great_circle_distance_batch": "distance.great_circle_distance_batch(a, b, c, d)",
    "units.km_to_m (array)": "units.km_to_m(a)",
}
PEER_CALLS = {
    "pyproj Geod.inv": "geod.inv(b, a, d, c)",
    "pyproj Geod.fwd": "geod.fwd(b, a, c, d)",
    "NumPy np.arctan2": "np.arctan2(a, b)",
}
TARGETS = {
    "geodesic_distance_batch": ("pyproj Geod.inv", 1.0),
    "inverse_batch (3 outputs)": ("pyproj Geod.inv", 1.0),
    "direct_batch": ("pyproj Geod.fwd", 1.0),
    "geodesic_destination_batch": ("pyproj Geod.fwd", 1.0),
}
ONE_ELEMENT_TARGETS = {"great_circle_distance_batch": 4.0, "units.km_to_m (array)": 4.0}


def inputs(n: int) -> dict[str, object]:
    rng = np.random.default_rng(n)
    lat, lon = (lambda: rng.uniform(-80, 80, n)), (lambda: rng.uniform(-180, 180, n))
    return {"a": lat(), "b": lon(), "c": lat(), "d": lon()}


def per_call(fn: Callable[[], object], budget: float = 0.02) -> float:
    """Microseconds per call over about `budget` seconds."""
    return best_time(fn, budget, 1) * 1e6


def measure(calls: dict[str, str], namespace: dict[str, object], n: int) -> dict[str, float]:
    env = {**namespace, **inputs(n)}
    return {name: per_call(eval(f"lambda: {code}", env)) for name, code in calls.items()}  # noqa: S307


def orvik_namespace() -> dict[str, object]:
    from orvik import distance, geodesic, units

    return {"distance": distance, "geodesic": geodesic, "units": units, "np": np}


def child() -> None:
    """One round of orvik's calls, for --baseline: JSON on stdout."""
    namespace = orvik_namespace()
    print(json.dumps({n: measure(ORVIK_CALLS, namespace, n) for n in SIZES}))


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--baseline", help="a Python whose orvik is measured too, in alternation")
    parser.add_argument("--child", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.child:
        child()
        return
    import pyproj

    namespace = {**orvik_namespace(), "geod": pyproj.Geod(ellps="WGS84")}
    best: dict[int, dict[str, float]] = {n: {} for n in SIZES}
    before: dict[int, dict[str, float]] = {n: {} for n in SIZES}

    def keep(into: dict[int, dict[str, float]], n: int, times: dict[str, float]) -> None:
        for name, t in times.items():
            into[n][name] = min(into[n].get(name, float("inf")), t)

    load = os.getloadavg()[0]
    for _ in range(args.repeat):
        for n in SIZES:
            keep(best, n, measure(ORVIK_CALLS, namespace, n))
            keep(best, n, measure(PEER_CALLS, namespace, n))
        if args.baseline:
            out = subprocess.run([args.baseline, "-P", __file__, "--child"], capture_output=True, text=True, check=True)
            for n, times in json.loads(out.stdout).items():
                keep(before, int(n), times)
    print(f"# Small calls, µs per call (best of {args.repeat}); load average {load:.1f} -> {os.getloadavg()[0]:.1f}")
    print(f"# {os.cpu_count()} CPUs, Python {sys.version.split()[0]}, NumPy {np.__version__}, pyproj {pyproj.__version__}")
    header = "| call | " + " | ".join(f"n = {n}" for n in SIZES) + " |"
    print(header)
    print("|---" * (len(SIZES) + 1) + "|")
    for name in [*PEER_CALLS, *ORVIK_CALLS]:
        row = [f"{best[n][name]:.2f}" for n in SIZES]
        if args.baseline and name in ORVIK_CALLS:
            row = [f"{before[n][name]:.2f} → {r}" for n, r in zip(SIZES, row)]
        print(f"| {name} | " + " | ".join(row) + " |")
    print()
    failures = 0
    for name, (peer, limit) in TARGETS.items():
        ratios = [best[n][name] / best[n][peer] for n in SIZES]
        ok = all(r <= limit for r in ratios)
        failures += not ok
        print(f"{'ok  ' if ok else 'MISS'} {name}: {', '.join(f'{r:.2f}x' for r in ratios)} of {peer} (at most {limit}x)")
    for name, limit in ONE_ELEMENT_TARGETS.items():
        ratio = best[1][name] / best[1]["NumPy np.arctan2"]
        failures += ratio > limit
        print(f"{'ok  ' if ratio <= limit else 'MISS'} {name}, n = 1: {ratio:.2f}x np.arctan2 (at most {limit}x)")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
