"""Unit conversions between metres, kilometres, feet, statute and nautical
miles, degrees and radians, and degree-minute-second triples.

Each conversion is exactly one multiplication or division by its constant.
"""

from orvik import _orvik
from orvik._native import publish as _publish

__all__ = _publish(_orvik.units, globals())
