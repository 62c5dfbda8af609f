"""orvik.rhumb against pymap3d's NumPy loxodromes, side by side in one run.

    python -P benchmarks/bench_rhumb.py [--n 100000] [--repeat 7]

On --n random pairs (latitudes within 89 degrees, longitudes that do not
cross the antimeridian, so that pymap3d answers the same question), prints
for each problem both times per pair (the best of --repeat rounds in which
the two take turns, after a warm-up call), the speed-up in wall time, the
speed-up in CPU time (the whole process's: orvik's pool counts every core it
used) and the target:
  - rhumb.inverse (s12 and azi12) against pymap3d.lox.loxodrome_inverse, >= 2x;
  - rhumb.direct (lat2 and lon2) against pymap3d.lox.loxodrome_direct, >= 2x;
  - rhumb.inverse against geodesic.inverse_batch (s12, azi1, azi2) per pair,
    for scale, and both with the area to the equator (S12) as well.
The load of the machine before and after is printed too: on a shared
machine, other work takes cores from the pool and distorts wall times, which
is when the CPU-time column tells more.  Each pair of results is checked to
agree, so that a fast wrong answer shows.
"""

from __future__ import annotations

import argparse
import os
import platform
import sys
import warnings
from pathlib import Path

import numpy as np
from pymap3d.lox import loxodrome_direct, loxodrome_inverse

from orvik import _engine, geodesic, rhumb

# Run with -P, which leaves this folder off sys.path.
sys.path.insert(0, str(Path(__file__).resolve().parent))
from timing import best_of  # noqa: E402


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=100_000)
    parser.add_argument("--repeat", type=int, default=7)
    args = parser.parse_args()
    n = args.n
    rng = np.random.default_rng(2026)
    lat1, lat2 = rng.uniform(-89, 89, (2, n))
    lon1 = rng.uniform(-180, 180, n)
    lon2 = np.clip(lon1 + rng.uniform(-170, 170, n), -180, 180)
    azi = rng.uniform(0, 360, n)
    s12 = rng.uniform(0, 3e6, n)

    ours = rhumb.inverse(lat1, lon1, lat2, lon2, outputs=("s12", "azi12"))
    theirs = loxodrome_inverse(lat1, lon1, lat2, lon2)
    near_east = np.abs(np.abs(ours["azi12"]) - 90) < 1e-3  # where pymap3d cancels
    assert np.allclose(theirs[0][~near_east], ours["s12"][~near_east], rtol=1e-9, atol=0)
    ends = rhumb.direct(lat1, lon1, azi, s12, outputs=("lat2", "lon2"))
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", RuntimeWarning)
        their_ends = loxodrome_direct(lat1, lon1, s12, azi)
    reached = np.isfinite(ends["lon2"])
    assert np.allclose(their_ends[0][reached], ends["lat2"][reached], rtol=0, atol=1e-9)

    load = os.getloadavg()[0]
    rows = []
    (o, p) = best_of(args.repeat, lambda: rhumb.inverse(lat1, lon1, lat2, lon2, outputs=("s12", "azi12")),
                     lambda: loxodrome_inverse(lat1, lon1, lat2, lon2))  # fmt: skip
    rows.append(("rhumb.inverse", "pymap3d loxodrome_inverse", o, p, 2.0))

    def pymap3d_direct() -> object:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", RuntimeWarning)
            return loxodrome_direct(lat1, lon1, s12, azi)

    (o, p) = best_of(args.repeat, lambda: rhumb.direct(lat1, lon1, azi, s12, outputs=("lat2", "lon2")),
                     pymap3d_direct)  # fmt: skip
    rows.append(("rhumb.direct", "pymap3d loxodrome_direct", o, p, 2.0))
    (o, p) = best_of(args.repeat, lambda: rhumb.inverse(lat1, lon1, lat2, lon2, outputs=("s12", "azi12")),
                     lambda: geodesic.inverse_batch(lat1, lon1, lat2, lon2))  # fmt: skip
    rows.append(("rhumb.inverse", "geodesic.inverse_batch", o, p, None))
    (o, p) = best_of(args.repeat, lambda: rhumb.inverse(lat1, lon1, lat2, lon2),
                     lambda: geodesic.inverse_batch(lat1, lon1, lat2, lon2, outputs=("s12", "azi1", "azi2", "S12")))  # fmt: skip
    rows.append(("rhumb.inverse +S12", "inverse_batch +S12", o, p, None))

    print(f"{platform.processor() or platform.machine()}, {os.cpu_count()} CPUs, pool of {_engine.pool_size()}, "
          f"n = {n}, best of {args.repeat}; load {load:.2f} before, {os.getloadavg()[0]:.2f} after")  # fmt: skip
    print(f"{'orvik':<22}{'ns/pair':>9}  {'peer':<28}{'ns/pair':>9}{'wall x':>9}{'CPU x':>8}  target")
    for name, peer, (ow, oc), (pw, pc), target in rows:
        verdict = "" if target is None else (f">= {target:g}x " + ("ok" if pw / ow >= target else "MISSED"))
        print(f"{name:<22}{ow / n * 1e9:>9.0f}  {peer:<28}{pw / n * 1e9:>9.0f}{pw / ow:>9.2f}{pc / oc:>8.2f}  {verdict}")


if __name__ == "__main__":
    main()
