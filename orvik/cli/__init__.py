"""The orvik command line.

    orvik                      the main job: geodesic against great-circle
                               distances between major airports
    orvik distance ...         one distance
    orvik destination ...      one destination
    orvik inverse ...          the WGS84 inverse problem, every field
    orvik batch INPUT ...      distances (and azimuths) for every row of a CSV or
                               Parquet file
    orvik line ...             points along a geodesic, as CSV
    orvik nearest QUERIES ...  the nearest places of --points to every row
    orvik area INPUT ...       geodesic area and length of every feature of a
                               GeoJSON or GeoParquet file

Every failure gives a one-line message on standard error and a non-zero exit
status (2 for bad arguments, 1 for bad data, files or resources, 128 plus the
signal's number when stopped by a signal), never a traceback.
"""

from __future__ import annotations

import argparse
import os
import signal
import sys
import warnings
from collections.abc import Sequence
from typing import Any, NoReturn

from orvik import __version__
from orvik.cli import _area, _batch, _compare, _line, _nearest, _points
from orvik.cli._errors import CliError, Stopped, UsageError, describe
from orvik.cli._signals import stopped_by_signals
from orvik.cli._values import NEGATIVE_NUMBER


class _Parser(argparse.ArgumentParser):
    """Reports a usage error as one line, pointing at its own --help, and
    takes every negative number (-1e-3 too) for a value, not an option."""

    def __init__(self, *args: Any, **kwargs: Any) -> None:
        super().__init__(*args, **kwargs)
        self._negative_number_matcher = NEGATIVE_NUMBER

    def error(self, message: str) -> NoReturn:
        self.exit(2, f"{self.prog}: error: {message} (see '{self.prog} --help')\n")


class _CommandParser(_Parser):
    """A command's parser rejects arguments it does not know itself, so that
    the error points at the command's --help rather than orvik's."""

    def parse_known_args(  # type: ignore[override]
        self, args: Sequence[str] | None = None, namespace: argparse.Namespace | None = None
    ) -> tuple[argparse.Namespace, list[str]]:
        parsed, extras = super().parse_known_args(args, namespace)
        if extras:
            self.error(f"unrecognized arguments: {' '.join(extras)}")
        return parsed, extras


def build_parser() -> argparse.ArgumentParser:
    parser = _Parser(
        prog="orvik",
        description="Fast, exact geodesy: great-circle and WGS84 geodesic distances. "
        "Without a command, compares the two models on every pair of major airports.",
    )
    parser.add_argument("--version", action="version", version=f"orvik {__version__}")
    _compare.add_arguments(parser)
    commands = parser.add_subparsers(metavar="COMMAND", parser_class=_CommandParser)
    _points.add_commands(commands)
    _batch.add_command(commands)
    _line.add_command(commands)
    _nearest.add_command(commands)
    _area.add_command(commands)
    for command in commands.choices.values():
        command.set_defaults(prog=command.prog)
    parser.set_defaults(run=_compare.run, prog=parser.prog)
    return parser


def main(argv: Sequence[str] | None = None) -> int:
    args = build_parser().parse_args(argv)
    try:
        with stopped_by_signals(), warnings.catch_warnings():
            warnings.showwarning = _show_warning
            if sys.stdout is None and _writes_stdout(args):
                raise CliError("standard output is closed")
            status = int(args.run(args))
            if sys.stdout is not None:
                _flush_stdout()
            return status
    except UsageError as error:
        print(f"{args.prog}: error: {error} (see '{args.prog} --help')", file=sys.stderr)
        return error.exit_status
    except CliError as error:
        print(f"orvik: error: {error}", file=sys.stderr)
        return error.exit_status
    except MemoryError:
        print("orvik: error: out of memory", file=sys.stderr)
        return 1
    except KeyboardInterrupt:
        print("orvik: interrupted", file=sys.stderr)
        return 130
    except Stopped as stop:
        print(f"orvik: stopped by {signal.Signals(stop.signal_number).name}", file=sys.stderr)
        return 128 + stop.signal_number
    except BrokenPipeError:
        # The reader went away (orvik ... | head): not an error of ours.
        _silence_stdout()
        return 0


def _show_warning(
    message: Warning | str, category: type[Warning], *_where: Any, **_more: Any
) -> None:
    # A warning from a library is news for the user, in one line like every
    # other message, not a source location.
    text = str(message).removeprefix("orvik: ")
    print(f"orvik: warning: {text}", file=sys.stderr)


def _writes_stdout(args: argparse.Namespace) -> bool:
    return bool(getattr(args, "output", "-") == "-")


def _flush_stdout() -> None:
    """Flushes what was printed, so that a failure to write it (a full disk)
    is reported here rather than ignored at exit."""
    try:
        sys.stdout.flush()
    except BrokenPipeError:
        raise
    except OSError as error:
        _silence_stdout()
        raise CliError(f"standard output: {describe(error)}") from None


def _silence_stdout() -> None:
    # Point stdout at /dev/null so that the interpreter's final flush of
    # what could not be written is quiet.
    devnull = os.open(os.devnull, os.O_WRONLY)
    os.dup2(devnull, sys.stdout.fileno())
    os.close(devnull)
