"""Points along geodesics, lengths of tracks and areas of rings: agreement
with pyproj and the pure-Python geographiclib on three ellipsoids, over
random cases with poles, the antimeridian and nearly antipodal points; then
what the functions promise beyond their peers."""

import math

import numpy as np
import pandas as pd
import pytest

from orvik import _engine, geodesic
from orvik._threads import num_threads

pyproj = pytest.importorskip("pyproj")
Geodesic = pytest.importorskip("geographiclib.geodesic").Geodesic

ELLIPSOIDS = {"WGS84": (6378137.0, 1 / 298.257223563), "GRS80": (6378137.0, 1 / 298.257222100882711243),
              "sphere": (6371008.8, 0.0)}  # fmt: skip
ANGLE_TOL = 1e-9  # degrees of arc
rng = np.random.default_rng(20241208)


def near(ours, ref, rel=1e-14, floor=1e-8):
    ours, ref = np.asarray(ours), np.asarray(ref)
    return np.all((np.abs(ours - ref) <= np.maximum(floor, rel * np.abs(ref))) | (np.isnan(ours) & np.isnan(ref)))


def same_points(lat, lon, ref_lat, ref_lon):
    """Within ANGLE_TOL of arc: a longitude difference counts for less near
    the poles, and not at all on them."""
    dlon = np.abs(np.asarray(lon) - ref_lon) % 360
    dlon = np.minimum(dlon, 360 - dlon) * np.cos(np.radians(ref_lat))
    return np.all(np.abs(lat - ref_lat) <= ANGLE_TOL) and np.all(dlon <= ANGLE_TOL)


def sphere_points(n):
    return np.degrees(np.arcsin(rng.uniform(-1, 1, n))), rng.uniform(-180, 180, n)


def endpoint_cases(n=1200):
    lat1, lon1 = sphere_points(n)
    lat2, lon2 = sphere_points(n)
    k = n // 6
    lat2[:k] = np.clip(-lat1[:k] + rng.uniform(-0.5, 0.5, k), -90, 90)  # nearly antipodal
    lon2[:k] = lon1[:k] + 180 + rng.uniform(-0.5, 0.5, k)
    lon1[k : 2 * k], lon2[k : 2 * k] = rng.uniform(170, 180, k), rng.uniform(-180, -170, k)  # antimeridian
    lat1[2 * k : 3 * k] = rng.choice([-90.0, 90.0], k)  # from a pole, and to one
    lat2[3 * k : 4 * k] = rng.choice([-90.0, 90.0], k)
    special = [[0, 0, 0, 180], [90, 0, -90, 0], [10, 20, 10, 20], [0, -180, 0, 180], [45, 10, -45, -170]]
    return np.concatenate([np.stack([lat1, lon1, lat2, lon2], axis=1), special]).T


def track(size):
    """Vertices of one kind of track: anywhere (long edges, some nearly
    antipodal), across the antimeridian, or round a pole."""
    kind = rng.integers(3)
    if kind == 0:
        lat, lon = sphere_points(size)
    elif kind == 1:
        lat, lon = rng.uniform(-60, 60, size), (rng.uniform(170, 190, size) + 180) % 360 - 180
    else:
        lat, lon = rng.choice([-1, 1]) * rng.uniform(80, 90, size), rng.uniform(-180, 180, size)
    if size > 2:
        lat[rng.integers(size)] = rng.choice([-90.0, 90.0])
    return lat, lon


def ring(size):
    """A ring counter-clockwise round a random centre (on a pole, it
    encloses the pole; on the antimeridian, it crosses it), or clockwise, or
    random vertices that cross themselves."""
    kind = rng.integers(4)
    if kind == 3:
        return sphere_points(size)
    centre_lat = [rng.uniform(-70, 70), rng.choice([-90.0, 90.0]), rng.uniform(-70, 70)][kind]
    centre_lon = 180.0 if kind == 2 else rng.uniform(-180, 180)
    t = np.sort(rng.uniform(0, 2 * np.pi, size)) * rng.choice([-1, 1])
    radius = rng.uniform(0.001, 15) * (1 + 0.2 * rng.uniform(-1, 1, size))
    if abs(centre_lat) == 90:  # a circle of latitude, wavy
        return centre_lat - np.sign(centre_lat) * radius, np.degrees(t) - 180
    return centre_lat + radius * np.sin(t), centre_lon + radius * np.cos(t)


