"""orvik.geometry against GeographicLib's PolygonArea, pyproj and shapely's
own structure."""

import math
import sys

import numpy as np
import pytest

shapely = pytest.importorskip("shapely")
pyproj = pytest.importorskip("pyproj")
geographiclib = pytest.importorskip("geographiclib")
from geographiclib.geodesic import Geodesic  # noqa: E402
from geographiclib.polygonarea import PolygonArea  # noqa: E402

from orvik import geometry  # noqa: E402

WGS84 = Geodesic.WGS84
TOTAL = 4 * math.pi * WGS84._c2  # the ellipsoid's area
GEOD = pyproj.Geod(ellps="WGS84")


def ring_reference(coords, geod=WGS84):
    """(signed area, perimeter) of a ring of (lon, lat) by geographiclib."""
    p = PolygonArea(geod)
    points = list(coords)
    if len(points) > 1 and tuple(points[0]) == tuple(points[-1]):
        points = points[:-1]
    for x, y in points:
        p.AddPoint(y, x)
    _, perimeter, signed = p.Compute(False, True)
    return signed, perimeter


def star(rng, lon, lat, radius, n, clockwise=False):
    """A simple ring of n vertices around (lon, lat), radii up to `radius` degrees."""
    angles = np.sort(rng.uniform(0, 2 * np.pi, n))
    if clockwise:
        angles = angles[::-1]
    r = radius * rng.uniform(0.5, 1.0, n)
    ring = np.column_stack([lon + r * np.cos(angles), lat + r * np.sin(angles)])
    return np.vstack([ring, ring[:1]])


def polygon_reference(polygon, oriented=False, geod=WGS84):
    def one(p):
        signed, _ = ring_reference(p.exterior.coords, geod)
        total = 4 * math.pi * geod._c2
        a = (signed if signed >= 0 else signed + total) if oriented else abs(signed)
        for hole in p.interiors:
            s, _ = ring_reference(hole.coords, geod)
            a -= ((-s if s <= 0 else total - s) if oriented else abs(s))
        return a

    return sum(one(p) for p in getattr(polygon, "geoms", [polygon]))


@pytest.fixture(scope="module")
def random_polygons():
    rng = np.random.default_rng(19)
    polygons = []
    for i in range(300):
        lon, lat = rng.uniform(-170, 170), rng.uniform(-80, 80)
        shell = star(rng, lon, lat, rng.uniform(0.01, 5), int(rng.integers(3, 40)), clockwise=i % 2 == 0)
        holes = [star(rng, lon, lat, 0.3 * np.min(np.abs(shell[:, 1] - lat)) + 1e-4, 6, clockwise=i % 3 == 0)]
        polygon = shapely.Polygon(shell, holes if i % 4 == 0 else None)
        if i % 5 == 0:
            polygon = shapely.MultiPolygon([polygon, shapely.Polygon(star(rng, lon + 10, lat, 1, 7))])
        polygons.append(polygon)
    return np.array(polygons, dtype=object)


# --- area ---------------------------------------------------------------------------


def test_random_polygons_match_polygon_area(random_polygons):
    got = geometry.area(random_polygons)
    expected = np.array([polygon_reference(p) for p in random_polygons])
    np.testing.assert_allclose(got, expected, rtol=1e-9)
    # And pyproj, on these where it is right: it signs clockwise rings
    # negative, so only its magnitudes compare.
    simple = [i for i, p in enumerate(random_polygons) if p.geom_type == "Polygon" and not p.interiors]
    theirs = [abs(GEOD.geometry_area_perimeter(random_polygons[i])[0]) for i in simple]
    np.testing.assert_allclose(got[simple], theirs, rtol=1e-9)


@pytest.mark.parametrize(
    "name, ring",
    [
        ("box", [(0, 0), (1, 0), (1, 1), (0, 1), (0, 0)]),
        ("around the north pole", [(0, 80), (90, 80), (180, 80), (-90, 80), (0, 80)]),
        ("around the south pole", [(0, -70), (-120, -72), (120, -71), (0, -70)]),
        ("across the antimeridian", [(179, -1), (-179, -1), (-179, 1), (179, 1), (179, -1)]),
        ("large", [(-60, -30), (60, -30), (60, 40), (-60, 40), (-60, -30)]),
    ],
)
@pytest.mark.parametrize("reverse", [False, True])
def test_special_rings_both_windings(name, ring, reverse):
    ring = ring[::-1] if reverse else ring
    polygon = shapely.Polygon(ring)
    signed, perimeter = ring_reference(ring)
    assert geometry.area(polygon) == pytest.approx(abs(signed), rel=1e-9)
    assert geometry.length(polygon) == pytest.approx(perimeter, rel=1e-12)
    oriented = geometry.area(polygon, oriented=True)
    assert oriented == pytest.approx(signed if signed > 0 else TOTAL + signed, rel=1e-9)


