"""orvik batch: distances for every row of a CSV or Parquet file, streamed in
chunks so that files larger than memory work.

Every input row comes out, with its columns unchanged and one distance
column added.  A row whose coordinates are missing, not numbers, not finite
or (for latitudes) outside [-90, 90] gets NaN and is counted; under
--strict the first one stops the run with its row number instead.  Output
files are written next to their destination and renamed into place only
when the run succeeds, so a failed run leaves no partial file behind.
"""

from __future__ import annotations

import argparse
import os
import sys
import tempfile
from collections.abc import Iterator
from contextlib import contextmanager
from dataclasses import dataclass, field
from typing import IO, Any

from orvik import distance
from orvik.cli._errors import CliError, missing_extra
from orvik.cli._values import METHODS, UNITS, from_metres

PARQUET_SUFFIXES = (".parquet", ".pq", ".parq")
# pandas decompresses CSV input by these suffixes.
COMPRESSION = {".gz": "gzip", ".bz2": "bz2", ".zip": "zip", ".xz": "xz", ".zst": "zstd"}
POINT_COLUMNS = ("lat1", "lon1", "lat2", "lon2")


def add_command(commands: argparse._SubParsersAction[Any]) -> None:
    p = commands.add_parser(
        "batch",
        help="distances for every row of a CSV or Parquet file",
        description="Adds a distance column to every row of a CSV or Parquet file of point "
        "pairs, streaming it in chunks.  Rows with missing, non-numeric or out-of-range "
        "coordinates get NaN and are counted at the end (or stop the run under --strict).",
    )
    p.add_argument(
        "input", metavar="INPUT", help="CSV or Parquet file ('-': CSV from standard input)"
    )
    p.add_argument(
        "-o",
        "--output",
        default="-",
        metavar="OUTPUT",
        help="CSV or Parquet file to write, chosen by its suffix (default '-': CSV to "
        "standard output)",
    )
    for name in POINT_COLUMNS:
        p.add_argument(
            f"--{name}",
            default=name,
            metavar="COLUMN",
            help=f"input column holding {name} in degrees (default {name})",
        )
    p.add_argument(
        "--output-column", metavar="NAME", help="name of the added column (default distance_UNIT)"
    )
    p.add_argument("--method", choices=METHODS, default="geodesic", help="default geodesic")
    p.add_argument("--unit", choices=UNITS, default="km", help="unit of distances (default km)")
    p.add_argument(
        "--input-format", choices=("csv", "parquet"), help="instead of guessing from the suffix"
    )
    p.add_argument(
        "--output-format", choices=("csv", "parquet"), help="instead of guessing from the suffix"
    )
    p.add_argument(
        "--chunk-size",
        type=_positive,
        default=100_000,
        metavar="ROWS",
        help="rows read, computed and written at a time (default 100000)",
    )
    p.add_argument(
        "--strict", action="store_true", help="stop at the first bad row instead of writing NaN"
    )
    p.add_argument("-q", "--quiet", action="store_true", help="no progress bar or summary")
    p.set_defaults(run=run)


def _positive(text: str) -> int:
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not a whole number") from None
    if value < 1:
        raise argparse.ArgumentTypeError(f"must be at least 1, not {value}")
    return value


@dataclass
class BadRows:
    count: int = 0
    first: str | None = field(default=None)


def run(args: argparse.Namespace) -> int:
    try:
        import numpy as np
        import pandas as pd
    except ImportError as error:
        raise missing_extra(error.name or "pandas", "cli", error) from None
    in_format = args.input_format or _format_of(args.input)
    out_format = args.output_format or _format_of(args.output)
    if out_format == "parquet" and args.output == "-":
        raise CliError("Parquet output needs a file: -o FILE.parquet")
    columns = [getattr(args, name) for name in POINT_COLUMNS]
    out_column = args.output_column or f"distance_{args.unit}"
    compute = (
        distance.geodesic_distance_batch
        if args.method == "geodesic"
        else distance.great_circle_distance_batch
    )

    bad = BadRows()
    rows = 0
    with (
        _reader(args, in_format, pd) as (chunks, progress),
        _writer(args.output, out_format) as write,
    ):
        for number, chunk in enumerate(chunks):
            if number == 0:
                _check_columns(args.input, chunk, columns, out_column)
            values = [_floats(pd, np, chunk[c]) for c in columns]
            invalid = _invalid_rows(np, values)
            if invalid.any():
                where = _describe(chunk, columns, values, int(np.flatnonzero(invalid)[0]), rows)
                if args.strict:
                    raise CliError(f"{_label(args.input)}: {where}")
                bad.count += int(invalid.sum())
                bad.first = bad.first or where
            metres = compute(*values)
            metres[invalid] = np.nan
            result = chunk.assign(**{out_column: from_metres(metres, args.unit)})
            write(result)
            rows += len(chunk)
            progress(len(chunk))

    if bad.count:
        print(
            f"orvik: {bad.count:,} of {rows:,} rows had missing, non-numeric or out-of-range "
            f"coordinates; their {out_column} is NaN (first: {bad.first})",
            file=sys.stderr,
        )
    elif not args.quiet and args.output != "-":
        print(f"orvik: wrote {rows:,} rows to {args.output}", file=sys.stderr)
    return 0


