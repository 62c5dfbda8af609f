"""The orvik command line.

    orvik                      the main job: geodesic against great-circle
                               distances between major airports
    orvik distance ...         one distance
    orvik destination ...      one destination
    orvik inverse ...          the WGS84 inverse problem, every field
    orvik batch INPUT ...      distances for every row of a CSV or Parquet file

Bad input gives a one-line message on standard error and a non-zero exit
status (2 for bad arguments, 1 for bad data or files), never a traceback.
"""

from __future__ import annotations

import argparse
import os
import sys
from collections.abc import Sequence
from typing import NoReturn

from orvik import __version__
from orvik.cli import _batch, _compare, _nearest, _points
from orvik.cli._errors import CliError


class _Parser(argparse.ArgumentParser):
    """Reports a usage error as one line, pointing at --help."""

    def error(self, message: str) -> NoReturn:
        self.exit(2, f"{self.prog}: error: {message} (see '{self.prog} --help')\n")


def build_parser() -> argparse.ArgumentParser:
    parser = _Parser(
        prog="orvik",
        description="Fast, exact geodesy: great-circle and WGS84 geodesic distances. "
        "Without a command, compares the two models on every pair of major airports.",
    )
    parser.add_argument("--version", action="version", version=f"orvik {__version__}")
    _compare.add_arguments(parser)
    commands = parser.add_subparsers(metavar="COMMAND", parser_class=_Parser)
    _points.add_commands(commands)
    _batch.add_command(commands)
    _nearest.add_command(commands)
    parser.set_defaults(run=_compare.run)
    return parser


def main(argv: Sequence[str] | None = None) -> int:
    args = build_parser().parse_args(argv)
    try:
        return int(args.run(args))
    except CliError as error:
        print(f"orvik: error: {error}", file=sys.stderr)
        return error.exit_status
    except KeyboardInterrupt:
        print("orvik: interrupted", file=sys.stderr)
        return 130
    except BrokenPipeError:
        # The reader went away (orvik ... | head): not an error of ours.
        # Point stdout at /dev/null so the interpreter's final flush is quiet.
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno())
        return 0
