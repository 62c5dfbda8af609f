"""Many threads, and child processes made by fork, spawn and forkserver,
calling the module at once: the same results as one thread, no deadlock."""

from __future__ import annotations

import multiprocessing
import os
import random
import subprocess
import sys
import textwrap
import threading
import time

import pytest

import call_samples
from function_table import same_result

THREADS = 6
THREAD_SECONDS = float(os.environ.get("ORVIK_THREAD_SECONDS", "2"))
PROCESSES = 2


class YieldingFloat:
    """Converts to a float only after giving other threads a turn, so that
    calls interleave in the middle of argument conversion."""

    def __init__(self, value: float):
        self.value = value

    def __float__(self):
        time.sleep(0)
        return self.value


class YieldingFailure:
    def __float__(self):
        time.sleep(0)
        raise ValueError("refused after a switch")


def _same_outcomes(got: list, want: list) -> bool:
    return len(got) == len(want) and all(same_result(g, w) for g, w in zip(got, want))


@pytest.fixture
def frequent_switches():
    before = sys.getswitchinterval()
    sys.setswitchinterval(1e-6)
    yield
    sys.setswitchinterval(before)


@pytest.mark.timeout(120)
def test_threads_get_the_single_thread_results(frequent_switches):
    calls = call_samples.sample_calls()
    # Every fifth call converts through Python code that yields the lock, and
    # some of those fail there; the rest are plain floats.
    for i in range(0, len(calls), 5):
        name, args = calls[i]
        hooked = YieldingFailure() if i % 15 == 0 else YieldingFloat(args[-1])
        calls[i] = (name, (*args[:-1], hooked))
    expected = call_samples.evaluate(calls)
    assert any(isinstance(r, tuple) and r[:1] == ("raised",) for r in expected)

    mismatches: list[str] = []
    rounds = [0] * THREADS
    start = threading.Barrier(THREADS)
    deadline = time.monotonic() + THREAD_SECONDS

    def worker(index: int) -> None:
        order = list(range(len(calls)))
        random.Random(index).shuffle(order)
        shuffled = [calls[i] for i in order]
        want = [expected[i] for i in order]
        start.wait()
        try:
            while time.monotonic() < deadline:
                if not _same_outcomes(call_samples.evaluate(shuffled), want):
                    mismatches.append(f"thread {index}, round {rounds[index]}")
                rounds[index] += 1
        except BaseException as exc:  # noqa: BLE001 - reported by the main thread
            mismatches.append(f"thread {index} raised {exc!r}")

    threads = [threading.Thread(target=worker, args=(i,), daemon=True) for i in range(THREADS)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=THREAD_SECONDS + 60)
    assert not any(t.is_alive() for t in threads), "a calling thread never finished"
    assert not mismatches
    assert min(rounds) >= 1


@pytest.mark.timeout(120)
def test_fresh_process_first_use_from_many_threads():
    """Import and first use (the lazily built WGS84 solver) race from many
    threads of a new process."""
    script = textwrap.dedent(
        f"""
        import sys, threading
        sys.setswitchinterval(1e-6)
        barrier = threading.Barrier({THREADS})
        results = []
        def first_use():
            barrier.wait()
            from orvik._orvik import distance, geodesic
            results.append((distance.geodesic_distance(10, 20, 30, 40), geodesic.inverse(1, 2, 3, 4)["s12"],
                            distance.great_circle_distance(10, 20, 30, 40)))
        threads = [threading.Thread(target=first_use) for _ in range({THREADS})]
        for t in threads: t.start()
        for t in threads: t.join()
        assert len(results) == {THREADS} and len(set(results)) == 1, results
        print("ok", results[0])
        """
    )
    done = subprocess.run([sys.executable, "-P", "-c", script], capture_output=True, text=True, timeout=100)
    assert done.returncode == 0, done.stderr
    from orvik._orvik import distance, geodesic

    want = (distance.geodesic_distance(10, 20, 30, 40), geodesic.inverse(1, 2, 3, 4)["s12"],
            distance.great_circle_distance(10, 20, 30, 40))
    assert done.stdout.strip() == f"ok {want}"


@pytest.mark.timeout(300)
@pytest.mark.parametrize("method", ["fork", "spawn", "forkserver"])
def test_child_processes_get_the_parent_results(method):
    calls = call_samples.sample_calls()
    expected = call_samples.evaluate(calls)  # the parent has used the module before forking
    chunks = [calls[i::PROCESSES * 2] for i in range(PROCESSES * 2)]
    context = multiprocessing.get_context(method)
    with context.Pool(PROCESSES) as pool:
        results = pool.map_async(call_samples.evaluate, chunks).get(timeout=240)
    for i, got in enumerate(results):
        assert _same_outcomes(got, expected[i :: PROCESSES * 2]), f"chunk {i} differs under {method}"
