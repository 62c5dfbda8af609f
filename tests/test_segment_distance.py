"""Distances from points to geodesic segments and polylines: against a brute
force with PROJ's geodesics, and the nearest segment of a line against the
nearest of all its segments one by one."""

from __future__ import annotations

import math

import numpy as np
import pandas as pd
import pytest
from segment_brute_force import brute_distance_to_segment

from orvik import _engine, geodesic

# (lat, lon) of the point, then the segment's ends.
CASES = {
    "inside": (52.0, 5.0, 51.0, 0.0, 53.0, 10.0),
    "beyond the start": (50.0, -3.0, 51.0, 0.0, 53.0, 10.0),
    "beyond the end": (54.0, 13.0, 51.0, 0.0, 53.0, 10.0),
    "segment over the pole": (89.5, 90.0, 89.0, 0.0, 89.0, 180.0),
    "point at the pole": (90.0, 0.0, 80.0, 0.0, 80.0, 90.0),
    "near the south pole": (-89.9, -45.0, -88.0, 120.0, -87.0, -100.0),
    "across the antimeridian": (1.0, -179.9, 10.0, 179.5, -10.0, -179.5),
    "longitudes past 180": (0.5, 190.0, 0.0, 185.0, 0.0, 195.0),
    "point near-antipodal to the inside": (0.5, 179.0, 0.0, -5.0, 0.0, 5.0),
    "nearly antipodal ends": (30.0, 100.0, 0.0, 0.0, 0.5, 179.5),
    "a quarter meridian away": (-60.0, 100.0, 10.0, 0.0, 20.0, 10.0),
    "one metre long": (45.001, 7.0, 45.0, 7.0, 45.0, 7.0000127),
    "equator, point on the meridian": (3.0, 0.5, 0.0, 0.0, 0.0, 1.0),
}


def random_cases(n: int, seed: int) -> list[tuple[float, ...]]:
    """Points around segments from 10 m to 10,000 km long, within about
    0.1 m to 3000 km of them, anywhere along or beyond either end."""
    rng = np.random.default_rng(seed)
    cases = []
    for _ in range(n):
        lat1, lon1 = math.degrees(math.asin(rng.uniform(-1, 1))), rng.uniform(-180, 180)
        length, azimuth = 10 ** rng.uniform(1, 7), rng.uniform(-180, 180)
        end = geodesic.direct(lat1, lon1, azimuth, length)
        foot = geodesic.direct(lat1, lon1, azimuth, length * rng.uniform(-0.3, 1.3))
        away = geodesic.direct(foot["lat2"], foot["lon2"], foot["azi2"] + rng.choice([-90, 90]), 10 ** rng.uniform(-1, 6.5))
        cases.append((away["lat2"], away["lon2"], lat1, lon1, end["lat2"], end["lon2"]))
    return cases


def agrees_with_brute_force(case: tuple[float, ...]) -> dict[str, float]:
    got = geodesic.distance_to_segment(*case)
    want, _ = brute_distance_to_segment(*case)
    assert got["distance"] == pytest.approx(want, rel=0, abs=1e-6), case
    length = geodesic.inverse(*case[2:])["s12"]
    assert 0.0 <= got["along"] <= length
    # The closest point is where it says: on the segment, `along` from its
    # start, and `distance` from the point.
    on = geodesic.direct(case[2], case[3], geodesic.inverse(*case[2:])["azi1"], got["along"])
    assert geodesic.inverse(on["lat2"], on["lon2"], got["lat"], got["lon"])["s12"] < 1e-6
    assert geodesic.inverse(got["lat"], got["lon"], case[0], case[1])["s12"] == pytest.approx(got["distance"], abs=1e-6)
    assert -180.0 <= got["lon"] <= 180.0
    return got


@pytest.mark.parametrize("case", CASES.values(), ids=CASES.keys())
def test_distance_to_segment_agrees_with_brute_force(case):
    agrees_with_brute_force(case)


@pytest.mark.parametrize("case", random_cases(40, seed=21))
def test_random_distances_agree_with_brute_force(case):
    agrees_with_brute_force(case)


