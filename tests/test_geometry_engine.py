"""The engine's private functions for orvik.geometry: what they accept and
refuse, and that they share the line functions' ring and track loops."""

from __future__ import annotations

import math

import numpy as np
import pytest

from orvik import _engine, geodesic

shapely = pytest.importorskip("shapely")
from orvik import geometry  # noqa: E402


def rings(seed: int = 3, count: int = 40) -> tuple[list, list]:
    rng = np.random.default_rng(seed)
    lats, lons = [], []
    for _ in range(count):
        n = int(rng.integers(1, 12))
        lats.append(rng.uniform(-80, 80) + rng.uniform(-1, 1, n))
        lons.append(rng.uniform(-200, 200) + rng.uniform(-1, 1, n))
    return lats, lons


def flat(columns: list) -> tuple[np.ndarray, np.ndarray]:
    offsets = np.zeros(len(columns) + 1, dtype=np.int64)
    np.cumsum([len(c) for c in columns], out=offsets[1:])
    return np.concatenate(columns), offsets


def test_cut_columns_measure_as_the_line_functions_do():
    lats, lons = rings()
    lat, offsets = flat(lats)
    lon, _ = flat(lons)
    # Interleaved (lon, lat) pairs, as shapely gives them: read in place.
    pairs = np.column_stack([lon, lat])
    area, perimeter = _engine.geometry_ring_measures(pairs[:, 1], pairs[:, 0], offsets)
    expected_area, expected_perimeter = geodesic.polygon_area(lats, lons)
    np.testing.assert_array_equal(area, expected_area)
    np.testing.assert_array_equal(perimeter, expected_perimeter)
    np.testing.assert_array_equal(_engine.geometry_ring_areas(lat, lon, offsets), expected_area)
    np.testing.assert_array_equal(_engine.geometry_track_lengths(lat, lon, offsets), geodesic.path_length(lats, lons))
    empty = np.zeros(0)
    assert _engine.geometry_ring_areas(empty, empty, [0]).shape == (0,)
    # A ring of one vertex that is not a point measures NaN (PolygonArea,
    # computing no edge, would give 0), one of none 0.
    lone = np.array([math.nan, 91.0, 5.0])
    np.testing.assert_array_equal(_engine.geometry_ring_areas(lone, np.zeros(3), [0, 1, 2, 3, 3]), [math.nan, math.nan, 0, 0])
    assert np.isnan(geodesic.polygon_area([math.nan], [0.0])).all()
    np.testing.assert_array_equal(_engine.geometry_track_lengths(empty, empty, [0, 0, 0]), [0.0, 0.0])


@pytest.mark.parametrize(
    "lat, offsets, error, message",
    [
        (np.zeros(4), [0, 2, 3], ValueError, r"'offsets' must run from 0 to 4 \(the vertices\), not from 0 to 3"),
        (np.zeros(4), [1, 2, 4], ValueError, "not from 1 to 4"),
        (np.zeros(4), [0, 3, 2, 4], ValueError, "'offsets' decrease at position 2: 3 then 2"),
        (np.zeros(4), np.zeros(0, np.int64), ValueError, "'offsets' must be one-dimensional and start with 0"),
        (np.zeros(4), [[0, 4]], ValueError, r"not of shape \(1, 2\)"),
        (np.zeros(4), [0.0, 4.0], TypeError, "'offsets'.*must hold integers"),
        (np.zeros(3), [0, 4], ValueError, "'lats' has 3 values but 'lons' 4"),
        (np.zeros((2, 2)), [0, 4], ValueError, r"'lats' must be one-dimensional, not of shape \(2, 2\)"),
        (["a"] * 4, [0, 4], TypeError, "'lats'"),
    ],
)
def test_cut_columns_are_checked(lat, offsets, error, message):
    for function in (_engine.geometry_ring_areas, _engine.geometry_ring_measures, _engine.geometry_track_lengths,
                     _engine.geometry_densify):  # fmt: skip
        with pytest.raises(error, match=message):
            if function is _engine.geometry_densify:
                function(lat, np.zeros(4), offsets, np.ones(4, dtype=np.int64), np.zeros(4), np.zeros(4))
            else:
                function(lat, np.zeros(4), offsets)


