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

Every failure gives a one-line message on standard error and a non-zero exit
status (2 for bad arguments, 1 for bad data, files or resources, 128 plus the
signal's number when stopped by a signal), never a traceback.

This module imports next to nothing, so that main() takes over the signals
before the command's own imports (argparse, NumPy, Arrow) begin.
"""

from __future__ import annotations

from collections.abc import Sequence

from orvik.cli._signals import QuietExits


def main(argv: Sequence[str] | None = None) -> int:
    """Runs the command; returns its exit status.  Without `argv` it is the
    process's command, arguments from sys.argv: a signal ends the process
    with one line, or, once the command is done, changes nothing.  With
    `argv` the signals are given back on return."""
    signals = QuietExits()
    try:
        from orvik.cli._command import run

        return run(argv)
    finally:
        if argv is None:
            signals.ignore()
        else:
            signals.give_back()
