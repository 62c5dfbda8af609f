"""SIGTERM and SIGHUP, turned into an exception so that they clean up
(temporary output files) as Ctrl-C does, also while orvik waits for input.

Python runs a signal's handler on the main thread between bytecodes.  A
signal that arrives on another thread (the worker pools have several), or
just before the main thread blocks in a read, leaves that read waiting for a
pipe that may never speak.  So reads from pipes first wait on the pipe and
on a wake-up pipe that the signal machinery writes to, whichever thread the
signal lands on.
"""

from __future__ import annotations

import os
import select
import signal
import threading
from collections.abc import Iterator
from contextlib import contextmanager

from orvik.cli._errors import Stopped

_SIGNALS = (signal.SIGTERM, signal.SIGHUP)
_wakeup: int | None = None  # the wake-up pipe's read end, while signals are handled


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
    global _wakeup
    if threading.current_thread() is not threading.main_thread():
        yield
        return
    previous = {}
    for number in _SIGNALS:
        if signal.getsignal(number) is signal.SIG_DFL:
            previous[number] = signal.signal(number, _stop)
    read_end, write_end = os.pipe()
    os.set_blocking(read_end, False)
    os.set_blocking(write_end, False)
    old_wakeup = signal.set_wakeup_fd(write_end, warn_on_full_buffer=False)
    _wakeup = read_end
    try:
        yield
    finally:
        _wakeup = None
        signal.set_wakeup_fd(old_wakeup)
        os.close(read_end)
        os.close(write_end)
        for number, handler in previous.items():
            signal.signal(number, handler)


def wait_readable(fd: int) -> None:
    """Waits until `fd` has data or has ended.  A signal meanwhile has its
    handler run (Stopped, KeyboardInterrupt) rather than waiting for data."""
    if _wakeup is None or threading.current_thread() is not threading.main_thread():
        return
    poller = select.poll()
    poller.register(fd, select.POLLIN)
    poller.register(_wakeup, select.POLLIN)
    while True:
        if any(ready == fd for ready, _events in poller.poll()):
            return
        # Only the wake-up pipe: empty it and go round, which runs the
        # signal's handler; one that does not raise means wait on.
        os.read(_wakeup, 4096)
