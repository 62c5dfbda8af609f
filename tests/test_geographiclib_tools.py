"""GeographicLib's own tools, built from the bundled sources, are a reference
that agrees with orvik: the same library behind both, so any difference is in
how orvik calls it or passes the results on."""

from __future__ import annotations

import math

import pytest
from geographiclib_tools import bundled_version, geographiclib_tools  # noqa: F401 (a fixture)

import orvik

PAIRS = [
    (52.52, 13.405, 48.8566, 2.3522),  # ordinary
    (0.0, 0.0, 0.0, 179.5),  # equatorial, near-antipodal: the meridian is not shortest
    (-30.0, 0.0, 29.9, 179.8),  # near-antipodal
    (90.0, 0.0, -45.0, 120.0),  # from a pole
    (10.0, 179.9, -10.0, -179.9),  # across the antimeridian
    (45.0, 45.0, 45.0 + 1e-9, 45.0),  # a tenth of a millimetre
]


def test_geodsolve_inverse_agrees_with_orvik(geographiclib_tools):  # noqa: F811
    # -f: every field; -p 10: distances to 1e-10 m, angles to 1e-15 degrees.
    rows = geographiclib_tools.run("GeodSolve", ["-i", "-f", "-p", "10"], [" ".join(map(repr, p)) for p in PAIRS])
    assert len(rows) == len(PAIRS)
    for pair, row in zip(PAIRS, rows):
        azi1, azi2, s12, a12, m12, M12, M21 = (float(row[i]) for i in (2, 5, 6, 7, 8, 9, 10))
        got = orvik.geodesic.inverse(*pair)
        assert got["s12"] == pytest.approx(s12, rel=0, abs=1e-9), pair
        assert got["m12"] == pytest.approx(m12, rel=0, abs=1e-9), pair
        for name, want in (("azi1", azi1), ("azi2", azi2), ("a12", a12), ("M12", M12), ("M21", M21)):
            # Azimuths the same direction: -180 and 180 are one.
            difference = math.remainder(got[name] - want, 360.0) if name.startswith("azi") else got[name] - want
            assert abs(difference) <= 1e-12, (pair, name, got[name], want)


@pytest.mark.parametrize("name", ["GeodSolve", "RhumbSolve", "IntersectTool"])
def test_the_tools_are_the_bundled_release(geographiclib_tools, name):  # noqa: F811
    # A stale build directory would compare orvik with another release.
    [version] = geographiclib_tools.run(name, ["--version"], [])
    assert version[-3:] == ["GeographicLib", "version", bundled_version()]
