"""distance.great_circle_distance through the vector kernel: documented values,
exact zeros and symmetry, IEEE special values, and agreement with the formula
evaluated by Python's math module (scalar libm)."""

import math
import random

import pytest

import orvik

gcd = orvik.distance.great_circle_distance
R = 6371008.8
K = 0.017453292519943295


def libm_haversine(lat1, lon1, lat2, lon2):
    dlon = (lon2 - lon1) * K
    phi1, phi2 = lat1 * K, lat2 * K
    s = math.sin((phi2 - phi1) * 0.5)
    t = math.sin(dlon * 0.5)
    h = s * s + (math.cos(phi1) * math.cos(phi2)) * (t * t)
    c = math.asin(math.sqrt(min(h, 1.0)))
    return (c + c) * R


@pytest.mark.parametrize("points", [(0, 0, 0, 1), (0, 0, 1, 0), (0, 179.5, 0, -179.5 + 360)])
def test_one_degree(points):
    assert gcd(*points) == pytest.approx(111195.08, abs=0.005)


@pytest.mark.parametrize("points", [(0, 0, 0, 180), (90, 0, -90, 0), (0, -90, 0, 90)])
def test_antipodes_are_half_the_circumference(points):
    assert gcd(*points) == pytest.approx(math.pi * R, rel=1e-15)


@pytest.mark.parametrize(
    "lat, lon",
    [(0.0, 0.0), (-0.0, -0.0), (12.5, -33.25), (90.0, 180.0), (-90.0, 0.0), (45.0, 1e300), (1e300, 7.0)],
)
def test_identical_points_are_exactly_positive_zero(lat, lon):
    d = gcd(lat, lon, lat, lon)
    assert type(d) is float
    assert d == 0.0 and math.copysign(1.0, d) == 1.0


def test_longitudes_are_not_normalised():
    assert gcd(10, 0, 20, 360) == gcd(10, 0, 20, 0)
    # sin of the float64 nearest to pi is not zero.
    assert gcd(0, 0, 0, 360) == pytest.approx(libm_haversine(0, 0, 0, 360), rel=1e-12)
    assert gcd(0, 0, 0, 360) == pytest.approx(1.56e-9, rel=0.01)


def random_pairs(count, seed, lat_range=90.0, lon_range=180.0):
    rng = random.Random(seed)
    return [
        (
            rng.uniform(-lat_range, lat_range),
            rng.uniform(-lon_range, lon_range),
            rng.uniform(-lat_range, lat_range),
            rng.uniform(-lon_range, lon_range),
        )
        for _ in range(count)
    ]


@pytest.mark.parametrize("lat_range, lon_range", [(90.0, 180.0), (90.0, 1e6), (1e4, 1e4)])
def test_symmetric_bit_for_bit(lat_range, lon_range):
    for lat1, lon1, lat2, lon2 in random_pairs(2000, 5, lat_range, lon_range):
        assert gcd(lat1, lon1, lat2, lon2) == gcd(lat2, lon2, lat1, lon1)


def test_agrees_with_scalar_libm_away_from_antipodes():
    # Near antipodes the arcsine magnifies last-bit differences of the sines;
    # elsewhere the vector and scalar math libraries agree to a few ulps.
    worst = 0.0
    for p in random_pairs(20000, 9):
        expected = libm_haversine(*p)
        if expected > 0.95 * math.pi * R:
            continue
        worst = max(worst, abs(gcd(*p) - expected) / expected)
    assert worst <= 1e-13


nan, inf = math.nan, math.inf


@pytest.mark.parametrize(
    "points",
    [
        (nan, 0, 0, 0),
        (0, nan, 0, 0),
        (0, 0, nan, 0),
        (0, 0, 0, nan),
        (inf, 0, 0, 0),
        (0, -inf, 0, 0),
        (0, 0, -inf, 0),
        (0, 0, 0, inf),
        (0, inf, 0, inf),
    ],
)
def test_nan_and_infinite_angles_give_nan(points):
    assert math.isnan(gcd(*points))
