"""orvik: fast, exact geodesy for Python.

Great-circle and WGS84 (or other ellipsoid) geodesic distances,
destinations, inverse and direct problems over numbers and arrays, computed
on all cores; rhumb lines, the courses of constant bearing (orvik.rhumb);
exact nearest neighbours among reference points (orvik.neighbors); unit
conversions; and control over how many threads the array functions use.
"""

from orvik import distance, geodesic, neighbors, rhumb, units
from orvik._threads import get_num_threads, num_threads, set_num_threads
from orvik import _threadpoolctl

_threadpoolctl.install()

__all__ = ["distance", "geodesic", "neighbors", "rhumb", "units", "get_num_threads", "set_num_threads", "num_threads"]
__version__ = "0.1.0"
