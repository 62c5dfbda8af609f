"""Signals at any moment of a command's life, from its first line of code
to its exit: one line and 128 plus the signal's number, or, for a signal
that came too late to matter, the command's own result.  (Python's own
start-up comes before the command's code, and so, for now, does the import
of the package.)"""

import os
import signal
import subprocess
import sys
import time
import weakref

import pytest
from cli_support import PAIRS_CSV, SCRIPT, files_in

from orvik.cli._errors import Stopped
from orvik.cli._signals import stopped_by_signals

COMMANDS = {
    "distance": ["distance", 1, 2, 3, 4],
    "batch": ["batch", "in.csv", "-o", "out.csv"],
}
DELAYS_MS = [0, 1, 2, 4, 8, 15, 25, 40, 60, 90]
HANDLED = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)

needs_proc = pytest.mark.skipif(not os.path.exists("/proc/self/status"), reason="needs /proc")


def handles_sighup(pid):
    """Whether the process catches SIGHUP, which the command's first lines
    set it to do, as Python's own start-up does not."""
    try:
        with open(f"/proc/{pid}/status") as status:
            caught = next(line for line in status if line.startswith("SigCgt:"))
    except (OSError, StopIteration):
        return False
    return bool(int(caught.split()[1], 16) >> (signal.SIGHUP - 1) & 1)


def signalled(tmp_path, args, number, delay):
    """Runs the command and sends it the signal `delay` milliseconds after
    its code has started (after Python's and the package's start-up)."""
    process = subprocess.Popen(
        [str(SCRIPT), *map(str, args)], cwd=tmp_path, stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
        # As from a shell: the test runner itself may ignore SIGHUP (nohup).
        preexec_fn=lambda: [signal.signal(n, signal.SIG_DFL) for n in HANDLED],
    )  # fmt: skip
    try:
        while not handles_sighup(process.pid) and process.poll() is None:
            time.sleep(0.0002)
        time.sleep(delay / 1000)
        process.send_signal(number)
        out, errors = process.communicate(timeout=60)
    finally:
        process.kill()
    return process.returncode, out.decode(), errors.decode()


@needs_proc
@pytest.mark.parametrize("number", [signal.SIGINT, signal.SIGTERM, signal.SIGHUP])
@pytest.mark.parametrize("command", COMMANDS)
def test_a_signal_at_any_moment_is_one_line_or_too_late(tmp_path, command, number):
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    finished = stopped = 0
    for delay in DELAYS_MS:
        status, out, errors = signalled(tmp_path, COMMANDS[command], number, delay)
        assert "Traceback" not in errors and len(errors.splitlines()) <= 1, (delay, errors)
        assert not [name for name in files_in(tmp_path) if name.endswith(".part")], delay
        if status == 0:
            finished += 1
            assert out or errors.startswith("orvik: wrote"), (delay, errors)
        else:
            stopped += 1
            assert status == 128 + number, (delay, status, errors)
            expected = "interrupted" if number == signal.SIGINT else number.name
            assert expected in errors, (delay, errors)
        (tmp_path / "out.csv").unlink(missing_ok=True)
    # The command's code takes tens of milliseconds, so the signals hit it.
    assert stopped, f"every command finished first ({finished})"


class Thing:
    pass


def test_a_stop_swallowed_by_a_callback_is_raised_again(capfd):
    # Inside a weak reference's callback the exception would be printed and
    # forgotten, and the run would go on.
    def stop(_ref):
        signal.raise_signal(signal.SIGTERM)

    thing = Thing()
    ref = weakref.ref(thing, stop)  # noqa: F841
    with pytest.raises(Stopped), stopped_by_signals():
        del thing
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            time.sleep(0.001)
    assert capfd.readouterr().err == ""


def test_an_error_caused_by_a_stop_leaves_as_the_stop(capfd):
    # As NumPy's import does: it prints the exception, then raises its own.
    with pytest.raises(KeyboardInterrupt), stopped_by_signals():
        try:
            signal.raise_signal(signal.SIGINT)
        except KeyboardInterrupt as interrupted:
            sys.excepthook(type(interrupted), interrupted, interrupted.__traceback__)
            raise ImportError("numpy._core.multiarray failed to import") from None
    assert capfd.readouterr().err == ""
