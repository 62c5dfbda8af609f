"""Every call of orvik.geometry into the compiled engine.

Coordinates go in as columns of latitudes and longitudes in degrees (views
with any stride will do), and paths (rings, polylines) as int64 offsets
into them: path i is elements offsets[i]:offsets[i + 1].  The engine checks
what it is given, allocates the results and does the work on its pool.
"""

from __future__ import annotations

from dataclasses import dataclass
from typing import Any

from orvik import _engine

# (a, f, area in m^2) of a function's `ellipsoid=` argument, checked and
# named in messages as that function's; the other calls take it as (a, f).
ellipsoid = _engine.geometry_ellipsoid
ring_measures = _engine.geometry_ring_measures
ring_areas = _engine.geometry_ring_areas
track_lengths = _engine.geometry_track_lengths


@dataclass
class EdgePlans:
    """How every edge of some paths is cut: for each vertex, its edge's
    number of pieces (0 for a path's last vertex, 1 for an edge left whole),
    length and azimuth; `points` is how many points the paths will have."""

    pieces: Any
    lengths: Any
    azimuths: Any
    points: int


def plan_edges(lat: Any, lon: Any, offsets: Any, max_length: float, ellipsoid: Any, *, cap: int) -> EdgePlans:
    """The plans for cutting every edge of every path into equal pieces of
    at most `max_length` metres.  No count exceeds `cap`, so that a caller
    who refuses more than cap points can add counts up without overflow."""
    pieces, lengths, azimuths = _engine.geometry_plan_edges(lat, lon, offsets, max_length, cap, ellipsoid=ellipsoid)
    points = len(pieces) + int((pieces - 1).clip(0).sum())
    return EdgePlans(pieces, lengths, azimuths, points)


def densify(lat: Any, lon: Any, offsets: Any, plans: EdgePlans, ellipsoid: Any) -> tuple[Any, Any, Any]:
    """The paths with the planned points inserted along every edge, on the
    geodesic: (coords, offsets, positions), coords a (plans.points, 2)
    array of (longitude, latitude) pairs in which each vertex is copied bit
    for bit and followed by the points inside its edge; the paths' new
    offsets; and where each input vertex went."""
    return _engine.geometry_densify(lat, lon, offsets, plans.pieces, plans.lengths, plans.azimuths, ellipsoid=ellipsoid)


# What a circle became (the engine's codes; one that would contain both
# poles is refused by the engine).
CIRCLE_MISSING, CIRCLE_EMPTY, CIRCLE_POLYGON, CIRCLE_SPLIT, CIRCLE_CAP = range(5)
# A row holds a circle's n vertices and this many more.
CIRCLE_SPARE_VERTICES = 6


def circles(lat: Any, lon: Any, distance: Any, n: Any, unroll: bool, ellipsoid: Any) -> tuple[Any, Any]:
    """Geodesic circles of n vertices around the centres (lat and lon of
    the points' shape), broadcast with `distance`, which the engine checks
    as buffer()'s argument (as it checks `n`, and refuses circles that
    would contain both poles).

    Returns (coords, shapes): coords a float64 array of the broadcast shape
    + (n + CIRCLE_SPARE_VERTICES, 2) of longitude, latitude pairs, a circle's rings one after
    the other from the start of its row, each closed by its first vertex
    repeated; shapes an int64 array of the broadcast shape + (3,): the
    CIRCLE_ code and the vertices of ring 0 and ring 1.
    """
    return _engine.geometry_circles(lat, lon, distance, n, unroll, ellipsoid=ellipsoid)
