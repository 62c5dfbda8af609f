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


def number(text: str) -> float:
    """A finite decimal number, for argparse."""
    try:
        value = float(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not a number") from None
    if not math.isfinite(value):
        raise argparse.ArgumentTypeError(f"{text!r} is not a finite number")
    return value


def latitude(text: str) -> float:
    value = number(text)
    if not -90.0 <= value <= 90.0:
        raise argparse.ArgumentTypeError(f"latitude {text} is outside [-90, 90]")
    return value


def positive(text: str) -> int:
    """A whole number of at least 1, for argparse."""
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not a whole number") from None
    if value < 1:
        raise argparse.ArgumentTypeError(f"must be at least 1, not {value}")
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
