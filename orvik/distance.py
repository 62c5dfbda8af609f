"""Distances, destinations and inverse problems: great-circle (on a sphere,
by default of radius 6371008.8 m) and geodesic (on the WGS84 ellipsoid, or
another one).

The functions of numbers also take array-likes.  The batch functions take any
array-likes (lists, tuples, pandas Series, arrays of any dtype, views,
numbers), broadcast them by NumPy's rules and return float64 arrays of the
broadcast shape; the matrix functions give the distances between every point
of one set and every point of another.  All run on the worker pool and agree
bit for bit with the functions of numbers.
"""

from orvik._tables import export

__all__ = export(globals())
