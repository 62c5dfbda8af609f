"""CSV in and out of orvik batch: read in blocks that Arrow parses, written
by whole columns at a time, so that a file of millions of rows costs about
what reading and writing it costs.

Every column is read as text and written back as it was read: digits keep
their spelling, and a field is quoted only when it must be (it holds a
comma, a quote or a line break).  A row with more or fewer fields than the
header keeps its place: its fields fill the header's columns (extra ones
are dropped, missing ones empty) and it is marked, so that it is counted as
a bad row rather than shifting every column after it.  A blank line after
the header is a row of empty fields.
"""

from __future__ import annotations

import csv
import io
from collections.abc import Iterator
from dataclasses import dataclass, field
from typing import IO, Any

import numpy as np
import pyarrow as pa
import pyarrow.compute as pc
import pyarrow.csv as pcsv

from orvik.cli._errors import CliError, describe
from orvik.cli._streams import Input, read_head

# Enough of the input to find the header and the typical row length.
_HEAD_BYTES = 1 << 20
# Each block read holds about --chunk-size rows, within these bounds.
_MIN_BLOCK = 64 << 10
_MAX_BLOCK = 256 << 20
_BOM = b"\xef\xbb\xbf"
_QUOTE, _LINE_BREAK = ord('"'), ord("\n")
# What may stand before a quote that opens a quoted field (or before the
# second quote of a doubled one).
_BEFORE_FIELD = np.array([ord(","), ord("\n"), ord("\r")], dtype=np.uint8)
_BEFORE_OPENING = np.array([*_BEFORE_FIELD, _QUOTE], dtype=np.uint8)
_SPECIAL = (ord(","), ord('"'), ord("\n"), ord("\r"))


@dataclass
class Chunk:
    """Consecutive rows of the input."""

    table: pa.Table
    first_row: int  # the number of its first row, counted from 1 after the header
    misshapen: dict[int, int] = field(default_factory=dict)  # row index -> its field count


class CsvSource:
    """A CSV input as chunks of text columns, readable more than once when
    the input allows it.

    The input is read on this thread in blocks cut at record boundaries, and
    Arrow parses each block in memory: Arrow never reads the stream itself,
    so a signal or a failure is never stuck behind a read on one of its
    threads.
    """

    def __init__(self, source: Input, chunk_size: int) -> None:
        self.input = source
        self.label = source.label
        self.chunk_size = chunk_size
        self._records: _Records | None = _Records(source)
        header, head = self._records.header()
        self.names = _names(header, self.label)
        self._block = _block_size(head, chunk_size)

    def chunks(self) -> Iterator[Chunk]:
        records, self._records = self._records, None
        if records is None:
            records = _Records(self.input)
            records.header()
        row = 1
        for block in records.blocks(self._block):
            table, misshapen = self._parse(block, row)
            for start in range(0, table.num_rows, self.chunk_size):
                piece = table.slice(start, self.chunk_size)
                inside = {
                    i - start: n for i, n in misshapen.items() if 0 <= i - start < piece.num_rows
                }
                yield Chunk(piece, row, inside)
                row += piece.num_rows

    def _parse(self, block: bytes, first_row: int) -> tuple[pa.Table, dict[int, int]]:
        aside: list[tuple[int, int, str]] = []

        def set_aside(row: Any) -> str:
            if row.number is None:
                return "error"
            aside.append((row.number - 1, row.actual_columns, row.text))
            return "skip"

        _check_utf8(block, first_row, self.label)
        try:
            table = pcsv.read_csv(
                pa.py_buffer(block),
                # One thread, so that Arrow knows each row's number.
                read_options=pcsv.ReadOptions(column_names=self.names, use_threads=False),
                # A blank line is a row whose fields are all empty: kept in
                # its place (and bad, its coordinates missing), not dropped.
                parse_options=pcsv.ParseOptions(
                    newlines_in_values=True, ignore_empty_lines=False, invalid_row_handler=set_aside
                ),
                convert_options=pcsv.ConvertOptions(
                    column_types={name: pa.string() for name in self.names}
                ),
            )
        except pa.ArrowInvalid as error:
            raise CliError(f"{self.label}: not readable as CSV: {describe(error)}") from None
        if not aside:
            return table, {}
        return _put_back(table, aside, self.names)


