"""Many threads, and child processes made by fork, spawn and forkserver,
calling the scalar and array functions at once: the same results as one
thread, no deadlock, also when a process forks while its other threads keep
the worker pool busy."""

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
from process_probes import UNDER_ADDRESS_SANITIZER

import call_samples
from function_table import same_result

THREADS = 6
THREAD_SECONDS = float(os.environ.get("ORVIK_THREAD_SECONDS", "2"))
PROCESSES = 2
FORKS = 8  # children forked one after another while the load runs
LOAD_THREADS = 2


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
    # Native batch calls keep the interpreter lock; the package's give it
    # back while the pool works, so several callers hand it jobs at once.
    calls += call_samples.array_calls()
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
    calls = call_samples.sample_calls() + call_samples.array_calls()
    expected = call_samples.evaluate(calls)  # the parent has used the module, and its pool, before forking
    chunks = [calls[i::PROCESSES * 2] for i in range(PROCESSES * 2)]
    context = multiprocessing.get_context(method)
    with context.Pool(PROCESSES) as pool:
        results = pool.map_async(call_samples.evaluate, chunks).get(timeout=240)
    for i, got in enumerate(results):
        assert _same_outcomes(got, expected[i :: PROCESSES * 2]), f"chunk {i} differs under {method}"


def _wait_or_kill(pid: int, seconds: float) -> int | None:
    """The child's exit status, or None (and the child killed) when it has
    not finished in time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            return os.waitstatus_to_exitcode(status)
        time.sleep(0.01)
    os.kill(pid, 9)
    os.waitpid(pid, 0)
    return None


def _forked_children_agree(calls, expected) -> list[str]:
    problems = []
    for i in range(FORKS):
        pid = os.fork()
        if pid == 0:  # the child: never returns into the test session
            code = 3
            try:
                code = 0 if _same_outcomes(call_samples.evaluate(calls), expected) else 1
            finally:
                os._exit(code)
        status = _wait_or_kill(pid, 60)
        if status != 0:
            problems.append(f"child {i}: {'hung' if status is None else f'exit status {status}'}")
    return problems


def _pool_children_agree(method: str, calls, expected) -> list[str]:
    with multiprocessing.get_context(method).Pool(PROCESSES) as pool:
        results = pool.map_async(call_samples.evaluate, [calls] * (PROCESSES * 2)).get(timeout=120)
    return [f"{method} child {i} differs" for i, got in enumerate(results) if not _same_outcomes(got, expected)]


@pytest.mark.timeout(300)
@pytest.mark.filterwarnings("ignore:This process .* is multi-threaded:DeprecationWarning")
@pytest.mark.parametrize("start", ["os.fork", "fork", "spawn"])
def test_children_started_while_threads_run_batches(start):
    """Children are made while other threads of the parent have batch jobs on
    the worker pool (package calls, which run without the interpreter lock)
    and must get the parent's results from a pool of their own."""
    if start != "spawn" and UNDER_ADDRESS_SANITIZER:
        pytest.skip("AddressSanitizer's allocator can be inherited locked by a forked child")
    calls = call_samples.array_calls(size=1000)
    expected = call_samples.evaluate(calls)
    load = [c for c in call_samples.array_calls(size=20_000) if c[0].startswith("orvik.")]
    load_expected = call_samples.evaluate(load)
    stop = threading.Event()
    problems: list[str] = []
    rounds = [0] * LOAD_THREADS

    def keep_pool_busy(index: int) -> None:
        try:
            while not stop.is_set():
                if not _same_outcomes(call_samples.evaluate(load), load_expected):
                    problems.append(f"load thread {index} got other results")
                rounds[index] += 1
        except BaseException as exc:  # noqa: BLE001 - reported by the main thread
            problems.append(f"load thread {index} raised {exc!r}")

    threads = [threading.Thread(target=keep_pool_busy, args=(i,), daemon=True) for i in range(LOAD_THREADS)]
    for t in threads:
        t.start()
    try:
        while min(rounds) == 0 and not problems:  # every load thread is under way
            time.sleep(0.01)
        if start == "os.fork":
            problems += _forked_children_agree(calls, expected)
        else:
            problems += _pool_children_agree(start, calls, expected)
    finally:
        stop.set()
        for t in threads:
            t.join(timeout=60)
    assert not any(t.is_alive() for t in threads), "a load thread never finished"
    assert not problems


DAEMON_AT_EXIT = """
import os, sys, threading, time
import numpy as np
from orvik import distance
n = 1_000_000
x = np.linspace(-60.0, 60.0, n)
entered = threading.Event()

def compute():
    entered.set()
    # A package batch call, which waits for the pool without the lock.
    distance.geodesic_distance_batch(x, x, 10.0, 20.0)
    print("returned into Python", flush=True)

def busy():
    times = os.times()
    return times.user + times.system

class HoldFinalization:
    # The interpreter flushes sys.stdout once it is finalizing; this stream
    # waits there until the pool has finished (the process stops using CPU
    # time), so that the daemon asks for the lock back during finalization.
    def __init__(self, stream):
        self.stream = stream
    def write(self, text):
        return self.stream.write(text)
    def flush(self, sleep=time.sleep, busy=busy, finalizing=sys.is_finalizing):
        if finalizing():
            before = busy()
            sleep(0.3)
            while busy() - before > 0.05:
                before = busy()
                sleep(0.3)
        self.stream.flush()

sys.stdout = HoldFinalization(sys.stdout)
threading.Thread(target=compute, daemon=True).start()
entered.wait()
print("main exits")
"""


@pytest.mark.timeout(120)
def test_exit_while_a_daemon_thread_is_inside_a_batch_call():
    """The interpreter finalizes while a daemon thread waits for the pool
    without the interpreter lock.  When the call is done the thread cannot
    get the lock back, and the process must still exit normally."""
    env = {**os.environ, "RAYON_NUM_THREADS": "2"}  # the call outlasts the start of finalization
    done = subprocess.run(
        [sys.executable, "-P", "-c", DAEMON_AT_EXIT], capture_output=True, text=True, timeout=100, env=env
    )
    assert done.returncode == 0, done.stderr
    assert done.stdout == "main exits\n" and done.stderr == ""
