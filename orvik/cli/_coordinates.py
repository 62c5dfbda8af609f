"""Coordinates from table columns, and which rows cannot have a distance.

Text is parsed as a decimal number, spelled as numbers on the command line
are (_values.DECIMAL), allowing surrounding spaces; numeric columns are
taken as they are.  Anything else (booleans, dates, lists) is
not a coordinate, so its rows are bad rows rather than ones and zeros.
"""

from __future__ import annotations

from typing import Any

import numpy as np
import pyarrow as pa
import pyarrow.compute as pc

from orvik.cli._values import DECIMAL

_NO_TEXT = pa.scalar(None, pa.string())


def floats(column: Any) -> np.ndarray[Any, np.dtype[np.float64]]:
    """A column's values as float64, NaN where one is missing or not a number."""
    kind = column.type
    if pa.types.is_dictionary(kind):
        column, kind = column.cast(kind.value_type), kind.value_type
    if pa.types.is_string(kind) or pa.types.is_large_string(kind):
        return _numbers(_parse(column))
    if pa.types.is_integer(kind) or pa.types.is_floating(kind) or pa.types.is_decimal(kind):
        return _numbers(pc.cast(column, pa.float64(), safe=False))
    return np.full(len(column), np.nan)


def _parse(text: Any) -> Any:
    try:
        return pc.cast(text, pa.float64())
    except pa.ArrowInvalid:
        pass
    # Some value is not a plain number: the others still count.
    trimmed = pc.utf8_trim_whitespace(text)
    numeric = pc.match_substring_regex(trimmed, DECIMAL)
    return pc.cast(pc.if_else(numeric, trimmed, _NO_TEXT), pa.float64())


def _numbers(values: Any) -> np.ndarray[Any, np.dtype[np.float64]]:
    if values.null_count:
        values = pc.fill_null(values, np.nan)
    if isinstance(values, pa.ChunkedArray):
        values = values.combine_chunks() if values.num_chunks != 1 else values.chunk(0)
    return np.asarray(values.to_numpy(zero_copy_only=False), dtype=np.float64)


def unusable(
    values: list[np.ndarray[Any, np.dtype[np.float64]]],
) -> np.ndarray[Any, np.dtype[np.bool_]]:
    """Rows with a coordinate that is NaN (missing or not a number), infinite,
    or a latitude (lat1, lat2 come first and third) outside [-90, 90]."""
    bad = np.zeros(len(values[0]), dtype=bool)
    for k, v in enumerate(values):
        bad |= ~np.isfinite(v)
        if k % 2 == 0:
            with np.errstate(invalid="ignore"):
                bad |= np.abs(v) > 90.0
    return bad


def describe(
    columns: list[Any], names: list[str], values: list[np.ndarray[Any, Any]], index: int
) -> str:
    """What is wrong with the coordinates of row `index`, if anything."""
    for k, (column, name) in enumerate(zip(columns, names, strict=True)):
        raw = column[index].as_py()
        value = values[k][index]
        if raw is None or (isinstance(raw, str) and not raw.strip()):
            return f"column {name!r} is missing"
        if not _is_coordinate_type(column.type):
            return f"column {name!r} holds {column.type} values, not numbers"
        if not np.isfinite(value):
            return f"column {name!r}: {str(raw)!r} is not a finite number"
        if k % 2 == 0 and abs(value) > 90.0:
            return f"column {name!r}: latitude {raw} is outside [-90, 90]"
    return ""


def _is_coordinate_type(kind: pa.DataType) -> bool:
    if pa.types.is_dictionary(kind):
        kind = kind.value_type
    return bool(
        pa.types.is_string(kind)
        or pa.types.is_large_string(kind)
        or pa.types.is_integer(kind)
        or pa.types.is_floating(kind)
        or pa.types.is_decimal(kind)
    )
