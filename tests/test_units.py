"""Unit conversions: exact float64 results of one operation each."""

import math

import pytest

from orvik._orvik import units

from function_table import FUNCTIONS


@pytest.mark.parametrize(
    "name, x, expected",
    [
        ("ft_to_m", 1.0, 0.3048),
        ("mi_to_km", 1.0, 1.609344),
        ("nm_to_km", 1.0, 1.852),
        ("km_to_m", 1.5, 1500.0),
        # A division is not replaced by a multiplication with the reciprocal,
        # which would give the neighbouring float.
        ("m_to_ft", 3.0, 9.84251968503937),
        ("m_to_ft", 1.0, 3.280839895013123),
        ("m_to_km", 9.0, 0.009),
        ("km_to_mi", 7.0, 4.349598345661337),
        ("km_to_nm", 1.0, 0.5399568034557235),
        ("deg_to_rad", 180.0, math.pi),
        ("deg_to_rad", 3.0, 0.05235987755982989),
        ("rad_to_deg", math.pi, 180.0),
        ("km_to_m", -0.0, -0.0),
    ],
)
def test_single_conversions(name, x, expected):
    result = getattr(units, name)(x)
    assert type(result) is float
    assert result == expected and math.copysign(1, result) == math.copysign(1, expected)


@pytest.mark.parametrize("name", [f.name for f in FUNCTIONS if f.submodule == "units" and len(f.params) == 1 and f.name != "deg_to_dms"])
def test_single_conversions_pass_nan_and_infinity(name):
    fn = getattr(units, name)
    assert math.isnan(fn(math.nan))
    assert fn(math.inf) == math.inf


@pytest.mark.parametrize(
    "dms, expected",
    [
        ((10, 30, 0), 10.5),
        ((-10, 30, 0), -9.5),  # parts are added with their own signs
        ((-10, -30, 0), -10.5),
        ((0, 0, 3600), 1.0),
        ((0, 90, 0), 1.5),
    ],
)
def test_dms_to_deg(dms, expected):
    assert units.dms_to_deg(*dms) == expected
    assert units.dms_to_deg(degrees=dms[0], arcminutes=dms[1], arcseconds=dms[2]) == expected


@pytest.mark.parametrize(
    "dd, expected",
    [
        (10.5, (10.0, 30.0, 0.0)),
        (-10.5, (-10.0, 30.0, 0.0)),
        (-0.5, (-0.0, 30.0, 0.0)),
        (10, (10.0, 0.0, 0.0)),
        (45.7625, (45.0, 45.0, 45.00000000001023)),
        (1.1, (1.0, 6.0, 3.197442310920451e-13)),
        (33.33333333333333, (33.0, 19.0, 59.99999999998295)),  # no carry into the minutes
    ],
)
def test_deg_to_dms(dd, expected):
    result = units.deg_to_dms(dd=dd)
    assert type(result) is tuple and all(type(v) is float for v in result)
    assert result == expected
    assert math.copysign(1, result[0]) == math.copysign(1, expected[0])


def test_deg_to_dms_non_finite():
    assert all(math.isnan(v) for v in units.deg_to_dms(math.nan))
    whole, minutes, seconds = units.deg_to_dms(math.inf)
    assert whole == math.inf and math.isnan(minutes) and math.isnan(seconds)


def test_round_trip_is_not_an_inverse_for_negative_angles():
    assert units.dms_to_deg(*units.deg_to_dms(-45.7625)) == pytest.approx(-44.2375, abs=1e-12)