def test_more_than_half_the_earth_when_oriented():
    # A clockwise exterior bounds the region on its left: all the Earth but the box.
    box = shapely.box(0, 0, 10, 10)
    inverted = box.reverse() if shapely.is_ccw(box.exterior) else box
    assert not shapely.is_ccw(inverted.exterior)
    small = geometry.area(inverted)
    big = geometry.area(inverted, oriented=True)
    assert big == pytest.approx(TOTAL - small, rel=1e-12)
    assert big > TOTAL / 2
    # pyproj's half-globe fault: a counter-clockwise ring that covers more
    # than half the Earth comes back as the complement, signed negative.
    belt = shapely.Polygon([(-180 + 1e-9, -80), (-60, -80), (60, -80), (180 - 1e-9, -80), (180 - 1e-9, 80), (60, 80),
                            (-60, 80), (-180 + 1e-9, 80)])  # fmt: skip
    theirs = GEOD.geometry_area_perimeter(belt)[0]
    ours = geometry.area(belt, oriented=True)
    assert ours > TOTAL / 2 and theirs < 0
    assert ours == pytest.approx(TOTAL + theirs, rel=1e-9)


def test_pyproj_signs_clockwise_polygons_negative():
    clockwise = shapely.Polygon([(0, 0), (0, 1), (1, 1), (1, 0)])
    assert GEOD.geometry_area_perimeter(clockwise)[0] < 0
    assert geometry.area(clockwise) == pytest.approx(-GEOD.geometry_area_perimeter(clockwise)[0], rel=1e-12)


def test_oriented_holes_bound_the_region_on_their_right():
    shell = [(0, 0), (10, 0), (10, 10), (0, 10), (0, 0)]
    hole = [(2, 2), (2, 4), (4, 4), (4, 2), (2, 2)]  # clockwise
    polygon = shapely.Polygon(shell, [hole])
    expected = ring_reference(shell)[0] + ring_reference(hole)[0]
    assert geometry.area(polygon, oriented=True) == pytest.approx(expected, rel=1e-12)
    assert geometry.area(polygon) == pytest.approx(expected, rel=1e-12)


@pytest.mark.filterwarnings("ignore:invalid value encountered")
def test_measures_of_lines_points_missing_empty_and_bad_coordinates():
    line = shapely.LineString([(0, 0), (1, 1), (2, 1)])
    multi = shapely.MultiLineString([[(0, 0), (1, 1)], [(5, 5), (5, 6)]])
    geoms = [line, multi, shapely.Point(1, 2), None, shapely.Polygon(), shapely.GeometryCollection(),
             shapely.Point(1, 95), shapely.LineString([(0, 0), (1, math.nan)]), shapely.box(0, 0, 1, 91),
             shapely.GeometryCollection([line, shapely.box(0, 0, 1, 1)])]  # fmt: skip
    areas = geometry.area(geoms)
    lengths = geometry.length(geoms)
    box_area, box_perimeter = ring_reference(shapely.box(0, 0, 1, 1).exterior.coords)
    line_length = GEOD.geometry_length(line)
    np.testing.assert_array_equal(np.isnan(areas), [0, 0, 0, 1, 0, 0, 1, 1, 1, 0])
    np.testing.assert_array_equal(areas[[0, 1, 2, 4, 5]], 0)
    assert areas[9] == pytest.approx(abs(box_area), rel=1e-12)
    assert lengths[0] == pytest.approx(line_length, rel=1e-12)
    assert lengths[1] == pytest.approx(GEOD.geometry_length(multi), rel=1e-12)
    assert lengths[9] == pytest.approx(line_length + box_perimeter, rel=1e-12)
    assert lengths[2] == 0 and lengths[4] == 0


def test_length_counts_holes():
    polygon = shapely.Polygon(shapely.box(0, 0, 10, 10).exterior.coords, [shapely.box(2, 2, 3, 3).exterior.coords])
    expected = sum(ring_reference(r.coords)[1] for r in (polygon.exterior, *polygon.interiors))
    assert geometry.length(polygon) == pytest.approx(expected, rel=1e-12)


