"""The direct and inverse geodesic problems on an ellipsoid (WGS84 unless
told otherwise), solved by GeographicLib, over numbers and over arrays with
the outputs the caller chooses; points along geodesics, lengths of tracks and
areas of rings; and the WGS84 ellipsoid's parameters."""

from __future__ import annotations

import math
import operator
from typing import TYPE_CHECKING, Any

from orvik import _arrays, _engine
from orvik._tables import export

if TYPE_CHECKING:
    from numpy.typing import ArrayLike

__all__ = export(globals()) + ["line_points", "path_length", "polygon_area"]


ENDPOINTS = ("lat1", "lon1", "lat2", "lon2")


def _point_count(n: Any, include_ends: bool) -> int:
    if isinstance(n, bool):
        raise TypeError(f"line_points() argument 'n' must be an int, not {type(n).__name__}")
    try:
        count = operator.index(n)
    except TypeError:
        raise TypeError(f"line_points() argument 'n' must be an int, not {type(n).__name__}") from None
    if count < 0 or (include_ends and count == 1):
        least = "2 (or 0) when include_ends is true" if include_ends else "0"
        raise ValueError(f"line_points() argument 'n' must be at least {least}, not {count}")
    return count


def _steps_of(c: _arrays.Converted, spacing: Any, ellipsoid: Any) -> int:
    """The number of equal steps of about `spacing` metres along the one
    line: its length over `spacing`, rounded, and at least one."""
    if c.shape != ():
        raise ValueError(
            f"line_points(): with 'spacing', the endpoints must be numbers (one line), not shape {c.shape}"
        )
    if isinstance(spacing, (str, bytes, bool)):
        raise TypeError(f"line_points() argument 'spacing' must be a number, not {type(spacing).__name__}")
    try:
        step = float(spacing)
    except (TypeError, ValueError):
        raise TypeError(f"line_points() argument 'spacing' must be a number, not {type(spacing).__name__}") from None
    if not step > 0:
        raise ValueError(f"line_points() argument 'spacing' must be a positive number of metres, not {step!r}")
    length = _engine.geodesic_distance(*(float(a) for a in c.arrays), ellipsoid=ellipsoid)
    if not math.isfinite(length):
        raise ValueError(
            "line_points(): the line has no length to divide (a NaN or infinite endpoint, or a latitude beyond 90)"
        )
    steps = float(length) / step
    if steps >= 2.0**53:  # far more points than any memory holds; round() would fail at infinity
        raise ValueError(f"line_points(): 'spacing' of {step!r} m makes too many points of a line of {float(length)!r} m")
    return max(1, round(steps))


def line_points(
    lat1: ArrayLike,
    lon1: ArrayLike,
    lat2: ArrayLike,
    lon2: ArrayLike,
    *,
    n: int | None = None,
    spacing: float | None = None,
    include_ends: bool = True,
    ellipsoid: Any = None,
) -> tuple[Any, Any]:
    """Points equally spaced along the geodesics from (lat1, lon1) to
    (lat2, lon2), as a (lats, lons) tuple of float64 arrays.

    Give exactly one of `n` and `spacing`:

    - `n`: n points per line.  With `include_ends` (the default) the first
      and last are the endpoints themselves and n - 1 equal steps join them
      (n is 0 or at least 2); without, they are n interior points, n + 1
      steps apart.  The endpoints broadcast together to the shape of the
      lines, and the results have that shape plus an axis of n points.
    - `spacing`: one line only (numbers in); the number of steps is its
      length over `spacing` rounded to the nearest whole number (at least
      one), and the step is then the length over that number, so that every
      step is equal.  With `include_ends` the result has steps + 1 points,
      without steps - 1.

    The results are arrays even for one line, and never pandas Series
    (each line has its points).  Longitudes come back reduced to
    [-180, 180].  A line with a NaN or
    infinite endpoint, or a latitude beyond 90, has NaN points.  The
    ellipsoid is WGS84 unless `ellipsoid` names another ('GRS80', 'WGS72')
    or gives an (a, f) pair.
    """
    if (n is None) == (spacing is None):
        raise ValueError("line_points(): give exactly one of 'n' and 'spacing'")
    np = _arrays.load_numpy()
    if not isinstance(include_ends, (bool, np.bool_)):
        raise TypeError(f"line_points() argument 'include_ends' must be a bool, not {type(include_ends).__name__}")
    ends = bool(include_ends)
    c = _arrays.Converted("line_points", ENDPOINTS, (lat1, lon1, lat2, lon2))
    if spacing is not None:
        steps = _steps_of(c, spacing, ellipsoid)
        count = steps + 1 if ends else steps - 1
    else:
        count = _point_count(n, ends)
    lats, lons = c.empty((count,)), c.empty((count,))
    # The kernel takes the lines as one axis: a copy only of broadcast
    # endpoints, which are as many as the lines, not the points.
    flat = [a.reshape(-1) for a in c.arrays]
    _engine.geodesic_line_points_into(lats.reshape(-1), lons.reshape(-1), *flat, count, ends, ellipsoid)
    return lats, lons


