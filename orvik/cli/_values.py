"""Parsing and formatting of the numbers and units the commands take."""

from __future__ import annotations

import argparse
import math
import re
from collections.abc import Callable
from typing import Any

from orvik import units

UNITS = ("m", "km", "mi", "nm", "ft")
METHODS = ("geodesic", "great-circle")

# What argparse must take for a negative number rather than an option:
# "-1e-3" and "-inf" as well as the "-1" and "-1.5" it knows by itself.
NEGATIVE_NUMBER = re.compile(
    r"^-(\d[\d_]*\.?[\d_]*|\.\d[\d_]*)([eE][-+]?\d+)?$|^-(inf|infinity|nan)$", re.I
)


# The one spelling of a number that every command takes, on the command line
# and in CSV fields alike: ASCII digits with an optional sign, decimal point
# and exponent, and spaces around it.  Python's float() would also take
# "1_0" and digits of other scripts, which CSV readers do not.
DECIMAL = r"^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$"
_DECIMAL = re.compile(DECIMAL)
_NOT_FINITE = re.compile(r"^[+-]?(inf|infinity|nan)$", re.I)
_WHOLE = re.compile(r"^[+-]?[0-9]+$")
# Rows a streaming command reads, computes and writes at a time.
CHUNK_SIZES = (1, 1_000_000_000)


def number(text: str) -> float:
    """A finite decimal number, for argparse."""
    spelled = text.strip()
    if _NOT_FINITE.match(spelled):
        raise argparse.ArgumentTypeError(f"{text!r} is not a finite number")
    if not _DECIMAL.match(spelled):
        raise argparse.ArgumentTypeError(f"{text!r} is not a number")
    value = float(spelled)
    if not math.isfinite(value):
        raise argparse.ArgumentTypeError(f"{text!r} is not a finite number")
    return value


def latitude(text: str) -> float:
    value = number(text)
    if not -90.0 <= value <= 90.0:
        raise argparse.ArgumentTypeError(f"latitude {text} is outside [-90, 90]")
    return value


def _whole(text: str) -> int:
    spelled = text.strip()
    if not _WHOLE.match(spelled):
        raise argparse.ArgumentTypeError(f"{text!r} is not a whole number")
    return int(spelled)


def positive(text: str) -> int:
    """A whole number of at least 1, for argparse."""
    value = _whole(text)
    if value < 1:
        raise argparse.ArgumentTypeError(f"must be at least 1, not {value}")
    return value


def chunk_rows(text: str) -> int:
    """A number of rows per chunk, for argparse: bounded, since Arrow takes
    lengths as 64-bit integers and no chunk beyond the bound fits in memory."""
    value = _whole(text)
    low, high = CHUNK_SIZES
    if not low <= value <= high:
        raise argparse.ArgumentTypeError(f"must be between {low} and {high:,}, not {value}")
    return value


def name(text: str) -> str:
    """A non-empty name, for argparse."""
    if not text.strip():
        raise argparse.ArgumentTypeError("must not be empty")
    return text


def from_metres(metres: Any, unit: str) -> Any:
    """A length (float or array) in metres, converted to `unit` by
    orvik.units, which converts floats and arrays alike, bit for bit."""
    if unit == "m":
        return metres
    if unit == "ft":
        return units.m_to_ft(metres)
    km = units.m_to_km(metres)
    return km if unit == "km" else _FROM_KM[unit](km)


def to_metres(value: float, unit: str) -> float:
    if unit == "m":
        return value
    if unit == "ft":
        return float(units.ft_to_m(value))
    km = value if unit == "km" else _TO_KM[unit](value)
    return float(units.km_to_m(km))


_FROM_KM: dict[str, Callable[[Any], Any]] = {"mi": units.km_to_mi, "nm": units.km_to_nm}
_TO_KM: dict[str, Callable[[Any], Any]] = {"mi": units.mi_to_km, "nm": units.nm_to_km}