# --- inputs -------------------------------------------------------------------------


def test_results_follow_the_input(random_polygons):
    expected = geometry.area(random_polygons)
    assert isinstance(geometry.area(random_polygons[0]), float)
    np.testing.assert_array_equal(geometry.area(list(random_polygons[:4])), expected[:4])
    np.testing.assert_array_equal(geometry.area(random_polygons[:6].reshape(2, 3)), expected[:6].reshape(2, 3))
    assert math.isnan(geometry.area(None))
    with pytest.raises(TypeError, match=r"element 1 is 'x'"):
        geometry.area([shapely.Point(0, 0), "x"])


def test_geoseries_index_and_crs_ellipsoids():
    geopandas = pytest.importorskip("geopandas")
    box = shapely.box(0, 40, 1, 41)
    for epsg, ellps in [(4269, "GRS80"), (4230, "intl")]:
        series = geopandas.GeoSeries([box, None], index=["a", "b"], crs=epsg)
        got = geometry.area(series)
        assert list(got.index) == ["a", "b"] and math.isnan(got["b"])
        geod = Geodesic(pyproj.Geod(ellps=ellps).a, pyproj.Geod(ellps=ellps).f)
        assert got["a"] == pytest.approx(abs(ring_reference(box.exterior.coords, geod)[0]), rel=1e-9)
        assert got["a"] != geometry.area(box)  # not WGS84's
        assert geometry.area(series, ellipsoid="WGS84")["a"] == geometry.area(box)
    with pytest.raises(ValueError, match=r"not geographic.*EPSG:3857.*to_crs\(4326\)"):
        geometry.area(geopandas.GeoSeries([box], crs=4326).to_crs(3857))
    circles = geometry.buffer(geopandas.GeoSeries([shapely.Point(0, 0)], index=[5], crs=4269), 1000)
    assert isinstance(circles, geopandas.GeoSeries) and circles.crs == "EPSG:4269" and list(circles.index) == [5]


def _geoarrow(pa, name, storage):
    class GeoArrowType(pa.ExtensionType):
        def __init__(self, storage_type):
            super().__init__(storage_type, name)

        def __arrow_ext_serialize__(self):
            return b"{}"

        @classmethod
        def __arrow_ext_deserialize__(cls, storage_type, serialized):
            return cls(storage_type)

    return pa.ExtensionArray.from_storage(GeoArrowType(storage.type), storage)


@pytest.mark.parametrize("interleaved", [True, False])
def test_geoarrow_native_and_wkb(random_polygons, interleaved):
    pa = pytest.importorskip("pyarrow")
    geoms = np.concatenate([random_polygons[:20], [None]])
    kind, coords, offsets = shapely.to_ragged_array(geoms)
    if interleaved:
        points = pa.FixedSizeListArray.from_arrays(pa.array(coords.reshape(-1)), 2)
    else:
        points = pa.StructArray.from_arrays([pa.array(coords[:, 0]), pa.array(coords[:, 1])], ["x", "y"])
    storage = points
    for level in offsets:
        storage = pa.ListArray.from_arrays(pa.array(level, pa.int32()), storage)
    storage = pa.ListArray.from_arrays(pa.array(offsets[-1], pa.int32()), storage.values,
                                       mask=pa.array(shapely.is_missing(geoms)))  # fmt: skip
    native = _geoarrow(pa, "geoarrow.multipolygon", storage)
    expected = geometry.area(geoms)
    np.testing.assert_array_equal(geometry.area(native), expected)
    np.testing.assert_array_equal(geometry.area(native.slice(3, 10)), expected[3:13])
    np.testing.assert_array_equal(geometry.length(native), geometry.length(geoms))
    wkb = pa.array(shapely.to_wkb(geoms))
    np.testing.assert_array_equal(geometry.area(wkb), expected)
    densified = geometry.segmentize(native, 1e5)
    assert densified[-1] is None
    assert (shapely.get_coordinates(densified) == shapely.get_coordinates(geometry.segmentize(geoms, 1e5))).all()


def test_missing_shapely_says_what_to_install(monkeypatch):
    monkeypatch.setitem(sys.modules, "shapely", None)
    with pytest.raises(ModuleNotFoundError, match=r"orvik\[geometry\]"):
        geometry.area([1])


# --- segmentize ---------------------------------------------------------------------


