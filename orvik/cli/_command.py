"""The command's arguments, and the translation of every way a command can
fail into one line on standard error and an exit status."""

from __future__ import annotations

import argparse
import signal
import sys
import warnings
from collections.abc import Sequence
from typing import Any, NoReturn

from orvik import __version__
from orvik.cli import _batch, _compare, _line, _nearest, _points
from orvik.cli._errors import CliError, Stopped, UsageError, describe, needs_numpy
from orvik.cli._signals import stopped_by_signals
from orvik.cli._streams import silence_stdout
from orvik.cli._values import NEGATIVE_NUMBER


class _Parser(argparse.ArgumentParser):
    """Reports a usage error as one line, pointing at its own --help, and
    takes every negative number (-1e-3 too) for a value, not an option."""

    def __init__(self, *args: Any, **kwargs: Any) -> None:
        super().__init__(*args, **kwargs)
        self._negative_number_matcher = NEGATIVE_NUMBER

    def error(self, message: str) -> NoReturn:
        self.exit(2, f"{self.prog}: error: {message} (see '{self.prog} --help')\n")

    def _print_message(self, message: str, file: Any = None) -> None:
        # argparse ignores a failure to write; --help and --version to a full
        # disk must fail instead (messages to standard error may be lost).
        if message and file is sys.stdout:
            file.write(message)
        else:
            super()._print_message(message, file)


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
    for command in commands.choices.values():
        command.set_defaults(prog=command.prog)
    parser.set_defaults(run=_compare.run, prog=parser.prog, prepare=needs_numpy)
    return parser


def run(argv: Sequence[str] | None) -> int:
    """Runs the command that `argv` asks for; returns the exit status."""
    if sys.stdout is not None:
        sys.stdout = _CheckedStdout(sys.stdout)
    try:
        return _run(argv)
    finally:
        if isinstance(sys.stdout, _CheckedStdout):
            sys.stdout = sys.stdout.stream


def _run(argv: Sequence[str] | None) -> int:
    try:
        args = _parse(argv)
    except CliError as error:
        print(f"orvik: error: {error}", file=sys.stderr)
        return error.exit_status
    try:
        # Before the block, whose signals raise exceptions: see prepare().
        if getattr(args, "prepare", None) is not None:
            args.prepare(args)
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
        silence_stdout()
        return 0


def _parse(argv: Sequence[str] | None) -> argparse.Namespace:
    """The arguments; --help and --version exit here, with status 0 once
    what they print is written (or its reader has gone: orvik --help | head)."""
    parser = build_parser()
    try:
        try:
            return parser.parse_args(argv)
        except SystemExit as done:
            if done.code == 0 and sys.stdout is not None:
                _flush_stdout()
            raise
    except BrokenPipeError:
        silence_stdout()
        raise SystemExit(0) from None


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
        raise _stdout_failed(error) from None


def _stdout_failed(error: OSError) -> CliError:
    silence_stdout()
    return CliError(f"standard output: {describe(error)}")


class _CheckedStdout:
    """sys.stdout while a command runs: a failure to write to it (a full
    disk) is a CliError naming standard output, whether it comes when the
    text is printed (unbuffered output) or when it is flushed."""

    def __init__(self, stream: Any) -> None:
        self.stream = stream

    def write(self, text: str) -> int:
        try:
            return int(self.stream.write(text))
        except BrokenPipeError:
            raise
        except OSError as error:
            raise _stdout_failed(error) from None

    def flush(self) -> None:
        try:
            self.stream.flush()
        except BrokenPipeError:
            raise
        except OSError as error:
            raise _stdout_failed(error) from None

    def __getattr__(self, name: str) -> Any:
        return getattr(self.stream, name)