class _Records:
    """Reads a CSV stream in blocks that end where a record ends."""

    def __init__(self, source: Input) -> None:
        self._source = source
        self._stream = source.open()
        self._carry = b""
        self._ended = False

    def header(self) -> tuple[bytes, bytes]:
        """The header record, and the start of the input for a look at it."""
        head = self._read(_HEAD_BYTES)
        head = head.removeprefix(_BOM).lstrip(b"\r\n")
        while True:
            ends = record_ends(head)
            if len(ends) or self._ended:
                cut = int(ends[0]) if len(ends) else len(head)
                self._carry = head[cut:]
                return head[:cut], head
            head += self._read(_HEAD_BYTES)

    def blocks(self, size: int) -> Iterator[bytes]:
        while self._carry or not self._ended:
            data = self._carry + self._read(size)
            if self._ended:
                self._carry = b""
                if data:
                    yield data
                return
            ends = record_ends(data)
            cut = int(ends[-1]) if len(ends) else 0
            # A record longer than a block: read on until it ends.
            self._carry = data[cut:]
            if cut:
                yield data[:cut]

    def _read(self, size: int) -> bytes:
        with self._source.errors():
            data = read_head(self._stream, size)
        self._ended = len(data) < size
        return data


def record_ends(data: bytes) -> Any:
    """The offsets just past each line break in `data` that ends a record,
    that is, one outside quoted fields, as Arrow's parser reads them:
    quotes open a field only at its start, and are doubled inside one.
    `data` must start where a record starts."""
    view = np.frombuffer(data, dtype=np.uint8)
    breaks = np.flatnonzero(view == _LINE_BREAK)
    quotes = np.flatnonzero(view == _QUOTE)
    if len(quotes):
        if _quotes_alternate(view, quotes):
            # Every other quote opens a field: a break is inside a quoted
            # field exactly when an odd number of quotes comes before it.
            breaks = breaks[np.searchsorted(quotes, breaks) % 2 == 0]
        else:
            breaks = _outside(breaks, *_quoted_spans(view, quotes))
    return breaks + 1


def _quotes_alternate(view: Any, quotes: Any) -> bool:
    """Whether quotes 0, 2, 4... each open a field or double a quote, so
    that counting them tells inside from outside."""
    opening = quotes[0::2]
    before = view[opening[opening > 0] - 1]
    return bool(np.isin(before, _BEFORE_OPENING).all())


def _quoted_spans(view: Any, quotes: Any) -> tuple[Any, Any]:
    """Where quoted fields start and end, found one quote at a time: for
    text with quotes inside unquoted fields, where counting fails."""
    starts, ends = [], []
    i, n = 0, len(quotes)
    while i < n:
        start = int(quotes[i])
        i += 1
        if start > 0 and view[start - 1] not in _BEFORE_FIELD:
            continue  # a quote inside an unquoted field is text
        while i + 1 < n and quotes[i + 1] == quotes[i] + 1:
            i += 2  # a doubled quote is text
        starts.append(start)
        ends.append(int(quotes[i]) if i < n else len(view))
        i += 1
    return np.array(starts, dtype=np.int64), np.array(ends, dtype=np.int64)


def _outside(breaks: Any, starts: Any, ends: Any) -> Any:
    if not len(starts):
        return breaks
    span = np.searchsorted(starts, breaks) - 1
    inside = (span >= 0) & (breaks < ends[np.maximum(span, 0)])
    return breaks[~inside]


def _names(header: bytes, label: str) -> list[str]:
    if not header.strip():
        raise CliError(f"{label}: empty input, not even a header row")
    try:
        text = header.decode("utf-8")
    except UnicodeDecodeError:
        raise CliError(f"{label}: the header row is not UTF-8 text") from None
    return next(csv.reader(io.StringIO(text, newline="")))


def _block_size(head: bytes, chunk_size: int) -> int:
    row_bytes = len(head) / max(head.count(b"\n"), 1)
    return int(min(max(chunk_size * row_bytes, _MIN_BLOCK), _MAX_BLOCK))


def _put_back(
    table: pa.Table, aside: list[tuple[int, int, str]], names: list[str]
) -> tuple[pa.Table, dict[int, int]]:
    """`table` with the rows Arrow set aside for their field count back in
    their places (their fields cut or padded to the header's), and where
    they are with how many fields each had."""
    total = table.num_rows + len(aside)
    places = np.array([index for index, _, _ in aside], dtype=np.int64)
    is_aside = np.zeros(total, dtype=bool)
    is_aside[places] = True
    order = np.empty(total, dtype=np.int64)
    order[~is_aside] = np.arange(table.num_rows)
    order[is_aside] = table.num_rows + np.arange(len(aside))
    rows = [_fields(text, len(names)) for _, _, text in aside]
    extra = pa.Table.from_arrays(
        [pa.array([row[k] for row in rows], pa.string()) for k in range(len(names))],
        schema=table.schema,
    )
    merged = pa.concat_tables([table, extra]).take(order)
    return merged, {int(place): fields for place, (_, fields, _) in zip(places, aside, strict=True)}