def _inserted_points(original, densified):
    """For each edge of `original` (a (k, 2) array), the points of
    `densified` strictly between its ends, checking the ends are kept."""
    at = 0
    edges = []
    for a, b in zip(original[:-1], original[1:]):
        assert densified[at].tobytes() == a.tobytes()
        end = at + 1
        while densified[end].tobytes() != b.tobytes():
            end += 1
        edges.append((a, b, densified[at + 1 : end]))
        at = end
    assert at == len(densified) - 1
    return edges


@pytest.mark.parametrize("max_length", [1_000.0, 37_000.0])
def test_segmentize_keeps_vertices_and_puts_points_on_the_geodesic(random_polygons, max_length):
    geoms = np.concatenate([random_polygons[:10], [shapely.LineString([(0, 0), (3, 1), (3.001, 1)]), None]])
    out = geometry.segmentize(geoms, max_length)
    assert out[-1] is None
    assert list(shapely.get_type_id(out[:-1])) == list(shapely.get_type_id(geoms[:-1]))
    assert list(shapely.get_num_geometries(out[:-1])) == list(shapely.get_num_geometries(geoms[:-1]))
    worst = 0.0
    for before, after in zip(geoms[:-1], out[:-1]):
        parts = zip(shapely.get_parts(before), shapely.get_parts(after))
        for p, q in parts:
            rings = [(p, q)] if p.geom_type == "LineString" else [(p.exterior, q.exterior)] + list(zip(p.interiors, q.interiors))
            for r, s in rings:
                for a, b, inside in _inserted_points(np.asarray(r.coords), np.asarray(s.coords)):
                    line = WGS84.InverseLine(a[1], a[0], b[1], b[0])
                    pieces = len(inside) + 1
                    assert line.s13 / pieces <= max_length and (pieces == 1 or line.s13 / (pieces - 1) > max_length)
                    for k, (x, y) in enumerate(inside, 1):
                        expected = line.Position(line.s13 * k / pieces)
                        worst = max(worst, WGS84.Inverse(y, x, expected["lat2"], expected["lon2"])["s12"])
    assert worst < 1e-3


def test_segmentize_across_the_antimeridian_reduces_longitudes():
    line = shapely.LineString([(179.0, 10.0), (-179.0, 10.0)])
    out = geometry.segmentize(line, 50_000.0)
    x, y = np.asarray(out.coords).T
    assert (np.abs(x) <= 180).all() and (x[1:3] > 179).all() and (x[-3:-1] < -179).all()
    assert geometry.length(out) == pytest.approx(geometry.length(line), rel=1e-12)  # the short way
    three_d = geometry.segmentize(shapely.LineString([(0, 0, 10), (0, 1, 30)]), 30_000.0)
    np.testing.assert_allclose(shapely.get_coordinates(three_d, include_z=True)[:, 2], [10, 15, 20, 25, 30])


@pytest.mark.parametrize("bad", [0, -1.0, math.nan, math.inf, 1e-6])
def test_segmentize_refuses_bad_lengths(bad):
    with pytest.raises(ValueError, match="max_segment_length"):
        geometry.segmentize(shapely.LineString([(0, 0), (90, 0)]), bad)


def test_segmentize_collections_and_rings():
    ring = shapely.LinearRing([(0, 0), (1, 0), (1, 1)])
    collection = shapely.GeometryCollection([shapely.Point(5, 5), ring, shapely.GeometryCollection()])
    out = geometry.segmentize([ring, collection, shapely.GeometryCollection()], 20_000.0)
    assert [g.geom_type for g in out] == ["LinearRing", "GeometryCollection", "GeometryCollection"]
    assert shapely.equals(out[1].geoms[1], out[0]) and out[1].geoms[0] == shapely.Point(5, 5)


# --- buffer ---------------------------------------------------------------------------


def test_buffer_vertices_lie_at_the_distance():
    rng = np.random.default_rng(7)
    lon, lat = rng.uniform(-180, 180, 500), rng.uniform(-89, 89, 500)
    distance = 10 ** rng.uniform(0, 6.9, 500)
    circles = geometry.buffer(shapely.points(lon, lat), distance, n=16, antimeridian="unroll")
    plain = shapely.get_num_coordinates(circles) == 17  # caps add the pole's corners
    coords, which = shapely.get_coordinates(circles[plain], return_index=True)
    _, _, d = GEOD.inv(lon[plain][which], lat[plain][which], coords[:, 0], coords[:, 1])
    assert np.max(np.abs(d - distance[plain][which])) < 1e-3
    assert shapely.is_ccw(shapely.get_exterior_ring(circles[plain])).all()


