"""Parquet in and out of orvik batch.

A Parquet file has one schema, so the output's is fixed before the first
row is written: a Parquet input's own, or for CSV input the narrowest of
int64, float64 and text that holds every value of a column in the whole
file (empty fields are nulls).  Integers written with leading zeros (codes,
postcodes) stay text, since a number would lose their spelling.
"""

from __future__ import annotations

from collections.abc import Iterable, Iterator
from contextlib import contextmanager, suppress
from typing import IO, Any

import numpy as np
import pyarrow as pa
import pyarrow.compute as pc
import pyarrow.parquet as pq

from orvik.cli._csv import Chunk
from orvik.cli._errors import CliError, describe, reading

_NO_TEXT = pa.scalar(None, pa.string())
_LADDER = (pa.int64(), pa.float64(), pa.string())
_LEADING_ZERO = r"^[+-]?0\d"


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
    steps = [-1] * width  # index into _LADDER; -1 while only empty fields were seen
    for chunk in chunks:
        for k, column in enumerate(chunk.table.columns):
            if steps[k] < len(_LADDER) - 1:
                steps[k] = _narrowest(column, steps[k])
    return [_LADDER[step] if step >= 0 else pa.string() for step in steps]


def _narrowest(column: Any, step: int) -> int:
    present = pc.filter(column, pc.not_equal(column, ""))
    if len(present) == 0:
        return step
    if pc.any(pc.match_substring_regex(present, _LEADING_ZERO)).as_py():
        return len(_LADDER) - 1
    for candidate in range(max(step, 0), len(_LADDER) - 1):
        try:
            pc.cast(present, _LADDER[candidate])
        except pa.ArrowInvalid:
            continue
        return candidate
    return len(_LADDER) - 1


def typed(column: Any, kind: pa.DataType) -> Any:
    """A text column as `kind`, empty fields as nulls."""
    if kind == column.type:
        return column
    return pc.cast(pc.if_else(pc.equal(column, ""), _NO_TEXT, column), kind)


class ParquetSink:
    """Writes rows to a Parquet file of one schema: the input's columns
    (converted to `types`), then the added columns as float64."""

    def __init__(self, writer: pq.ParquetWriter, types: list[pa.DataType], label: str) -> None:
        self._writer = writer
        self._types = types
        self._label = label

    def write(self, table: pa.Table, added: list[Any]) -> None:
        try:
            columns = [
                typed(column, kind)
                for column, kind in zip(table.columns, self._types, strict=False)
            ]
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
    stream: IO[bytes], names: list[str], types: list[pa.DataType], label: str, added: int
) -> Iterator[ParquetSink]:
    """A sink whose file is finished (its footer written) only on success;
    the last `added` names and types are the added columns."""
    schema = pa.schema([pa.field(name, kind) for name, kind in zip(names, types, strict=True)])
    writer = pq.ParquetWriter(stream, schema)
    try:
        yield ParquetSink(writer, types[:-added], label)
    except BaseException:
        # Closed so that it does not try again, with a closed file, when it
        # is collected; what it wrote is discarded with the run.
        with suppress(Exception):
            writer.close()
        raise
    writer.close()
