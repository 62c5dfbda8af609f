"""SIGTERM and SIGHUP, turned into an exception so that they clean up
(temporary output files) as Ctrl-C does."""

from __future__ import annotations

import signal
import threading
from collections.abc import Iterator
from contextlib import contextmanager

from orvik.cli._errors import Stopped

_SIGNALS = (signal.SIGTERM, signal.SIGHUP)


def _stop(signal_number: int, _frame: object) -> None:
    # A second signal during the cleanup must not cut it short.
    for number in _SIGNALS:
        if signal.getsignal(number) is _stop:
            signal.signal(number, signal.SIG_IGN)
    raise Stopped(signal_number)


@contextmanager
def stopped_by_signals() -> Iterator[None]:
    """SIGTERM and SIGHUP raise Stopped inside the block.  A signal that was
    ignored when orvik started (nohup) stays ignored.  Only the main thread
    can handle signals; elsewhere the block runs as it is."""
    if threading.current_thread() is not threading.main_thread():
        yield
        return
    previous = {}
    for number in _SIGNALS:
        if signal.getsignal(number) is signal.SIG_DFL:
            previous[number] = signal.signal(number, _stop)
    try:
        yield
    finally:
        for number, handler in previous.items():
            signal.signal(number, handler)
