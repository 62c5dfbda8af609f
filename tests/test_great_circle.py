"""Distance and destination on the sphere."""

import math
import random

import pytest

from orvik._orvik import distance

R = 6371008.8
K = 0.017453292519943295  # degrees to radians
QUARTER = 10007557.221017962  # a quarter of the circumference


def haversine(lat1, lon1, lat2, lon2):
    """The same formula, written independently in Python."""
    phi1, phi2 = math.radians(lat1), math.radians(lat2)
    a = math.sin((phi2 - phi1) / 2) ** 2 + math.cos(phi1) * math.cos(phi2) * math.sin(math.radians(lon2 - lon1) / 2) ** 2
    return 2 * R * math.asin(math.sqrt(min(a, 1.0)))


def unclamped_sine_of_destination_latitude(lat1, bearing, dist):
    delta, phi1, theta = dist / R, lat1 * K, bearing * K
    return math.sin(phi1) * math.cos(delta) + math.cos(theta) * (math.cos(phi1) * math.sin(delta))


@pytest.mark.parametrize(
    "points, expected, tol",
    [
        ((10, 20, 10, 20), 0.0, 0.0),
        ((0, 0, 0, 1), 111195.08, 0.01),
        ((0, 0, 1, 0), 111195.08, 0.01),
        ((0, 0, 0, 180), math.pi * R, 1e-6),
        ((90, 0, -90, 0), math.pi * R, 1e-6),
        ((0, 0, 0, 360), 1.6e-9, 1e-10),  # sin of the float nearest pi is not 0
    ],
)
def test_distance_values(points, expected, tol):
    result = distance.great_circle_distance(*points)
    assert type(result) is float
    assert result == pytest.approx(expected, abs=tol)


def test_distance_agrees_with_haversine_and_is_symmetric():
    rng = random.Random(3)
    for _ in range(500):
        p = (rng.uniform(-90, 90), rng.uniform(-360, 360), rng.uniform(-90, 90), rng.uniform(-360, 360))
        d = distance.great_circle_distance(*p)
        assert d == pytest.approx(haversine(*p), rel=1e-12, abs=1e-6)
        assert d == distance.great_circle_distance(p[2], p[3], p[0], p[1])
    assert distance.great_circle_distance(10, 0, 20, 0) == distance.great_circle_distance(10, 0, 20, 360)


def test_antipodes_are_never_nan():
    rng = random.Random(5)
    for _ in range(1000):
        lat, lon = rng.uniform(-90, 90), rng.uniform(-180, 180)
        # Next to the antipode the haversine loses about half its digits.
        assert distance.great_circle_distance(lat, lon, -lat, lon + 180) == pytest.approx(math.pi * R, abs=1.0)


@pytest.mark.parametrize(
    "start, expected, tol",
    [
        ((0, 0, 90, QUARTER), (0.0, 90.0), 1e-13),
        ((0, 170, 90, 2_000_000), (0.0, 187.986), 1e-3),  # longitudes are not wrapped
        ((0, -170, 270, 2_000_000), (0.0, -187.986), 1e-3),
        ((89, 0, 0, 500_000), (86.503, 180.0), 1e-3),  # over the pole
        ((10, 20, 45, 0), (10.0, 20.0), 0.0),
        ((0, 0, 90, -1_000_000), (0.0, -8.993), 1e-3),  # a negative distance goes backwards
        ((0, 0, 0, QUARTER), (90.0, 180.0), 0.0),
    ],
)
def test_destination_values(start, expected, tol):
    result = distance.great_circle_destination(*start)
    assert type(result) is tuple and len(result) == 2
    assert result == pytest.approx(expected, abs=tol)


def test_destination_travels_the_requested_distance():
    rng = random.Random(11)
    for _ in range(300):
        lat, lon, bearing, dist = rng.uniform(-80, 80), rng.uniform(-180, 180), rng.uniform(0, 360), rng.uniform(1, 1e7)
        lat2, lon2 = distance.great_circle_destination(lat, lon, bearing, dist)
        assert distance.great_circle_distance(lat, lon, lat2, lon2) == pytest.approx(dist, rel=1e-9)


@pytest.mark.parametrize("bearing, pole", [(0, 90.0), (180, -90.0)])
def test_destination_exactly_at_a_pole_is_not_nan(bearing, pole):
    # Rounding carries the arcsine's argument past 1 for some of these starts.
    rng = random.Random(13)
    past_one = 0
    for _ in range(2000):
        lat = rng.uniform(-90, 90)
        dist = abs(pole - lat) * K * R
        past_one += abs(unclamped_sine_of_destination_latitude(lat, bearing, dist)) > 1
        lat2, lon2 = distance.great_circle_destination(lat, 0, bearing, dist)
        assert not math.isnan(lat2) and not math.isnan(lon2), lat
        assert lat2 == pytest.approx(pole, abs=1e-5)  # arcsine is ill-conditioned next to 1
    assert past_one > 0


@pytest.mark.parametrize("i", range(4))
def test_nan_stays_nan(i):
    args = [10.0, 20.0, 30.0, 1000.0]
    args[i] = math.nan
    assert math.isnan(distance.great_circle_distance(*args))
    lat2, lon2 = distance.great_circle_destination(*args)
    assert math.isnan(lon2)
    assert math.isnan(lat2) or i == 1  # the latitude does not depend on lon1
    args[i] = math.inf  # an infinite angle goes through a sine or cosine
    assert math.isnan(distance.great_circle_distance(*args))
