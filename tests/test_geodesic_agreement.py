"""Agreement with two independent solvers of the same problems on WGS84:
PROJ's geodesic routines (through pyproj) and the pure-Python geographiclib."""

import math

import pytest

from orvik._orvik import distance, geodesic

np = pytest.importorskip("numpy")
pyproj = pytest.importorskip("pyproj")
geographiclib_geodesic = pytest.importorskip("geographiclib.geodesic")
Geodesic = geographiclib_geodesic.Geodesic

DIST_TOL = 1e-8  # metres
ANGLE_TOL = 1e-9  # degrees


def angle_diff(a, b):
    """Difference of two directions or longitudes in degrees, modulo 360."""
    d = np.abs(np.asarray(a) - np.asarray(b)) % 360.0
    return np.minimum(d, 360.0 - d)


def azimuth_disagreement(a, b, s12):
    """Azimuth differences, forgiven where they move the far end by less than
    DIST_TOL: over a short line the azimuth carries few correct digits."""
    d = angle_diff(a, b)
    offset = np.radians(d) * np.asarray(s12)
    return np.where(offset <= DIST_TOL, 0.0, d)


def random_pairs(n=3000, seed=20240601):
    rng = np.random.default_rng(seed)
    lat = np.degrees(np.arcsin(rng.uniform(-1, 1, (4, n))))  # uniform over the sphere
    lon = rng.uniform(-180, 180, (4, n))
    pairs = [np.stack([lat[0], lon[0], lat[1], lon[1]], axis=1)]
    # Nearly antipodal pairs, where the inverse problem is hardest.
    m = n // 3
    near = np.stack([lat[2, :m], lon[2, :m], -lat[2, :m] + rng.uniform(-1, 1, m), lon[2, :m] + 180 + rng.uniform(-1, 1, m)], axis=1)
    pairs.append(near)
    # Short lines, down to a few metres.
    close = np.stack([lat[2, m:2 * m], lon[2, m:2 * m], lat[2, m:2 * m] + rng.uniform(-1e-3, 1e-3, m), lon[2, m:2 * m] + rng.uniform(-1e-3, 1e-3, m)], axis=1)
    pairs.append(close)
    # Poles, the equator, coincident and exactly antipodal points.
    k = 200
    pole = rng.choice([-90.0, 90.0], k)
    pairs.append(np.stack([pole, lon[3, :k], lat[3, :k], lon[0, :k]], axis=1))
    pairs.append(np.stack([lat[3, :k], lon[3, :k], -pole, lon[1, :k]], axis=1))
    pairs.append(np.stack([np.zeros(k), lon[3, :k], np.zeros(k), lon[0, :k]], axis=1))
    pairs.append(np.stack([lat[3, :k], lon[3, :k], lat[3, :k], lon[3, :k]], axis=1))
    pairs.append(np.stack([lat[3, :k], lon[3, :k], -lat[3, :k], lon[3, :k] + 180], axis=1))
    pairs.append(np.array([[90, 0, -90, 0], [0, 0, 0, 180], [0, 0, 0, 179.5], [0, 0, 0.5, 179.5], [0, 0, 0, 0]], float))
    return np.concatenate(pairs)


PAIRS = random_pairs()


def ours_inverse(pairs, fn):
    rows = [fn(*map(float, p)) for p in pairs]
    return {key: np.array([r[key] for r in rows]) for key in rows[0]}


def test_inverse_agrees_with_pyproj():
    ours = ours_inverse(PAIRS, distance.geodesic_inverse)
    az12, az21, dist = pyproj.Geod(ellps="WGS84").inv(PAIRS[:, 1], PAIRS[:, 0], PAIRS[:, 3], PAIRS[:, 2])
    assert np.max(np.abs(ours["s12"] - dist)) <= DIST_TOL
    assert np.max(azimuth_disagreement(ours["azi1"], az12, dist)) <= ANGLE_TOL
    # pyproj gives the back azimuth at point 2.
    assert np.max(azimuth_disagreement(ours["azi2"], az21 + 180, dist)) <= ANGLE_TOL
    assert np.array_equal(ours["s12"], [distance.geodesic_distance(*map(float, p)) for p in PAIRS])


