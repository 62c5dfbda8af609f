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
index at once.
"""

from __future__ import annotations

import math
import operator
import os
from typing import TYPE_CHECKING, Any

from orvik import _arrays, _engine

if TYPE_CHECKING:
    from numpy.typing import ArrayLike

__all__ = ["PointIndex"]

METHODS = ("geodesic", "great-circle")

# A result slot of query(): a float64 distance and an int64 index.
_SLOT_BYTES = 16


def _memory_limit() -> float:
    """The machine's physical memory, or the process's address-space limit
    when that is lower; no limit when neither can be read."""
    limit = math.inf
    try:
        limit = os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE")
    except (AttributeError, ValueError, OSError):
        pass
    try:
        import resource

        soft, _ = resource.getrlimit(resource.RLIMIT_AS)
        if soft != resource.RLIM_INFINITY:
            limit = min(limit, soft)
    except (ImportError, OSError, ValueError):
        pass
    return limit


def _method(function: str, method: object) -> str:
    if method not in METHODS:
        raise ValueError(f"{function}(): method must be 'geodesic' or 'great-circle', not {method!r}")
    return str(method)


def _flat(np: Any, array: Any) -> Any:
    """A float64 array as the contiguous 1-D buffer the engine reads; broadcast
    views are copied (one element per query point, no more than the results)."""
    return np.ascontiguousarray(array).reshape(-1)


class PointIndex:
    """An index of reference points for nearest-neighbour queries.

    ``PointIndex(lat, lon, *, ellipsoid=None)`` copies the n points (degrees;
    array-likes broadcast together to one dimension, a number being one
    point).  Each latitude must be within [-90, 90] and each longitude
    finite: otherwise ValueError names the first bad point, by its position
    and value.  Points are paired by position, so pandas Series given for
    both must share one index (ValueError otherwise, as for query).  The
    ellipsoid is WGS84 unless `ellipsoid` names another ('GRS80', 'WGS72')
    or gives an (a, f) pair.

    Results refer to reference points by their position, 0 to n - 1 (not by
    a pandas label).  ``len(index)`` is n; ``index.nbytes`` the memory the
    index holds.  An index pickles (the pickle holds the points and the
    ellipsoid, and the tree is rebuilt on load), so Dask workers and process
    pools can receive it, and it is immutable: any number of threads may
    query it at once.
    """

    __slots__ = ("_core", "__weakref__")

    def __init__(self, lat: ArrayLike, lon: ArrayLike, *, ellipsoid: Any = None) -> None:
        np = _arrays.load_numpy()
        function = "PointIndex"
        _arrays.common_index(function, ("lat", "lon"), (lat, lon))
        lat_a = _arrays.as_float64(np, lat, "lat", function)
        lon_a = _arrays.as_float64(np, lon, "lon", function)
        lat_a, lon_a = (_flat(np, a) for a in _arrays.point_set(np, function, lat_a, lon_a, ("lat", "lon")))
        self._core = _engine.PointIndex(lat_a, lon_a, ellipsoid)

    @classmethod
    def _from_pickle(cls, lat: Any, lon: Any, ellipsoid: tuple[float, float]) -> PointIndex:
        return cls(lat, lon, ellipsoid=ellipsoid)

    def __reduce__(self) -> tuple[Any, ...]:
        lat, lon = self._points()
        return (type(self)._from_pickle, (lat, lon, self.ellipsoid))

    def __len__(self) -> int:
        return len(self._core)

    def __repr__(self) -> str:
        a, f = self.ellipsoid
        return f"<orvik.neighbors.PointIndex of {len(self):,} points, ellipsoid a={a!r} f={f!r}>"

    @property
    def nbytes(self) -> int:
        """Bytes of memory the index holds: the points, their unit vectors and
        the tree."""
        return int(self._core.nbytes)

    @property
    def ellipsoid(self) -> tuple[float, float]:
        """The index's ellipsoid as (a, f): equatorial radius in metres and
        flattening."""
        a, f = self._core.ellipsoid
        return (a, f)

    def _points(self) -> tuple[Any, Any]:
        """New float64 arrays (lat, lon) of the reference points, in their
        input order."""
        np = _arrays.load_numpy()
        n = len(self._core)
        lat, lon = np.empty(n), np.empty(n)
        self._core.points(lat, lon)
        return lat, lon

    def query(
        self,
        lat: ArrayLike,
        lon: ArrayLike,
        k: int = 1,
        *,
        method: str = "geodesic",
        max_distance: float | None = None,
    ) -> tuple[Any, Any]:
        """The k nearest reference points to each query point.

        Returns ``(distances, indices)``: float64 metres and int64 positions
        of the reference points, of shape ``query_shape + (k,)``, where the
        query shape is that of `lat` and `lon` broadcast together.  A single
        query point (numbers) gives arrays of shape ``(k,)``.  Each row is
        sorted by distance, ties by the smaller index.

        `method` is "geodesic" (on the index's ellipsoid) or "great-circle"
        (the sphere and formula of orvik.distance.great_circle_distance).
        Slots beyond n, or beyond `max_distance` metres (inclusive), hold
        inf and -1; so does the whole row of a query point that is NaN,
        infinite or has |lat| > 90.  A k whose outputs cannot fit in memory
        is refused with MemoryError before any work.
        """
        function = "PointIndex.query"
        try:
            k = operator.index(k) if not isinstance(k, bool) else 0
        except TypeError:
            raise TypeError(f"{function}(): k must be an integer, not {type(k).__name__}") from None
        if k < 1:
            raise ValueError(f"{function}(): k must be at least 1, not {k!r}")
        method = _method(function, method)
        if max_distance is None:
            limit = math.inf
        else:
            if isinstance(max_distance, (str, bytes)):
                raise TypeError(f"{function}(): max_distance must be a number or None")
            limit = float(max_distance)
            if not limit >= 0.0:
                raise ValueError(f"{function}(): max_distance must be >= 0 metres, not {max_distance!r}")
        c = _arrays.Converted(function, ("lat", "lon"), (lat, lon))
        np = c.np
        # Refused before any work: slots beyond n are part of the answer, but
        # outputs that cannot fit in memory would only fail (or get the
        # process killed) later.
        slots = math.prod(c.shape) * k
        if slots * _SLOT_BYTES > _memory_limit():
            raise MemoryError(
                f"{function}(): k={k!r} is too large: {math.prod(c.shape):,} query points x k result slots "
                f"need {slots * _SLOT_BYTES:,} bytes, more than this machine's memory"
            )
        try:
            distances = np.empty(c.shape + (k,), dtype=np.float64)
            indices = np.empty(c.shape + (k,), dtype=np.int64)
        except ValueError as error:
            raise ValueError(f"{function}(): {error}") from None
        except MemoryError:
            raise MemoryError(
                f"{function}(): not enough memory for k={k!r}: {math.prod(c.shape):,} query points x k result "
                f"slots need {slots * _SLOT_BYTES:,} bytes"
            ) from None
        flat_lat, flat_lon = (_flat(np, a) for a in c.arrays)
        self._core.query(flat_lat, flat_lon, k, method, limit, distances, indices)
        return distances, indices

    def query_radius(
        self,
        lat: ArrayLike,
        lon: ArrayLike,
        r: ArrayLike,
        *,
        method: str = "geodesic",
        sort: bool = True,
    ) -> tuple[Any, Any, Any]:
        """Every reference point within `r` metres (distance <= r) of each
        query point.

        `lat`, `lon` and `r` broadcast together.  Returns ``(offsets,
        indices, distances)`` in CSR form: the hits of query i, counting the
        query points in C order of the broadcast shape, are
        ``indices[offsets[i]:offsets[i + 1]]`` (int64 positions) and
        ``distances[offsets[i]:offsets[i + 1]]`` (float64 metres);
        ``offsets`` has one element more than there are query points.  With
        `sort` each query's hits are ordered by distance, ties by index;
        without, by index.  A query point that is NaN, infinite or has
        |lat| > 90, or whose r is NaN or negative, has no hits.  A result
        too large for memory raises MemoryError saying how many hits it
        needed (or had found when it stopped).
        """
        function = "PointIndex.query_radius"
        method = _method(function, method)
        c = _arrays.Converted(function, ("lat", "lon", "r"), (lat, lon, r))
        np = c.np
        flat_lat, flat_lon, flat_r = (_flat(np, a) for a in c.arrays)
        offsets = np.empty(flat_lat.size + 1, dtype=np.int64)
        index_bytes, distance_bytes = self._core.query_radius(
            flat_lat, flat_lon, flat_r, method, bool(sort), offsets
        )
        indices = np.frombuffer(index_bytes, dtype=np.int64)
        distances = np.frombuffer(distance_bytes, dtype=np.float64)
        return offsets, indices, distances
