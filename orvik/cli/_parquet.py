"""Parquet in and out of orvik batch.

A Parquet file has one schema, so the output's is fixed before the first
row is written: a Parquet input's own, or for CSV input the narrowest of
int64, float64 and text that holds every value of a column in the whole
file exactly (empty fields are nulls): a number too long for float64
(12345678901234567891, 9007199254740993 among fractions, 1e400) keeps its
column text.  Integers written with leading zeros (codes, postcodes) stay
text, since a number would lose their spelling.
"""

from __future__ import annotations

import math
from collections.abc import Iterable, Iterator
from contextlib import contextmanager, suppress
from decimal import Decimal
from typing import IO, Any

import numpy as np
import pyarrow as pa
import pyarrow.compute as pc
import pyarrow.parquet as pq

from orvik.cli._csv import Chunk
from orvik.cli._errors import CliError, describe, reading

_NO_TEXT = pa.scalar(None, pa.string())
_LADDER = (pa.int64(), pa.float64(), pa.string())
_INT, _FLOAT, _TEXT = range(3)
# Integers with leading zeros (codes, postcodes) and hexadecimal ones, which
# Arrow would read as numbers, losing their spelling.
_NOT_A_NUMBER = r"^[+-]?0[0-9xX]"
_NOT_FINITE = r"^[+-]?(inf|infinity|nan)$"
# Every int64 of at most this magnitude is a float64 too.
_EXACT_INTS = 2**53
# A decimal of at most 15 significant digits (DBL_DIG) between these bounds
# is the same number after a trip through float64 and back to its shortest
# spelling.
_SURE_DIGITS = 15
_NORMAL = (2.2250738585072014e-308, 1.7976931348623157e308)
_PART_NAMES = ("sign", "whole", "fraction", "power_sign", "power")
_PARTS = (
    r"^(?P<sign>[+-]?)(?P<whole>[0-9]*)\.?(?P<fraction>[0-9]*)"
    r"(?:[eE](?P<power_sign>[+-]?)(?P<power>[0-9]+))?$"
)


class ParquetSource:
    """A Parquet input as chunks of its row groups' rows."""

    def __init__(self, path: str, chunk_size: int) -> None:
        self.label = path
        self.chunk_size = chunk_size
        with self._errors():
            self._file = pq.ParquetFile(path)
        schema = self._file.schema_arrow
        self.names: list[str] = schema.names
        self.types: list[pa.DataType] = list(schema.types)
        self.rows: int = self._file.metadata.num_rows

    def chunks(self) -> Iterator[Chunk]:
        row = 1
        batches = self._file.iter_batches(batch_size=self.chunk_size)
        while True:
            with self._errors():
                batch = next(batches, None)
            if batch is None:
                return
            yield Chunk(pa.Table.from_batches([batch]), row)
            row += batch.num_rows

    @contextmanager
    def _errors(self) -> Iterator[None]:
        try:
            with reading(self.label):
                yield
        except (OSError, pa.ArrowException) as error:
            raise CliError(f"{self.label}: not a Parquet file ({describe(error)})") from None


def column_types(chunks: Iterable[Chunk], width: int) -> list[pa.DataType]:
    """For each text column, the narrowest type that holds all its values."""
    columns = [_Column() for _ in range(width)]
    for chunk in chunks:
        for column, values in zip(columns, chunk.table.columns, strict=False):
            column.see(values)
    return [column.kind for column in columns]


class _Column:
    """The narrowest type that holds every value of a column seen so far:
    int64, then float64, then text.  A number holds a value when it is the
    same number, not merely a near one: a float64 column comes back as the
    same numbers (written shortest, as Arrow and Python write them), and so
    does an integer column, which may become a float64 one later."""

    def __init__(self) -> None:
        self.step = -1  # index into _LADDER; -1 while only empty fields were seen
        self.floats_hold_ints = True  # whether float64 holds every integer so far

    @property
    def kind(self) -> pa.DataType:
        return _LADDER[self.step] if self.step >= 0 else pa.string()

    def see(self, column: Any) -> None:
        if self.step == _TEXT:
            return
        if isinstance(column, pa.ChunkedArray):
            column = column.chunk(0) if column.num_chunks == 1 else column.combine_chunks()
        present = pc.filter(column, pc.not_equal(column, ""))
        if len(present) == 0:
            return
        if pc.any(pc.match_substring_regex(present, _NOT_A_NUMBER)).as_py():
            self.step = _TEXT
            return
        if self.step <= _INT:
            try:
                ints = pc.cast(present, pa.int64())
            except pa.ArrowInvalid:
                pass
            else:
                self.step = _INT
                self.floats_hold_ints = self.floats_hold_ints and _floats_hold(ints)
                return
            if self.step == _INT and not self.floats_hold_ints:
                self.step = _TEXT  # float64 would round the integers of earlier rows
                return
        try:
            floats = pc.cast(present, pa.float64())
        except pa.ArrowInvalid:
            self.step = _TEXT
            return
        self.step = _FLOAT if _same_numbers(present, floats) else _TEXT


def _floats_hold(ints: Any) -> bool:
    """Whether float64 holds every one of these int64 values exactly."""
    values = ints.to_numpy()
    beyond = values[(values > _EXACT_INTS) | (values < -_EXACT_INTS)]
    return all(int(float(value)) == value for value in beyond.tolist())


