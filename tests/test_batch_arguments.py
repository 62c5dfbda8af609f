"""Which arguments the batch functions accept, and how refusals read."""

import tempfile

import numpy as np
import pytest

from batch_support import BATCH, PARAMS, points

FUNCTIONS = [pair[0] for pair in BATCH.values()]
TARGET = "PyArray<T, D>"

REFUSED = [
    pytest.param([1.0, 2.0], "list", id="list"),
    pytest.param((1.0, 2.0), "tuple", id="tuple"),
    pytest.param(np.float64(1.0), "float64", id="numpy-scalar"),
    pytest.param(None, "NoneType", id="none"),
    pytest.param(np.zeros((2, 2)), "ndarray", id="2-d"),
    pytest.param(np.zeros(2, dtype=np.float32), "ndarray", id="float32"),
    pytest.param(np.zeros(2, dtype=np.int64), "ndarray", id="int64"),
    pytest.param(np.array(1.0), "ndarray", id="0-d"),
    pytest.param(np.zeros(2, dtype=">f8"), "ndarray", id="byte-swapped"),
    pytest.param(np.zeros(2, dtype=np.complex128), "ndarray", id="complex"),
]


@pytest.mark.parametrize("func", FUNCTIONS)
@pytest.mark.parametrize("position", range(4))
@pytest.mark.parametrize(("bad", "type_name"), REFUSED)
def test_refused_argument_names_parameter_and_type(func, position, bad, type_name):
    args = points(2)
    args[position] = bad
    with pytest.raises(TypeError) as info:
        func(*args)
    assert str(info.value) == (
        f"argument '{PARAMS[position]}': '{type_name}' object cannot be converted to '{TARGET}'"
    )
    assert info.value.__cause__ is None


class Sub(np.ndarray):
    pass


def read_only(a):
    a = a.copy()
    a.flags.writeable = False
    return a


def memory_mapped(a):
    """A read-only np.memmap of a temporary file holding `a`."""
    with tempfile.TemporaryFile() as file:
        file.write(a.tobytes())
        file.flush()
        return np.memmap(file, dtype=a.dtype, mode="r", shape=a.shape)


@pytest.mark.parametrize("func", FUNCTIONS)
@pytest.mark.parametrize(
    "convert",
    [
        pytest.param(lambda a: a.view(Sub), id="subclass"),
        pytest.param(read_only, id="read-only"),
        pytest.param(memory_mapped, id="memory-mapped"),
        pytest.param(lambda a: a.astype("=f8"), id="native-order-spelled"),
        pytest.param(lambda a: np.asfortranarray(a), id="fortran"),
    ],
)
def test_accepted_kinds_read_the_same_values(func, convert):
    args = points(7)
    expected = func(*args)
    converted = [convert(a) for a in args]
    assert type(converted[0]) is not list
    np.testing.assert_array_equal(func(*converted), expected)


@pytest.mark.parametrize("func", FUNCTIONS)
@pytest.mark.parametrize("position", range(4))
@pytest.mark.parametrize(
    "view", [lambda a: a[::2], lambda a: a[::-1]], ids=["every-second", "reversed"]
)
def test_non_contiguous_view_is_refused(func, position, view):
    args = points(6)
    args[position] = view(np.concatenate([args[position], args[position]]))
    with pytest.raises(TypeError, match="^The given array is not contiguous$"):
        func(*args)


@pytest.mark.parametrize("func", FUNCTIONS)
def test_short_views_count_as_contiguous_whatever_their_stride(func):
    base = np.arange(20.0)
    one = base[3::7][:1]
    empty = base[::3][:0]
    assert one.strides != (8,)
    np.testing.assert_array_equal(func(one, one, one, one), [0.0])
    assert func(empty, empty, empty, empty).shape == (0,)


@pytest.mark.parametrize("func", FUNCTIONS)
def test_wrong_kind_later_is_reported_before_non_contiguity(func):
    args = points(4)
    args[0] = np.arange(8.0)[::2]
    args[3] = [1.0, 2.0, 3.0, 4.0]
    with pytest.raises(TypeError, match="^argument 'lon2': 'list' object"):
        func(*args)


@pytest.mark.parametrize("func", FUNCTIONS)
def test_keywords_bind_by_name(func):
    lat1, lon1, lat2, lon2 = points(5)
    np.testing.assert_array_equal(
        func(lon2=lon2, lat1=lat1, lat2=lat2, lon1=lon1), func(lat1, lon1, lat2, lon2)
    )


def test_docstrings_and_signatures():
    from orvik._orvik import distance

    geo, gc = distance.geodesic_distance_batch, distance.great_circle_distance_batch
    assert geo.__text_signature__ == gc.__text_signature__ == "(lat1, lon1, lat2, lon2)"
    assert geo.__doc__ == (
        "Batch geodesic distance: arrays of (lat1, lon1, lat2, lon2) \u2192 array of distances "
        "(meters).\nUses rayon for parallel computation."
    )
    assert gc.__doc__ == "Batch great-circle distance: arrays \u2192 array of distances (meters)."
    assert distance.__all__[-2:] == ["geodesic_distance_batch", "great_circle_distance_batch"]