@pytest.mark.parametrize(
    ("case", "end"),
    [(CASES["beyond the start"], "start"), (CASES["beyond the end"], "end")],
)
def test_beyond_an_end_the_end_itself_is_nearest(case, end):
    got = geodesic.distance_to_segment(*case)
    lat, lon = case[2:4] if end == "start" else case[4:6]
    assert (got["lat"], got["lon"]) == (lat, lon)
    assert got["distance"] == geodesic.inverse(lat, lon, case[0], case[1])["s12"]
    assert got["along"] == (0.0 if end == "start" else geodesic.inverse(*case[2:])["s12"])


def test_inside_the_geodesic_meets_the_segment_at_a_right_angle():
    case = CASES["inside"]
    got = geodesic.distance_to_segment(*case)
    assert 0 < got["along"] < geodesic.inverse(*case[2:])["s12"]
    heading = geodesic.inverse(got["lat"], got["lon"], *case[4:])["azi1"]
    towards = geodesic.inverse(got["lat"], got["lon"], *case[:2])["azi1"]
    assert abs(math.remainder(towards - heading, 360.0)) == pytest.approx(90.0, abs=1e-9)


@pytest.mark.parametrize("turn", [-90.0, 90.0])
@pytest.mark.parametrize("away", [1e-3, 1.0, 2e5])
def test_side_left_and_right_of_the_direction_of_travel(turn, away):
    lat1, lon1, lat2, lon2 = 40.0, -30.0, 45.0, -10.0
    line = geodesic.inverse(lat1, lon1, lat2, lon2)
    mid = geodesic.direct(lat1, lon1, line["azi1"], line["s12"] / 3)
    point = geodesic.direct(mid["lat2"], mid["lon2"], mid["azi2"] + turn, away)
    got = geodesic.distance_to_segment(point["lat2"], point["lon2"], lat1, lon1, lat2, lon2)
    assert got["side"] == (1.0 if turn < 0 else -1.0)  # turning left is turning anticlockwise
    assert got["distance"] == pytest.approx(away, rel=1e-9, abs=1e-8)
    assert got["along"] == pytest.approx(line["s12"] / 3, abs=1e-6)


def test_points_on_the_segment_and_its_vertices_are_on_it():
    got = geodesic.distance_to_segment([51.0, 53.0], [0.0, 10.0], 51.0, 0.0, 53.0, 10.0)
    assert list(got["distance"]) == [0.0, 0.0]
    assert list(got["side"]) == [0.0, 0.0]


def test_zero_length_segment_is_its_point():
    got = geodesic.distance_to_segment(30.0, 40.0, 10.0, 20.0, 10.0, 20.0)
    assert got["distance"] == geodesic.inverse(10.0, 20.0, 30.0, 40.0)["s12"]
    assert (got["along"], got["lat"], got["lon"]) == (0.0, 10.0, 20.0)
    assert math.isnan(got["side"])  # no direction to be left or right of
    assert geodesic.distance_to_segment(10.0, 20.0, 10.0, 20.0, 10.0, 20.0)["side"] == 0.0


@pytest.mark.parametrize("bad", [math.nan, math.inf, 91.0])
def test_nan_in_gives_nan_out(bad):
    for args in [(bad, 0.0, 0.0, 0.0, 1.0, 1.0), (0.0, 0.0, bad, 0.0, 1.0, 1.0)]:
        got = geodesic.distance_to_segment(*args)
        assert all(math.isnan(v) for v in got.values()), args


def test_arrays_broadcast_and_agree_with_numbers():
    lat = np.linspace(50.0, 54.0, 6).reshape(2, 3)
    got = geodesic.distance_to_segment(lat, 5.0, 51.0, 0.0, [[53.0], [52.0]], 10.0)
    assert got["distance"].shape == (2, 3)
    for i, j in np.ndindex(2, 3):
        one = geodesic.distance_to_segment(lat[i, j], 5.0, 51.0, 0.0, [53.0, 52.0][i], 10.0)
        assert {k: v[i, j] for k, v in got.items()} == one


