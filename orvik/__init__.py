"""orvik: fast, exact geodesy for Python.

Great-circle and WGS84 geodesic distances and destinations, batch distances
and distance matrices over array-likes computed on all cores, and unit
conversions.
"""

from orvik import distance, geodesic, units

__all__ = ["distance", "geodesic", "units"]
__version__ = "0.1.0"