@pytest.mark.parametrize("antimeridian", ["split", "unroll"])
def test_buffers_are_valid_everywhere(antimeridian):
    rng = np.random.default_rng(11)
    lon = np.concatenate([rng.uniform(-180, 180, 3000), [180, -180, 179.99, 0, 0]])
    lat = np.concatenate([rng.uniform(-90, 90, 3000), [0, 0, 89.9, 90, -90]])
    distance = np.concatenate([10 ** rng.uniform(0, 7, 3000), [1e5, 1e5, 2e4, 1e6, 5e6]])
    for n in (3, 64):
        circles = geometry.buffer(shapely.points(lon, lat), distance, n=n, antimeridian=antimeridian)
        assert shapely.is_valid(circles).all()
        bounds = shapely.bounds(circles)
        if antimeridian == "split":
            assert (bounds[:, 0] >= -180).all() and (bounds[:, 2] <= 180).all()


def test_split_circle_is_cut_where_its_edges_cross():
    circle = geometry.buffer(shapely.Point(179.5, -20), 200_000, n=12)
    assert circle.geom_type == "MultiPolygon"
    unrolled = geometry.buffer(shapely.Point(179.5, -20), 200_000, n=12, antimeridian="unroll")
    assert shapely.bounds(unrolled)[2] > 180
    cuts = [(x, y) for x, y in shapely.get_coordinates(circle) if abs(x) == 180]
    assert {x for x, _ in cuts} == {180, -180}
    ring = np.asarray(unrolled.exterior.coords)
    for x, y in cuts:
        # On the geodesic edge of the unrolled ring that spans 180.
        i = np.flatnonzero((ring[:-1, 0] < 180) != (ring[1:, 0] < 180))
        a, b = ring[i[0]], ring[i[0] + 1]
        if abs(WGS84.Inverse(a[1], a[0], y, 180)["s12"] + WGS84.Inverse(y, 180, b[1], b[0])["s12"]
               - WGS84.Inverse(a[1], a[0], b[1], b[0])["s12"]) > 1e-6:  # fmt: skip
            a, b = ring[i[1]], ring[i[1] + 1]
        parts = WGS84.Inverse(a[1], a[0], y, 180)["s12"] + WGS84.Inverse(y, 180, b[1], b[0])["s12"]
        assert parts == pytest.approx(WGS84.Inverse(a[1], a[0], b[1], b[0])["s12"], abs=1e-6)
    assert geometry.area(circle) == pytest.approx(geometry.area(unrolled), rel=1e-12)


@pytest.mark.parametrize("lat, pole", [(80.0, 90.0), (-78.0, -90.0)])
def test_polar_cap_reaches_the_pole(lat, pole):
    cap = geometry.buffer(shapely.Point(30, lat), 1_500_000, n=32)
    assert cap.geom_type == "Polygon" and shapely.is_valid(cap)
    assert (pole in shapely.get_coordinates(cap)[:, 1]) and shapely.bounds(cap)[[0, 2]].tolist() == [-180, 180]
    # About a flat disc of that radius, a little less on the curved Earth.
    assert geometry.area(cap) > 0.98 * math.pi * 1.5e6**2


def test_buffer_edge_cases():
    out = geometry.buffer([shapely.Point(0, 0), None, shapely.Point(), shapely.Point(0, 91)], [0.0, 1.0, 1.0, 1.0])
    assert out[0].is_empty and out[1] is None and out[2].is_empty and out[3] is None
    assert geometry.buffer(shapely.Point(0, 0), [1.0, 2.0, 3.0]).shape == (3,)
    assert geometry.buffer(shapely.Point(0, 0), math.nan) is None
    with pytest.raises(ValueError, match="distance.*-1.0"):
        geometry.buffer(shapely.Point(0, 0), -1.0)
    with pytest.raises(ValueError, match="both poles"):
        geometry.buffer(shapely.Point(0, 0), 15e6)
    with pytest.raises(TypeError, match="element 0 is a LineString"):
        geometry.buffer([shapely.LineString([(0, 0), (1, 1)])], 1.0)
    with pytest.raises(ValueError, match="antimeridian"):
        geometry.buffer(shapely.Point(0, 0), 1.0, antimeridian="wrap")