def test_other_ellipsoids():
    case = CASES["inside"]
    grs80 = geodesic.distance_to_segment(*case, ellipsoid="GRS80")
    sphere = geodesic.distance_to_segment(*case, ellipsoid=(6371e3, 0.0))
    assert grs80["distance"] == pytest.approx(geodesic.distance_to_segment(*case)["distance"], rel=1e-6)
    from pyproj import Geod

    want, _ = brute_distance_to_segment(*case, geod=Geod(a=6371e3, f=0.0))
    assert sphere["distance"] == pytest.approx(want, abs=1e-6)


# --- polylines -----------------------------------------------------------------------


def wandering_line(n: int, seed: int, step: float = 2000.0, wander: float = 5.0) -> tuple[np.ndarray, np.ndarray]:
    """A route of n vertices about `step` metres apart, turning at random."""
    rng = np.random.default_rng(seed)
    lat, lon, azimuth = [48.0], [-30.0], 70.0
    for _ in range(n - 1):
        azimuth += rng.normal(0.0, wander)
        nxt = geodesic.direct(lat[-1], lon[-1], azimuth, step * rng.uniform(0.5, 1.5))
        lat.append(nxt["lat2"])
        lon.append(nxt["lon2"])
        azimuth = nxt["azi2"]
    return np.array(lat), np.array(lon)


def nearest_of_every_segment(lat: float, lon: float, line_lat, line_lon) -> tuple[float, int, float]:
    """(distance, segment, along the line) by distance_to_segment on every
    segment, ties to the smaller index, repeated vertices passed over."""
    got = geodesic.distance_to_segment(lat, lon, line_lat[:-1], line_lon[:-1], line_lat[1:], line_lon[1:])
    lengths = geodesic.inverse_batch(line_lat[:-1], line_lon[:-1], line_lat[1:], line_lon[1:], outputs="s12")["s12"]
    distance = np.where(lengths > 0, got["distance"], np.inf)
    k = int(np.argmin(distance))  # the first of equal minima
    return float(distance[k]), k, float(lengths[:k].sum() + got["along"][k])


@pytest.mark.parametrize(("spread", "seed"), [(500.0, 1), (20e3, 2), (300e3, 3), (3000e3, 4)])
def test_line_is_its_nearest_segment(spread, seed):
    line_lat, line_lon = wandering_line(400, seed)
    rng = np.random.default_rng(seed)
    at = rng.integers(0, 400, 60)
    points = geodesic.direct_batch(line_lat[at], line_lon[at], rng.uniform(-180, 180, 60), rng.exponential(spread, 60))
    got = geodesic.distance_to_line(points["lat2"], points["lon2"], line_lat, line_lon)
    assert got["segment"].dtype == np.int64
    for i in range(60):
        distance, segment, along = nearest_of_every_segment(points["lat2"][i], points["lon2"][i], line_lat, line_lon)
        assert got["distance"][i] == pytest.approx(distance, rel=0, abs=1e-8)
        assert got["segment"][i] == segment
        assert got["along"][i] == pytest.approx(along, abs=1e-5)


def test_point_beyond_a_shared_vertex_goes_to_the_smaller_segment():
    # Both segments end at (0, 1): a point beyond that corner is as near to
    # each, at the vertex itself.
    got = geodesic.distance_to_line(-0.5, 1.5, [0.0, 0.0, 1.0], [0.0, 1.0, 1.0])
    assert got["segment"] == 0
    assert (got["lat"], got["lon"]) == (0.0, 1.0)
    assert got["along"] == pytest.approx(geodesic.inverse(0.0, 0.0, 0.0, 1.0)["s12"], abs=1e-9)


def test_line_results_are_numbers_for_numbers():
    got = geodesic.distance_to_line(0.5, 0.5, [0.0, 0.0, 1.0], [0.0, 1.0, 1.0])
    assert list(got) == ["distance", "segment", "along", "lat", "lon", "side"]
    assert type(got["segment"]) is int and type(got["distance"]) is float
    segment = geodesic.distance_to_segment(0.5, 0.5, 0.0, 0.0, 0.0, 1.0)
    assert got["distance"] == pytest.approx(segment["distance"], abs=1e-9)
    assert got["along"] == pytest.approx(segment["along"], abs=1e-9)


