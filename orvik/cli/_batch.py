"""orvik batch: distances for every row of a CSV or Parquet file, streamed in
chunks so that files larger than memory work.

Every input row comes out, with its columns unchanged and one distance
column added.  A bad row (coordinates missing, not numbers, not finite or,
for latitudes, outside [-90, 90]; a CSV row with the wrong number of
fields; a distance that is not finite) gets NaN and is counted; under
--strict the first one stops the run with its row number instead.  A failed
run leaves no output file behind (see _streams).
"""

from __future__ import annotations

import argparse
import sys
from collections.abc import Callable, Iterator
from contextlib import ExitStack, contextmanager
from dataclasses import dataclass
from typing import IO, TYPE_CHECKING, Any, Protocol

from orvik import distance, geodesic
from orvik.cli._errors import CliError, UsageError, computing, missing_extra
from orvik.cli._streams import Input, Output, check_codec, refuse_overwriting, suffix_codec
from orvik.cli._values import CHUNK_SIZES, METHODS, UNITS, chunk_rows, from_metres, name

if TYPE_CHECKING:
    from orvik.cli._csv import Chunk, CsvSource
    from orvik.cli._parquet import ParquetSource

PARQUET_SUFFIXES = (".parquet", ".pq", ".parq")
POINT_COLUMNS = ("lat1", "lon1", "lat2", "lon2")
AZIMUTH_COLUMNS = ("azi1", "azi2")
CHUNK_ROWS = 100_000  # rows per chunk unless --chunk-size says otherwise


def add_command(commands: argparse._SubParsersAction[Any]) -> None:
    p = commands.add_parser(
        "batch",
        help="distances for every row of a CSV or Parquet file",
        description="Adds a distance column to every row of a CSV or Parquet file of point "
        "pairs, streaming it in chunks.  Bad rows (missing, non-numeric or out-of-range "
        "coordinates, or the wrong number of fields) get NaN and are counted at the end "
        "(or stop the run under --strict).",
    )
    p.add_argument(
        "input",
        metavar="INPUT",
        help="CSV (maybe compressed: gzip, bzip2, xz, zstd or a zip of one file) or Parquet "
        "file ('-': CSV from standard input)",
    )
    p.add_argument(
        "-o",
        "--output",
        default="-",
        metavar="OUTPUT",
        help="CSV or Parquet file to write, chosen by its suffix; CSV is compressed for .gz, "
        ".bz2, .xz and .zst (default '-': CSV to standard output)",
    )
    for column in POINT_COLUMNS:
        p.add_argument(
            f"--{column}",
            default=column,
            metavar="COLUMN",
            help=f"input column holding {column} in degrees (default {column})",
        )
    p.add_argument(
        "--output-column",
        type=name,
        metavar="NAME",
        help="name of the added column (default distance_UNIT)",
    )
    p.add_argument(
        "--method",
        choices=(*METHODS, "rhumb"),
        default="geodesic",
        help="default geodesic; rhumb: along the rhumb line (constant bearing) on the WGS84 ellipsoid",
    )
    p.add_argument(
        "--azimuths",
        action="store_true",
        help="also add the columns azi1 and azi2: the geodesic's azimuths at each end, in "
        "degrees clockwise from north (geodesic method only)",
    )
    p.add_argument(
        "--to-line",
        metavar="ROUTE",
        help="instead of distances between point pairs: how far each row's point (--lat, --lon) is "
        "from the route through ROUTE's vertices (CSV or Parquet, columns lat and lon, in order); "
        "adds distance_to_line_UNIT and along_UNIT, the distance along the route (default unit m)",
    )
    for option in ("lat", "lon"):
        p.add_argument(f"--{option}", default=option, metavar="COLUMN",
                       help=f"with --to-line, the input column of the points' {option} (default {option})")  # fmt: skip
    p.add_argument("--unit", choices=UNITS, help="unit of distances (default km; m with --to-line)")
    p.add_argument(
        "--input-format", choices=("csv", "parquet"), help="instead of guessing from the suffix"
    )
    p.add_argument(
        "--output-format", choices=("csv", "parquet"), help="instead of guessing from the suffix"
    )
    p.add_argument(
        "--strict", action="store_true", help="stop at the first bad row instead of writing NaN"
    )
    add_streaming_options(p, "rows")
    p.set_defaults(run=run, prepare=prepare)


