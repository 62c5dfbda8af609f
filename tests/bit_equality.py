"""The one bit-for-bit comparison of the suite: float64 results equal to
their expected values in every bit, -0.0 told from 0.0 and NaN payloads
compared unless told otherwise."""

from __future__ import annotations

import struct

import numpy as np


def float_bits(x: float) -> bytes:
    return struct.pack("<d", x)


def bits_differ(actual: np.ndarray, expected: np.ndarray, *, any_nan: bool = False) -> np.ndarray:
    """Where two float64 arrays of one shape differ in their bits; with
    `any_nan`, every NaN equals every other."""
    actual, expected = (np.ascontiguousarray(a, dtype=np.float64) for a in (actual, expected))
    differ = actual.view(np.uint64) != expected.view(np.uint64)
    if any_nan:
        differ &= ~(np.isnan(actual) & np.isnan(expected))
    return differ


def assert_bits_equal(actual: object, expected: object, *, any_nan: bool = False) -> None:
    """`actual` is a float64 ndarray of `expected`'s shape and bits."""
    assert isinstance(actual, np.ndarray), type(actual)
    assert actual.dtype == np.float64, actual.dtype
    expected = np.asarray(expected, dtype=np.float64)
    assert actual.shape == expected.shape, (actual.shape, expected.shape)
    differ = bits_differ(actual, expected, any_nan=any_nan)
    if differ.any():
        i = np.flatnonzero(differ)[0]
        raise AssertionError(
            f"{int(differ.sum())} of {differ.size} values differ, first at {i}: "
            f"{actual.reshape(-1)[i]!r} != {expected.reshape(-1)[i]!r}"
        )
