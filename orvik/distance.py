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

from __future__ import annotations

from typing import TYPE_CHECKING, Any

from orvik import _arrays, _engine
from orvik._engine import (
    geodesic_destination,
    geodesic_distance,
    geodesic_inverse,
    great_circle_destination,
    great_circle_distance,
)

if TYPE_CHECKING:
    from numpy.typing import ArrayLike

__all__ = [
    "geodesic_distance",
    "geodesic_destination",
    "great_circle_distance",
    "great_circle_destination",
    "geodesic_inverse",
    "geodesic_distance_batch",
    "great_circle_distance_batch",
    "geodesic_distance_matrix",
    "great_circle_distance_matrix",
    "geodesic_destination_batch",
    "great_circle_destination_batch",
]

PAIR = ("lat1", "lon1", "lat2", "lon2")
DESTINATION = ("lat1", "lon1", "bearing", "distance")


def geodesic_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, ellipsoid: Any = None
) -> Any:
    """Geodesic distances in metres between broadcast pairs of points.

    Array-likes of any shape broadcast by NumPy's rules: one point against
    many needs no repeated arrays.  The ellipsoid is WGS84 unless `ellipsoid`
    names another ('GRS80', 'WGS72') or gives an (a, f) pair.  Raises
    ValueError naming the shapes when they cannot be broadcast.
    """
    c = _arrays.Converted("geodesic_distance_batch", PAIR, (lat1, lon1, lat2, lon2))
    out = c.empty()
    outputs = (out, None, None, None, None, None, None, None)
    _engine.geodesic_inverse_into(outputs, *c.arrays, ellipsoid)
    return c.give(out)


def great_circle_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, radius: float = 6371008.8
) -> Any:
    """Great-circle distances in metres between broadcast pairs of points, on
    a sphere of `radius` metres.

    Array-likes of any shape broadcast by NumPy's rules.  Raises ValueError
    naming the shapes when they cannot be broadcast.
    """
    c = _arrays.Converted("great_circle_distance_batch", PAIR, (lat1, lon1, lat2, lon2))
    out = c.empty()
    _engine.great_circle_distance_into(out, *c.arrays, radius)
    return c.give(out)


def geodesic_destination_batch(
    lat1: ArrayLike, lon1: ArrayLike, bearing: ArrayLike, distance: ArrayLike, *, ellipsoid: Any = None
) -> tuple[Any, Any]:
    """The (lat2, lon2) arrays reached from broadcast start points along
    `bearing` (degrees clockwise from north) after `distance` metres on the
    ellipsoid; longitudes are reduced to [-180, 180]."""
    c = _arrays.Converted("geodesic_destination_batch", DESTINATION, (lat1, lon1, bearing, distance))
    lat2, lon2 = c.empty(), c.empty()
    _engine.geodesic_direct_into((lat2, lon2, None, None, None, None, None, None), *c.arrays, ellipsoid)
    return c.give(lat2), c.give(lon2)


def great_circle_destination_batch(
    lat1: ArrayLike, lon1: ArrayLike, bearing: ArrayLike, distance: ArrayLike, *, radius: float = 6371008.8
) -> tuple[Any, Any]:
    """The (lat2, lon2) arrays reached on a sphere of `radius` metres from
    broadcast start points along `bearing` after `distance` metres; longitudes
    are not wrapped, as great_circle_destination's are not."""
    c = _arrays.Converted("great_circle_destination_batch", DESTINATION, (lat1, lon1, bearing, distance))
    lat2, lon2 = c.empty(), c.empty()
    _engine.great_circle_destination_into(lat2, lon2, *c.arrays, radius)
    return c.give(lat2), c.give(lon2)


def _matrix(function: str, values: tuple[object, ...]) -> tuple[Any, list[Any]]:
    """The output and the operands of a distance matrix: rows are the first
    point set, columns the second."""
    np = _arrays.load_numpy()
    arrays = [_arrays.as_float64(np, v, p, function) for v, p in zip(values, PAIR, strict=True)]
    lat1, lon1 = _arrays.point_set(np, function, arrays[0], arrays[1], ("lat1", "lon1"))
    lat2, lon2 = _arrays.point_set(np, function, arrays[2], arrays[3], ("lat2", "lon2"))
    shape = (lat1.shape[0], lat2.shape[0])
    # Rows repeat the first set along axis 1, columns the second along axis
    # 0: both are stride-0 views, not copies.
    operands = [np.broadcast_to(a[:, np.newaxis], shape) for a in (lat1, lon1)]
    operands += [np.broadcast_to(a[np.newaxis, :], shape) for a in (lat2, lon2)]
    return np.empty(shape, dtype=np.float64), operands


def geodesic_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, ellipsoid: Any = None
) -> Any:
    """The (n, m) geodesic distances in metres from each of the n points
    (lat1, lon1) to each of the m points (lat2, lon2).

    Each set is one-dimensional; a number is a set of one point.
    """
    out, operands = _matrix("geodesic_distance_matrix", (lat1, lon1, lat2, lon2))
    _engine.geodesic_inverse_into((out, None, None, None, None, None, None, None), *operands, ellipsoid)
    return out


def great_circle_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, radius: float = 6371008.8
) -> Any:
    """The (n, m) great-circle distances in metres from each of the n points
    (lat1, lon1) to each of the m points (lat2, lon2), on a sphere of
    `radius` metres.

    Each set is one-dimensional; a number is a set of one point.
    """
    out, operands = _matrix("great_circle_distance_matrix", (lat1, lon1, lat2, lon2))
    _engine.great_circle_distance_into(out, *operands, radius)
    return out
