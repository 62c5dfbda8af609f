"""SIGINT, SIGTERM and SIGHUP: an exit with one line and status 128 plus the
signal's number from the moment orvik's command starts, and inside a
command's work an exception, so that it cleans up (temporary output files)
on the way out, also while orvik waits for input.

Before and after the work (parsing arguments, importing, exiting) there is
nothing to clean up, and an exception would end as a traceback: the handler
then writes its line and exits at once.  Inside the work, an exception
raised where nothing passes it on (a weak reference's callback) is raised
again, and an error that it causes (an import it interrupts) gives way to
it.

Python runs a signal's handler on the main thread between bytecodes.  A
signal that arrives on another thread (the worker pools have several), or
just before the main thread blocks in a read, leaves that read waiting for a
pipe that may never speak.  So reads from pipes first wait on the pipe and
on a wake-up pipe that the signal machinery writes to, whichever thread the
signal lands on.
"""

from __future__ import annotations

import _thread
import os
import select
import signal
import sys
import threading
from collections.abc import Iterator
from contextlib import contextmanager
from typing import Any

from orvik.cli._errors import Stopped

_SIGNALS = (signal.SIGTERM, signal.SIGHUP)
_wakeup: int | None = None  # the wake-up pipe's read end, while signals are handled


def _exit_now(signal_number: int, _frame: object) -> None:
    # os.write, not print: the handler may run in the middle of a print.
    if signal_number == signal.SIGINT:
        line = "orvik: interrupted\n"
    else:
        line = f"orvik: stopped by {signal.Signals(signal_number).name}\n"
    try:
        os.write(2, line.encode())
    except OSError:
        pass
    os._exit(128 + signal_number)


def _at_start(number: int, handler: object) -> bool:
    """Whether a signal does what it does in a new Python process (a signal
    ignored when orvik started, as under nohup, stays ignored)."""
    if handler is _exit_now:
        return True
    if number == signal.SIGINT:
        return handler is signal.default_int_handler
    return handler is signal.SIG_DFL


class QuietExits:
    """SIGINT, SIGTERM and SIGHUP write one line and end the process, from
    construction on, unless they were handled otherwise already (on the
    main thread only, the one that can handle signals)."""

    def __init__(self) -> None:
        self._previous: dict[int, Any] = {}
        if threading.current_thread() is threading.main_thread():
            for number in (signal.SIGINT, *_SIGNALS):
                handler = signal.getsignal(number)
                if _at_start(number, handler):
                    self._previous[number] = signal.signal(number, _exit_now)

    def give_back(self) -> None:
        """The signals do what they did before."""
        for number, handler in self._previous.items():
            signal.signal(number, handler)

    def ignore(self) -> None:
        """The signals are ignored: for a process whose work is done, up to
        its end (Python's own exit gives handled signals back their default
        action, ending the process by the signal, but leaves ignored ones
        ignored)."""
        for number in self._previous:
            signal.signal(number, signal.SIG_IGN)


class _Stop:
    """What the signal handler of stopped_by_signals acts on: the signal
    being acted on, if any, and whether its exception must be raised again,
    having been swallowed on its way out."""

    number: int | None = None
    again = False


def _stop(signal_number: int, _frame: object) -> None:
    if _Stop.number is None:
        _Stop.number = signal_number
    elif not _Stop.again:
        return  # a second signal must not cut the cleanup short
    _Stop.again = False
    raise _exception(_Stop.number)


def _exception(signal_number: int) -> BaseException:
    if signal_number == signal.SIGINT:
        return KeyboardInterrupt()
    return Stopped(signal_number)


def _swallowed(unraisable: Any) -> None:
    """sys.unraisablehook in the block: the signal's exception raised where
    nothing can pass it on (a weak reference's callback, a finalizer) is
    raised again once this hook has returned, instead of being printed and
    forgotten."""
    if isinstance(unraisable.exc_value, (Stopped, KeyboardInterrupt)) and _Stop.number is not None:
        _Stop.again = True
        # From another thread: here, the handler would run at once, inside
        # this hook, where its exception would be swallowed again.
        _thread.start_new_thread(_thread.interrupt_main, (signal.Signals(_Stop.number),))
    else:
        sys.__unraisablehook__(unraisable)


def _reported(kind: type[BaseException], error: BaseException, trace: Any) -> None:
    """sys.excepthook in the block: an extension that prints the signal's
    exception and raises its own error instead (NumPy interrupted while
    importing) prints nothing; the block's end raises the signal's."""
    if not (isinstance(error, (Stopped, KeyboardInterrupt)) and _Stop.number is not None):
        sys.__excepthook__(kind, error, trace)


@contextmanager
def stopped_by_signals() -> Iterator[None]:
    """SIGTERM and SIGHUP raise Stopped inside the block, and SIGINT
    KeyboardInterrupt, so that the code inside cleans up on the way out.
    Another error that it caused inside (an import it interrupted) leaves
    the block as that exception instead; a block whose work got done
    anyway ends as usual, the signal too late to matter.  A signal that was ignored when orvik started (nohup) stays
    ignored.  Only the main thread can handle signals; elsewhere the block
    runs as it is."""
    global _wakeup
    if threading.current_thread() is not threading.main_thread():
        yield
        return
    previous = {}
    for number in (signal.SIGINT, *_SIGNALS):
        if _at_start(number, signal.getsignal(number)):
            previous[number] = signal.signal(number, _stop)
    hooks = sys.unraisablehook, sys.excepthook
    sys.unraisablehook, sys.excepthook = _swallowed, _reported
    read_end, write_end = os.pipe()
    os.set_blocking(read_end, False)
    os.set_blocking(write_end, False)
    old_wakeup = signal.set_wakeup_fd(write_end, warn_on_full_buffer=False)
    _wakeup = read_end
    try:
        try:
            yield
        except (Stopped, KeyboardInterrupt):
            raise
        except BaseException:
            if _Stop.number is not None:
                raise _exception(_Stop.number) from None
            raise
    finally:
        _wakeup = None
        signal.set_wakeup_fd(old_wakeup)
        os.close(read_end)
        os.close(write_end)
        for number, handler in previous.items():
            signal.signal(number, handler)
        sys.unraisablehook, sys.excepthook = hooks
        _Stop.number, _Stop.again = None, False


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