def test_plan_and_densify_allocate_their_results():
    lat = np.array([0.0, 0.0, 1.0, 5.0, 5.0])
    lon = np.array([0.0, 1.0, 1.0, 5.0, 6.0])
    offsets = np.array([0, 3, 5])
    pieces, lengths, azimuths = _engine.geometry_plan_edges(lat, lon, offsets, 50_000.0, 1000)
    assert pieces.dtype == np.int64 and lengths.dtype == azimuths.dtype == np.float64
    assert pieces.tolist() == [3, 3, 0, 3, 0]
    coords, new_offsets, positions = _engine.geometry_densify(lat, lon, offsets, pieces, lengths, azimuths)
    assert coords.shape == (11, 2) and new_offsets.tolist() == [0, 7, 11] and positions.tolist() == [0, 3, 6, 7, 10]
    np.testing.assert_array_equal(coords[positions], np.column_stack([lon, lat]))
    # No count exceeds the cap.
    assert _engine.geometry_plan_edges(lat, lon, offsets, 1.0, 7)[0].max() == 7
    with pytest.raises(ValueError, match="'pieces' must not be negative, not -1 at 1"):
        _engine.geometry_densify(lat, lon, offsets, [3, -1, 0, 3, 0], lengths, azimuths)
    with pytest.raises(ValueError, match=r"'lengths' must have shape \(5,\), not \(4,\)"):
        _engine.geometry_densify(lat, lon, offsets, pieces, lengths[:4], azimuths)
    for bad in (0.0, -1.0, math.nan, math.inf):
        with pytest.raises(ValueError, match="max_length"):
            _engine.geometry_plan_edges(lat, lon, offsets, bad, 1000)


@pytest.mark.parametrize(
    "distance, n, error, message",
    [
        (-1.0, 8, ValueError, r"buffer\(\) argument 'distance' must not be negative, not -1.0"),
        ([5.0, -0.5], 8, ValueError, r"buffer\(\) argument 'distance' must not be negative, not -0.5"),
        ("1", 8, TypeError, r"buffer\(\) argument 'distance'"),
        ([1.0, 2.0, 3.0], 8, ValueError, r"buffer\(\): shapes cannot be broadcast together: points \(2,\), distance \(3,\)"),
        (1.0, 2, ValueError, r"buffer\(\) argument 'n' must be at least 3, not 2"),
        (1.0, 1_000_001, ValueError, r"buffer\(\) argument 'n' must be at most 1000000"),
        (1.0, True, TypeError, r"buffer\(\) argument 'n'"),
        (1.0, 8.0, TypeError, r"buffer\(\) argument 'n'"),
    ],
)
def test_buffer_arguments_are_checked_by_the_engine(distance, n, error, message):
    with pytest.raises(error, match=message):
        geometry.buffer([shapely.Point(0, 0), shapely.Point(1, 1)], distance, n=n)


def test_circles_broadcast_and_keep_their_rows():
    coords, shapes = _engine.geometry_circles(np.zeros((2, 1)), np.zeros((2, 1)), [1.0, 0.0, math.nan], 4, False)
    assert coords.shape == (2, 3, 10, 2) and shapes.shape == (2, 3, 3) and shapes.dtype == np.int64
    assert shapes[..., 0].tolist() == [[2, 1, 0], [2, 1, 0]]  # polygon, empty, missing
    ring = coords[0, 0, :5]
    np.testing.assert_array_equal(ring[0], ring[4])  # closed


@pytest.mark.parametrize(
    "function, args",
    [(geometry.area, ()), (geometry.length, ()), (geometry.segmentize, (10.0,)), (geometry.buffer, (1.0,))],
)
@pytest.mark.parametrize("bad, error", [("bogus", ValueError), ((6e6, 0.5), ValueError), (3, TypeError)])
def test_ellipsoid_is_checked_up_front_by_the_public_name(function, args, bad, error):
    # Even with nothing to measure: a bad ellipsoid is never taken silently.
    name = function.__name__
    with pytest.raises(error, match=rf"^{name}\(\) argument 'ellipsoid'"):
        function([], *args, ellipsoid=bad)
