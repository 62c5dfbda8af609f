"""Results are bit-identical to the recorded reference (tests/reference/):
the native module's functions, the package's functions and every batch path
over the same inputs.  A change of engine, kernel or GeographicLib build that
moves a single bit of any result fails here.

Great-circle results were recorded through a vector kernel (libmvec's sin,
cos, asin and atan2), whose last bits are those of the machine's own vector
math library: libmvec's variants differ between CPUs and glibc builds.  So
great-circle results are held to the record to a few units in the last
place, and bit for bit to this process's own scalar results on every other
path.  A build without vector math, or a machine without the vector
variants, runs the portable kernel, which is the same formula through the C
library's scalar functions: its results are held, bit for bit, to that
formula evaluated by Python's math module (the same libm)."""

from __future__ import annotations

import math
import sys
import types
from pathlib import Path

import numpy as np
import pytest

import orvik
from orvik import _engine, _orvik

sys.path.insert(0, str(Path(__file__).resolve().parent / "reference"))
import record  # noqa: E402

import bit_equality  # noqa: E402

REFERENCE = np.load(record.OUTPUT)
INPUTS = {k[3:]: REFERENCE[k] for k in REFERENCE.files if k.startswith("in.")}
EXPECTED = {k[4:]: REFERENCE[k] for k in REFERENCE.files if k.startswith("out.")}
PACKAGE = types.SimpleNamespace(distance=orvik.distance, geodesic=orvik.geodesic, units=orvik.units)
PAIR = tuple(INPUTS[k] for k in ("lat1", "lon1", "lat2", "lon2"))
GREAT_CIRCLE = "distance.great_circle_distance"


def scalar_libm_haversine(lat1: float, lon1: float, lat2: float, lon2: float) -> float:
    """The portable kernel's formula, step for step; C's libm gives NaN
    where Python's math module raises."""

    def libm(f, x: float) -> float:
        try:
            return f(x)
        except ValueError:
            return math.nan

    k, radius = 0.017453292519943295, 6371008.8
    dlon = (lon2 - lon1) * k
    phi1, phi2 = lat1 * k, lat2 * k
    s = libm(math.sin, (phi2 - phi1) * 0.5)
    t = libm(math.sin, dlon * 0.5)
    h = s * s + (libm(math.cos, phi1) * libm(math.cos, phi2)) * (t * t)
    c = libm(math.asin, math.sqrt(1.0 if h > 1.0 else h))
    return (c + c) * radius


PORTABLE_GREAT_CIRCLE = np.array([scalar_libm_haversine(*p) for p in zip(*(a.tolist() for a in PAIR))])
GREAT_CIRCLE_OUTPUTS = (GREAT_CIRCLE, "distance.great_circle_destination.lat2", "distance.great_circle_destination.lon2")
HERE = record.outputs(_orvik, INPUTS)
# What every path must reproduce bit for bit in this process.
WANTED = {**EXPECTED, **{name: HERE[name] for name in GREAT_CIRCLE_OUTPUTS}}


def assert_bits_equal(name: str, got: np.ndarray, want: np.ndarray) -> None:
    # Every NaN is a NaN, whatever its payload bits.
    try:
        bit_equality.assert_bits_equal(np.ascontiguousarray(got, dtype=np.float64), want, any_nan=True)
    except AssertionError as error:
        pytest.fail(f"{name}: {error}")


def test_the_reference_inputs_are_the_generated_ones():
    for key, column in record.inputs().items():
        assert_bits_equal(f"input {key}", column, INPUTS[key])


def test_the_portable_formula_is_the_recorded_one_to_a_few_ulps():
    # What the portable kernel is held to must itself be the reference's
    # formula: the vector and scalar libraries differ in the last bits only.
    want, got = EXPECTED[GREAT_CIRCLE], PORTABLE_GREAT_CIRCLE
    assert np.array_equal(np.isnan(got), np.isnan(want))
    # Near antipodes the arcsine magnifies those bits.
    ordinary = ~np.isnan(want) & (want < 0.95 * math.pi * 6371008.8)
    assert np.allclose(got[ordinary], want[ordinary], rtol=1e-13, atol=1e-9)