def add_streaming_options(
    p: argparse.ArgumentParser, rows: str, default: str = str(CHUNK_ROWS)
) -> None:
    """The options of every command that streams a file through stream()."""
    low, high = CHUNK_SIZES
    p.add_argument(
        "--chunk-size",
        type=chunk_rows,
        metavar="ROWS",
        help=f"{rows} read, computed and written at a time, {low} to {high:,} (default {default})",
    )
    p.add_argument("-q", "--quiet", action="store_true", help="no progress bar or summary")


@dataclass(frozen=True)
class _Plan:
    """What to do, from arguments checked to work together."""

    in_format: str
    out_format: str
    columns: list[str]
    out_column: str
    unit: str
    azimuths: bool

    method: str = "geodesic"

    @property
    def added(self) -> list[str]:
        """The columns the run adds, in order."""
        return [self.out_column, *(AZIMUTH_COLUMNS if self.azimuths else ())]

    def added_types(self) -> list[Any]:
        import pyarrow as pa

        return [pa.float64()] * len(self.added)

    @property
    def result_fault(self) -> str:
        """What is wrong with a row whose coordinates are good but whose
        results are not finite numbers."""
        return "the distance is not a finite number"

    def remedy(self, column: str) -> str:
        """What to do about an input that already has an added column."""
        return "name the new one with --output-column" if column == self.out_column else "--azimuths adds it"

    def compute(self, values: list[Any]) -> tuple[list[Any], Any]:
        """The added columns for coordinate columns (NaN where a row is bad):
        distances in the unit asked for, then azimuths in degrees; and the
        rows whose results are not finite numbers."""
        import numpy as np

        if self.azimuths:
            found = geodesic.inverse_batch(*values, outputs=("s12", "azi1", "azi2"))
            results = [from_metres(found["s12"], self.unit), found["azi1"], found["azi2"]]
        else:
            compute: Callable[..., Any] = {
                "geodesic": distance.geodesic_distance_batch,
                "great-circle": distance.great_circle_distance_batch,
                "rhumb": distance.rhumb_distance,
            }[self.method]
            results = [from_metres(compute(*values), self.unit)]
        bad = np.zeros(len(values[0]), dtype=bool)
        for result in results:
            bad |= ~np.isfinite(result)
        return results, bad


@dataclass
class _Tally:
    rows: int = 0
    bad: int = 0
    first: str | None = None


class Plan(Protocol):
    """What a command that adds columns to every row of a file does: which
    coordinate columns it reads (latitudes first, third, ...) and what it
    adds."""

    @property
    def in_format(self) -> str: ...
    @property
    def out_format(self) -> str: ...
    @property
    def columns(self) -> list[str]: ...
    @property
    def added(self) -> list[str]: ...
    def added_types(self) -> list[Any]: ...
    def remedy(self, column: str) -> str: ...
    @property
    def result_fault(self) -> str: ...
    def compute(self, values: list[Any]) -> tuple[list[Any], Any]: ...


def prepare(args: argparse.Namespace) -> None:
    """Imports what a streaming run will need, before it begins: an import
    that a signal interrupts fails in ways of its own (NumPy's is an
    ImportError of many lines), and before the run a signal just ends the
    process, there being nothing yet to clean up."""
    in_format, out_format = io_formats(args)
    parquet = "parquet" in (in_format, out_format)
    _require_pyarrow(parquet)
    import orvik.cli._coordinates
    import orvik.cli._csv

    if parquet:
        import orvik.cli._parquet  # noqa: F401
    if _shows_progress(args.quiet):
        _progress_bar()


def run(args: argparse.Namespace) -> int:
    if args.to_line is not None:
        from orvik.cli import _to_line

        return _to_line.run(args)
    return stream(args, _plan(args))