def test_full_inverse_agrees_with_geographiclib():
    ours = ours_inverse(PAIRS, geodesic.inverse)
    theirs = [Geodesic.WGS84.Inverse(*map(float, p), Geodesic.ALL) for p in PAIRS]
    ref = {key: np.array([t[key] for t in theirs]) for key in ["s12", "azi1", "azi2", "a12", "m12", "M12", "M21", "S12"]}
    s12 = ref["s12"]
    assert np.max(np.abs(ours["s12"] - s12)) <= DIST_TOL
    assert np.max(np.abs(ours["m12"] - ref["m12"])) <= DIST_TOL
    for key in ["azi1", "azi2"]:
        assert np.max(azimuth_disagreement(ours[key], ref[key], s12)) <= ANGLE_TOL, key
    assert np.max(np.abs(ours["a12"] - ref["a12"])) <= ANGLE_TOL
    for key in ["M12", "M21"]:
        assert np.max(np.abs(ours[key] - ref[key])) <= 1e-12, key
    # The area is a difference of large terms: compare relative to the Earth's.
    assert np.max(np.abs(ours["S12"] - ref["S12"])) <= 1e-15 * 5.1e14 * 10


def random_starts(n=3000, seed=7):
    rng = np.random.default_rng(seed)
    lat = np.degrees(np.arcsin(rng.uniform(-1, 1, n)))
    lat[:100] = rng.choice([-90.0, 90.0], 100)
    lat[100:200] = 0.0
    lon = rng.uniform(-540, 540, n)  # starts outside [-180, 180] too
    azi = rng.uniform(-180, 360, n)
    s12 = rng.uniform(-2e7, 2e7, n)  # up to about half a meridian, both ways
    s12[200:300] = 0.0
    return np.stack([lat, lon, azi, s12], axis=1)


STARTS = random_starts()


def test_direct_agrees_with_both():
    rows = [geodesic.direct(*map(float, p)) for p in STARTS]
    lat2 = np.array([r["lat2"] for r in rows])
    lon2 = np.array([r["lon2"] for r in rows])
    azi2 = np.array([r["azi2"] for r in rows])
    assert np.all(np.abs(lon2) <= 180.0)
    assert [distance.geodesic_destination(*map(float, p)) for p in STARTS] == list(zip(lat2, lon2))

    lon_p, lat_p, back = pyproj.Geod(ellps="WGS84").fwd(STARTS[:, 1], STARTS[:, 0], STARTS[:, 2], STARTS[:, 3])
    theirs = [Geodesic.WGS84.Direct(*map(float, p)) for p in STARTS]
    for ref_lat, ref_lon, ref_azi2 in [
        (lat_p, lon_p, back + 180),
        (np.array([t["lat2"] for t in theirs]), np.array([t["lon2"] for t in theirs]), np.array([t["azi2"] for t in theirs])),
    ]:
        assert np.max(np.abs(lat2 - ref_lat)) <= ANGLE_TOL
        assert np.max(angle_diff(lon2, ref_lon)) <= ANGLE_TOL
        assert np.max(angle_diff(azi2, ref_azi2)) <= ANGLE_TOL


@pytest.mark.parametrize("lat1, lon1, lat2, lon2", [(0.0, 0.0, 0.0, 180.0), (90.0, 0.0, -90.0, 0.0), (10.0, 20.0, 10.0, 20.0)])
def test_special_pairs(lat1, lon1, lat2, lon2):
    ours = geodesic.inverse(lat1, lon1, lat2, lon2)
    ref = Geodesic.WGS84.Inverse(lat1, lon1, lat2, lon2, Geodesic.ALL)
    for key in ["s12", "azi1", "azi2", "a12", "m12", "M12", "M21"]:
        assert math.isclose(ours[key], ref[key], rel_tol=1e-14, abs_tol=1e-8), key