def _fields(text: str, width: int) -> list[str]:
    """A row's fields, cut or padded to `width`."""
    fields = next(csv.reader(io.StringIO(text, newline="")), [])
    return (fields + [""] * width)[:width]


def _check_utf8(block: bytes, first_row: int, label: str) -> None:
    """Text must be UTF-8, checked before Arrow sees it, so that the row
    at fault can be named."""
    try:
        block.decode("utf-8")
    except UnicodeDecodeError as error:
        row = first_row + len(record_ends(block[: error.start]))
        raise CliError(f"{label}: row {row}: not UTF-8 text") from None


class CsvSink:
    """Writes rows as CSV: the input's columns as they were, then the added
    columns of numbers (the distances, and the azimuths when asked for)."""

    def __init__(self, stream: IO[bytes], names: list[str], label: str) -> None:
        self._stream = stream
        self._label = label
        self._names = names
        # Held back until the first rows are good, so that a run stopped by
        # a bad first chunk prints nothing at all to standard output.
        self._header: bytes | None = (",".join(_quote(name) for name in names) + "\n").encode()

    def finish(self) -> None:
        self._write_header()

    def _write_header(self) -> None:
        if self._header is not None:
            self._stream.write(self._header)
            self._header = None

    def write(self, table: pa.Table, added: list[Any]) -> None:
        self._write_header()
        fields = [
            _quoted(text_column(column, self._label, name))
            for column, name in zip(table.columns, self._names, strict=False)
        ]
        added_names = self._names[len(self._names) - len(added) :]
        fields += [
            _added_text(values, self._label, name)
            for values, name in zip(added, added_names, strict=True)
        ]
        # The line break rides on the last field, so one join makes the lines.
        fields[-1] = pc.binary_join_element_wise(fields[-1], "\n", "")
        lines = pc.binary_join_element_wise(*fields, ",")
        self._stream.write(_text_bytes(lines))


def _added_text(values: Any, label: str, name: str) -> Any:
    """An added column as CSV fields: numbers spelled shortest, text quoted
    where needed, a missing value as an empty field."""
    if isinstance(values, np.ndarray):
        return _number_text(values)
    text = text_column(values, label, name)
    return _quoted(pc.fill_null(text, "") if text.null_count else text)


def _number_text(values: np.ndarray[Any, Any]) -> Any:
    """Shortest round-trip spelling of each value; NaN as an empty field."""
    missing = np.isnan(values)
    text = pc.cast(pa.array(values, mask=missing if missing.any() else None), pa.string())
    return pc.fill_null(text, "") if text.null_count else text


def _quote(text: str) -> str:
    if any(c in text for c in ',"\n\r'):
        return '"' + text.replace('"', '""') + '"'
    return text


def _quoted(column: Any) -> Any:
    """The column with the values that need quotes quoted."""
    if not _has_special_bytes(column):
        return column
    needed = pc.match_substring_regex(column, '[",\n\r]')
    chosen = pc.filter(column, needed)
    quoted = pc.binary_join_element_wise('"', pc.replace_substring(chosen, '"', '""'), '"', "")
    return pc.replace_with_mask(column, needed, quoted)


def _has_special_bytes(column: Any) -> bool:
    # A scan of the raw bytes: far cheaper than a regular expression per value.
    view = np.frombuffer(_text_bytes(column), dtype=np.uint8)
    return any(bool((view == byte).any()) for byte in _SPECIAL)


def _text_bytes(array: Any) -> Any:
    """The bytes of a string array's values, back to back (no copy)."""
    _validity, offsets, data = array.buffers()
    if len(array) == 0 or data is None:
        return b""
    ends = np.frombuffer(offsets, dtype=np.int32)[array.offset : array.offset + len(array) + 1]
    return memoryview(data)[int(ends[0]) : int(ends[-1])]


def text_column(column: Any, label: str, name: str) -> Any:
    """A column as a string array without nulls: text as it is, other types
    (from Parquet) as Arrow spells their values."""
    if isinstance(column, pa.ChunkedArray):
        column = column.chunk(0) if column.num_chunks == 1 else column.combine_chunks()
    try:
        text = column if pa.types.is_string(column.type) else pc.cast(column, pa.string())
    except (pa.ArrowNotImplementedError, pa.ArrowInvalid):
        raise CliError(
            f"{label}: column {name!r} holds {column.type} values, which CSV cannot hold"
        ) from None
    return pc.fill_null(text, "") if text.null_count else text
