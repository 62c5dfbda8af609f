"""Geodesic measures and constructions for geometries: exact areas and
lengths on the ellipsoid, geodesic densifying, and geodesic circles.

COORDINATES ARE (x = LONGITUDE, y = LATITUDE), in degrees, as every GIS
library stores them: the opposite of the (lat, lon) order of orvik's
coordinate functions.  A point at Berlin is Point(13.405, 52.52).

The functions take:

- a shapely geometry, or an array or sequence of them (None for missing);
- a GeoPandas GeoSeries (or GeoDataFrame: its geometry), whose CRS must be
  geographic (else ValueError: reproject with .to_crs(4326)) and supplies
  its ellipsoid (NAD83 its GRS80, ED50 its International 1924) unless
  `ellipsoid=` is given; without a CRS, degrees on WGS84 are assumed;
- a pyarrow array of GeoArrow geometries: native (point, linestring,
  polygon and their multi- kinds, separated or interleaved coordinates) or
  WKB (plain binary arrays are taken as WKB).

They give a float (or a geometry) for one geometry, a NumPy array for an
array, a sequence or Arrow, and a pandas Series (a GeoSeries for
geometries) on the index of a Series.  Measures give NaN for a missing
geometry, 0 for an empty one, and NaN for one with a coordinate that is
not a point (NaN, infinite, or a latitude outside [-90, 90]: swapped x and
y show up here, never as a wrong number).  Constructions give None for
those.  `ellipsoid=` is None (WGS84), a name ("GRS80", "WGS72") or an
(a, f) pair, as everywhere in orvik.  Work runs on orvik's worker pool,
across geometries and across the rings of a large one.
"""

from __future__ import annotations

import math
import numbers
from typing import Any

import numpy as np

from orvik.geometry import _compute, _inputs, _parts

__all__ = ["area", "length", "segmentize", "buffer", "MAX_SEGMENTIZE_POINTS"]

# segmentize() refuses to make more points than this in one call.
MAX_SEGMENTIZE_POINTS = 200_000_000


def area(geoms: Any, *, ellipsoid: Any = None, oriented: bool = False, edges: str = "geodesic") -> Any:
    """The geodesic area of geometries in square metres; geometries are
    (x = longitude, y = latitude) in degrees.

    A polygon's area is its exterior's minus its holes'; a multipolygon's
    is the sum of its parts'; a collection's the sum of its members'; lines
    and points have 0.  Edges are geodesics, the rings' areas those of
    GeographicLib's PolygonArea.

    With `oriented=False` (the default) the winding is ignored, since real
    data comes both ways (shapefiles clockwise, GeoJSON counter-clockwise):
    each ring bounds the smaller of the two regions it divides the
    ellipsoid into.  With `oriented=True` the winding decides, as RFC 7946
    has it: an exterior bounds the region on its left (counter-clockwise),
    a hole the region on its right (clockwise), so a polygon may cover more
    than half the Earth.

    With `edges="rhumb"` the edges are rhumb lines (constant bearing)
    instead of geodesics, by GeographicLib's PolygonAreaRhumb: the parallels
    and meridians of a lat/lon grid are rhumb lines, so a grid cell's area
    is exact this way.
    """
    if not isinstance(oriented, (bool, np.bool_)):
        raise TypeError(f"area() argument 'oriented' must be a bool, not {type(oriented).__name__}")
    found = _inputs.read(geoms, "area", ellipsoid, edges)
    parts = found.parts()
    total = found.ellipsoid_area if oriented else 0.0
    result = np.zeros(parts.n, dtype=np.float64)
    for rings in parts.rings:
        open_rings = rings.without_closing_vertex()
        signed = _compute.ring_areas(open_rings.y, open_rings.x, open_rings.offsets, ellipsoid=found.ellipsoid,
                                     edges=edges)  # fmt: skip
        result += np.bincount(rings.owner, weights=_ring_areas(signed, rings.hole, oriented, total),
                              minlength=parts.n)  # fmt: skip
    return found.numbers(_blank(result, parts))


def _ring_areas(signed: Any, hole: Any, oriented: bool, total: float) -> Any:
    """What each ring adds to its polygon's area: + for exteriors, - for
    holes, from its signed area (positive counter-clockwise)."""
    if not oriented:
        size = np.abs(signed)
    else:
        # The region left of an exterior, right of a hole: a ring of the
        # other winding bounds the rest of the ellipsoid.
        left = np.where(signed < 0, signed + total, signed)
        right = np.where(signed > 0, total - signed, -signed)
        size = np.where(hole, right, left)
    return np.where(hole, -size, size) + 0.0


def _blank(result: Any, parts: _parts.Parts) -> Any:
    result[parts.missing | parts.bad] = np.nan
    return result