def _format_of(path: str) -> str:
    return "parquet" if path.lower().endswith(PARQUET_SUFFIXES) else "csv"


def _label(path: str) -> str:
    return "standard input" if path == "-" else path


def _check_columns(path: str, chunk: Any, columns: list[str], out_column: str) -> None:
    present = [str(c) for c in chunk.columns]
    for c in columns:
        if c not in present:
            raise CliError(
                f"{_label(path)}: no column {c!r} (columns: {', '.join(present) or 'none'})"
            )
    if out_column in present:
        raise CliError(
            f"{_label(path)}: already has a column {out_column!r}; name the new one "
            "with --output-column"
        )


def _floats(pd: Any, np: Any, series: Any) -> Any:
    """A column as float64, NaN where a value is missing or not a number."""
    if not pd.api.types.is_numeric_dtype(series.dtype):
        series = pd.to_numeric(series, errors="coerce")
    return series.to_numpy(dtype=np.float64, na_value=np.nan)


def _invalid_rows(np: Any, values: list[Any]) -> Any:
    """Rows with a coordinate that is NaN (missing or not a number), infinite,
    or a latitude outside [-90, 90]."""
    invalid = np.zeros(len(values[0]), dtype=bool)
    for k, v in enumerate(values):
        invalid |= ~np.isfinite(v)
        if k % 2 == 0:  # lat1, lat2
            invalid |= np.abs(v) > 90.0
    return invalid


def _describe(chunk: Any, columns: list[str], values: list[Any], index: int, before: int) -> str:
    """Where the first bad value of a row is, and what is wrong with it."""
    row = before + index + 1
    for k, column in enumerate(columns):
        raw = chunk[column].iloc[index]
        value = values[k][index]
        if raw is None or (isinstance(raw, str) and not raw.strip()) or _is_na(raw):
            return f"row {row}: column {column!r} is missing"
        if value != value or abs(value) == float("inf"):
            return f"row {row}: column {column!r}: {str(raw)!r} is not a finite number"
        if k % 2 == 0 and abs(value) > 90.0:
            return f"row {row}: column {column!r}: latitude {raw} is outside [-90, 90]"
    return f"row {row}"


def _is_na(value: object) -> bool:
    import pandas as pd

    try:
        return bool(pd.isna(value))
    except (TypeError, ValueError):
        return False


@contextmanager
def _reader(args: argparse.Namespace, fmt: str, pd: Any) -> Iterator[tuple[Iterator[Any], Any]]:
    """The input as a stream of DataFrames, and a function to report progress."""
    path = args.input
    try:
        if fmt == "parquet":
            if path == "-":
                raise CliError("Parquet input needs a file, not standard input")
            with _parquet_chunks(path, args.chunk_size, pd) as (batches, rows):
                with _progress(args.quiet, rows, " rows") as bar:
                    yield batches, bar.update
        else:
            with _csv_chunks(path, args.chunk_size, pd) as (chunks, position, total):
                if position is None:  # a stream: count rows
                    with _progress(args.quiet, None, " rows") as bar:
                        yield chunks, bar.update
                    return
                with _progress(args.quiet, total, "B") as bar:

                    def advance(_rows: int) -> None:
                        bar.update(position() - bar.n)

                    yield chunks, advance
    except FileNotFoundError:
        raise CliError(f"{path}: no such file") from None
    except IsADirectoryError:
        raise CliError(f"{path}: is a directory") from None
    except PermissionError:
        raise CliError(f"{path}: permission denied") from None
    except pd.errors.EmptyDataError:
        raise CliError(f"{_label(path)}: empty input, not even a header row") from None
    except (pd.errors.ParserError, UnicodeDecodeError) as error:
        message = str(error).strip().splitlines()[-1] if str(error).strip() else type(error).__name__
        raise CliError(f"{_label(path)}: not readable as CSV: {message}") from None


