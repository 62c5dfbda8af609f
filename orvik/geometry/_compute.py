"""Every call of orvik.geometry into the compiled engine, as plain functions
of NumPy columns.

Coordinates come in as columns of latitudes and longitudes in degrees
(views with any stride will do), and paths (rings, polylines) as int64
offsets into them: path i is elements offsets[i]:offsets[i + 1].  The
engine checks every buffer it is given and does the work on its pool.
"""

from __future__ import annotations

from dataclasses import dataclass
from typing import Any

import numpy as np

from orvik import _engine


def ellipsoid_area(ellipsoid: Any) -> float:
    """The total area of the ellipsoid in m^2."""
    return float(_engine.geometry_ellipsoid_area(ellipsoid))


def ring_measures(lat: Any, lon: Any, offsets: Any, ellipsoid: Any) -> tuple[Any, Any]:
    """(area, perimeter) of each ring, in m^2 and m, by GeographicLib's
    PolygonArea: the area signed, positive counter-clockwise, in
    (-total / 2, total / 2].  A ring is closed from its last vertex back to
    its first (a repeated first vertex at the end is an edge of length 0).
    A ring with a vertex that is not a point gives NaN."""
    area = np.empty(len(offsets) - 1, dtype=np.float64)
    perimeter = np.empty_like(area)
    _engine.geodesic_polygon_area_into(area, perimeter, lat, lon, offsets, ellipsoid)
    return area, perimeter


def track_lengths(lat: Any, lon: Any, offsets: Any, ellipsoid: Any) -> Any:
    """The geodesic length of each polyline in metres (0 for fewer than two
    vertices; NaN for a vertex that is not a point)."""
    out = np.empty(len(offsets) - 1, dtype=np.float64)
    _engine.geodesic_path_length_into(out, lat, lon, offsets, ellipsoid)
    return out


@dataclass
class EdgePlans:
    """How every edge of some paths is cut: for each vertex, the length and
    azimuth of the edge it starts and its number of pieces (0 for a path's
    last vertex, 1 for an edge left whole); `points` is how many points the
    paths will have."""

    pieces: Any
    lengths: Any
    azimuths: Any
    points: int


def plan_edges(lat: Any, lon: Any, offsets: Any, max_length: float, ellipsoid: Any, *, cap: int) -> EdgePlans:
    """The plans for cutting every edge of every path into equal pieces of
    at most `max_length` metres.  No count exceeds `cap`, so that a caller
    who refuses more than cap points can add counts up without overflow."""
    n = len(lat)
    pieces = np.empty(n, dtype=np.int64)
    lengths = np.empty(n, dtype=np.float64)
    azimuths = np.empty(n, dtype=np.float64)
    offsets = np.ascontiguousarray(offsets, dtype=np.int64)
    _engine.geometry_plan_edges_into(pieces, lengths, azimuths, lat, lon, offsets, float(max_length), cap, ellipsoid)
    points = n + int(np.maximum(pieces - 1, 0).sum())
    return EdgePlans(pieces, lengths, azimuths, points)


def densify(
    lat: Any, lon: Any, offsets: Any, plans: EdgePlans, ellipsoid: Any, *, width: int = 2
) -> tuple[Any, Any, Any]:
    """The paths with the planned points inserted along every edge, on the
    geodesic.

    Returns (coords, offsets, positions): coords a float64 array
    (plans.points, width) whose column 0 holds longitudes and column 1
    latitudes (any other column is left for the caller), each vertex
    copied bit for bit and followed by the points inside its edge; the
    paths' new offsets; and where each input vertex went.
    """
    n = len(lat)
    offsets = np.ascontiguousarray(offsets, dtype=np.int64)
    # Points inserted before each vertex, and before the end.
    before = np.zeros(n + 1, dtype=np.int64)
    np.cumsum(np.maximum(plans.pieces - 1, 0), out=before[1:])
    positions = np.arange(n, dtype=np.int64) + before[:-1]
    coords = np.empty((plans.points, width), dtype=np.float64)
    _engine.geometry_densify_into(
        coords[:, 1], coords[:, 0], lat, lon, plans.lengths, plans.azimuths, plans.pieces, positions, ellipsoid
    )
    return coords, offsets + before[offsets], positions


# What a circle became (the engine's codes).
CIRCLE_MISSING, CIRCLE_EMPTY, CIRCLE_POLYGON, CIRCLE_SPLIT, CIRCLE_CAP, CIRCLE_BOTH_POLES = range(6)


def circle_capacity(n: int) -> int:
    """The vertices a circle of n vertices may take, over its rings."""
    return n + 6


def circles(lat: Any, lon: Any, radius: Any, n: int, unroll: bool, ellipsoid: Any) -> tuple[Any, Any]:
    """Geodesic circles of n vertices around the centres (one-dimensional
    columns of one length, broadcast views allowed).

    Returns (coords, shapes): coords a float64 array (centres,
    circle_capacity(n), 2) of longitude, latitude pairs, a circle's rings
    one after the other from the start of its row, each closed by its first
    vertex repeated; shapes an int64 array (centres, 3) of the CIRCLE_ code
    and the vertices of ring 0 and ring 1.
    """
    count = len(lat)
    coords = np.empty((count, circle_capacity(n), 2), dtype=np.float64)
    shapes = np.empty((count, 3), dtype=np.int64)
    _engine.geometry_circles_into(coords[:, :, 1], coords[:, :, 0], shapes, lat, lon, radius, n, unroll, ellipsoid)
    return coords, shapes
