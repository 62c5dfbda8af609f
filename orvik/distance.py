"""Distances, destinations and inverse problems: great-circle (on a sphere of
radius 6371008.8 m) and geodesic (on the WGS84 ellipsoid).

The scalar functions are the native ones.  The batch functions take any
array-likes (lists, tuples, pandas Series, arrays of any dtype, views,
scalars), broadcast them by NumPy's rules and return a float64 array of the
broadcast shape; the matrix functions give the distances between every point
of one set and every point of another.  Both run on the worker pool and agree
bit for bit with the scalar functions.
"""

from __future__ import annotations

from typing import TYPE_CHECKING

from orvik import _arrays, _export, _orvik
from orvik._native import publish as _publish

if TYPE_CHECKING:
    import numpy as np
    from numpy.typing import ArrayLike, NDArray

__all__ = _publish(_orvik.distance, globals())


def geodesic_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]:
    """Geodesic (WGS84) distances in metres between broadcast pairs of points.

    Array-likes of any shape broadcast by NumPy's rules: one point against
    many needs no repeated arrays.  Raises ValueError naming the shapes when
    they cannot be broadcast.
    """
    return _arrays.broadcast_distances(
        _export.geodesic_distance_into, "geodesic_distance_batch", lat1, lon1, lat2, lon2
    )


def great_circle_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]:
    """Great-circle distances in metres between broadcast pairs of points.

    Array-likes of any shape broadcast by NumPy's rules.  Raises ValueError
    naming the shapes when they cannot be broadcast.
    """
    return _arrays.broadcast_distances(
        _export.great_circle_distance_into, "great_circle_distance_batch", lat1, lon1, lat2, lon2
    )


def geodesic_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]:
    """The (n, m) geodesic (WGS84) distances in metres from each of the n
    points (lat1, lon1) to each of the m points (lat2, lon2).

    Each set is one-dimensional; a scalar is a set of one point.
    """
    return _arrays.distance_matrix(
        _export.geodesic_distance_into, "geodesic_distance_matrix", lat1, lon1, lat2, lon2
    )


def great_circle_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]:
    """The (n, m) great-circle distances in metres from each of the n points
    (lat1, lon1) to each of the m points (lat2, lon2).

    Each set is one-dimensional; a scalar is a set of one point.
    """
    return _arrays.distance_matrix(
        _export.great_circle_distance_into, "great_circle_distance_matrix", lat1, lon1, lat2, lon2
    )


# The batch functions replace the native ones of the same name (which take
# only contiguous one-dimensional float64 arrays of equal length) in place.
_BATCH = ("geodesic_distance_batch", "great_circle_distance_batch")
__all__ = [
    *__all__,
    *(name for name in _BATCH if name not in __all__),
    "geodesic_distance_matrix",
    "great_circle_distance_matrix",
]
