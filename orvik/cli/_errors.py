"""Failures the command line reports as one line, without a traceback."""

from __future__ import annotations

from collections.abc import Iterator
from contextlib import contextmanager


class CliError(Exception):
    """A failure to report as 'orvik: error: MESSAGE' with exit status 1."""

    exit_status = 1


class UsageError(CliError):
    """Arguments that cannot work together: reported like argparse's own
    errors, pointing at the command's --help, with exit status 2."""

    exit_status = 2


class Stopped(BaseException):
    """A termination signal arrived.  Raised from the signal handler so that
    cleanup (removing temporary files) runs as it does for Ctrl-C; derives
    from BaseException for the same reason KeyboardInterrupt does."""

    def __init__(self, signal_number: int) -> None:
        super().__init__(signal_number)
        self.signal_number = signal_number


def missing_extra(module: str, extra: str, error: ImportError | None = None) -> CliError:
    """The failure for a module that is missing (or present but unusable)."""
    reason = (
        f" ({describe(error)})"
        if error is not None and not isinstance(error, ModuleNotFoundError)
        else ""
    )
    return CliError(f"this command needs {module}{reason}: pip install 'orvik[{extra}]'")


def needs_numpy(_args: object = None) -> None:
    """Imports NumPy, for a command that computes over arrays: see
    orvik.cli._batch.prepare for why before the command runs."""
    try:
        import numpy  # noqa: F401
    except ImportError as error:
        raise missing_extra("NumPy", "cli", error) from None


def describe(error: BaseException) -> str:
    """An exception as one short line: the OS's words for OS errors, else the
    last line of its message."""
    if isinstance(error, OSError) and error.strerror:
        return error.strerror
    lines = str(error).strip().splitlines()
    return lines[-1].strip() if lines else type(error).__name__


@contextmanager
def reading(label: str) -> Iterator[None]:
    """Reports the ways an input cannot be opened at all as one line naming
    it; other failures pass, for the reader to describe in its own terms."""
    try:
        yield
    except FileNotFoundError:
        raise CliError(f"{label}: no such file") from None
    except IsADirectoryError:
        raise CliError(f"{label}: is a directory") from None
    except PermissionError:
        raise CliError(f"{label}: permission denied") from None


@contextmanager
def computing(what: str) -> Iterator[None]:
    """Reports a failure inside the compiled package (a worker pool that
    cannot start, say) as one line.  Such failures may derive from
    BaseException, so everything but interruptions and MemoryError (which
    has its own message) is caught here, around package calls only."""
    try:
        yield
    except (KeyboardInterrupt, SystemExit, GeneratorExit, Stopped, MemoryError, CliError):
        raise
    except BaseException as error:
        raise CliError(f"{what} failed: {describe(error)}") from None
