"""Failures the command line reports as one line, without a traceback."""

from __future__ import annotations


class CliError(Exception):
    """A failure to report as 'orvik: error: MESSAGE' with exit status 1."""

    exit_status = 1


def missing_extra(module: str, extra: str) -> CliError:
    return CliError(f"this command needs {module}: pip install 'orvik[{extra}]'")
