"""pymap3d's loxodromes (pymap3d.lox), the Python peer of orvik.rhumb, against
orvik and GeographicLib's own RhumbSolve: where they agree, and the faults of
pymap3d (3.2) that part them, each shown against RhumbSolve."""

from __future__ import annotations

import warnings

import numpy as np
import pytest
from geographiclib_tools import geographiclib_tools  # noqa: F401 (a fixture)
from pymap3d.lox import loxodrome_direct, loxodrome_inverse
from test_rhumb import rhumbsolve

from orvik import rhumb


def angle_difference(a, b):
    return np.abs(np.remainder(np.asarray(a) - b + 180, 360) - 180)


def test_agrees_where_pymap3d_is_sound():
    # Off the poles, the shorter way in longitude without crossing the
    # antimeridian, and not within a millidegree of east or west.
    rng = np.random.default_rng(30)
    lat1, lat2 = rng.uniform(-89, 89, (2, 20000))
    lon1, lon2 = rng.uniform(-180, 180, (2, 20000))
    ours = rhumb.inverse(lat1, lon1, lat2, lon2)
    keep = (np.abs(lon2 - lon1) < 180) & (np.abs(np.abs(ours["azi12"]) - 90) > 1e-3)
    s12, azi = loxodrome_inverse(lat1[keep], lon1[keep], lat2[keep], lon2[keep])
    assert np.max(np.abs(s12 - ours["s12"][keep]) / ours["s12"][keep]) < 1e-9
    assert np.max(angle_difference(azi, ours["azi12"][keep])) < 1e-9
    # The direct problem, on courses that do not reach a pole.
    azi12 = rng.uniform(0, 360, 20000)
    s = rng.uniform(0, 5e6, 20000)
    ends = rhumb.direct(lat1, lon1, azi12, s)
    keep = np.isfinite(ends["lon2"]) & (np.abs(np.remainder(azi12, 180) - 90) > 1e-3)
    lat, lon = loxodrome_direct(lat1[keep], lon1[keep], s[keep], azi12[keep])
    assert np.max(np.abs(lat - ends["lat2"][keep])) < 1e-9
    # Millimetres at most, near east and west, where pymap3d cancels (below).
    assert np.max(angle_difference(lon, ends["lon2"][keep])) < 1e-7


# (lat1, lon1, lat2, lon2), the fault, and how far pymap3d's distance is off
# RhumbSolve's at least, in metres.
INVERSE_FAULTS = [
    ((10, 170, 20, -170), "across the antimeridian it goes the long way round", 3e7),
    ((-30, -175, -35, 175), "across the antimeridian it goes the long way round", 3e7),
    ((0, 0, 0, 180), "east-west, 180 degrees apart: a distance of 0", 2e7),
    ((40, 10, 40, -170), "east-west, 180 degrees apart: a distance of 0", 1.5e7),
    ((45, 0, 45, 200), "east-west over 180 degrees: longitudes taken modulo 180, the wrong way", 1e7),
    ((40, 0, 40.00000001, 10), "all but east-west: cancellation, millimetres off", 1e-3),
]


@pytest.mark.parametrize(("pair", "fault", "off"), INVERSE_FAULTS, ids=[f[1] for f in INVERSE_FAULTS])
def test_pymap3d_inverse_faults(geographiclib_tools, pair, fault, off):  # noqa: F811
    azi, s12, _ = rhumbsolve(geographiclib_tools, [pair], inverse=True)[0]
    ours = rhumb.inverse(*pair)
    assert abs(ours["s12"] - s12) <= 1e-9 and angle_difference(ours["azi12"], azi) <= 1e-12
    theirs, _ = loxodrome_inverse(*pair)
    assert abs(theirs - s12) >= off, fault


def test_pymap3d_direct_faults(geographiclib_tools):  # noqa: F811
    starts = [(80, 0, 45, 5e6), (50, 0, 89.9999999, 5e6)]
    want = rhumbsolve(geographiclib_tools, starts, inverse=False)
    ours = rhumb.direct(*np.array(starts).T)
    assert np.all(np.abs(ours["lat2"] - want[:, 0]) <= 1e-12)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", RuntimeWarning)
        lat, lon = loxodrome_direct(*np.array(starts)[:, [0, 1, 3, 2]].T)
    # Past the pole, RhumbSolve and orvik give no longitude; pymap3d a
    # latitude beyond 90 and a longitude.
    assert np.isnan(want[0, 1]) and np.isnan(ours["lon2"][0])
    assert lat[0] > 90 and np.isfinite(lon[0])
    # Within 1e-7 degrees of east, cancellation in tan(azimuth) times a
    # difference of isometric latitudes: a longitude some 200 m off.
    assert angle_difference(ours["lon2"][1], want[1, 1]) <= 1e-12
    assert angle_difference(lon[1], want[1, 1]) > 1e-3