@pytest.mark.parametrize("name", GREAT_CIRCLE_OUTPUTS)
def test_great_circle_results_are_the_recorded_ones_to_a_few_ulps(name):
    got, want = HERE[name], EXPECTED[name]
    assert np.array_equal(np.isnan(got), np.isnan(want))
    ordinary = ~np.isnan(want)
    if name == GREAT_CIRCLE:  # near antipodes the arcsine magnifies the last bits
        ordinary &= want < 0.95 * math.pi * 6371008.8
    assert np.allclose(got[ordinary], want[ordinary], rtol=1e-13, atol=1e-9)


def test_the_portable_kernel_is_the_scalar_formula():
    if _engine.great_circle_kernel() != "portable":
        pytest.skip("this process computes great circles with a vector kernel")
    assert_bits_equal(GREAT_CIRCLE, HERE[GREAT_CIRCLE], PORTABLE_GREAT_CIRCLE)


@pytest.mark.parametrize("module", [_orvik, PACKAGE], ids=["native", "package"])
def test_scalar_functions(module):
    got = record.outputs(module, INPUTS)
    assert sorted(got) == sorted(EXPECTED)
    for name, values in got.items():
        assert_bits_equal(name, values, WANTED[name])


@pytest.mark.parametrize(
    ("function", "reference"),
    [
        (_orvik.distance.geodesic_distance_batch, "distance.geodesic_distance"),
        (_orvik.distance.great_circle_distance_batch, "distance.great_circle_distance"),
        (orvik.distance.geodesic_distance_batch, "distance.geodesic_distance"),
        (orvik.distance.great_circle_distance_batch, "distance.great_circle_distance"),
    ],
    ids=["native-geodesic", "native-great-circle", "package-geodesic", "package-great-circle"],
)
def test_batch_functions(function, reference):
    assert_bits_equal(reference, function(*PAIR), WANTED[reference])
    # Strided and broadcast layouts reach the same kernels.
    if function.__module__.startswith("orvik"):
        doubled = [np.repeat(a, 2)[::2] for a in PAIR]
        assert_bits_equal(reference, function(*doubled), WANTED[reference])
        column = function(*(a[:, np.newaxis] for a in PAIR))
        assert_bits_equal(reference, column[:, 0], WANTED[reference])


START = tuple(INPUTS[k] for k in ("lat1", "lon1", "azi", "dist"))


@pytest.mark.parametrize("name", ["geodesic", "great_circle"])
def test_destination_batches(name):
    lat2, lon2 = getattr(orvik.distance, f"{name}_destination_batch")(*START)
    assert_bits_equal(f"{name} lat2", lat2, WANTED[f"distance.{name}_destination.lat2"])
    assert_bits_equal(f"{name} lon2", lon2, WANTED[f"distance.{name}_destination.lon2"])


def test_inverse_and_direct_batches_give_the_fields_of_the_scalar_functions():
    fields = ("s12", "azi1", "azi2", "a12", "m12", "M12", "M21", "S12")
    every = orvik.geodesic.inverse_batch(*PAIR, outputs=fields)
    for field in fields:
        assert_bits_equal(field, every[field], EXPECTED[f"geodesic.inverse.{field}"])
        # Asked for alone, with GeographicLib computing nothing else.
        alone = orvik.geodesic.inverse_batch(*PAIR, outputs=field)[field]
        assert_bits_equal(f"{field} alone", alone, EXPECTED[f"geodesic.inverse.{field}"])
    ends = orvik.geodesic.direct_batch(*START, outputs=("lat2", "lon2", "azi2", "m12", "S12"))
    for field in ("lat2", "lon2", "azi2"):
        assert_bits_equal(field, ends[field], EXPECTED[f"geodesic.direct.{field}"])
