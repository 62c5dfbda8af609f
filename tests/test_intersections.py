"""Where geodesics and geodesic segments cross, against GeographicLib's own
IntersectTool built from the bundled sources: the same Intersect behind
both, so a difference is in how orvik calls it or passes its results on."""

from __future__ import annotations

import math

import numpy as np
import pandas as pd
import pytest
from geographiclib_tools import geographiclib_tools  # noqa: F401 (a fixture)

from orvik import geodesic

LINES = {
    "crossing": (0.0, 0.0, 45.0, 1.0, 0.0, 135.0),
    "meridians meeting at the pole": (0.0, 0.0, 0.0, 0.0, 1.0, 0.0),
    "one line": (0.0, 0.0, 90.0, 0.0, 10.0, 90.0),
    "one line, opposite ways": (0.0, 0.0, 90.0, 0.0, 10.0, -90.0),
    "across the antimeridian": (10.0, 179.0, 135.0, -10.0, -179.0, 45.0),
    "near the pole": (89.0, 0.0, 10.0, 89.0, 90.0, -100.0),
    "nearly parallel": (40.0, -70.0, 60.0, 40.001, -70.0, 60.0001),
    "behind both starts": (52.0, 13.0, 45.0, 48.0, 2.0, -30.0),
}
SEGMENTS = {
    "crossing": (0.0, 0.0, 1.0, 1.0, 0.0, 1.0, 1.0, 0.0),
    "apart": (0.0, 0.0, 1.0, 1.0, 2.0, 0.0, 3.0, 5.0),
    "across the antimeridian": (10.0, 179.0, -10.0, -179.0, -10.0, 179.0, 10.0, -179.0),
    "over the pole": (80.0, 0.0, 80.0, 180.0, 80.0, 90.0, 80.0, -90.0),
    "transatlantic routes": (51.47, -0.45, 40.64, -73.78, 64.13, -21.94, 38.78, -9.13),
    "long, nearly antipodal": (0.0, 0.0, 0.5, 179.0, -30.0, 90.0, 30.0, 91.0),
}


def random_lines(n: int, seed: int) -> list[tuple[float, ...]]:
    rng = np.random.default_rng(seed)
    lat = np.degrees(np.arcsin(rng.uniform(-1, 1, (n, 2))))
    lon, azi = rng.uniform(-180, 180, (n, 2)), rng.uniform(-180, 180, (n, 2))
    return [(lat[i, 0], lon[i, 0], azi[i, 0], lat[i, 1], lon[i, 1], azi[i, 1]) for i in range(n)]


def random_segments(n: int, seed: int) -> list[tuple[float, ...]]:
    """Pairs of segments from 1 km to 10,000 km long, around one place, so
    that about half of them cross."""
    rng = np.random.default_rng(seed)
    out = []
    for _ in range(n):
        lat, lon = math.degrees(math.asin(rng.uniform(-1, 1))), rng.uniform(-180, 180)
        size = 10 ** rng.uniform(3, 7)
        ends = [geodesic.direct(lat, lon, rng.uniform(-180, 180), size * rng.uniform(0, 0.6)) for _ in range(4)]
        out.append(tuple(v for e in ends for v in (e["lat2"], e["lon2"])))
    return out


def tool_rows(tools, mode: str, cases: list[tuple[float, ...]], *options: str) -> list[list[float]]:
    lines = [" ".join(repr(float(v)) for v in case) for case in cases]
    rows = tools.run("IntersectTool", [*options, mode, "-p", "9"], lines)
    assert len(rows) == len(cases)
    return [[float(v) for v in row] for row in rows]


def on_geodesic(lat: float, lon: float, azi: float, s: float, at_lat: float, at_lon: float) -> float:
    """How far (lat, lon) is from the point s metres along the geodesic."""
    there = geodesic.direct(lat, lon, azi, s)
    return geodesic.inverse(there["lat2"], there["lon2"], at_lat, at_lon)["s12"]


def test_intersect_agrees_with_intersect_tool(geographiclib_tools):  # noqa: F811
    cases = list(LINES.values()) + random_lines(80, seed=3)
    columns = list(zip(*cases, strict=True))
    got = geodesic.intersect(*(np.array(c) for c in columns))
    for i, (case, (x, y, c)) in enumerate(zip(cases, tool_rows(geographiclib_tools, "-c", cases), strict=True)):
        assert got["x"][i] == pytest.approx(x, abs=1e-6), case
        assert got["y"][i] == pytest.approx(y, abs=1e-6), case
        assert got["coincident"][i] == c, case
        # The crossing is on both geodesics, x and y along them.
        assert on_geodesic(*case[:3], got["x"][i], got["lat"][i], got["lon"][i]) < 1e-6, case
        assert on_geodesic(*case[3:], got["y"][i], got["lat"][i], got["lon"][i]) < 1e-6, case


def test_segment_intersect_agrees_with_intersect_tool(geographiclib_tools):  # noqa: F811
    cases = list(SEGMENTS.values()) + random_segments(80, seed=4)
    got = geodesic.segment_intersect(*(np.array(c) for c in zip(*cases, strict=True)))
    assert got["intersects"].dtype == np.bool_
    meeting = 0
    for i, (case, (x, y, c, k)) in enumerate(zip(cases, tool_rows(geographiclib_tools, "-i", cases), strict=True)):
        assert got["x"][i] == pytest.approx(x, abs=1e-6), case
        assert got["y"][i] == pytest.approx(y, abs=1e-6), case
        assert got["coincident"][i] == c, case
        assert got["intersects"][i] == (k == 0), case
        meeting += k == 0
        azi_a = geodesic.inverse(*case[:4])["azi1"]
        assert on_geodesic(case[0], case[1], azi_a, got["x"][i], got["lat"][i], got["lon"][i]) < 1e-6, case
    assert 20 < meeting < 70  # both outcomes are tested


