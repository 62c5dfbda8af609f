"""orvik.rhumb and the rhumb-line functions of orvik.distance and
orvik.geodesic: against GeographicLib's own RhumbSolve (the same library, so
any difference is in how orvik calls it or passes the results on), against
the closed-form area of a latitude/longitude box, and in the package's
conventions."""

from __future__ import annotations

import math

import numpy as np
import pandas as pd
import pytest
from geographiclib_tools import geographiclib_tools  # noqa: F401 (a fixture)

from orvik import distance, geodesic, rhumb

WGS84 = (6378137.0, 1 / 298.257223563)
NAN = math.nan

# Lines whose ends or courses are special, as (lat1, lon1, lat2, lon2).
EDGE_PAIRS = [
    (90, 0, 10, 20),  # from the north pole: the meridian of the other end
    (-45, 30, -90, 100),  # to the south pole
    (90, 10, -90, 50),  # pole to pole
    (0, 10, 0, 120),  # along the equator
    (0, 10, 0, -170),  # the equator, longitudes 180 apart: east-going
    (40, 10, 40, -170),  # a parallel, longitudes 180 apart
    (60, -20, 60, 35),  # a parallel
    (10, 170, 20, -170),  # east across the antimeridian, the shorter way
    (-30, -175, -35, 175),  # west across it
    (10, 20, 10, 20),  # one point
    (30, 40, -50, 40),  # a meridian
    (45, 0, 45 + 1e-9, 10),  # all but a parallel
    (89.999999, 0, 89.999999, 180),  # round a pole at a few centimetres
]

# Starts, courses and lengths whose ends are special, as (lat1, lon1, azi12, s12).
EDGE_STARTS = [
    (0, 0, 90, 1e7),  # east along the equator
    (0, 170, 90, 3e6),  # across the antimeridian
    (80, 0, 45, 5e6),  # spirals past the north pole: no longitude
    (10, 20, 0, 2e7),  # north along a meridian, over the pole
    (90, 0, 30, 1e6),  # leaves the north pole
    (-90, 0, 135, 1e6),  # leaves the south pole
    (40, -70, -60, -3e6),  # backwards
    (60, 0, 270, 0),  # no distance
]


def text(value: float) -> str:
    # Shortest round-tripping decimals without an exponent, which
    # RhumbSolve's angle parser does not read.
    return np.format_float_positional(value, unique=True, trim="-")


def rhumbsolve(tools, rows, *, inverse, a_f=WGS84, exact=False):
    """RhumbSolve's answers, as an array of one row of floats per input row:
    (azi12, s12, S12) for the inverse problem, (lat2, lon2, S12) for the
    direct one; -p 10 gives distances to 1e-10 m, angles to 1e-15 degrees and
    areas to 1e-3 m^2."""
    args = ["-p", "10", "-e", repr(a_f[0]), repr(a_f[1])] + ["-i"] * inverse + ["-E"] * exact
    out = tools.run("RhumbSolve", args, [" ".join(text(float(v)) for v in row) for row in rows])
    return np.array([[float(v) for v in row] for row in out])


def assert_lengths(got, want):
    assert np.all(np.abs(got - want) <= np.maximum(1e-9, 2 * np.spacing(np.abs(want)))), np.max(np.abs(got - want))


def assert_angles(got, want):
    # The same direction: -180 and 180 are one; NaN where RhumbSolve has NaN.
    assert np.array_equal(np.isnan(got), np.isnan(want))
    ok = ~np.isnan(want)
    assert np.all(np.abs(np.remainder(got[ok] - want[ok] + 180, 360) - 180) <= 1e-12)


def assert_areas(got, want):
    # RhumbSolve prints areas to 1e-3 m^2.
    assert np.array_equal(np.isnan(got), np.isnan(want))
    ok = ~np.isnan(want)
    assert np.all(np.abs(got[ok] - want[ok]) <= 1e-3 + 4 * np.spacing(np.abs(want[ok])))


def random_pairs(n, seed):
    rng = np.random.default_rng(seed)
    return np.column_stack([rng.uniform(-90, 90, n), rng.uniform(-180, 180, n),
                            rng.uniform(-90, 90, n), rng.uniform(-180, 180, n)])  # fmt: skip


MODELS = [
    pytest.param(None, False, id="WGS84"),
    pytest.param(None, True, id="WGS84-exact"),
    pytest.param((6.4e6, 0.02), False, id="flattest-series"),
    pytest.param((6.4e6, -0.02), False, id="prolate-series"),
    pytest.param((7.1492e7, 0.06487), True, id="Jupiter-exact"),
    pytest.param((6.4e6, -0.5), True, id="prolate-exact"),
]