def _track_lists(np: Any, function: str, lats: Any, lons: Any) -> tuple[Any, Any, Any] | None:
    """Tracks of different lengths, given as lists (or tuples) of 1-D
    array-likes, as one pair of columns and the offsets of the tracks in
    them; None when the inputs are arrays (tracks of one length)."""

    def ragged(value: object) -> bool:
        if not isinstance(value, (list, tuple)) or not value:
            return False
        if not all(np.ndim(item) >= 1 for item in value):
            return False
        return len({np.shape(item) for item in value}) > 1

    if not (ragged(lats) or ragged(lons)):
        return None
    for name, value in (("lats", lats), ("lons", lons)):
        if not isinstance(value, (list, tuple)):
            raise TypeError(
                f"{function}(): 'lats' and 'lons' must both be lists of tracks when either is one; "
                f"'{name}' is {type(value).__name__}"
            )
    if len(lats) != len(lons):
        raise ValueError(f"{function}(): {len(lats)} tracks of 'lats' but {len(lons)} of 'lons'")
    lat_parts, lon_parts = [], []
    for i, (lat, lon) in enumerate(zip(lats, lons, strict=True)):
        lat = _arrays.as_float64(np, lat, f"lats[{i}]", function)
        lon = _arrays.as_float64(np, lon, f"lons[{i}]", function)
        try:
            shape = _arrays.broadcast_shape((lat.shape, lon.shape))
        except ValueError:
            raise ValueError(
                f"{function}(): lats[{i}] {lat.shape} and lons[{i}] {lon.shape} cannot be broadcast together"
            ) from None
        if len(shape) != 1:
            raise ValueError(f"{function}(): track {i} must be one-dimensional, not of shape {shape}")
        lat_parts.append(np.broadcast_to(lat, shape))
        lon_parts.append(np.broadcast_to(lon, shape))
    offsets = np.zeros(len(lat_parts) + 1, dtype=np.int64)
    np.cumsum([len(p) for p in lat_parts], out=offsets[1:])
    return np.concatenate(lat_parts), np.concatenate(lon_parts), offsets


def _tracks(function: str, lats: Any, lons: Any, axis: Any) -> tuple[Any, Any, Any, tuple[int, ...]]:
    """The operands of a kernel over tracks: (lats, lons, offsets, shape of
    the result).  Arrays give two-dimensional columns, one track per row,
    and no offsets."""
    np = _arrays.load_numpy()
    if isinstance(axis, bool):
        raise TypeError(f"{function}() argument 'axis' must be an int, not bool")
    try:
        index = operator.index(axis)
    except TypeError:
        raise TypeError(f"{function}() argument 'axis' must be an int, not {type(axis).__name__}") from None
    lists = _track_lists(np, function, lats, lons)
    if lists is not None:
        if index not in (-1, 1):
            raise ValueError(f"{function}(): a list of tracks is reduced along each track (axis -1), not axis {index}")
        lat, lon, offsets = lists
        return lat, lon, offsets, (len(offsets) - 1,)
    c = _arrays.Converted(function, ("lats", "lons"), (lats, lons))
    ndim = len(c.shape)
    if ndim == 0:
        raise ValueError(f"{function}(): 'lats' and 'lons' are numbers; a track needs at least one dimension")
    if not -ndim <= index < ndim:
        raise ValueError(f"{function}() argument 'axis' is {index}, out of range for {ndim}-dimensional input")
    columns = [np.moveaxis(a, index, -1) for a in c.arrays]
    shape = columns[0].shape[:-1]
    rows = (math.prod(shape), columns[0].shape[-1])
    return columns[0].reshape(rows), columns[1].reshape(rows), None, shape


def _as_result(values: Any, shape: tuple[int, ...]) -> Any:
    values = values.reshape(shape)
    return float(values) if values.ndim == 0 else values


def path_length(lats: ArrayLike, lons: ArrayLike, *, axis: int = -1, ellipsoid: Any = None) -> Any:
    """The geodesic length in metres of polylines: the sum of the distances
    between successive vertices.

    `lats` and `lons` broadcast together; the tracks run along `axis`, which
    is reduced: a 1-D track gives a float, a 2-D array of tracks (one per
    row, with the default axis) an array of their lengths, computed in
    parallel.  A list (or tuple) of 1-D array-likes of different lengths is
    a list of tracks and gives one length each.  A NaN vertex makes its own
    track's length NaN and no other's; a track of fewer than two vertices
    has length 0.  Summed in twice the precision of a float64, so long
    tracks lose nothing to rounding.  The ellipsoid is WGS84 unless
    `ellipsoid` names another ('GRS80', 'WGS72') or gives an (a, f) pair.
    """
    lat, lon, offsets, shape = _tracks("path_length", lats, lons, axis)
    np = _arrays.load_numpy()
    out = np.empty(math.prod(shape), dtype=np.float64)
    _engine.geodesic_path_length_into(out, lat, lon, offsets, ellipsoid)
    return _as_result(out, shape)


def polygon_area(lats: ArrayLike, lons: ArrayLike, *, ellipsoid: Any = None) -> tuple[Any, Any]:
    """The (area, perimeter) of rings on the ellipsoid, in m^2 and m, by
    GeographicLib's PolygonArea.

    A ring is its vertices in order, closed from the last back to the first
    (repeating the first vertex at the end changes nothing).  The area is
    positive when the ring runs counter-clockwise, negative when clockwise;
    rings may cross the poles and the antimeridian.  Each ring stands alone:
    for a polygon with holes, subtract the holes' areas.  A 1-D ring gives
    two floats; a 2-D array with rings along its last axis, or a list (or
    tuple) of 1-D array-likes of different lengths, gives two arrays with
    one value per ring, computed in parallel; a ring of more than 4096
    vertices is itself split over the workers, in parts joined to within
    rounding of one PolygonArea pass.  A NaN vertex makes its own ring's
    area and perimeter NaN.  The ellipsoid is WGS84 unless
    `ellipsoid` names another ('GRS80', 'WGS72') or gives an (a, f) pair.
    """
    lat, lon, offsets, shape = _tracks("polygon_area", lats, lons, -1)
    np = _arrays.load_numpy()
    area = np.empty(math.prod(shape), dtype=np.float64)
    perimeter = np.empty_like(area)
    _engine.geodesic_polygon_area_into(area, perimeter, lat, lon, offsets, ellipsoid)
    return _as_result(area, shape), _as_result(perimeter, shape)
