"""How soon Ctrl-C stops a package array call over 1e8 elements.

    .venv/bin/python -P benchmarks/bench_interrupt.py [--n 100000000] [--repeat 3]

Each measurement runs in a child process: the call starts, SIGINT arrives
0.5 s later, and the child prints the seconds from the signal to the
KeyboardInterrupt.  Calls run on the pool (default threads) and on the
calling thread (num_threads(1)); the target is under 0.2 s.
"""

from __future__ import annotations

import argparse
import subprocess
import sys

CHILD = """
import os, signal, threading, time
import numpy as np
from orvik import distance, num_threads

n, name, threads = {n}, "{name}", {threads}
lat2 = np.broadcast_to(40.0, (n,))
call = {{
    "geodesic": lambda: distance.geodesic_distance_batch(10.0, 20.0, lat2, 30.0),
    "great-circle": lambda: distance.great_circle_distance_batch(10.0, 20.0, lat2, 30.0),
}}[name]
sent = None

def interrupt():
    global sent
    time.sleep(0.5)
    sent = time.perf_counter()
    os.kill(os.getpid(), signal.SIGINT)

threading.Thread(target=interrupt).start()
started = time.perf_counter()
try:
    with num_threads(threads or os.cpu_count()):
        call()
    print("finished", time.perf_counter() - started)
except KeyboardInterrupt:
    print(time.perf_counter() - sent)
"""


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=100_000_000)
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()
    print(f"{'call':<14} {'threads':<15} {'signal to KeyboardInterrupt (s), worst of ' + str(args.repeat)}")
    worst_of_all = 0.0
    for name in ("geodesic", "great-circle"):
        for threads in (0, 1):
            latencies = []
            for _ in range(args.repeat):
                code = CHILD.format(n=args.n, name=name, threads=threads)
                done = subprocess.run([sys.executable, "-P", "-c", code], capture_output=True, text=True)
                words = done.stdout.split()
                if done.returncode != 0 or not words or words[0] == "finished":
                    raise SystemExit(f"{name}: not interrupted: {done.stdout}{done.stderr}")
                latencies.append(float(words[0]))
            worst = max(latencies)
            worst_of_all = max(worst_of_all, worst)
            label = "calling thread" if threads == 1 else "pool"
            print(f"{name:<14} {label:<15} {worst:.3f}")
    print(f"worst: {worst_of_all:.3f} s (target < 0.2 s) for n = {args.n:.0e}")


if __name__ == "__main__":
    main()