@pytest.mark.parametrize(("ellipsoid", "exact"), MODELS)
def test_inverse_agrees_with_rhumbsolve(geographiclib_tools, ellipsoid, exact):  # noqa: F811
    rows = np.vstack([np.array(EDGE_PAIRS, dtype=float), random_pairs(1000, 20)])
    want = rhumbsolve(geographiclib_tools, rows, inverse=True, a_f=ellipsoid or WGS84, exact=exact)
    got = rhumb.inverse(*rows.T, ellipsoid=ellipsoid, exact=exact)
    assert_angles(got["azi12"], want[:, 0])
    assert_lengths(got["s12"], want[:, 1])
    assert_areas(got["S12"], want[:, 2])


@pytest.mark.parametrize(("ellipsoid", "exact"), MODELS)
def test_direct_agrees_with_rhumbsolve(geographiclib_tools, ellipsoid, exact):  # noqa: F811
    rng = np.random.default_rng(21)
    n = 1000
    random = np.column_stack([rng.uniform(-90, 90, n), rng.uniform(-180, 180, n),
                              rng.uniform(-180, 180, n), rng.uniform(-2e7, 2e7, n)])  # fmt: skip
    rows = np.vstack([np.array(EDGE_STARTS, dtype=float), random])
    want = rhumbsolve(geographiclib_tools, rows, inverse=False, a_f=ellipsoid or WGS84, exact=exact)
    got = rhumb.direct(*rows.T, ellipsoid=ellipsoid, exact=exact)
    assert_angles(got["lat2"], want[:, 0])
    assert_angles(got["lon2"], want[:, 1])
    assert_areas(got["S12"], want[:, 2])
    # Past a pole there is no longitude, but there is a latitude.
    if ellipsoid is None:
        assert np.isnan(got["lon2"][2]) and np.isfinite(got["lat2"][2])


def test_exact_buys_accuracy_beyond_the_series_reach():
    pairs = random_pairs(200, 22).T
    differences = []
    for ellipsoid in (None, (6.4e6, 0.02)):
        series = rhumb.inverse(*pairs, ellipsoid=ellipsoid, outputs="s12")["s12"]
        exact = rhumb.inverse(*pairs, ellipsoid=ellipsoid, outputs="s12", exact=True)["s12"]
        differences.append(np.max(np.abs(series - exact) / exact))
    # WGS84: the same to rounding; f = 0.02, at the series' limit: not quite.
    assert differences[0] < 1e-14 < 1e-13 < differences[1] < 1e-11
    # Beyond it, only exact rhumb lines are offered.
    with pytest.raises(ValueError, match="within \\[-0.02, 0.02\\].*not 0.1; exact=True takes"):
        rhumb.inverse(1, 2, 3, 4, ellipsoid=(6.4e6, 0.1))
    with pytest.raises(ValueError, match="within \\[-0.5, 0.5\\] for exact rhumb lines, not 0.6"):
        rhumb.inverse(1, 2, 3, 4, ellipsoid=(6.4e6, 0.6), exact=True)


@pytest.mark.parametrize(
    "bad",
    [(NAN, 0, 1, 1), (0, NAN, 1, 1), (0, 0, 1, math.inf), (-math.inf, 0, 1, 1), (91, 0, 1, 1), (0, 0, -90.5, 0),
     (90, NAN, 0, 0)],  # a NaN longitude at a pole, which GeographicLib would ignore
)  # fmt: skip
def test_nan_infinity_and_latitudes_beyond_90_give_nan(bad):
    assert all(math.isnan(v) for v in rhumb.inverse(*bad).values())
    assert math.isnan(distance.rhumb_distance(*bad))
    lats, lons = rhumb.line_points(*bad, n=3)
    assert np.isnan(lats).all() and np.isnan(lons).all()


@pytest.mark.parametrize(
    "bad", [(NAN, 0, 45, 1e5), (0, math.inf, 45, 1e5), (0, 0, NAN, 1e5), (0, 0, -math.inf, 1e5), (0, 0, 45, math.inf),
            (90.25, 0, 45, 1e5), (90, NAN, 180, 1e5)]  # fmt: skip
)
def test_direct_gives_nan_for_nan_infinity_and_latitudes_beyond_90(bad):
    assert all(math.isnan(v) for v in rhumb.direct(*bad).values())
    assert all(math.isnan(v) for v in distance.rhumb_destination(*bad))


