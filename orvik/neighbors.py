"""Nearest neighbours among fixed reference points, exact on the ellipsoid.

    >>> from orvik.neighbors import PointIndex
    >>> airports = PointIndex(airport_lat, airport_lon)       # doctest: +SKIP
    >>> distances, indices = airports.query(fix_lat, fix_lon, k=3)  # doctest: +SKIP

The index answers exactly what brute force would: the distance from each
query point to every reference point with orvik.distance.geodesic_distance
(or great_circle_distance), then a stable sort.  Distances are those
functions' own bits, and ties go to the smaller index.  A k-d tree over
Earth-centred unit vectors only proposes candidates and proves, with a bound
that cannot be beaten, that the rest are further away.

Queries run on the worker pool with the interpreter lock released (see
orvik.set_num_threads), and any number of Python threads may query one
index at once.  The class is compiled (orvik._engine), its arguments taken
as every array function's are.
"""

from orvik._engine import PointIndex

__all__ = ["PointIndex"]