def stream(args: argparse.Namespace, plan: Plan) -> int:
    """Reads the input (args.input, args.chunk_size) in chunks and writes every
    row back with the plan's columns added, to args.output; bad rows are
    counted (or stop the run under args.strict)."""
    if args.chunk_size is None:
        args.chunk_size = CHUNK_ROWS
    _require_pyarrow(parquet="parquet" in (plan.in_format, plan.out_format))
    refuse_overwriting(args.output, [args.input])
    with ExitStack() as stack:
        source = _open_source(args, plan, stack)
        positions = _positions(source.names, plan, source.label)
        output = Output(args.output)
        types = _output_types(source, plan) if plan.out_format == "parquet" else None
        with output.open() as out, _sink(out, source.names, plan, types, output) as sink:
            with _progress(args.quiet, source) as advance:
                tally = _Tally()
                for chunk in source.chunks():
                    strict = getattr(args, "strict", False)
                    values = _added(chunk, positions, plan, tally, strict, source.label)
                    with output.errors():
                        sink.write(chunk.table, values)
                    advance(chunk.table.num_rows)
    if not args.quiet:
        _report(tally, plan, args.output)
    return 0


def _plan(args: argparse.Namespace) -> _Plan:
    in_format, out_format = io_formats(args)
    if args.azimuths and args.method != "geodesic":
        raise UsageError("--azimuths gives the geodesic's azimuths: use it with --method geodesic")
    return _Plan(
        in_format,
        out_format,
        [getattr(args, column) for column in POINT_COLUMNS],
        args.output_column or f"distance_{args.unit or 'km'}",
        args.unit or "km",
        args.azimuths,
        args.method,
    )


def io_formats(args: argparse.Namespace) -> tuple[str, str]:
    """The formats of the input and the output of a streaming command, once
    they are known to work with where they are read and written."""
    in_format = args.input_format or _format_of(args.input)
    out_format = args.output_format or _format_of(args.output)
    codec = None if args.output == "-" else suffix_codec(args.output)
    if in_format == "parquet" and args.input == "-":
        raise UsageError("Parquet input needs a file, not standard input")
    if out_format == "parquet" and args.output == "-":
        raise UsageError("Parquet output needs a file: -o FILE.parquet")
    if codec == "zip":
        raise UsageError("zip output is not supported: use .gz, .bz2, .xz or .zst")
    if out_format == "parquet" and codec is not None:
        raise UsageError(f"Parquet compresses inside the file: drop the {codec} suffix")
    if codec is not None:
        check_codec(codec)
    return in_format, out_format


def _format_of(path: str) -> str:
    return "parquet" if path.lower().endswith(PARQUET_SUFFIXES) else "csv"


def _require_pyarrow(parquet: bool) -> None:
    """Fails now, naming the extra to install, when what the run needs is
    missing; Parquet support is loaded only for runs that read or write it."""
    try:
        import numpy  # noqa: F401
        import pyarrow.compute  # noqa: F401
        import pyarrow.csv  # noqa: F401

        if parquet:
            import pyarrow.parquet  # noqa: F401
    except ImportError as error:
        raise missing_extra(error.name or "pyarrow", "cli", error) from None


def _open_source(
    args: argparse.Namespace, plan: Plan, stack: ExitStack
) -> CsvSource | ParquetSource:
    from orvik.cli._csv import CsvSource

    if plan.in_format == "parquet":
        from orvik.cli._parquet import ParquetSource

        return ParquetSource(args.input, args.chunk_size)
    # CSV to Parquet reads the input twice: once to settle the column types.
    source = Input(args.input, stack, twice=plan.out_format == "parquet")
    return CsvSource(source, args.chunk_size)


def _positions(names: list[str], plan: Plan, label: str) -> list[int]:
    """Where the coordinate columns are."""
    positions = []
    for column in plan.columns:
        count = names.count(column)
        if count == 0:
            raise CliError(f"{label}: no column {column!r} (columns: {', '.join(names) or 'none'})")
        if count > 1:
            raise CliError(f"{label}: {count} columns are named {column!r}")
        positions.append(names.index(column))
    for added in plan.added:
        if added in names:
            raise CliError(f"{label}: already has a column {added!r}; {plan.remedy(added)}")
    return positions


def _output_types(source: CsvSource | ParquetSource, plan: Plan) -> list[Any]:
    from orvik.cli._parquet import ParquetSource, column_types

    added = plan.added_types()
    if isinstance(source, ParquetSource):
        return [*source.types, *added]
    return [*column_types(source.chunks(), len(source.names)), *added]


