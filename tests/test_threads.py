"""How many threads a package array call uses: the process-wide limit, the
per-thread context manager, and threadpoolctl, seen in the CPU time of the
pool's own threads."""

from __future__ import annotations

import os
import subprocess
import sys
import textwrap
import threading

import pytest

import orvik
from orvik import _engine


@pytest.fixture(autouse=True)
def no_limit_left_behind():
    yield
    _engine.set_process_thread_limit(0)
    _engine.set_thread_limit(None)


def test_limits_nest_and_stay_on_their_thread():
    full = orvik.get_num_threads()
    orvik.set_num_threads(1)
    assert orvik.get_num_threads() == 1
    seen = {}
    with orvik.num_threads(2):
        assert orvik.get_num_threads() == min(2, full)
        other = threading.Thread(target=lambda: seen.setdefault("other", orvik.get_num_threads()))
        other.start()
        other.join()
        with pytest.raises(ZeroDivisionError), orvik.num_threads(1):
            assert orvik.get_num_threads() == 1
            1 / 0
        assert orvik.get_num_threads() == min(2, full)
    assert orvik.get_num_threads() == 1 and seen["other"] == 1


@pytest.mark.parametrize("bad", [0, -1, 1.5, True, "2"])
@pytest.mark.parametrize("setter", [orvik.set_num_threads, orvik.num_threads])
def test_limits_are_whole_positive_numbers(setter, bad):
    with pytest.raises(TypeError if not isinstance(bad, int) or isinstance(bad, bool) else ValueError):
        setter(bad)


# Each worker's CPU time before and after a call, from /proc.
CPU_OF_WORKERS = """
import os, threading
import numpy as np
import orvik
from orvik import distance

def cpu_by_thread():
    ticks = {}
    for tid in os.listdir("/proc/self/task"):
        fields = open(f"/proc/self/task/{tid}/stat").read().rsplit(")", 1)[1].split()
        ticks[tid] = int(fields[11]) + int(fields[12])
    return ticks

x = np.linspace(-80.0, 80.0, 400_000)
distance.geodesic_distance_batch(x[:10_000], 1.0, 2.0, 3.0)  # starts the pool
main = str(threading.get_native_id())
before = cpu_by_thread()
with orvik.num_threads(LIMIT):
    distance.geodesic_distance_batch(x, 1.0, 2.0, 3.0)
after = cpu_by_thread()
others = [after[t] - before[t] for t in after if t != main and t in before]
# A thread computing a share takes tens of clock ticks; an idle one may
# catch a stray tick.
busy = [ticks for ticks in others if ticks > 2]
print(len(busy), after[main] - before[main], sum(others))
"""


@pytest.mark.skipif(not os.path.exists("/proc/self/task"), reason="needs /proc")
@pytest.mark.parametrize(("limit", "busy_workers", "caller_works"), [(1, {0}, True), (2, {1, 2}, False)])
def test_the_limit_decides_which_threads_compute(limit, busy_workers, caller_works):
    code = CPU_OF_WORKERS.replace("LIMIT", str(limit))
    # NumPy's BLAS keeps its own threads spinning for a while after import:
    # one thread for it, so that every other thread is the pool's.
    env = {**os.environ, "RAYON_NUM_THREADS": "2", "OPENBLAS_NUM_THREADS": "1", "OMP_NUM_THREADS": "1"}
    done = subprocess.run([sys.executable, "-P", "-c", code], capture_output=True, text=True, env=env)
    busy, caller, workers = map(int, done.stdout.split())
    # One thread: the caller computes and the workers sleep.  Two: the
    # workers compute while the caller waits (on a busy machine one worker
    # may take every piece before the other wakes).  The idle side may still
    # catch a clock tick (reading the arguments, a worker settling after the
    # call before), so the two sides' CPU times are compared, not zero.
    if caller_works:
        assert workers * 4 <= caller, (caller, workers)
    else:
        assert busy in busy_workers and caller * 4 <= workers, (busy, caller, workers)


def test_threadpoolctl_limits_orvik_too():
    threadpoolctl = pytest.importorskip("threadpoolctl")
    if not hasattr(threadpoolctl, "register"):
        pytest.skip("threadpoolctl too old to take other libraries")
    code = textwrap.dedent(
        """
        import orvik
        from threadpoolctl import threadpool_info, threadpool_limits
        assert [i["internal_api"] for i in threadpool_info() if i["user_api"] == "orvik"] == ["orvik"]
        with threadpool_limits(1):
            inside = orvik.get_num_threads()
        print(inside, orvik.get_num_threads())
        """
    )
    env = {**os.environ, "RAYON_NUM_THREADS": "2"}
    done = subprocess.run([sys.executable, "-P", "-c", code], capture_output=True, text=True, env=env)
    assert done.stdout.split() == ["1", "2"], done.stderr