ENDS = endpoint_cases()
# The long ones are computed in parts of 4096 edges: two (the last of one
# edge) and three.
TRACKS = [track(int(s)) for s in rng.integers(0, 40, 150)] + [track(4098), track(9000)]
RINGS = [ring(int(s)) for s in rng.integers(3, 40, 120)] + [ring(4097), ring(9000)]


def our_points(e, include_ends):
    lats, lons = geodesic.line_points(*ENDS, n=4, include_ends=include_ends, ellipsoid=e)
    return lats.ravel(), lons.ravel()


def lib_points(e, include_ends):
    out = []
    for lat1, lon1, lat2, lon2 in ENDS.T:
        line = Geodesic(*e).InverseLine(lat1, lon1, lat2, lon2)
        ks, steps = (range(4), 3) if include_ends else (range(1, 5), 5)
        out += [(p["lat2"], p["lon2"]) for p in (line.Position(k * line.s13 / steps) for k in ks)]
    return np.array(out).T


def proj_points(e, include_ends):
    g, idx = pyproj.Geod(a=e[0], f=e[1]), 0 if include_ends else 1
    out = [g.npts(lon1, lat1, lon2, lat2, 4, initial_idx=idx, terminus_idx=idx) for lat1, lon1, lat2, lon2 in ENDS.T]
    return np.array(out).reshape(-1, 2)[:, ::-1].T


def lib_polygon(e, lat, lon, polyline):
    polygon = Geodesic(*e).Polygon(polyline)
    for a, b in zip(lat, lon, strict=True):
        polygon.AddPoint(a, b)
    _, perimeter, area = polygon.Compute(False, True)
    return area, perimeter


PEERS = {
    "line_points": {"pyproj": proj_points, "geographiclib": lib_points},
    "path_length": {
        "pyproj": lambda e: [pyproj.Geod(a=e[0], f=e[1]).line_length(lon, lat) for lat, lon in TRACKS],
        "geographiclib": lambda e: [lib_polygon(e, lat, lon, True)[1] for lat, lon in TRACKS],
    },
    "polygon_area": {
        "pyproj": lambda e: np.array([pyproj.Geod(a=e[0], f=e[1]).polygon_area_perimeter(lon, lat) for lat, lon in RINGS]).T,
        "geographiclib": lambda e: np.array([lib_polygon(e, lat, lon, False) for lat, lon in RINGS]).T,
    },
}  # fmt: skip


@pytest.mark.parametrize("peer", ["pyproj", "geographiclib"])
@pytest.mark.parametrize("name", sorted(ELLIPSOIDS))
@pytest.mark.parametrize("function", sorted(PEERS))
def test_agrees_with_peers(function, name, peer):
    e = ELLIPSOIDS[name]
    reference = PEERS[function][peer]
    if function == "line_points":
        for include_ends in (True, False):
            assert same_points(*our_points(e, include_ends), *reference(e, include_ends)), include_ends
    elif function == "path_length":
        lengths = geodesic.path_length([t[0] for t in TRACKS], [t[1] for t in TRACKS], ellipsoid=e)
        assert near(lengths, reference(e))
    else:
        area, perimeter = geodesic.polygon_area([r[0] for r in RINGS], [r[1] for r in RINGS], ellipsoid=e)
        ref_area, ref_perimeter = reference(e)
        assert near(perimeter, ref_perimeter)
        # Areas are defined modulo the ellipsoid's: a ring of half of it may
        # fall either side.
        total = Geodesic(*e).Polygon().area0
        off = np.abs([math.remainder(d, total) for d in area - ref_area])
        assert np.all(off <= np.maximum(1.0, 1e-9 * np.abs(ref_area)))


@pytest.mark.parametrize("include_ends", [True, False])
def test_spacing_rounds_the_count_as_pyproj_does(include_ends):
    g, idx = pyproj.Geod(ellps="WGS84"), 0 if include_ends else 1
    for lat1, lon1, lat2, lon2 in ENDS.T[:300]:
        length = g.inv(lon1, lat1, lon2, lat2)[2]
        spacing = length / rng.uniform(1.1, 30)
        lats, lons = geodesic.line_points(lat1, lon1, lat2, lon2, spacing=spacing, include_ends=include_ends)
        theirs = g.inv_intermediate(lon1, lat1, lon2, lat2, del_s=spacing, initial_idx=idx, terminus_idx=idx, return_back_azimuth=True)
        assert len(lats) == theirs.npts
        assert same_points(lats, lons, np.array(theirs.lats), np.array(theirs.lons))


