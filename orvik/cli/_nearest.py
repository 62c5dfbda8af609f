"""orvik nearest: the nearest places to every row of a CSV or Parquet file.

The places (--points) are read whole and indexed once; the queries are
streamed in chunks, so query files larger than memory work.  Every query row
comes out with its columns unchanged and, for each of the k nearest places,
its name (or row number) and its distance.  A place with missing, non-numeric
or out-of-range coordinates stops the run, naming its row; such a query row
gets empty results and is counted.
"""

from __future__ import annotations

import argparse
import sys
from typing import Any

from orvik.cli import _batch
from orvik.cli._errors import CliError, missing_extra
from orvik.cli._values import METHODS, UNITS, from_metres


def add_command(commands: argparse._SubParsersAction[Any]) -> None:
    p = commands.add_parser(
        "nearest",
        help="nearest places to every row of a CSV or Parquet file",
        description="Adds the k nearest places of --points, and their distances, to every row "
        "of a CSV or Parquet file of points, streaming it in chunks.  Rows with missing, "
        "non-numeric or out-of-range coordinates get empty results and are counted at the end.",
    )
    p.add_argument(
        "input", metavar="QUERIES", help="CSV or Parquet file of points ('-': CSV from standard input)"
    )
    p.add_argument(
        "--points", required=True, metavar="PLACES", help="CSV or Parquet file of the places to find"
    )
    p.add_argument("--k", type=_batch._positive, default=1, help="places per row (default 1)")
    p.add_argument(
        "--name-column",
        metavar="COLUMN",
        help="column of PLACES naming each place (default: row numbers of PLACES, from 1)",
    )
    p.add_argument("-o", "--output", default="-", metavar="OUTPUT",
                   help="CSV or Parquet file to write, chosen by its suffix (default '-': CSV to "
                   "standard output)")  # fmt: skip
    for option, what in (("lat", "latitudes"), ("lon", "longitudes")):
        p.add_argument(f"--{option}", default=option, metavar="COLUMN",
                       help=f"column of QUERIES holding {what} in degrees (default {option})")  # fmt: skip
        p.add_argument(f"--points-{option}", default=option, metavar="COLUMN",
                       help=f"column of PLACES holding {what} in degrees (default {option})")  # fmt: skip
    p.add_argument("--method", choices=METHODS, default="geodesic", help="default geodesic")
    p.add_argument("--unit", choices=UNITS, default="km", help="unit of distances (default km)")
    for option in ("input", "points", "output"):
        p.add_argument(f"--{option}-format", choices=("csv", "parquet"),
                       help="instead of guessing from the suffix")  # fmt: skip
    p.add_argument("--chunk-size", type=_batch._positive, default=100_000, metavar="ROWS",
                   help="query rows read, computed and written at a time (default 100000)")  # fmt: skip
    p.add_argument("-q", "--quiet", action="store_true", help="no progress bar or summary")
    p.set_defaults(run=run)


def run(args: argparse.Namespace) -> int:
    try:
        import numpy as np
        import pandas as pd
    except ImportError as error:
        raise missing_extra(error.name or "pandas", "cli", error) from None
    from orvik.neighbors import PointIndex

    in_format = args.input_format or _batch._format_of(args.input)
    out_format = args.output_format or _batch._format_of(args.output)
    if out_format == "parquet" and args.output == "-":
        raise CliError("Parquet output needs a file: -o FILE.parquet")
    lat, lon, labels = _places(args, pd, np)
    index = PointIndex(lat, lon)
    columns = [args.lat, args.lon]
    added = [(f"nearest_{j}", f"distance_{j}_{args.unit}") for j in range(1, args.k + 1)]

    bad = _batch.BadRows()
    rows = 0
    with (
        _batch._reader(args, in_format, pd) as (chunks, progress),
        _batch._writer(args.output, out_format) as write,
    ):
        for number, chunk in enumerate(chunks):
            if number == 0:
                _check_columns(args.input, chunk, columns, [c for pair in added for c in pair])
            values = [_batch._floats(pd, np, chunk[c]) for c in columns]
            invalid = _batch._invalid_rows(np, values)
            if invalid.any():
                bad.count += int(invalid.sum())
                bad.first = bad.first or _batch._describe(
                    chunk, columns, values, int(np.flatnonzero(invalid)[0]), rows
                )
            # Invalid rows come back as -1 and inf: no place, no distance.
            metres, found = index.query(values[0], values[1], args.k, method=args.method)
            result = {}
            for j, (name_column, distance_column) in enumerate(added):
                hit = found[:, j]
                result[name_column] = _labels_of(pd, np, labels, hit)
                result[distance_column] = np.where(hit >= 0, from_metres(metres[:, j], args.unit), np.nan)
            write(chunk.assign(**result))
            rows += len(chunk)
            progress(len(chunk))

    if bad.count:
        print(
            f"orvik: {bad.count:,} of {rows:,} rows had missing, non-numeric or out-of-range "
            f"coordinates; their nearest places are empty (first: {bad.first})",
            file=sys.stderr,
        )
    elif not args.quiet and args.output != "-":
        print(f"orvik: wrote {rows:,} rows to {args.output}", file=sys.stderr)
    return 0


def _places(args: argparse.Namespace, pd: Any, np: Any) -> tuple[Any, Any, Any]:
    """The places' latitudes, longitudes and labels (names, or row numbers
    from 1); a bad place stops the run."""
    fmt = args.points_format or _batch._format_of(args.points)
    if args.points == "-":
        raise CliError("--points needs a file, not standard input")
    source = argparse.Namespace(input=args.points, chunk_size=1_000_000, quiet=True)
    with _batch._reader(source, fmt, pd) as (chunks, _):
        frame = pd.concat(list(chunks), ignore_index=True)
    columns = [args.points_lat, args.points_lon]
    wanted = columns + ([args.name_column] if args.name_column else [])
    present = [str(c) for c in frame.columns]
    for c in wanted:
        if c not in present:
            raise CliError(f"{args.points}: no column {c!r} (columns: {', '.join(present) or 'none'})")
    values = [_batch._floats(pd, np, frame[c]) for c in columns]
    invalid = _batch._invalid_rows(np, values)
    if invalid.any():
        where = _batch._describe(frame, columns, values, int(np.flatnonzero(invalid)[0]), 0)
        raise CliError(f"{args.points}: {where}")
    if args.name_column:
        labels = frame[args.name_column].to_numpy(dtype=object)
    else:
        labels = np.arange(1, len(frame) + 1, dtype=np.int64)
    return values[0], values[1], labels


def _labels_of(pd: Any, np: Any, labels: Any, hit: Any) -> Any:
    """The labels of the places `hit` (-1: none, left empty), as an array:
    a Series would be aligned on the chunk's index instead of by position."""
    found = hit >= 0
    taken = labels[np.where(found, hit, 0)] if len(labels) else np.zeros(len(hit), labels.dtype)
    if labels.dtype == object:
        return np.where(found, taken, None)
    return pd.arrays.IntegerArray(taken, ~found)


def _check_columns(path: str, chunk: Any, columns: list[str], added: list[str]) -> None:
    present = [str(c) for c in chunk.columns]
    label = _batch._label(path)
    for c in columns:
        if c not in present:
            raise CliError(f"{label}: no column {c!r} (columns: {', '.join(present) or 'none'})")
    for c in added:
        if c in present:
            raise CliError(f"{label}: already has a column {c!r}, which orvik nearest adds")