def length(geoms: Any, *, ellipsoid: Any = None, edges: str = "geodesic") -> Any:
    """The geodesic length of geometries in metres; geometries are
    (x = longitude, y = latitude) in degrees.

    Lines measure their length, polygons their perimeter with the holes'
    (as shapely's planar `length` does), multi-geometries and collections
    the sum of their parts'; points have 0.  Each sum is taken in twice the
    precision of a float64.  With `edges="rhumb"` the edges are rhumb lines
    (constant bearing) instead of geodesics.
    """
    found = _inputs.read(geoms, "length", ellipsoid, edges)
    parts = found.parts()
    result = np.zeros(parts.n, dtype=np.float64)
    for paths, rings in [(p, True) for p in parts.rings] + [(p, False) for p in parts.lines]:
        if rings and not (paths.always_closed or paths.closed().all()):
            # A ring stored without its closing vertex still has that edge.
            _, measured = _compute.ring_measures(paths.y, paths.x, paths.offsets, ellipsoid=found.ellipsoid,
                                                 edges=edges)  # fmt: skip
        else:
            measured = _compute.track_lengths(paths.y, paths.x, paths.offsets, ellipsoid=found.ellipsoid,
                                              edges=edges)  # fmt: skip
        result += np.bincount(paths.owner, weights=measured, minlength=parts.n)
    return found.numbers(_blank(result, parts))


def _max_length(value: Any) -> float:
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise TypeError(
            f"segmentize() argument 'max_segment_length' must be a number of metres, not {type(value).__name__}"
        )
    length_m = float(value)
    if not (length_m > 0 and math.isfinite(length_m)):
        raise ValueError(
            f"segmentize() argument 'max_segment_length' must be a positive finite number of metres, not {value!r}"
        )
    return length_m


def segmentize(geoms: Any, max_segment_length: float, *, ellipsoid: Any = None) -> Any:
    """Geometries with points inserted along every edge, on the geodesic,
    so that no piece is longer than `max_segment_length` metres; the
    pieces of an edge are equal.  Geometries are (x = longitude,
    y = latitude) in degrees.

    Every geometry keeps its type and its vertices, bit for bit; points
    are returned as they are.  An inserted point's longitude is reduced to
    [-180, 180], as everywhere in orvik: along an edge that crosses the
    antimeridian, say from 179 to -179, the points go 179.5, 180 (or
    -180), -179.5, each piece being the short geodesic the edge meant.
    A z coordinate is interpolated along the edge by distance; an m
    coordinate is not kept.  A call that would make more than
    MAX_SEGMENTIZE_POINTS points raises ValueError before making any.
    """
    step = _max_length(max_segment_length)
    found = _inputs.read(geoms, "segmentize", ellipsoid)
    shapely = _inputs.load_shapely("segmentize")
    objects = found.shapely_objects()
    from orvik.geometry import _segmentize

    try:
        result = _segmentize.Plan(shapely, objects, step, found.ellipsoid, MAX_SEGMENTIZE_POINTS).build()
    except _segmentize.TooManyPoints as error:
        raise ValueError(
            f"segmentize() argument 'max_segment_length' of {max_segment_length!r} m would make "
            f"{error.total:,} points, more than MAX_SEGMENTIZE_POINTS ({error.limit:,})"
        ) from None
    return found.geometries(result)


def buffer(points: Any, distance: Any, *, n: int = 64, ellipsoid: Any = None, antimeridian: str = "split") -> Any:
    """Geodesic circles around points: polygons whose n vertices lie
    exactly `distance` metres from the centre, by the direct problem, at
    azimuths 0, -360/n, ... (counter-clockwise, as RFC 7946 wants
    exteriors), joined by geodesic edges.  Points are (x = longitude,
    y = latitude) in degrees; distances broadcast with them.

    Every result passes shapely.is_valid:

    - a circle across the antimeridian is, with antimeridian="split" (the
      default), a MultiPolygon cut at +-180 as RFC 7946 asks, at the points
      where its geodesic edges cross it; with "unroll", one polygon whose
      longitudes run on past +-180;
    - a circle around a pole is a cap: one polygon from -180 to 180 that
      reaches the pole (either way).

    A distance of 0 gives an empty polygon; a missing point, NaN distance
    or a point that is not a point (|latitude| > 90) gives None.  Negative
    distances, and circles that would contain both poles, raise ValueError.
    Only points are buffered: other geometries raise TypeError.
    """
    from orvik.geometry import _buffer

    if antimeridian not in ("split", "unroll"):
        raise ValueError(f"buffer() argument 'antimeridian' must be 'split' or 'unroll', not {antimeridian!r}")
    found = _inputs.read(points, "buffer", ellipsoid)
    return _buffer.circles(found, distance, n, antimeridian == "unroll")