def test_numbers_arrays_and_series_agree_bit_for_bit():
    pairs = random_pairs(50, 23)
    together = rhumb.inverse(*pairs.T)
    for i, row in enumerate(pairs):
        one = rhumb.inverse(*row)
        assert all(type(v) is float for v in one.values())
        assert [one[k] for k in ("s12", "azi12", "S12")] == [together[k][i] for k in ("s12", "azi12", "S12")]
        assert distance.rhumb_distance(*row) == one["s12"]
    # Broadcasting, a Series in gives Series out on its index.
    lat2 = pd.Series(pairs[:5, 2], index=list("abcde"))
    got = rhumb.inverse(52.5, 13.4, lat2, pairs[:5, 3], outputs=("azi12", "s12"))
    assert list(got) == ["azi12", "s12"] and list(got["s12"].index) == list("abcde")
    ends = rhumb.direct(52.5, 13.4, got["azi12"], got["s12"], outputs=["lat2", "lon2"])
    assert np.allclose(ends["lat2"], lat2, rtol=0, atol=1e-9)
    lat, lon = distance.rhumb_destination(52.5, 13.4, got["azi12"].to_numpy(), got["s12"].to_numpy())
    assert np.array_equal(lat, ends["lat2"].to_numpy()) and np.array_equal(lon, ends["lon2"].to_numpy())


@pytest.mark.parametrize(
    ("kwargs", "error", "fragment"),
    [
        ({"exact": 1}, TypeError, "'exact' must be a bool"),
        ({"exact": None}, TypeError, "'exact' must be a bool"),
        ({"ellipsoid": "Airy"}, ValueError, "Airy"),
        ({"ellipsoid": (6.4e6, 298.0)}, ValueError, "not its inverse"),
        ({"ellipsoid": (6.4e6, True)}, TypeError, "True"),
        ({"outputs": "azi1"}, ValueError, "'azi1'"),
    ],
)
def test_bad_options_name_the_parameter(kwargs, error, fragment):
    with pytest.raises(error, match=fragment):
        rhumb.inverse(1, 2, 3, 4, **kwargs)


def test_line_points_lie_on_the_rhumb_line_at_equal_steps():
    pairs = np.vstack([np.array(EDGE_PAIRS[:9], dtype=float), random_pairs(20, 24)])
    lats, lons = rhumb.line_points(*pairs.T, n=9)
    assert lats.shape == lons.shape == (len(pairs), 9)
    assert np.array_equal(lats[:, 0], pairs[:, 0]) and np.array_equal(lats[:, -1], pairs[:, 2])
    assert np.all(np.abs(lons) <= 180)
    line = rhumb.inverse(*pairs.T)
    # Every point is where the direct problem puts it after k steps.
    k = np.arange(1, 8)
    want = rhumb.direct(pairs[:, :1], pairs[:, 1:2], line["azi12"][:, None], line["s12"][:, None] * k / 8)
    assert np.allclose(lats[:, 1:-1], want["lat2"], rtol=0, atol=1e-12)
    # From a pole the direct problem has no longitude: the line is the
    # meridian of its end.
    from_pole = np.abs(pairs[:, 0]) == 90
    assert np.isnan(want["lon2"][from_pole]).all()
    want_lon = np.where(from_pole[:, None], pairs[:, 3:4], want["lon2"])
    assert np.all(np.abs(np.remainder(lons[:, 1:-1] - want_lon + 180, 360) - 180) <= 1e-11)
    # Interior points only, and points about `spacing` apart on one line.
    inner, _ = rhumb.line_points(*pairs[7], n=3, include_ends=False)
    assert np.allclose(inner, lats[7, 2:-1:2], rtol=0, atol=1e-12)
    length = line["s12"][7]
    spaced, _ = rhumb.line_points(*pairs[7], spacing=length / 10.4)
    assert len(spaced) == 11 and np.allclose(spaced, rhumb.line_points(*pairs[7], n=11)[0], rtol=0, atol=1e-12)


def test_line_points_cross_the_antimeridian_the_shorter_way():
    lats, lons = rhumb.line_points(0, 170, 0, -170, n=5)
    assert np.allclose(lons, [170, 175, 180, -175, -170], rtol=0, atol=1e-9) or np.allclose(
        lons, [170, 175, -180, -175, -170], rtol=0, atol=1e-9
    )
    assert np.all(lats == 0)


def q_authalic(lat_deg, e2):
    """The authalic q(phi) of the ellipsoid of squared eccentricity e2: the
    area between the equator and latitude phi is a^2 / 2 * q(phi) per radian
    of longitude."""
    s = np.sin(np.radians(lat_deg))
    e = math.sqrt(e2)
    return (1 - e2) * (s / (1 - e2 * s * s) + np.arctanh(e * s) / e)


def box_area(south, north, west, east, a_f=WGS84):
    a, f = a_f
    width = math.radians((east - west) % 360)
    return a * a / 2 * width * (q_authalic(north, f * (2 - f)) - q_authalic(south, f * (2 - f)))


BOXES = [(0, 1, 0, 1), (-10, 10, 170, -170), (55, 56.25, 12.5, 13.75), (-89, -60, -50, 40), (80, 90, 0, 90),
         (-0.001, 0.0005, 100, 100.002)]  # fmt: skip


