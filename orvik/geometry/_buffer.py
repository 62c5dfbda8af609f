"""buffer(): geodesic circles, drawn by the engine into rows of vertices and
made into shapely polygons a whole group at a time."""

from __future__ import annotations

from typing import Any

import numpy as np

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


def circles(found: _inputs.Geometries, distance: Any, n: Any, unroll: bool) -> Any:
    shapely = _inputs.load_shapely("buffer")
    objects = found.shapely_objects()
    lon, lat, empty = _centres(shapely, objects)
    points_shape = () if found.shape is None else found.shape
    coords, shapes = _compute.circles(
        lat.reshape(points_shape), lon.reshape(points_shape), distance, n, unroll, found.ellipsoid
    )
    shape = shapes.shape[:-1]
    if found.index is not None and shape != points_shape:
        raise ValueError(f"buffer(): 'distance' does not fit a Series of {points_shape[0]} points: {shape} circles")
    n = coords.shape[-2] - _compute.CIRCLE_SPARE_VERTICES
    coords = coords.reshape(-1, *coords.shape[-2:])
    shapes = shapes.reshape(-1, 3)
    empty = np.broadcast_to(empty.reshape(points_shape), shape).reshape(-1)
    kind = shapes[:, 0]
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