@pytest.mark.parametrize("seed", range(3))
def test_segments_that_share_an_end_meet(seed, geographiclib_tools):  # noqa: F811
    # A path A-B-C: rounding puts the crossing at B a little outside one of
    # the segments for about three pairs in four, as the tool reports.
    rng = np.random.default_rng(seed)
    a_lat, a_lon = rng.uniform(-80, 80, 50), rng.uniform(-180, 180, 50)
    b = geodesic.direct_batch(a_lat, a_lon, rng.uniform(-180, 180, 50), 10 ** rng.uniform(2, 6.5, 50))
    c = geodesic.direct_batch(b["lat2"], b["lon2"], rng.uniform(-180, 180, 50), 10 ** rng.uniform(2, 6.5, 50))
    got = geodesic.segment_intersect(a_lat, a_lon, b["lat2"], b["lon2"], b["lat2"], b["lon2"], c["lat2"], c["lon2"])
    assert got["intersects"].all()
    cases = list(zip(a_lat, a_lon, b["lat2"], b["lon2"], b["lat2"], b["lon2"], c["lat2"], c["lon2"], strict=True))
    assert any(k != 0 for *_, k in tool_rows(geographiclib_tools, "-i", cases))


def test_a_segment_starting_on_another_meets_it():
    # A T-junction: segment b starts at a point of segment a, computed, so a
    # few nanometres off it.
    a = (40.0, -70.0, 50.0, -10.0)
    line = geodesic.inverse(*a)
    foot = geodesic.direct_batch(40.0, -70.0, line["azi1"], line["s12"] * np.linspace(0.05, 0.95, 19))
    away = geodesic.direct_batch(foot["lat2"], foot["lon2"], foot["azi2"] + 90.0, 1e5)
    got = geodesic.segment_intersect(*a, foot["lat2"], foot["lon2"], away["lat2"], away["lon2"])
    assert got["intersects"].all()
    np.testing.assert_allclose(got["y"], 0.0, atol=1e-6)


def test_touching_is_not_crossing_when_apart():
    # The same T, pulled back by a millimetre.
    line = geodesic.inverse(40.0, -70.0, 50.0, -10.0)
    foot = geodesic.direct(40.0, -70.0, line["azi1"], line["s12"] / 2)
    start = geodesic.direct(foot["lat2"], foot["lon2"], foot["azi2"] + 90.0, 1e-3)
    end = geodesic.direct(foot["lat2"], foot["lon2"], foot["azi2"] + 90.0, 1e5)
    got = geodesic.segment_intersect(40.0, -70.0, 50.0, -10.0, start["lat2"], start["lon2"], end["lat2"], end["lon2"])
    assert got["intersects"] is False
    assert got["y"] == pytest.approx(-1e-3, abs=1e-8)


def test_numbers_give_floats_and_a_bool():
    got = geodesic.segment_intersect(*SEGMENTS["crossing"])
    assert got["intersects"] is True
    assert all(type(v) is float for k, v in got.items() if k != "intersects")
    assert list(got) == ["x", "y", "lat", "lon", "coincident", "intersects"]
    assert list(geodesic.intersect(*LINES["crossing"])) == ["x", "y", "lat", "lon", "coincident"]


@pytest.mark.parametrize("bad", [math.nan, math.inf, -91.0])
def test_nan_in_gives_nan_out_and_no_crossing(bad):
    got = geodesic.segment_intersect(bad, 0.0, 1.0, 1.0, 0.0, 1.0, 1.0, 0.0)
    assert got["intersects"] is False
    assert all(math.isnan(v) for k, v in got.items() if k != "intersects")
    lines = geodesic.intersect(bad, 0.0, 45.0, 1.0, 0.0, 135.0)
    assert all(math.isnan(v) for v in lines.values())


def test_arrays_broadcast_and_series_keep_their_index():
    lat = pd.Series([0.0, 0.5, 5.0], index=list("abc"))
    got = geodesic.segment_intersect(lat, 0.0, 1.0, 1.0, 0.0, 1.0, 1.0, 0.0)
    assert isinstance(got["intersects"], pd.Series) and got["intersects"].dtype == bool
    assert list(got["intersects"].index) == list("abc")
    assert got["intersects"].tolist() == [True, True, False]
    grid = geodesic.intersect(np.zeros((3, 1)), 0.0, [[30.0, 45.0]], 1.0, 0.0, 135.0)
    assert grid["x"].shape == (3, 2)
    assert grid["x"][2, 1] == geodesic.intersect(0.0, 0.0, 45.0, 1.0, 0.0, 135.0)["x"]


def test_other_ellipsoids(geographiclib_tools):  # noqa: F811
    case = LINES["crossing"]
    [(x, y, _)] = tool_rows(geographiclib_tools, "-c", [case], "-e", "6371000", "0")
    sphere = geodesic.intersect(*case, ellipsoid=(6371000.0, 0.0))
    assert (sphere["x"], sphere["y"]) == (pytest.approx(x, abs=1e-6), pytest.approx(y, abs=1e-6))
    [(x, y, _)] = tool_rows(geographiclib_tools, "-c", [case], "-e", "6378137", "0.02")
    flat = geodesic.intersect(*case, ellipsoid=(6378137.0, 0.02))
    assert (flat["x"], flat["y"]) == (pytest.approx(x, abs=1e-6), pytest.approx(y, abs=1e-6))
