"""The costs the engine's design must not raise: scalar calls, batches at
1e3 and 1e6 elements, and distance matrices, for the native module and the
package, printed as one JSON object (nanoseconds per call or per element).

    .venv/bin/python -P benchmarks/bench_engine.py [--quick]

It uses only what every version of the package offers, so the same script
run with two installs (before and after a change) compares them.
"""

from __future__ import annotations

import argparse
import json
import timeit

import numpy as np

import orvik
from orvik import _orvik


def best_ns(fn, number: int, repeat: int) -> float:
    return min(timeit.repeat(fn, number=number, repeat=repeat)) / number * 1e9


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true")
    args = parser.parse_args()
    repeat = 3 if args.quick else 7
    rng = np.random.default_rng(1)
    results: dict[str, float] = {}

    for label, module in (("native", _orvik), ("package", orvik)):
        d, u, g = module.distance, module.units, module.geodesic
        results[f"{label} units.km_to_m"] = best_ns(lambda u=u: u.km_to_m(1.5), 200_000, repeat)
        results[f"{label} great_circle_distance"] = best_ns(
            lambda d=d: d.great_circle_distance(52.5, 13.4, 48.9, 2.35), 200_000, repeat
        )
        results[f"{label} geodesic_distance"] = best_ns(
            lambda d=d: d.geodesic_distance(52.5, 13.4, 48.9, 2.35), 20_000, repeat
        )
        results[f"{label} geodesic.inverse"] = best_ns(lambda g=g: g.inverse(52.5, 13.4, 48.9, 2.35), 20_000, repeat)

    for n in (1_000, 1_000_000):
        pts = [rng.uniform(-90, 90, n), rng.uniform(-180, 180, n), rng.uniform(-90, 90, n), rng.uniform(-180, 180, n)]
        for label, module in (("native", _orvik), ("package", orvik)):
            for name in ("great_circle_distance_batch", "geodesic_distance_batch"):
                fn = getattr(module.distance, name)
                number = max(1, int(2e6 // n)) if "great" in name else max(1, int(2e4 // n))
                results[f"{label} {name} n={n:.0e}"] = best_ns(lambda fn=fn: fn(*pts), number, repeat) / n

    for name, size in (("great_circle_distance_matrix", 1000), ("geodesic_distance_matrix", 200)):
        a = rng.uniform(-60, 60, size)
        fn = getattr(orvik.distance, name)
        results[f"package {name} {size}x{size}"] = best_ns(lambda fn=fn: fn(a, a, a, a), 3, repeat) / size**2
    print(json.dumps(results, indent=1))


if __name__ == "__main__":
    main()