def _same_numbers(text: Any, floats: Any) -> bool:
    """Whether each float64 that Arrow parsed from `text` is the number the
    text spells: the text and the float's shortest spelling have the same
    decimal value.  A decimal of at most 15 significant digits in float64's
    normal range always is, so only longer texts, and zeros, subnormal,
    infinite and NaN values, are compared."""
    doubt = pc.invert(_surely_same(text, floats))
    doubts = pc.sum(doubt).as_py() or 0
    if doubts == 0:
        return True
    finite = pc.is_finite(floats)
    if not pc.all(finite).as_py():
        # inf and nan spelled out are what they say; a finite text is not.
        odd = pc.filter(text, pc.invert(finite))
        if not pc.all(pc.match_substring_regex(odd, _NOT_FINITE, ignore_case=True)).as_py():
            return False
        doubt = pc.and_(doubt, finite)
    # Spelling every float costs less than picking out the doubtful ones
    # unless they are few.
    if doubts * 4 < len(text) or not pc.all(finite).as_py():
        text, floats = pc.filter(text, doubt), pc.filter(floats, doubt)
    # Text written by Python or Arrow (shortest, as repr) most often is the
    # float's shortest spelling; only the rest is compared by value.
    shortest = pc.cast(floats, pa.string())
    other = pc.not_equal(text, shortest)
    if not pc.any(other).as_py():
        return True
    text, shortest = pc.filter(text, other), pc.filter(shortest, other)
    spelled, read_back = _decimal(text), _decimal(shortest)
    if spelled is None or read_back is None:
        return all(_same_number(value) for value in text.to_pylist())
    return all(pc.all(pc.equal(a, b)).as_py() for a, b in zip(spelled, read_back, strict=True))


def _surely_same(text: Any, floats: Any) -> Any:
    magnitude = pc.abs(floats)
    normal = pc.and_(pc.greater_equal(magnitude, _NORMAL[0]), pc.less_equal(magnitude, _NORMAL[1]))
    return pc.and_(normal, pc.less_equal(pc.binary_length(text), _SURE_DIGITS))


def _decimal(text: Any) -> tuple[Any, Any, Any] | None:
    """Decimal numbers as (negative, significant digits, power of ten), the
    same for the same number however it is spelled ("1.50", "15e-1"); None
    where an exponent is too long to compute with here."""
    parts = pc.extract_regex(text, _PARTS)
    if parts.null_count:
        return None
    sign, whole, fraction, power_sign, power = (parts.field(name) for name in _PART_NAMES)
    power = pc.utf8_ltrim(power, "0")
    if pc.max(pc.binary_length(power)).as_py() > 6:
        return None
    power = pc.cast(pc.if_else(pc.equal(power, ""), "0", power), pa.int64())
    power = pc.if_else(pc.equal(power_sign, "-"), pc.negate(power), power)
    digits = pc.utf8_ltrim(pc.binary_join_element_wise(whole, fraction, ""), "0")
    significant = pc.utf8_rtrim(digits, "0")
    trailing_zeros = pc.subtract(pc.binary_length(digits), pc.binary_length(significant))
    power = pc.add(pc.subtract(power, pc.binary_length(fraction)), trailing_zeros)
    power = pc.if_else(pc.equal(significant, ""), 0, power)  # zero, whatever its exponent
    return pc.equal(sign, "-"), significant, power


def _same_number(text: str) -> bool:
    value = float(text)
    return math.isfinite(value) and Decimal(text) == Decimal(repr(value))


def typed(column: Any, kind: pa.DataType) -> Any:
    """A CSV column (text) as `kind`, empty fields as nulls."""
    blank = pc.equal(column, "")
    if pc.any(blank).as_py():
        column = pc.if_else(blank, _NO_TEXT, column)
    return column if kind == column.type else pc.cast(column, kind)


class ParquetSink:
    """Writes rows to a Parquet file of one schema: the input's columns
    (CSV's text converted to `types`, Parquet's as they are), then the
    added columns."""

    def __init__(
        self, writer: pq.ParquetWriter, types: list[pa.DataType] | None, label: str
    ) -> None:
        self._writer = writer
        self._types = types
        self._label = label

    def write(self, table: pa.Table, added: list[Any]) -> None:
        try:
            columns = table.columns
            if self._types is not None:
                columns = [typed(c, kind) for c, kind in zip(columns, self._types, strict=False)]
        except pa.ArrowInvalid as error:
            raise CliError(f"{self._label}: changed while being read ({describe(error)})") from None
        kinds = self._writer.schema.types[len(columns) :]
        columns += [
            pa.array(values, kind) if isinstance(values, np.ndarray) else values.cast(kind)
            for values, kind in zip(added, kinds, strict=True)
        ]
        self._writer.write_table(pa.Table.from_arrays(columns, schema=self._writer.schema))


@contextmanager
def parquet_sink(
    stream: IO[bytes], names: list[str], types: list[pa.DataType], label: str, added: int, text: bool
) -> Iterator[ParquetSink]:
    """A sink whose file is finished (its footer written) only on success;
    the last `added` names and types are the added columns; `text`: the
    input's columns are CSV's text, to convert."""
    schema = pa.schema([pa.field(name, kind) for name, kind in zip(names, types, strict=True)])
    writer = pq.ParquetWriter(stream, schema)
    try:
        yield ParquetSink(writer, types[:-added] if text else None, label)
    except BaseException:
        # Closed so that it does not try again, with a closed file, when it
        # is collected; what it wrote is discarded with the run.
        with suppress(Exception):
            writer.close()
        raise
    writer.close()
