"""Single-core throughput of the great-circle kernels against a NumPy haversine.

Builds the C++ micro-benchmark (benchmarks/great_circle_kernel_bench.cpp) in
build/bench, runs it, times a NumPy ufunc haversine of the same formula on the
same number of points in the same run, and prints ns per point with ratios:
every vector kernel the CPU can run, the scalar-libm loop, a strided call with
two broadcast inputs, the one-point call, and the memory-bandwidth bound (a
plain stream over the same five arrays of float64).  When the installed orvik
has great_circle_distance_batch, its throughput on the worker pool is listed
too.

Usage: python benchmarks/bench_great_circle_kernel.py [--n 1000000] [--repeat 7]
"""

import argparse
import json
import os
import platform
import subprocess
import sys
import time
from pathlib import Path

import numpy as np

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "bench"
R = 6371008.8
K = 0.017453292519943295


def numpy_haversine(lat1, lon1, lat2, lon2):
    dlon = (lon2 - lon1) * K
    phi1 = lat1 * K
    phi2 = lat2 * K
    s = np.sin((phi2 - phi1) * 0.5)
    t = np.sin(dlon * 0.5)
    h = s * s + (np.cos(phi1) * np.cos(phi2)) * (t * t)
    np.minimum(h, 1.0, out=h)
    c = np.arcsin(np.sqrt(h))
    return (c + c) * R


def build_tool(name):
    # The build tools of the running environment, else of the checkout's
    # .venv, else whatever PATH has.
    for bindir in (Path(sys.executable).parent, ROOT / ".venv" / "bin"):
        if (bindir / name).exists():
            return str(bindir / name)
    return name


def build_bench():
    cmake = build_tool("cmake")
    if not (BUILD / "CMakeCache.txt").exists():
        configure = [
            cmake, "-S", str(ROOT), "-B", str(BUILD), "-G", "Ninja",
            f"-DCMAKE_MAKE_PROGRAM={build_tool('ninja')}", "-DORVIK_BENCHMARKS=ON",
            "-DCMAKE_BUILD_TYPE=Release", f"-DPython_EXECUTABLE={sys.executable}",
        ]
        subprocess.run(configure, check=True, stdout=subprocess.DEVNULL)
    subprocess.run([cmake, "--build", str(BUILD), "--target", "orvik_kernel_bench"],
                   check=True, stdout=subprocess.DEVNULL)
    return BUILD / "orvik_kernel_bench"


def best_ns_per_point(fn, n, repeat):
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter_ns()
        fn()
        best = min(best, time.perf_counter_ns() - start)
    return best / n


def cpu_model():
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or platform.machine()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=7)
    args = parser.parse_args()
    n, repeat = args.n, args.repeat

    binary = build_bench()
    result = json.loads(subprocess.run([str(binary), str(n), str(repeat)], check=True,
                                       capture_output=True, text=True).stdout)

    rng = np.random.default_rng(1)
    lat1, lat2 = rng.uniform(-90, 90, n), rng.uniform(-90, 90, n)
    lon1, lon2 = rng.uniform(-180, 180, n), rng.uniform(-180, 180, n)
    numpy_ns = best_ns_per_point(lambda: numpy_haversine(lat1, lon1, lat2, lon2), n, repeat)
    bound = result["stream_bound"]

    rows = []
    for name, ns in result["kernels"].items():
        label = "scalar libm loop" if name == "portable" else f"kernel {name}"
        if name == result["active"]:
            label += " (active)"
        rows.append((label, ns))
    rows.append(("strided, two inputs broadcast", result["strided_broadcast"]))
    rows.append(("one-point call (ns per call)", result["one_point_call"]))
    rows.append(("NumPy ufunc haversine", numpy_ns))

    try:
        import orvik
    except ImportError:  # NumPy versions can be compared without orvik installed
        orvik = None
    batch = getattr(orvik.distance, "great_circle_distance_batch", None) if orvik else None
    if batch is not None:
        batch_ns = best_ns_per_point(lambda: batch(lat1, lon1, lat2, lon2), n, repeat)
        rows.append(("great_circle_distance_batch (worker pool)", batch_ns))

    print(f"great-circle distance, n = {n:,}, best of {repeat}; NumPy {np.__version__}; "
          f"{cpu_model()}, {os.cpu_count()} logical CPUs; one core unless noted")
    print(f"{'':44} {'ns/point':>9} {'vs NumPy':>9} {'vs bound':>9}")
    for label, ns in rows:
        print(f"{label:44} {ns:9.2f} {numpy_ns / ns:8.2f}x {ns / bound:8.2f}x")
    gbps = 40.0 / bound
    print(f"{'memory-bandwidth bound (5 arrays x 8 B)':44} {bound:9.2f} "
          f"{numpy_ns / bound:8.2f}x {1.0:8.2f}x   ({gbps:.1f} GB/s)")


if __name__ == "__main__":
    main()