@contextmanager
def _csv_chunks(
    path: str, chunk_size: int, pd: Any
) -> Iterator[tuple[Iterator[Any], Any, int | None]]:
    # Every column is read as text, so values are written back exactly as
    # they came, and only the coordinates are parsed.
    options = dict(dtype=str, keep_default_na=False, na_filter=False, chunksize=chunk_size)
    if path == "-":
        raw: IO[bytes] = sys.stdin.buffer
        with pd.read_csv(raw, **options) as reader:
            yield iter(reader), None, None
        return
    suffix = os.path.splitext(path)[1].lower()
    with open(path, "rb") as raw:
        total = os.fstat(raw.fileno()).st_size
        with pd.read_csv(raw, compression=COMPRESSION.get(suffix), **options) as reader:
            # Progress is the share of the (possibly compressed) file read.
            yield iter(reader), raw.tell, total


@contextmanager
def _parquet_chunks(path: str, chunk_size: int, pd: Any) -> Iterator[tuple[Iterator[Any], int]]:
    try:
        import pyarrow as pa
        import pyarrow.parquet as pq
    except ImportError as error:
        raise missing_extra("pyarrow", "cli", error) from None
    try:
        parquet = pq.ParquetFile(path)
    except (FileNotFoundError, IsADirectoryError, PermissionError):
        raise
    except (OSError, pa.ArrowException) as error:
        raise CliError(f"{path}: not a Parquet file ({error})") from None
    with parquet:
        batches = parquet.iter_batches(batch_size=chunk_size)
        # ArrowDtype keeps every column's Arrow type, so chunks agree on
        # their schema whatever values they hold.
        chunks: Iterator[Any] = (b.to_pandas(types_mapper=pd.ArrowDtype) for b in batches)
        if parquet.metadata.num_rows == 0:
            # One empty chunk, so the columns are checked and the output
            # still gets its header.
            empty = parquet.schema_arrow.empty_table()
            chunks = iter([empty.to_pandas(types_mapper=pd.ArrowDtype)])
        yield chunks, parquet.metadata.num_rows


@contextmanager
def _progress(quiet: bool, total: int | None, unit: str) -> Iterator[Any]:
    """A progress bar on standard error, shown only to a person watching a
    terminal, and only once a run has taken more than a second."""
    try:
        from tqdm import tqdm
    except ImportError:
        tqdm = None
    show = not quiet and sys.stderr.isatty() and tqdm is not None
    if not show:
        yield _NoProgress()
        return
    assert tqdm is not None
    with tqdm(
        total=total, unit=unit, unit_scale=True, file=sys.stderr, delay=1.0, leave=False
    ) as bar:
        yield bar


class _NoProgress:
    n = 0

    def update(self, count: int) -> None:
        self.n += count


@contextmanager
def _writer(path: str, fmt: str) -> Iterator[Any]:
    """A function writing DataFrames, in order, to `path`; the file appears
    only if the block completes."""
    if path == "-":
        first = True

        def write_stdout(frame: Any) -> None:
            nonlocal first
            frame.to_csv(sys.stdout, header=first, index=False)
            first = False

        yield write_stdout
        sys.stdout.flush()
        return

    directory = os.path.dirname(os.path.abspath(path))
    try:
        handle = tempfile.NamedTemporaryFile(
            dir=directory, prefix=f".{os.path.basename(path)}.", suffix=".part", delete=False
        )
    except FileNotFoundError:
        raise CliError(f"{path}: no such directory") from None
    except PermissionError:
        raise CliError(f"{path}: permission denied") from None
    # Temporary files are private (0600); the result gets the usual mode.
    umask = os.umask(0)
    os.umask(umask)
    os.chmod(handle.name, 0o666 & ~umask)
    done = False
    try:
        with handle:
            if fmt == "parquet":
                with _parquet_writer(handle) as write:
                    yield write
            else:
                text = open(handle.fileno(), "w", encoding="utf-8", newline="", closefd=False)
                with text:
                    first = True

                    def write_csv(frame: Any) -> None:
                        nonlocal first
                        frame.to_csv(text, header=first, index=False)
                        first = False

                    yield write_csv
        os.replace(handle.name, path)
        done = True
    finally:
        if not done:
            try:
                os.unlink(handle.name)
            except FileNotFoundError:
                pass


@contextmanager
def _parquet_writer(handle: IO[bytes]) -> Iterator[Any]:
    try:
        import pyarrow as pa
        import pyarrow.parquet as pq
    except ImportError as error:
        raise missing_extra("pyarrow", "cli", error) from None
    writer = None
    try:

        def write(frame: Any) -> None:
            nonlocal writer
            if writer is None:
                table = pa.Table.from_pandas(frame, preserve_index=False)
                writer = pq.ParquetWriter(handle, table.schema)
            else:
                table = pa.Table.from_pandas(frame, schema=writer.schema, preserve_index=False)
            writer.write_table(table)

        yield write
    finally:
        if writer is not None:
            writer.close()
