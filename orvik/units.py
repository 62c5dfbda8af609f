"""Unit conversions between metres, kilometres, feet, statute and nautical
miles, degrees and radians, and degree-minute-second triples.

Each conversion is exactly one multiplication or division by its constant.
Numbers give floats; array-likes give arrays (pandas Series for Series).
"""

from orvik._tables import export

__all__ = export(globals())
