"""Every row of the engine's function tables follows the package's
conventions: numbers give floats, arrays give arrays bit for bit equal to
the function of numbers applied element by element, Series give Series,
and what is not a number is refused naming the parameter."""

from __future__ import annotations

import math

import numpy as np
import pandas as pd
import pytest

from bit_equality import float_bits
from package_table import rows

ROWS = [r for r in rows() if r.params]
BROADCAST = [r for r in ROWS if r.layout == "broadcast"]


def floats_of(result):
    """The floats of a result of numbers, in order."""
    if isinstance(result, dict):
        return list(result.values())
    if isinstance(result, tuple):
        return list(result)
    return [result]


@pytest.mark.parametrize("row", [r for r in ROWS if r.numbers_first], ids=str)
def test_numbers_give_floats(row):
    # Or what a field holds when it is not a float: a flag gives a bool.
    values = floats_of(row.function(*row.sample()))
    assert values and [type(v).__name__ for v in values] == list(row.field_types)


@pytest.mark.parametrize("row", BROADCAST, ids=str)
def test_arrays_are_the_function_of_numbers_element_by_element(row):
    rng = np.random.default_rng(7)
    columns = [np.array([v, -v, v / 3, math.nan]) + rng.uniform(0, 1, 4) for v in row.sample()]
    columns[0] = columns[0][:, np.newaxis]  # (4, 1) against (4,): a (4, 4) result
    result = row.function(*columns)
    results = list(result.values()) if isinstance(result, dict) else list(result) if isinstance(result, tuple) else [result]
    grid = np.broadcast_arrays(*columns)
    for index in np.ndindex(grid[0].shape):
        if row.numbers_first:
            one = floats_of(row.function(*(float(a[index]) for a in grid)))
        else:
            one = floats_of(row.function(*(np.float64(a[index]) for a in grid)))
        assert [float_bits(float(r[index])) for r in results] == [float_bits(v) for v in one], index


@pytest.mark.parametrize("row", BROADCAST, ids=str)
def test_series_in_give_series_out(row):
    index = pd.Index([7, 8, 9])
    first = pd.Series([row.sample()[0]] * 3, index=index)
    result = row.function(first, *row.sample()[1:])
    values = list(result.values()) if isinstance(result, dict) else list(result) if isinstance(result, tuple) else [result]
    for value in values:
        assert isinstance(value, pd.Series) and value.index.equals(index)


@pytest.mark.parametrize("bad", [None, "1.5", b"1.5", [1.0, None], ["1.5"], {"a": 1.0}], ids=repr)
@pytest.mark.parametrize("row", ROWS, ids=str)
def test_what_is_not_a_number_is_refused_naming_the_parameter(row, bad):
    args = list(row.sample())
    args[-1] = bad
    with pytest.raises(TypeError, match=f"'{row.params[-1]}'"):
        row.function(*args)