@pytest.mark.parametrize("box", BOXES, ids=str)
@pytest.mark.parametrize("ellipsoid", [None, "GRS80"])
def test_a_lat_lon_box_has_its_zone_segment_area(box, ellipsoid):
    south, north, west, east = box
    a_f = WGS84 if ellipsoid is None else (6378137.0, 1 / 298.257222100882711243)
    area, perimeter = geodesic.polygon_area([south, south, north, north], [west, east, east, west],
                                            edges="rhumb", ellipsoid=ellipsoid)  # fmt: skip
    assert area == pytest.approx(box_area(*box, a_f), rel=1e-9)
    # The perimeter is the rhumb lengths of the sides.
    sides = distance.rhumb_distance([south, south, north, north], [west, east, east, west],
                                    [south, north, north, south], [east, east, west, west], ellipsoid=ellipsoid)  # fmt: skip
    assert perimeter == pytest.approx(sides.sum(), rel=1e-14)
    # The geodesic between the corners of a parallel bulges poleward.
    if 0 < south and north < 90:
        assert geodesic.polygon_area([south, south, north, north], [west, east, east, west])[0] < area


def test_a_densified_box_split_over_the_workers_keeps_its_area():
    # 12001 vertices: split in parts of 4096 edges, joined by rhumb chords.
    south, north, west, east = 40, 50, -30, 30
    along = np.linspace(west, east, 6001)
    lats = np.concatenate([np.full(6001, south), [north], np.full(6000, north)])
    lons = np.concatenate([along, [east], along[::-1][1:]])
    area, perimeter = geodesic.polygon_area(lats, lons, edges="rhumb")
    assert area == pytest.approx(box_area(south, north, west, east), rel=1e-9)
    assert perimeter == pytest.approx(geodesic.polygon_area([40, 40, 50, 50], [-30, 30, 30, -30], edges="rhumb")[1])


def test_rings_stand_alone_and_a_bad_vertex_spoils_only_its_own():
    rings = [[0, 0, 1, 1], [0, 0, 91, 1], [0, 0, NAN, 1]]
    areas, perimeters = geodesic.polygon_area(rings, [[0, 1, 1, 0]] * 3, edges="rhumb")
    assert areas[0] == pytest.approx(box_area(0, 1, 0, 1), rel=1e-9)
    assert np.isnan(areas[1:]).all() and np.isnan(perimeters[1:]).all()


def test_edges_default_to_geodesics():
    ring = ([52.5, 48.9, 40.7, 51.5], [13.4, 2.35, -74.0, -0.13])
    assert geodesic.polygon_area(*ring, edges="geodesic") == geodesic.polygon_area(*ring)


@pytest.mark.parametrize(
    ("edges", "error", "shown"),
    [("Rhumb", ValueError, "'Rhumb'"), ("great-circle", ValueError, "'great-circle'"), ("", ValueError, "''"),
     (None, TypeError, "None"), (1, TypeError, "1")],  # fmt: skip
)
def test_edges_must_be_geodesic_or_rhumb(edges, error, shown):
    with pytest.raises(error, match=f"polygon_area\\(\\) argument 'edges' must be 'geodesic' or 'rhumb', not {shown}"):
        geodesic.polygon_area([0, 0, 1], [0, 1, 1], edges=edges)


@pytest.mark.parametrize("box", BOXES[:4], ids=str)
def test_geometry_grid_cells_with_rhumb_edges(box):
    shapely = pytest.importorskip("shapely")
    from orvik import geometry

    south, north, west, east = box
    # Geometries are (x = longitude, y = latitude); one cell each way round.
    cell = shapely.Polygon([(west, south), (east, south), (east, north), (west, north)])
    cells = [cell, cell.reverse()]
    assert geometry.area(cells, edges="rhumb") == pytest.approx([box_area(*box)] * 2, rel=1e-9)
    sides = distance.rhumb_distance([south, south, north, north], [west, east, east, west],
                                    [south, north, north, south], [east, east, west, west])  # fmt: skip
    assert geometry.length(cell, edges="rhumb") == pytest.approx(sides.sum(), rel=1e-14)
    assert geometry.length(shapely.LineString([(west, south), (east, south)]), edges="rhumb") == pytest.approx(
        sides[0], rel=1e-14
    )


@pytest.mark.parametrize(("edges", "error"), [("loxodrome", ValueError), (1, TypeError), (None, TypeError)])
def test_geometry_edges_are_named_when_refused(edges, error):
    shapely = pytest.importorskip("shapely")
    from orvik import geometry

    with pytest.raises(error, match=r"area\(\) argument 'edges'"):
        geometry.area(shapely.Point(0, 0), edges=edges)