def test_spacing_longer_than_the_line_gives_one_step():
    # pyproj divides by zero here, and for a line of length 0.
    for lat2, spacing in [(1.0, 3e5), (1.0, np.inf), (0.0, 1.0)]:
        assert len(geodesic.line_points(0, 0, lat2, 0, spacing=spacing)[0]) == 2
        assert len(geodesic.line_points(0, 0, lat2, 0, spacing=spacing, include_ends=False)[0]) == 0


def test_line_points_shape_ends_and_equal_steps():
    lat1, lon1 = rng.uniform(-80, 80, (2, 1)), rng.uniform(-180, 540, 3)
    lats, lons = geodesic.line_points(lat1, lon1, 10.0, 20.0, n=7)
    assert lats.shape == lons.shape == (2, 3, 7)
    assert np.array_equal(lats[..., 0], np.broadcast_to(lat1, (2, 3))) and np.all(lats[..., -1] == 10.0)
    assert np.array_equal(lons[..., 0], np.broadcast_to((lon1 + 180) % 360 - 180, (2, 3)))
    steps = geodesic.inverse_batch(lats[..., :-1], lons[..., :-1], lats[..., 1:], lons[..., 1:], outputs="s12")["s12"]
    assert near(steps, steps[..., :1], rel=1e-12)
    empty = geodesic.line_points([1.0, 2.0], 0, 0, 0, n=0)
    assert empty[0].shape == (2, 0)


def test_work_split_does_not_change_bits():
    lats, lons = geodesic.line_points(ENDS[0, :50], ENDS[1, :50], ENDS[2, :50], ENDS[3, :50], n=3000)
    lat, lon = TRACKS[-1]
    rings = [r[0] for r in RINGS], [r[1] for r in RINGS]
    with num_threads(1):
        assert np.array_equal(geodesic.line_points(*ENDS[:, 7], n=3000)[0], lats[7])
        alone = geodesic.path_length(lat, lon), geodesic.polygon_area(*rings)
    assert alone[0] == geodesic.path_length(lat, lon) and np.array_equal(alone[1], geodesic.polygon_area(*rings))
    # A long track is summed without loss: as math.fsum of its edges, within an ulp per part.
    edges = geodesic.inverse_batch(lat[:-1], lon[:-1], lat[1:], lon[1:], outputs="s12")["s12"]
    assert abs(geodesic.path_length(lat, lon) - math.fsum(edges)) <= 4 * math.ulp(math.fsum(edges))


def test_tracks_along_any_axis_and_nan_stays_in_its_track():
    lat, lon = rng.uniform(-80, 80, (3, 4, 5)), rng.uniform(-180, 180, (4, 5))
    lat[1, 2, 3] = np.nan
    for axis in range(3):
        got = geodesic.path_length(lat, lon, axis=axis)
        moved = np.moveaxis(np.broadcast_to(lat, (3, 4, 5)), axis, -1), np.moveaxis(np.broadcast_to(lon, (3, 4, 5)), axis, -1)
        want = [[geodesic.path_length(a, b) for a, b in zip(ra, rb, strict=True)] for ra, rb in zip(*moved, strict=True)]
        assert np.array_equal(got, want, equal_nan=True) and np.isnan(got).sum() == 1
    ragged = geodesic.path_length([lat[0, 0], lat[1, 2, :2], [], [5.0]], [lon[0], lon[2, :2], [], 7.0])
    assert np.array_equal(ragged, [geodesic.path_length(lat[0, 0], lon[0]), geodesic.path_length(lat[1, 2, :2], lon[2, :2]), 0, 0])
    assert math.isnan(geodesic.path_length([np.nan], [0.0]))  # a vertex that is no point, even alone


def test_ring_orientation_closure_and_nan():
    lat, lon = ring(50)
    area, perimeter = geodesic.polygon_area(lat, lon)
    assert type(area) is float and type(perimeter) is float
    assert geodesic.polygon_area(lat[::-1], lon[::-1]) == pytest.approx((-area, perimeter), rel=1e-12)
    closed = geodesic.polygon_area(np.append(lat, lat[0]), np.append(lon, lon[0]))
    assert closed == pytest.approx((area, perimeter), rel=1e-12, abs=1.0)
    square = geodesic.polygon_area([0, 0, 1, 1], [0, 1, 1, 0])  # counter-clockwise
    assert square[0] > 0
    block = np.array([lat, lat]), np.array([lon, lon])
    block[0][1, 5] = np.nan
    areas, perimeters = geodesic.polygon_area(*block)
    assert areas[0] == area and np.isnan(areas[1]) and np.isnan(perimeters[1])


def call(function, lats, lons, **kw):
    if function is geodesic.line_points:
        return function(lats, lons, 1.0, 1.0, n=3, **kw)
    return function(lats, lons, **kw)


