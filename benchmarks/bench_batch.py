"""Speed and memory of the batch distance functions against their peers.

    python -P benchmarks/bench_batch.py [--n 1000000] [--repeat 3]

Prints, in one run:
  - geodesic_distance_batch at n against plain C++ threads calling
    GeographicLib's Inverse over a static split (one thread per usable CPU;
    compiled here), against the same call with RAYON_NUM_THREADS=1, and
    against pyproj's Geod.inv on the same arrays;
  - great_circle_distance_batch against a NumPy haversine of the same formula;
  - the cost of a one-element batch against the scalar call, and of waking
    the pool for n = 2..64;
  - the parallel efficiency of geodesic_distance_batch at n = 1e3 .. 1e6:
    one thread's time over (threads x the pool's time), and the pool's time
    against the plain C++ threads at the same n;
  - the peak memory of a call at n = 10**7 beyond its inputs.
Timings are the best of --repeat runs.  Needs g++ and GeographicLib's
headers for the C++ peer (skipped without them).
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

import numpy as np

from orvik._orvik import distance

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEG = 0.017453292519943295
EARTH_RADIUS_M = 6371008.8

PLAIN_THREADS_SOURCE = r"""
// Static split of the inverse problem over plain threads: the floor for a
// parallel map with no scheduling at all.
#include <GeographicLib/Geodesic.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    const char* path = argv[1];
    const std::size_t threads = std::strtoul(argv[2], nullptr, 10);
    const int repeat = std::atoi(argv[3]);
    std::FILE* f = std::fopen(path, "rb");
    std::fseek(f, 0, SEEK_END);
    const std::size_t n = std::ftell(f) / (4 * sizeof(double));
    std::fseek(f, 0, SEEK_SET);
    std::vector<double> in(4 * n), out(n);
    if (std::fread(in.data(), sizeof(double), in.size(), f) != in.size()) return 1;
    std::fclose(f);
    const GeographicLib::Geodesic geod(6378137.0, 1.0 / 298.257223563);
    double best = 1e300;
    for (int r = 0; r < repeat; ++r) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> pool;
        for (std::size_t t = 0; t < threads; ++t) {
            pool.emplace_back([&, t] {
                const std::size_t begin = n * t / threads, end = n * (t + 1) / threads;
                for (std::size_t i = begin; i < end; ++i) {
                    double s12, azi1, azi2;
                    geod.Inverse(in[i], in[n + i], in[2 * n + i], in[3 * n + i], s12, azi1, azi2);
                    out[i] = s12;
                }
            });
        }
        for (auto& th : pool) th.join();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (s < best) best = s;
    }
    std::FILE* o = std::fopen(argv[4], "wb");
    std::fwrite(out.data(), sizeof(double), n, o);
    std::fclose(o);
    std::printf("%.9f\n", best);
    return 0;
}
"""


def usable_cpus():
    try:
        return len(os.sched_getaffinity(0))
    except AttributeError:
        return os.cpu_count() or 1


def points(n, seed=1):
    rng = np.random.default_rng(seed)
    return [rng.uniform(-90, 90, n), rng.uniform(-180, 180, n),
            rng.uniform(-90, 90, n), rng.uniform(-180, 180, n)]


def best_time(call, repeat):
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        call()
        best = min(best, time.perf_counter() - start)
    return best


def per_call(call, calls, repeat=5):
    """Best mean seconds per call over `calls` back-to-back calls."""
    def loop():
        for _ in range(calls):
            call()
    return best_time(loop, repeat) / calls


def plain_threads(args, threads, repeat):
    """Seconds of the C++ static split, and its results; None without a
    compiler or GeographicLib."""
    cxx = shutil.which("g++")
    if cxx is None or not os.path.exists("/usr/include/GeographicLib/Geodesic.hpp"):
        return None, None
    build = os.path.join(ROOT, "build", "bench")
    os.makedirs(build, exist_ok=True)
    source = os.path.join(build, "plain_threads.cpp")
    binary = os.path.join(build, "plain_threads")
    fresh = os.path.exists(binary) and os.path.exists(source)
    if fresh:
        with open(source) as f:
            fresh = f.read() == PLAIN_THREADS_SOURCE
    if not fresh:
        with open(source, "w") as f:
            f.write(PLAIN_THREADS_SOURCE)
        subprocess.run([cxx, "-O2", "-std=c++17", "-ffp-contract=off", "-fno-math-errno",
                        source, "-o", binary, "-lGeographicLib", "-pthread"], check=True)
    with tempfile.TemporaryDirectory() as tmp:
        inputs, outputs = os.path.join(tmp, "in.bin"), os.path.join(tmp, "out.bin")
        np.concatenate(args).tofile(inputs)
        done = subprocess.run([binary, inputs, str(threads), str(repeat), outputs],
                              check=True, capture_output=True, text=True)
        return float(done.stdout), np.fromfile(outputs, dtype=np.float64)


def haversine_numpy(lat1, lon1, lat2, lon2):
    dlon = (lon2 - lon1) * DEG
    phi1 = lat1 * DEG
    phi2 = lat2 * DEG
    s = np.sin((phi2 - phi1) * 0.5)
    t = np.sin(dlon * 0.5)
    h = s * s + (np.cos(phi1) * np.cos(phi2)) * (t * t)
    c = np.arcsin(np.sqrt(np.minimum(h, 1.0)))
    return (c + c) * EARTH_RADIUS_M


SCALING_SIZES = (1_000, 10_000, 100_000, 1_000_000)


def child(mode, n, repeat):
    """Measurements that need a process of their own."""
    if mode == "single-thread":
        args = points(n)
        distance.geodesic_distance_batch(*[a[:2] for a in args])  # pool and solver made
        print(json.dumps(best_time(lambda: distance.geodesic_distance_batch(*args), repeat)))
    elif mode == "scaling":
        times = {}
        for size in SCALING_SIZES:
            args = points(size)
            distance.geodesic_distance_batch(*args)
            calls = max(1, 100_000 // size)
            times[size] = best_time(lambda: [distance.geodesic_distance_batch(*args)
                                             for _ in range(calls)], repeat) / calls
        print(json.dumps(times))
    elif mode == "memory":
        args = points(n)
        distance.great_circle_distance_batch(*[a[:2] for a in args])  # pool and types made
        rss = lambda key: int(next(line for line in open("/proc/self/status")  # noqa: E731
                                   if line.startswith(key)).split()[1]) * 1024
        with open("/proc/self/clear_refs", "w") as f:  # resets the peak to now
            f.write("5")
        before = rss("VmRSS:")
        result = distance.great_circle_distance_batch(*args)
        print(json.dumps({"peak_extra": rss("VmHWM:") - before, "result": result.nbytes}))


def run_child(mode, n, repeat, env=None):
    done = subprocess.run([sys.executable, "-P", os.path.abspath(__file__), "--child", mode,
                           "--n", str(n), "--repeat", str(repeat)],
                          check=True, capture_output=True, text=True, env=env)
    return json.loads(done.stdout.splitlines()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--memory-n", type=int, default=10_000_000)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--child", choices=["single-thread", "scaling", "memory"])
    opts = parser.parse_args()
    if opts.child:
        child(opts.child, opts.n, opts.repeat)
        return

    n, repeat, cpus = opts.n, opts.repeat, usable_cpus()
    print(f"n = {n}, usable CPUs = {cpus}, numpy {np.__version__}")
    args = points(n)

    print("\n== geodesic distance ==")
    ours = distance.geodesic_distance_batch(*args)
    t_ours = best_time(lambda: distance.geodesic_distance_batch(*args), repeat)
    print(f"orvik geodesic_distance_batch      {t_ours * 1e3:9.1f} ms")

    t_plain, plain = plain_threads(args, cpus, repeat)
    if t_plain is None:
        print("plain C++ threads                  skipped (needs g++ and GeographicLib headers)")
    else:
        same = np.array_equal(plain.view(np.uint64), ours.view(np.uint64))
        print(f"plain C++ threads x{cpus:<3}            {t_plain * 1e3:9.1f} ms"
              f"   ours/plain = {t_ours / t_plain:.2f}  (identical results: {same})")

    env = dict(os.environ, RAYON_NUM_THREADS="1")
    t_single = run_child("single-thread", n, repeat, env)
    print(f"orvik, RAYON_NUM_THREADS=1         {t_single * 1e3:9.1f} ms"
          f"   speed-up = {t_single / t_ours:.2f}x")

    try:
        from pyproj import Geod
    except ImportError:
        print("pyproj Geod.inv                    skipped (pyproj missing)")
    else:
        geod = Geod(ellps="WGS84")
        lat1, lon1, lat2, lon2 = args
        _, _, theirs = geod.inv(lon1, lat1, lon2, lat2)
        t_pyproj = best_time(lambda: geod.inv(lon1, lat1, lon2, lat2), repeat)
        print(f"pyproj Geod.inv                    {t_pyproj * 1e3:9.1f} ms"
              f"   pyproj/ours = {t_pyproj / t_ours:.2f}x (target >= 1.8 on 2 cores)"
              f"   max |diff| = {np.max(np.abs(theirs - ours)):.2e} m")

    print("\n== geodesic parallel efficiency ==")
    pool_times = run_child("scaling", n, repeat)
    one_times = run_child("scaling", n, repeat, env)
    print(f"{'n':>9} {'1 thread':>10} {f'{cpus} threads':>10} {'efficiency':>10} {'plain C++':>10} {'pool/plain':>10}")
    for size in SCALING_SIZES:
        t_pool, t_one = pool_times[str(size)], one_times[str(size)]
        calls = max(1, 100_000 // size)
        t_plain_n, _ = plain_threads(points(size), cpus, repeat * calls)
        plain_text = f"{t_plain_n * 1e3:8.2f}ms {t_pool / t_plain_n:9.2f}x" if t_plain_n else "skipped"
        print(f"{size:>9} {t_one * 1e3:8.2f}ms {t_pool * 1e3:8.2f}ms {t_one / (cpus * t_pool):9.0%}  {plain_text}")

    print("\n== great-circle distance ==")
    gc = distance.great_circle_distance_batch(*args)
    t_gc = best_time(lambda: distance.great_circle_distance_batch(*args), repeat)
    t_np = best_time(lambda: haversine_numpy(*args), repeat)
    agree = np.max(np.abs(haversine_numpy(*args) - gc))
    print(f"orvik great_circle_distance_batch  {t_gc * 1e3:9.1f} ms")
    print(f"NumPy haversine (same formula)     {t_np * 1e3:9.1f} ms"
          f"   numpy/ours = {t_np / t_gc:.2f}x   max |diff| = {agree:.2e} m")

    print("\n== small calls ==")
    one = [a[:1] for a in args]
    scalars = [float(a[0]) for a in args]
    t_scalar = per_call(lambda: distance.great_circle_distance(*scalars), 20_000)
    t_batch1 = per_call(lambda: distance.great_circle_distance_batch(*one), 20_000)
    print(f"scalar great_circle_distance       {t_scalar * 1e6:9.2f} us")
    print(f"batch, n = 1                       {t_batch1 * 1e6:9.2f} us"
          f"   extra = {(t_batch1 - t_scalar) * 1e6:.2f} us (target <= 2)")
    for k in (2, 4, 8, 16, 32, 64):
        small = [a[:k] for a in args]
        t_k = per_call(lambda: distance.great_circle_distance_batch(*small), 5_000)
        print(f"batch, n = {k:<3}                     {t_k * 1e6:9.2f} us"
              f"   over n = 1: {(t_k - t_batch1) * 1e6:.2f} us")

    print("\n== memory ==")
    if sys.platform.startswith("linux"):
        mem = run_child("memory", opts.memory_n, 1)
        extra = mem["peak_extra"] - mem["result"]
        print(f"n = {opts.memory_n}: peak beyond inputs {mem['peak_extra'] / 2**20:.1f} MiB"
              f" = result {mem['result'] / 2**20:.1f} MiB + {extra / 2**20:.1f} MiB"
              f" (target <= 16 MiB)")
    else:
        print("skipped (reads /proc)")


if __name__ == "__main__":
    main()
