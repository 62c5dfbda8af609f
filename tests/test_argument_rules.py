"""One rule for each kind of parameter, everywhere: booleans are not
numbers, flags are bools, NumPy's integers are integers, None means the
default only where the signature says so, and every refusal names the
parameter and shows the value as Python shows it."""

from __future__ import annotations

import numpy as np
import pytest

import orvik
from orvik import distance, geodesic


@pytest.mark.parametrize(
    ("ellipsoid", "error", "shown"),
    [
        ((6378137.0, -1e9), ValueError, "-1000000000.0"),  # once s12 = -1,813,636 m
        ((6378137.0, 0.9999999), ValueError, "0.9999999"),  # once 3 m for a 2-degree step
        ((6378137.0, 298.257223563), ValueError, "not its inverse"),
        ((6378137.0, 1 + 1e-12), ValueError, "1.000000000001"),  # once "1.000000"
        ((-1e-9, 0.0), ValueError, "-1e-09"),  # once "-0.000000"
        ((True, False), TypeError, "True"),  # once a = 1, f = 0
        ((6378137.0, "0"), TypeError, "'0'"),
        ((6378137.0, 0.003, 0.0), TypeError, "3 items"),  # once "not 'tuple'"
        ("Mars", ValueError, "'Mars'"),
        (5, TypeError, "5 (int)"),
    ],
)
@pytest.mark.parametrize("call", [
    lambda e: distance.geodesic_distance(0, 0, 1, 1, ellipsoid=e),
    lambda e: geodesic.inverse_batch([0.0], 0, 1, 1, ellipsoid=e),
    lambda e: geodesic.polygon_area([0, 1, 1], [0, 0, 1], ellipsoid=e),
    lambda e: orvik.neighbors.PointIndex([0.0], [0.0], ellipsoid=e),
], ids=["number", "array", "ring", "index"])  # fmt: skip
def test_ellipsoids_the_solver_cannot_answer_accurately_are_refused(call, ellipsoid, error, shown):
    with pytest.raises(error, match="'ellipsoid'") as info:
        call(ellipsoid)
    assert shown in str(info.value)


def test_the_flattening_range_is_the_solvers():
    # |f| <= 0.02: GeographicLib's series are accurate to nanometres there.
    for f in (-0.02, 0.0, 1 / 298.257223563, 0.02):
        assert distance.geodesic_distance(0, 0, 1, 1, ellipsoid=(6378137.0, f)) > 0


@pytest.mark.parametrize(("radius", "error"), [(True, TypeError), (None, TypeError), ("1", TypeError),
                                               (0.0, ValueError), (float("nan"), ValueError)])  # fmt: skip
@pytest.mark.parametrize("function", [distance.great_circle_distance, distance.great_circle_distance_batch])
def test_radius_is_a_positive_number(function, radius, error):
    with pytest.raises(error, match="'radius'"):
        function(0, 0, 1, 1, radius=radius)


@pytest.mark.parametrize("value", [10**400, -(10**400)])
@pytest.mark.parametrize("call", [
    lambda v: distance.geodesic_distance(v, 0, 1, 1),
    lambda v: distance.geodesic_distance_batch(v, 0, 1, 1),
    lambda v: distance.geodesic_distance_batch([v], 0, 1, 1),
    lambda v: geodesic.line_points(0, 0, 1, 1, spacing=v),
], ids=["number", "batch of a number", "batch of a list", "spacing"])  # fmt: skip
def test_an_int_too_large_for_a_float_is_named(call, value):
    with pytest.raises(ValueError, match="argument '(lat1|spacing)'"):
        call(value)


@pytest.mark.parametrize(("outputs", "error", "shown"), [
    ([b"s12"], TypeError, "b's12'"),  # once "not list"
    ("S13", ValueError, "'S13'"),
    (("s12", "s12"), ValueError, "twice"),
    ((), ValueError, "empty"),
    (3, TypeError, "int"),
])  # fmt: skip
def test_outputs_name_their_fault(outputs, error, shown):
    with pytest.raises(error, match="'outputs'") as info:
        geodesic.inverse_batch(0, 0, 1, 1, outputs=outputs)
    assert shown in str(info.value)


@pytest.mark.parametrize("n", [np.int32(2), np.int64(3), 2**70])
def test_thread_counts_take_numpy_integers_and_any_size(n):
    orvik.set_num_threads(n)
    try:
        with orvik.num_threads(n):
            assert distance.geodesic_distance_batch([0.0, 1.0], 0, 1, 1).shape == (2,)
    finally:
        orvik._engine.set_process_thread_limit(0)


@pytest.mark.parametrize(("n", "error"), [(True, TypeError), (1.0, TypeError), (0, ValueError), (np.int8(-1), ValueError)])
def test_thread_counts_refused(n, error):
    with pytest.raises(error, match="'n'"):
        orvik.set_num_threads(n)
