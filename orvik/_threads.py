"""How many threads the package's array functions use.

The worker pool is sized once, when it starts (RAYON_NUM_THREADS, else the
CPUs this process may use).  These limits cap how many of its workers one
call uses, without rebuilding it: set_num_threads for the whole process,
num_threads(n) for the calls of the current thread only (so Dask's worker
threads, each in its own block, do not race).  The native module
orvik._orvik ignores them: its pool follows the environment alone.
"""

from __future__ import annotations

import operator
from collections.abc import Iterator
from contextlib import AbstractContextManager, contextmanager

from orvik import _engine


def _checked(n: int, function: str) -> int:
    """A number of threads: an int (NumPy's too, never a bool) of at least 1;
    one larger than the pool means every worker."""
    if isinstance(n, bool):
        raise TypeError(f"{function}() argument 'n' must be an int, not bool")
    try:
        n = operator.index(n)
    except TypeError:
        raise TypeError(f"{function}() argument 'n' must be an int, not {type(n).__name__}") from None
    if n < 1:
        raise ValueError(f"{function}() argument 'n' must be at least 1, not {n!r}")
    return n


def get_num_threads() -> int:
    """The most threads an array call made now from this thread will use."""
    limit: int = _engine.thread_limit()
    size: int = _engine.pool_size()
    return size if limit == 0 else min(limit, size)


def get_process_num_threads() -> int:
    """The most threads an array call will use under the process-wide limit
    (what threadpoolctl reads and restores)."""
    limit: int = _engine.process_thread_limit()
    size: int = _engine.pool_size()
    return size if limit == 0 else min(limit, size)


def set_num_threads(n: int) -> None:
    """Limits every array call of the process to n threads (the calling
    thread's own num_threads blocks excepted)."""
    _engine.set_process_thread_limit(_checked(n, "set_num_threads"))


def num_threads(n: int) -> AbstractContextManager[None]:
    """Within the block, array calls made from this thread use at most n
    threads; the previous limit comes back on exit, exceptions included."""
    return _limited(_checked(n, "num_threads"))


@contextmanager
def _limited(n: int) -> Iterator[None]:
    previous = _engine.set_thread_limit(n)
    try:
        yield
    finally:
        _engine.set_thread_limit(previous)
