"""orvik nearest: the nearest places to every row of a CSV or Parquet file.

The places (--points) are read whole and indexed once; the queries stream
through `orvik batch`'s machinery in chunks, so query files larger than
memory work.  Every query row comes out with its columns as they were and,
for each of the k nearest places, its name (or row number) and its distance.
A place with missing, non-numeric or out-of-range coordinates stops the run,
naming its row; such a query row gets empty results and is counted.
"""

from __future__ import annotations

import argparse
import sys
from contextlib import ExitStack
from dataclasses import dataclass
from typing import Any

from orvik.cli import _batch
from orvik.cli._errors import CliError, UsageError
from orvik.cli._streams import memory_available, refuse_overwriting
from orvik.cli._values import METHODS, UNITS, from_metres, positive

# Results (places found for query rows) per chunk when --chunk-size is not
# given, and what each costs at most, in bytes, with the label's own text
# on top; and what each added column costs whatever its length.
_RESULTS_PER_CHUNK = 1 << 20
_BYTES_PER_RESULT = 96
_BYTES_PER_COLUMN = 2048


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
    p.add_argument(
        "--k",
        type=positive,
        default=1,
        help="places per row (default 1); more than PLACES holds finds them all, with a note",
    )
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
    _batch.add_streaming_options(p, "query rows", f"{_batch.CHUNK_ROWS}, fewer when --k is large")
    p.set_defaults(run=run, prepare=_batch.prepare)


@dataclass(frozen=True)
class _Nearest:
    """The plan of `orvik batch`'s streaming for nearest places."""

    in_format: str
    out_format: str
    columns: list[str]
    index: Any  # orvik.neighbors.PointIndex
    labels: Any  # a pyarrow array: the places' names or row numbers
    k: int
    method: str
    unit: str

    @property
    def added(self) -> list[str]:
        return [c for j in range(1, self.k + 1) for c in (f"nearest_{j}", f"distance_{j}_{self.unit}")]

    def added_types(self) -> list[Any]:
        import pyarrow as pa

        return [self.labels.type, pa.float64()] * self.k

    def remedy(self, column: str) -> str:
        return "orvik nearest adds it"

    @property
    def result_fault(self) -> str:
        return "no result"  # never: a row with good coordinates always has its places

    def compute(self, values: list[Any]) -> tuple[list[Any], Any]:
        """Names and distances of the k nearest places; a row whose
        coordinates are NaN (a bad row) finds none, and fewer than k places
        leave the rest of its columns empty, which is not a fault."""
        import numpy as np
        import pyarrow as pa
        import pyarrow.compute as pc

        metres, found = self.index.query(values[0], values[1], self.k, method=self.method)
        columns: list[Any] = []
        for j in range(self.k):
            hit = found[:, j]
            missing = hit < 0
            columns.append(pc.take(self.labels, pa.array(hit, mask=missing)))
            columns.append(np.where(missing, np.nan, from_metres(metres[:, j], self.unit)))
        return columns, np.zeros(len(values[0]), dtype=bool)


def run(args: argparse.Namespace) -> int:
    from orvik.neighbors import PointIndex

    in_format, out_format = _batch.io_formats(args)
    if args.points == "-":
        raise UsageError("--points needs a file, not standard input")
    refuse_overwriting(args.output, [args.input, args.points])
    lat, lon, labels = _places(args)
    k, note = _places_per_row(args.k, len(labels), args.points)
    args.chunk_size = _rows_per_chunk(args.chunk_size, k, labels)
    if note:
        print(f"orvik: note: {note}", file=sys.stderr)
    plan = _Nearest(
        in_format, out_format, [args.lat, args.lon], PointIndex(lat, lon), labels, k, args.method, args.unit
    )
    return _batch.stream(args, plan)


def _places_per_row(k: int, places: int, label: str) -> tuple[int, str | None]:
    """--k, or all the places where there are fewer (more would only add
    empty columns), and what to tell of it.  With no places at all, every
    row gets one empty pair of columns."""
    if k <= places:
        return k, None
    if places == 0:
        return 1, f"{label} holds no places; every row's result is empty"
    return places, f"--k {k:,} is more than the {places:,} places of {label}; finding {places:,}"


def _rows_per_chunk(chunk_size: int | None, k: int, labels: Any) -> int:
    """Query rows per chunk: --chunk-size, or by default as many as keep a
    chunk's results near _RESULTS_PER_CHUNK.  A chunk that cannot fit in
    memory fails now, not once the places are indexed and output begun."""
    rows = chunk_size or max(1, min(_batch.CHUNK_ROWS, _RESULTS_PER_CHUNK // k))
    label_bytes = labels.nbytes / max(len(labels), 1)
    # Each result: distances and positions from the index, the distance in
    # the unit, the label taken, and both as text for CSV, about three
    # copies of the label in all; each result column costs its objects too.
    need = k * (rows * (_BYTES_PER_RESULT + 3 * label_bytes) + _BYTES_PER_COLUMN)
    available = memory_available()
    if available is not None and need > available:
        remedy = "a smaller --chunk-size" if rows > 1 else "a smaller --k"
        raise CliError(
            f"--k {k:,} with {rows:,} query rows at a time needs about "
            f"{need / 2**30:,.1f} GiB of memory, more than the {available / 2**30:,.1f} GiB "
            f"available: use {remedy}"
        )
    return rows


def _places(args: argparse.Namespace) -> tuple[Any, Any, Any]:
    """The places' latitudes, longitudes and labels (names, or row numbers
    from 1); a bad place stops the run."""
    import numpy as np
    import pyarrow as pa

    from orvik.cli._coordinates import describe, floats, unusable

    fmt = args.points_format or _batch._format_of(args.points)
    reading = argparse.Namespace(input=args.points, chunk_size=1_000_000)
    plan = argparse.Namespace(in_format=fmt, out_format="csv")
    with ExitStack() as stack:
        source = _batch._open_source(reading, plan, stack)
        wanted = [args.points_lat, args.points_lon] + ([args.name_column] if args.name_column else [])
        for column in wanted:
            if column not in source.names:
                raise CliError(
                    f"{source.label}: no column {column!r} (columns: {', '.join(source.names) or 'none'})"
                )
        chunks = list(source.chunks())
    for chunk in chunks:
        if chunk.misshapen:
            row, count = next(iter(chunk.misshapen.items()))
            raise CliError(
                f"{source.label}: row {chunk.first_row + row}: {count} fields where the header has "
                f"{len(source.names)}"
            )
    tables = [chunk.table for chunk in chunks]
    table = pa.concat_tables(tables) if tables else None
    columns = [table.column(c) if table else pa.array([], pa.string()) for c in wanted[:2]]
    values = [floats(column) for column in columns]
    bad = unusable(values)
    if bad.any():
        first = int(np.flatnonzero(bad)[0])
        raise CliError(f"{source.label}: row {first + 1}: {describe(columns, wanted[:2], values, first)}")
    if args.name_column:
        labels = table.column(args.name_column).combine_chunks() if table else pa.array([], pa.string())
    else:
        labels = pa.array(np.arange(1, len(values[0]) + 1, dtype=np.int64))
    return values[0], values[1], labels