FUNCTIONS = [geodesic.line_points, geodesic.path_length, geodesic.polygon_area]


@pytest.mark.parametrize("function", FUNCTIONS, ids=lambda f: f.__name__)
@pytest.mark.parametrize(
    ("lats", "kw", "error", "match"),
    [
        ("1.5", {}, TypeError, "'lat"),
        (np.ma.masked_array([1.0, 2.0], mask=[0, 1]), {}, TypeError, "masked"),
        ([0.0, 1.0], {"ellipsoid": (6378137.0, 298.25)}, ValueError, "flattening"),
        ([0.0, 1.0], {"ellipsoid": "Mars"}, ValueError, "ellipsoid"),
    ],
)
def test_bad_arguments_are_named(function, lats, kw, error, match):
    with pytest.raises(error, match=match):
        call(function, lats, [0.0, 0.0], **kw)


@pytest.mark.parametrize("function", FUNCTIONS, ids=lambda f: f.__name__)
def test_ellipsoid_by_name_or_pair_and_series_in(function):
    lat, lon = pd.Series([0.0, 1.0, 2.0], index=[3, 4, 5]), pd.Series([0.0, 2.0, 1.0], index=[3, 4, 5])
    by_name = call(function, lat, lon, ellipsoid="grs80")
    by_pair = call(function, lat.to_numpy(), lon.to_numpy(), ellipsoid=ELLIPSOIDS["GRS80"])
    assert np.array_equal(by_name, by_pair) and not np.array_equal(by_name, call(function, lat, lon))


@pytest.mark.parametrize(
    ("lat1", "kw", "error", "match"),
    [
        (0, {}, ValueError, "exactly one"),
        (0, {"n": 3, "spacing": 1e3}, ValueError, "exactly one"),
        (0, {"n": 1}, ValueError, "at least 2"),
        (0, {"n": -1, "include_ends": False}, ValueError, "at least 0"),
        (0, {"n": 2.0}, TypeError, "'n'"),
        (0, {"n": True}, TypeError, "'n'"),
        (0, {"n": 3, "include_ends": 1}, TypeError, "include_ends"),
        (0, {"spacing": 0.0}, ValueError, "'spacing'"),
        (0, {"spacing": np.nan}, ValueError, "'spacing'"),
        (0, {"spacing": "1"}, TypeError, "'spacing'"),
        (0, {"spacing": 1e-300}, ValueError, "too many"),
        ([0, 1], {"spacing": 1e3}, ValueError, "one line"),
        (np.nan, {"spacing": 1e3}, ValueError, "no length"),
    ],
)
def test_line_points_arguments(lat1, kw, error, match):
    with pytest.raises(error, match=match):
        geodesic.line_points(lat1, 0, 1, 1, **kw)


def test_a_line_that_is_not_has_nan_points():
    lats, lons = geodesic.line_points([np.nan, 0, 91], 0, 1, 1, n=3)
    assert np.isnan(lats[::2]).all() and np.isnan(lons[::2]).all() and not np.isnan(lats[1]).any()


@pytest.mark.parametrize("function", [geodesic.path_length, geodesic.polygon_area], ids=lambda f: f.__name__)
@pytest.mark.parametrize(
    ("lats", "lons", "kw", "error", "match"),
    [
        (1.0, 2.0, {}, ValueError, "are numbers"),
        ([[1.0, 2.0], [3.0]], [[1.0, 2.0], [3.0], [4.0]], {}, ValueError, "3 of 'lons'"),
        ([[1.0, 2.0], [3.0]], np.zeros((2, 2)), {}, TypeError, "lists of tracks"),
        ([[1.0, 2.0], ["a"]], [[1.0, 2.0], [3.0]], {}, TypeError, r"lats\[1\]"),
        ([[1.0, 2.0], [3.0, 4.0]], [[1.0, 2.0], [3.0, 4.0, 5.0]], {}, ValueError, "broadcast"),
    ],
)
def test_track_arguments(function, lats, lons, kw, error, match):
    with pytest.raises(error, match=match):
        function(lats, lons, **kw)


def test_path_length_axis():
    for axis, error in [(2, ValueError), (True, TypeError), (0.5, TypeError)]:
        with pytest.raises(error, match="axis"):
            geodesic.path_length(np.zeros((2, 3)), 0.0, axis=axis)
    with pytest.raises(ValueError, match="axis -1"):
        geodesic.path_length([[1.0, 2.0], [3.0]], [[1.0, 2.0], [3.0]], axis=0)
