"""The WGS84 functions of distance and geodesic: shapes, key orders, echoed arguments."""

import math
import struct

import pytest

from orvik._orvik import distance, geodesic

from bit_equality import float_bits

PAIR_KEYS = ["lat1", "lon1", "lat2", "lon2", "s12", "azi1", "azi2", "a12"]
FULL_KEYS = PAIR_KEYS + ["m12", "M12", "M21", "S12"]
# A NaN with a payload: echoed values keep every bit.
PAYLOAD_NAN = struct.unpack("<d", struct.pack("<Q", 0x7FF8_0000_0000_0123))[0]
NEG_ZERO_370_NAN = [-0.0, 370.0, PAYLOAD_NAN, 10.0]


def test_key_orders():
    assert list(distance.geodesic_inverse(10, 20, 30, 40)) == PAIR_KEYS
    assert list(geodesic.inverse(10, 20, 30, 40)) == FULL_KEYS
    assert list(geodesic.direct(10, 20, 30, 40)) == PAIR_KEYS


@pytest.mark.parametrize("fn", [distance.geodesic_inverse, geodesic.inverse], ids=lambda f: f.__name__)
def test_inverse_echoes_arguments_bit_for_bit(fn):
    for shift in range(4):
        args = NEG_ZERO_370_NAN[shift:] + NEG_ZERO_370_NAN[:shift]
        result = fn(*args)
        assert [float_bits(result[k]) for k in ["lat1", "lon1", "lat2", "lon2"]] == [float_bits(a) for a in args]


def test_direct_echoes_arguments_bit_for_bit():
    for shift in range(4):
        lat1, lon1, azi1, s12 = NEG_ZERO_370_NAN[shift:] + NEG_ZERO_370_NAN[:shift]
        result = geodesic.direct(lat1, lon1, azi1, s12)
        assert [float_bits(result[k]) for k in ["lat1", "lon1", "azi1", "s12"]] == [float_bits(v) for v in (lat1, lon1, azi1, s12)]
        assert float_bits(result["a12"]) == float_bits(0.0)  # not computed in distance mode


def test_direct():
    result = geodesic.direct(0, 540, 400, 1_000_000)
    assert result["lon1"] == 540.0 and result["azi1"] == 400.0
    assert -180.0 <= result["lon2"] <= 180.0
    assert result["a12"] == 0.0
    assert (result["lat2"], result["lon2"]) == distance.geodesic_destination(0, 540, 400, 1_000_000)
    # The end point is where the inverse problem says the start's line arrives.
    back = geodesic.inverse(0, 540, result["lat2"], result["lon2"])
    assert back["s12"] == pytest.approx(1_000_000, abs=1e-8)
    assert back["azi1"] == pytest.approx(40.0, abs=1e-9)
    assert back["azi2"] == pytest.approx(result["azi2"], abs=1e-9)


def test_destination_is_a_pair_of_floats():
    result = distance.geodesic_destination(lat1=10, lon1=20, bearing=30, distance=40)
    assert type(result) is tuple and len(result) == 2 and all(type(v) is float for v in result)


def test_coincident_points():
    assert distance.geodesic_distance(12.5, -7.25, 12.5, -7.25) == 0.0
    full = geodesic.inverse(12.5, -7.25, 12.5, -7.25)
    assert full["s12"] == 0.0 and full["a12"] == 0.0 and full["m12"] == 0.0
    assert full["M12"] == 1.0 and full["M21"] == 1.0


def test_same_solver_behind_every_inverse():
    args = (-33.9, 18.4, 51.5, -0.12)
    short = distance.geodesic_inverse(*args)
    full = geodesic.inverse(*args)
    assert short["s12"] == distance.geodesic_distance(*args)
    assert short == {k: full[k] for k in PAIR_KEYS}


def test_latitude_beyond_a_pole_gives_nan():
    assert math.isnan(distance.geodesic_distance(91, 0, 0, 0))
    result = distance.geodesic_inverse(91, 0, 0, 0)
    assert result["lat1"] == 91.0 and math.isnan(result["s12"])
    result = geodesic.direct(91, 0, 0, 1000)
    assert result["lat1"] == 91.0 and math.isnan(result["lat2"])


def test_ellipsoid_constants():
    assert geodesic.wgs84_a() == 6378137.0
    f = geodesic.wgs84_f()
    assert f == 1 / 298.257223563
    assert struct.pack(">d", f).hex() == "3f6b775a84f3e128"
