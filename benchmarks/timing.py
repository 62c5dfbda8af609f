"""How the benchmarks time a call, shared so that every ratio they print is
measured the same way."""

from __future__ import annotations

import time
from collections.abc import Callable


def best_of(repeat: int, *calls: Callable[[], object]) -> list[tuple[float, float]]:
    """(wall, CPU) seconds of each call's fastest round over `repeat` rounds,
    the calls taking turns within each round, so that a busy spell on a
    shared machine slows both sides rather than one.  CPU time counts every
    thread of the process: over wall time, it is the number of cores the
    call had."""
    for call in calls:
        call()  # warm-up: first-use costs (imports, the pool's threads) are not the call's
    best = [(float("inf"), 0.0)] * len(calls)
    for _ in range(repeat):
        for k, call in enumerate(calls):
            start, cpu = time.perf_counter(), time.process_time()
            call()
            wall, cpu = time.perf_counter() - start, time.process_time() - cpu
            best[k] = min(best[k], (wall, cpu))
    return best


def best_time(fn: Callable[[], object], min_time: float, repeat: int) -> float:
    """Best wall time of one call of fn, over `repeat` rounds of >= min_time
    each: calls too quick to time alone are timed in runs."""
    fn()  # warm up (pools, caches, lazy imports)
    number = 1
    while True:
        t0 = time.perf_counter()
        for _ in range(number):
            fn()
        elapsed = time.perf_counter() - t0
        if elapsed >= min_time or number >= 1 << 20:
            break
        number *= 2
    best = elapsed / number
    for _ in range(repeat - 1):
        t0 = time.perf_counter()
        for _ in range(number):
            fn()
        best = min(best, (time.perf_counter() - t0) / number)
    return best
