"""Failures the command line reports as one line, without a traceback."""

from __future__ import annotations


class CliError(Exception):
    """A failure to report as 'orvik: error: MESSAGE' with exit status 1."""

    exit_status = 1


def missing_extra(module: str, extra: str, error: ImportError | None = None) -> CliError:
    """The failure for a module that is missing (or present but unusable)."""
    reason = f" ({error})" if error is not None and not isinstance(error, ModuleNotFoundError) else ""
    return CliError(f"this command needs {module}{reason}: pip install 'orvik[{extra}]'")