@contextmanager
def _sink(
    stream: IO[bytes], names: list[str], plan: Plan, types: list[Any] | None, output: Output
) -> Iterator[Any]:
    from orvik.cli._csv import CsvSink

    columns = [*names, *plan.added]
    if types is None:
        sink = CsvSink(stream, columns, output.label)
        yield sink
        with output.errors():
            sink.finish()
        return
    from orvik.cli._parquet import parquet_sink

    added, text = len(plan.added), plan.in_format == "csv"
    with output.errors(), parquet_sink(stream, columns, types, output.label, added, text) as parquet:
        yield parquet


def _added(
    chunk: Chunk, positions: list[int], plan: Plan, tally: _Tally, strict: bool, label: str
) -> list[Any]:
    """The chunk's added columns, empty (NaN) for its bad rows."""
    import numpy as np

    from orvik.cli._coordinates import floats, unusable

    columns = [chunk.table.column(i) for i in positions]
    values = [floats(column) for column in columns]
    bad = unusable(values)
    if chunk.misshapen:
        bad[list(chunk.misshapen)] = True
    # A bad row's coordinates reach no computation.
    inputs = [np.where(bad, np.nan, v) for v in values] if bad.any() else values
    with computing("computing"):
        results, unfinished = plan.compute(inputs)
    bad |= unfinished
    if bad.any():
        first = int(np.flatnonzero(bad)[0])
        where = f"row {chunk.first_row + first}: {_fault(chunk, columns, values, plan, first)}"
        if strict:
            raise CliError(f"{label}: {where}")
        tally.bad += int(bad.sum())
        tally.first = tally.first or where
        results = [_blanked(result, bad) for result in results]
    tally.rows += chunk.table.num_rows
    return results


def _blanked(result: Any, bad: Any) -> Any:
    """A result column with its bad rows empty: NaN, or a missing value."""
    import pyarrow as pa
    import pyarrow.compute as pc

    if not isinstance(result, pa.Array):
        result[bad] = float("nan")
        return result
    return pc.if_else(pa.array(bad), pa.scalar(None, result.type), result)


def _fault(chunk: Chunk, columns: list[Any], values: list[Any], plan: Plan, index: int) -> str:
    from orvik.cli._coordinates import describe

    if index in chunk.misshapen:
        return f"{chunk.misshapen[index]} fields where the header has {chunk.table.num_columns}"
    return describe(columns, plan.columns, values, index) or plan.result_fault


@contextmanager
def _progress(quiet: bool, source: CsvSource | ParquetSource) -> Iterator[Callable[[int], None]]:
    """A function to report rows done: it moves a progress bar on standard
    error, shown only to a person watching a terminal, and only once a run
    has taken more than a second."""
    from orvik.cli._csv import CsvSource

    tqdm = _progress_bar() if _shows_progress(quiet) else None
    if tqdm is None:
        yield lambda rows: None
        return
    by_bytes = isinstance(source, CsvSource) and source.input.size is not None
    total = source.input.size if isinstance(source, CsvSource) else source.rows
    with tqdm(
        total=total, unit="B" if by_bytes else " rows", unit_scale=True, file=sys.stderr,
        delay=1.0, leave=False,
    ) as bar:  # fmt: skip
        if by_bytes:
            assert isinstance(source, CsvSource)
            position = source.input.position
            yield lambda rows: bar.update(position() - bar.n)
        else:
            yield bar.update


def _shows_progress(quiet: bool) -> bool:
    return not quiet and sys.stderr is not None and sys.stderr.isatty()


def _progress_bar() -> Any:
    """tqdm's bar, if tqdm is installed (it is optional)."""
    try:
        from tqdm import tqdm
    except ImportError:
        return None
    return tqdm


def _their(added: list[str]) -> str:
    if len(added) == 1:
        return f"their {added[0]} is empty"
    if len(added) <= 3:
        return f"their {', '.join(added[:-1])} and {added[-1]} are empty"
    return "their added columns are empty"


def _report(tally: _Tally, plan: Plan, output: str) -> None:
    if tally.bad:
        print(
            f"orvik: {tally.bad:,} of {tally.rows:,} rows are bad (missing, non-numeric or "
            f"out-of-range coordinates, or the wrong number of fields); {_their(plan.added)} "
            f"(first: {tally.first})",
            file=sys.stderr,
        )
    elif output != "-":
        print(f"orvik: wrote {tally.rows:,} rows to {output}", file=sys.stderr)
