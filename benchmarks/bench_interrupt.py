"""How soon Ctrl-C stops a long call of the package: array calls over 1e8
elements, building (and unpickling) a PointIndex of 1e7 points, and radius
queries that find every one of 1e6 points.

    .venv/bin/python -P benchmarks/bench_interrupt.py [--n 100000000]
        [--points 10000000] [--radius-points 1000000] [--queries 2000]
        [--repeat 3] [--delay 0.5] [--only NAME ...]

Each measurement runs in a child process: the inputs are made, the call
starts, SIGINT arrives 0.5 s later, and the child prints the seconds from
the signal to the KeyboardInterrupt (--delay moves the signal).  Calls run on the pool (default
threads) and on the calling thread (num_threads(1)); the target is under
0.2 s.
"""

from __future__ import annotations

import argparse
import subprocess
import sys

# Each case: what the child makes before the clock starts, and the call.
CASES = {
    "geodesic": (
        "lat2 = np.broadcast_to(40.0, ({n},))",
        "distance.geodesic_distance_batch(10.0, 20.0, lat2, 30.0)",
    ),
    "great-circle": (
        "lat2 = np.broadcast_to(40.0, ({n},))",
        "distance.great_circle_distance_batch(10.0, 20.0, lat2, 30.0)",
    ),
    "PointIndex": ("lat, lon = uniform({points})", "PointIndex(lat, lon)"),
    "unpickle": ("data = pickle.dumps(PointIndex(*uniform({points})))", "pickle.loads(data)"),
    # r = 2e7 m reaches every point from anywhere: about 1e6 hits a query.
    "query_radius": (
        "index = PointIndex(*uniform({radius_points})); qlat, qlon = uniform({queries})",
        "index.query_radius(qlat, qlon, 2e7)",
    ),
}

CHILD = """
import os, pickle, signal, threading, time
import numpy as np
from orvik import distance, num_threads
from orvik.neighbors import PointIndex

def uniform(n):
    rng = np.random.default_rng(1)
    return np.degrees(np.arcsin(rng.uniform(-1, 1, n))), rng.uniform(-180, 180, n)

threads = {threads}
with num_threads(threads or os.cpu_count()):
    {setup}
sent = None

def interrupt():
    global sent
    time.sleep({delay})
    sent = time.perf_counter()
    os.kill(os.getpid(), signal.SIGINT)

threading.Thread(target=interrupt).start()
started = time.perf_counter()
try:
    with num_threads(threads or os.cpu_count()):
        {call}
    print("finished", time.perf_counter() - started)
except KeyboardInterrupt:
    print(time.perf_counter() - sent)
"""


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=100_000_000, help="elements of the array calls")
    parser.add_argument("--points", type=int, default=10_000_000, help="points of the index built")
    parser.add_argument("--radius-points", type=int, default=1_000_000, help="points of the radius index")
    parser.add_argument("--queries", type=int, default=2000, help="query points of the radius query")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--delay", type=float, default=0.5, help="seconds from the call to the signal")
    parser.add_argument("--only", nargs="+", choices=list(CASES), default=list(CASES))
    args = parser.parse_args()
    sizes = {"n": args.n, "points": args.points, "radius_points": args.radius_points, "queries": args.queries}
    print(f"{'call':<14} {'threads':<15} {'signal to KeyboardInterrupt (s), worst of ' + str(args.repeat)}")
    worst_of_all = 0.0
    for name in args.only:
        setup, call = (part.format(**sizes) for part in CASES[name])
        for threads in (0, 1):
            latencies = []
            for _ in range(args.repeat):
                code = CHILD.format(threads=threads, setup=setup, call=call, delay=args.delay)
                done = subprocess.run([sys.executable, "-P", "-c", code], capture_output=True, text=True)
                words = done.stdout.split()
                if done.returncode != 0 or not words or words[0] == "finished":
                    raise SystemExit(f"{name}: not interrupted: {done.stdout}{done.stderr}")
                latencies.append(float(words[0]))
            worst = max(latencies)
            worst_of_all = max(worst_of_all, worst)
            label = "calling thread" if threads == 1 else "pool"
            print(f"{name:<14} {label:<15} {worst:.3f}")
    print(
        f"worst: {worst_of_all:.3f} s (target < 0.2 s); array calls of {args.n:.0e} elements, "
        f"indexes of {args.points:.0e} points, radius queries {args.queries} x {args.radius_points:.0e} points"
    )


if __name__ == "__main__":
    raise SystemExit(main())