def test_line_skips_repeated_vertices_and_measures_along_from_its_start():
    got = geodesic.distance_to_line(0.5, 1.5, [0.0, 0.0, 0.0, 0.0, 0.0], [0.0, 1.0, 1.0, 2.0, 3.0])
    assert got["segment"] == 2 and got["side"] == 1.0
    assert got["along"] == pytest.approx(geodesic.inverse(0, 0, 0, 1.5)["s12"], abs=1e-6)
    one_point = geodesic.distance_to_line(1.0, 1.0, [5.0, 5.0], [5.0, 5.0])
    assert one_point["segment"] == 0 and one_point["distance"] == geodesic.inverse(5, 5, 1, 1)["s12"]


def test_line_points_broadcast_nan_and_series():
    lat = pd.Series([0.5, math.nan, 0.2], index=[10, 20, 30])
    got = geodesic.distance_to_line(lat, 0.5, [0.0, 0.0, 1.0], [0.0, 1.0, 1.0])
    assert isinstance(got["segment"], pd.Series) and list(got["segment"]) == [0, -1, 0]
    assert math.isnan(got["distance"][20]) and math.isnan(got["side"][20])
    grid = geodesic.distance_to_line(np.zeros((2, 1)), [[0.2, 0.4, 0.6]], [0.0, 0.0, 1.0], [0.0, 1.0, 1.0])
    assert grid["distance"].shape == grid["segment"].shape == (2, 3)


@pytest.mark.parametrize(
    ("line_lat", "line_lon", "message"),
    [
        ([0.0], [0.0], "at least two vertices"),
        ([0.0, 1.0], [0.0, 1.0, 2.0], "differ in length"),
        ([0.0, math.nan], [0.0, 1.0], "vertex 1 of the line"),
        ([0.0, 95.0], [0.0, 1.0], "vertex 1 of the line"),
        ([[0.0, 1.0]], [[0.0, 1.0]], "one-dimensional"),
        (0.0, [0.0], "one-dimensional"),
    ],
)
def test_bad_lines_are_refused(line_lat, line_lon, message):
    with pytest.raises(ValueError, match=message):
        geodesic.distance_to_line(0.0, 0.0, line_lat, line_lon)


def test_a_long_line_costs_a_few_inverse_problems_per_point():
    line_lat, line_lon = wandering_line(10_000, 5, step=1000.0)
    rng = np.random.default_rng(5)
    at = rng.integers(0, 10_000, 2000)
    points = geodesic.direct_batch(line_lat[at], line_lon[at], rng.uniform(-180, 180, 2000), rng.exponential(20e3, 2000))
    before = _engine._distance_to_line_inverses()
    geodesic.distance_to_line(points["lat2"], points["lon2"], line_lat, line_lon)
    per_point = (_engine._distance_to_line_inverses() - before) / 2000
    assert per_point < 10  # against 9999 for every segment


def test_results_do_not_depend_on_the_number_of_threads():
    import orvik

    line_lat, line_lon = wandering_line(300, 6)
    rng = np.random.default_rng(6)
    lat, lon = rng.uniform(45, 52, 3000), rng.uniform(-32, -5, 3000)
    calls = {
        "distance_to_segment": lambda: geodesic.distance_to_segment(lat, lon, 48.0, -30.0, lat[::-1], lon[::-1]),
        "distance_to_line": lambda: geodesic.distance_to_line(lat, lon, line_lat, line_lon),
        "intersect": lambda: geodesic.intersect(lat, lon, 45.0, lat[::-1], lon[::-1], 135.0),
        "segment_intersect": lambda: geodesic.segment_intersect(lat, lon, 50.0, -20.0, lat[::-1], lon[::-1], 48.0, -10.0),
    }
    for name, call in calls.items():
        pooled = call()
        with orvik.num_threads(1):
            alone = call()
        for key in alone:
            np.testing.assert_array_equal(pooled[key], alone[key], err_msg=f"{name}: {key}")
