"""buffer(): geodesic circles, drawn by the engine into rows of vertices and
made into shapely polygons a whole group at a time."""

from __future__ import annotations

from typing import Any

import numpy as np

from orvik import _arrays
from orvik.geometry import _compute, _inputs, _parts

_TYPE_NAMES = ("Point", "LineString", "LinearRing", "Polygon", "MultiPoint", "MultiLineString",
               "MultiPolygon", "GeometryCollection")  # fmt: skip


def _centres(shapely: Any, objects: Any) -> tuple[Any, Any, Any]:
    """(lon, lat, empty) of points: NaN where there is none."""
    types = shapely.get_type_id(objects)
    wrong = np.flatnonzero((types >= 0) & (types != _parts.POINT))
    if len(wrong):
        i = int(wrong[0])
        raise TypeError(
            f"buffer() draws circles around points; element {i} is a "
            f"{_TYPE_NAMES[types[i]] if types[i] < len(_TYPE_NAMES) else 'geometry'}"
        )
    lon = np.full(len(objects), np.nan)
    lat = np.full(len(objects), np.nan)
    coords, at = shapely.get_coordinates(objects, return_index=True)
    lon[at] = coords[:, 0]
    lat[at] = coords[:, 1]
    empty = np.zeros(len(objects), dtype=bool)
    empty[types == _parts.POINT] = shapely.is_empty(objects[types == _parts.POINT])
    return lon, lat, empty


def _distances(distance: Any) -> Any:
    np_ = _arrays.load_numpy()
    values = _arrays.as_float64(np_, distance, "distance", "buffer")
    negative = np.flatnonzero(values.reshape(-1) < 0)
    if len(negative):
        value = values.reshape(-1)[negative[0]]
        raise ValueError(f"buffer() argument 'distance' must not be negative, not {float(value)!r}")
    return values


def _gather(coords: Any, rows: Any, sizes: Any) -> tuple[Any, Any]:
    """The rings of some rows of `coords` (rows, capacity, 2), sizes[r, k]
    vertices for ring k of row r, one after the other: (vertices, ring
    offsets)."""
    capacity = coords.shape[1]
    ring_sizes = sizes.reshape(-1)
    offsets = np.zeros(len(ring_sizes) + 1, dtype=np.int64)
    np.cumsum(ring_sizes, out=offsets[1:])
    within_row = np.cumsum(sizes, axis=1) - sizes
    starts = (rows[:, None] * capacity + within_row).reshape(-1)
    index = np.repeat(starts - offsets[:-1], ring_sizes) + np.arange(offsets[-1])
    return coords.reshape(-1, 2)[index], offsets


def circles(found: _inputs.Geometries, distance: Any, n: int, unroll: bool) -> Any:
    shapely = _inputs.load_shapely("buffer")
    objects = found.shapely_objects()
    lon, lat, empty = _centres(shapely, objects)
    radius = _distances(distance)
    points_shape = () if found.shape is None else found.shape
    try:
        shape = np.broadcast_shapes(points_shape, radius.shape)
    except ValueError:
        raise ValueError(
            f"buffer(): points of shape {points_shape} and 'distance' of shape {radius.shape} cannot be broadcast together"
        ) from None
    if found.index is not None and shape != points_shape:
        raise ValueError(f"buffer(): 'distance' of shape {radius.shape} does not fit a Series of {points_shape[0]} points")

    def flat(values: Any) -> Any:
        return np.broadcast_to(values.reshape(points_shape) if values.ndim else values, shape).reshape(-1)

    lat, lon, empty, radius = flat(lat), flat(lon), flat(empty), np.broadcast_to(radius, shape).reshape(-1)
    coords, shapes = _compute.circles(lat, lon, radius, n, unroll, found.ellipsoid)
    kind = shapes[:, 0]
    both = np.flatnonzero(kind == _compute.CIRCLE_BOTH_POLES)
    if len(both):
        i = int(both[0])
        raise ValueError(
            f"buffer(): a circle of {float(radius[i])!r} m around ({float(lon[i])!r}, {float(lat[i])!r}) would "
            "contain both poles; orvik draws circles that contain at most one"
        )
    result = np.empty(len(kind), dtype=object)
    result[(kind == _compute.CIRCLE_EMPTY) | empty] = shapely.Polygon()
    simple = np.flatnonzero(kind == _compute.CIRCLE_POLYGON)
    if len(simple):
        # From ragged arrays: several times faster than from a 3-D array.
        vertices = (coords[:, : n + 1] if len(simple) == len(kind) else coords[simple, : n + 1]).reshape(-1, 2)
        rings = np.arange(0, (n + 1) * len(simple) + 1, n + 1, dtype=np.int64)
        result[simple] = shapely.from_ragged_array(
            shapely.GeometryType.POLYGON, vertices, (rings, np.arange(len(simple) + 1, dtype=np.int64))
        )
    caps = np.flatnonzero(kind == _compute.CIRCLE_CAP)
    if len(caps):
        vertices, rings = _gather(coords, caps, shapes[caps, 1:2])
        result[caps] = shapely.from_ragged_array(
            shapely.GeometryType.POLYGON, vertices, (rings, np.arange(len(caps) + 1, dtype=np.int64))
        )
    cut = np.flatnonzero(kind == _compute.CIRCLE_SPLIT)
    if len(cut):
        vertices, rings = _gather(coords, cut, shapes[cut, 1:3])
        one_ring_each = np.arange(2 * len(cut) + 1, dtype=np.int64)
        result[cut] = shapely.from_ragged_array(
            shapely.GeometryType.MULTIPOLYGON, vertices, (rings, one_ring_each, one_ring_each[::2])
        )
    if shape == points_shape:
        return found.geometries(result)
    return result.reshape(shape) if shape else result[0]
