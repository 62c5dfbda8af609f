"""Batch and matrix distances over array-likes: NumPy broadcasting, shapes
and errors, and results bit for bit equal to the scalar functions."""

import tempfile

import numpy as np
import pandas as pd
import pytest

from orvik import _orvik, distance

from bit_equality import assert_bits_equal

BATCH = [
    (distance.geodesic_distance_batch, distance.geodesic_distance),
    (distance.great_circle_distance_batch, distance.great_circle_distance),
]
MATRIX = [
    (distance.geodesic_distance_matrix, distance.geodesic_distance),
    (distance.great_circle_distance_matrix, distance.great_circle_distance),
]
batch_ids = ["geodesic", "great_circle"]

rng = np.random.default_rng(20240531)


def points(shape):
    return rng.uniform(-90, 90, shape), rng.uniform(-180, 180, shape)


def reference(scalar, *values):
    """The scalar function applied element by element, NumPy-broadcast."""
    arrays = np.broadcast_arrays(*(np.asarray(v, dtype=np.float64) for v in values))
    out = np.empty(arrays[0].shape)
    for index in np.ndindex(out.shape):
        out[index] = scalar(*(float(a[index]) for a in arrays))
    return out


class Sub(np.ndarray):
    pass


def unaligned(a):
    view = np.frombuffer(bytearray(a.nbytes + 3), dtype=a.dtype, count=a.size, offset=3)
    view[:] = a
    assert not view.flags.aligned
    return view


def memory_mapped(a):
    with tempfile.TemporaryFile() as file:
        file.write(a.tobytes())
        file.flush()
        return np.memmap(file, dtype=a.dtype, mode="r", shape=a.shape)


def with_non_finite(a):
    a = a.copy()
    a[::3] = [np.nan, np.inf, -np.inf, np.nan]
    return a


lat, lon = points(12)
array_likes = {
    "list": (list(lat), list(lon)),
    "tuple": (tuple(lat), tuple(lon)),
    "pandas Series": (pd.Series(lat, index=range(100, 112)), pd.Series(lon, index=range(100, 112))),
    "float32": (lat.astype(np.float32), lon.astype(np.float32)),
    "int": (lat.astype(np.int64), lon.astype(np.int32)),
    "every other element": (np.repeat(lat, 2)[::2], np.repeat(lon, 2)[1::2]),
    "reversed": (lat[::-1], lon[::-1]),
    "Fortran-ordered 2-D": (np.asfortranarray(lat.reshape(3, 4)), np.asfortranarray(lon.reshape(3, 4))),
    "read-only": (np.frombuffer(lat.tobytes()), np.frombuffer(lon.tobytes())),
    "big-endian": (lat.astype(">f8"), lon.astype(">f8")),
    "unaligned": (unaligned(lat), unaligned(lon)),
    "subclass": (lat.view(Sub), lon.view(Sub)),
    "memory-mapped": (memory_mapped(lat), memory_mapped(lon)),
    "NaN and infinities": (with_non_finite(lat), with_non_finite(lon)[::-1]),
}


@pytest.mark.parametrize(("batch", "scalar"), BATCH, ids=batch_ids)
@pytest.mark.parametrize("kind", sorted(array_likes))
def test_array_likes(batch, scalar, kind):
    lat1, lon1 = array_likes[kind]
    lat2, lon2 = points(np.shape(lat1))
    result = batch(lat1, lon1, lat2, lon2)
    if isinstance(lat1, pd.Series):  # Series in, Series out, on their index
        assert isinstance(result, pd.Series) and result.index.equals(lat1.index)
        result = result.to_numpy()
    assert_bits_equal(result, reference(scalar, lat1, lon1, lat2, lon2))


@pytest.mark.parametrize(("batch", "scalar"), BATCH, ids=batch_ids)
@pytest.mark.parametrize(
    "shapes",
    [
        [(), (), (), np.zeros(())],  # a 0-d array among numbers: a 0-d array
        [(), (), (7,), (7,)],  # one point against many
        [(5,), (), (5,), ()],  # scalars mixed in anywhere
        [(3, 1), (3, 1), (1, 4), (4,)],  # an outer product by broadcasting
        [(2, 3, 4), (4,), (3, 1), ()],
        [(0,), (), (0,), (1,)],  # empty
        [(4, 0, 2), (2,), (), ()],
        [(1,), (1,), (1,), (1,)],
        [(2000,), (2000,), (2000,), (2000,)],  # long enough to be split into pieces
        [(37, 53), (53,), (37, 1), ()],
    ],
)
def test_broadcasting(batch, scalar, shapes):
    values = [
        s if isinstance(s, np.ndarray) else points(s)[k % 2] if s else float(points(())[k % 2])
        for k, s in enumerate(shapes)
    ]
    result = batch(*values)
    assert_bits_equal(result, reference(scalar, *values))


def test_python_and_numpy_scalars_give_a_float():
    result = distance.geodesic_distance_batch(52.5, np.float32(13.25), np.int64(48), 2.35)
    assert type(result) is float
    assert result == distance.geodesic_distance(52.5, 13.25, 48, 2.35)


@pytest.mark.parametrize("batch", [f for f, _ in BATCH], ids=batch_ids)
def test_pandas_indexes_must_agree(batch):
    a = pd.Series([1.0, 2.0], index=["x", "y"])
    b = pd.Series([1.0, 2.0], index=["y", "x"])
    with pytest.raises(ValueError, match="indexes of 'lat1' and 'lat2' differ"):
        batch(a, 0.0, b, 0.0)
    # An index-less array-like takes the Series' index.
    assert batch(a, [0.0, 1.0], 0.0, 0.0).index.equals(a.index)


def test_inputs_are_left_untouched():
    lat1, lon1 = points(50)
    before = lat1.copy(), lon1.copy()
    distance.great_circle_distance_batch(lat1, lon1, 0.0, 0.0)
    assert lat1.tobytes() == before[0].tobytes() and lon1.tobytes() == before[1].tobytes()


@pytest.mark.parametrize(
    "shapes",
    [[(3,), (3,), (4,), (4,)], [(2, 3), (3,), (2,), ()], [(5,), (4,), (5,), (5,)]],
)
def test_shapes_that_cannot_broadcast_are_named(shapes):
    values = [np.zeros(s) for s in shapes]
    with pytest.raises(ValueError, match="cannot be broadcast") as error:
        distance.geodesic_distance_batch(*values)
    for name, shape in zip(("lat1", "lon1", "lat2", "lon2"), shapes, strict=True):
        assert f"{name} {shape}" in str(error.value)


@pytest.mark.parametrize(
    ("value", "error"),
    [(["a", "b"], TypeError), ("1.5", TypeError), ({"x": 1}, TypeError), (1 + 2j, TypeError),
     (np.ma.masked_array([1.0, 2.0], mask=[0, 1]), TypeError), ([object()], TypeError)],  # fmt: skip
)
def test_unconvertible_input_names_the_argument(value, error):
    with pytest.raises(error, match="argument 'lat2'"):
        distance.great_circle_distance_batch([1.0, 2.0], [1.0, 2.0], value, 0.0)


@pytest.mark.skipif(
    not hasattr(_orvik.distance, "geodesic_distance_batch"), reason="no native batch functions"
)
@pytest.mark.parametrize("name", ["geodesic_distance_batch", "great_circle_distance_batch"])
def test_agrees_with_the_native_batch_function(name):
    values = [*points(300), *points(300)]
    assert_bits_equal(getattr(distance, name)(*values), getattr(_orvik.distance, name)(*values))


@pytest.mark.parametrize(("matrix", "scalar"), MATRIX, ids=batch_ids)
@pytest.mark.parametrize(("n", "m"), [(1, 1), (4, 7), (33, 1), (1, 29), (0, 5), (5, 0), (61, 47)])
def test_matrix_is_every_pair(matrix, scalar, n, m):
    lat1, lon1 = points(n)
    lat2, lon2 = points(m)
    result = matrix(list(lat1), lon1, lat2[::-1], tuple(lon2[::-1]))
    expected = np.array(
        [[scalar(a, b, c, d) for c, d in zip(lat2[::-1], lon2[::-1])] for a, b in zip(lat1, lon1)]
    ).reshape(n, m)
    assert_bits_equal(result, expected)


def test_matrix_takes_a_scalar_as_a_set_of_one_point():
    lat2, lon2 = points(6)
    result = distance.great_circle_distance_matrix(52.5, 13.4, lat2, lon2)
    assert result.shape == (1, 6)
    assert_bits_equal(result[0], distance.great_circle_distance_batch(52.5, 13.4, lat2, lon2))
    # A latitude shared by every point of a set broadcasts against its longitudes.
    assert distance.geodesic_distance_matrix(0.0, [1.0, 2.0, 3.0], lat2, lon2).shape == (3, 6)


@pytest.mark.parametrize(
    ("args", "message"),
    [
        ((np.zeros((2, 2)), np.zeros((2, 2)), [1.0], [1.0]), "lat1 and lon1 must be one-dimensional"),
        (([1.0], [1.0], [1.0, 2.0], [1.0, 2.0, 3.0]), r"lat2 \(2,\) and lon2 \(3,\) cannot be broadcast"),
    ],
)
def test_matrix_shape_errors(args, message):
    with pytest.raises(ValueError, match=message):
        distance.geodesic_distance_matrix(*args)


def _can_make(ndim):
    try:
        np.zeros((1,) * ndim)
    except ValueError:
        return False
    return True


@pytest.mark.parametrize("ndim", [33, 64])
@pytest.mark.parametrize(("batch", "scalar"), BATCH, ids=batch_ids)
def test_up_to_numpys_own_dimension_limit(batch, scalar, ndim):
    if not _can_make(ndim):
        pytest.skip(f"this NumPy makes no arrays of {ndim} dimensions")
    lat = np.full((2,) + (1,) * (ndim - 1), 10.0)
    lon = np.full((1,) * (ndim - 2) + (3, 1), 20.0)
    result = batch(lat, lon, 30.0, 40.0)
    assert result.shape == (2,) + (1,) * (ndim - 3) + (3, 1)
    assert set(result.ravel().tolist()) == {scalar(10.0, 20.0, 30.0, 40.0)}


def test_broadcast_shape_follows_numpy():
    rng = np.random.default_rng(3)
    for _ in range(300):
        shapes = [tuple(rng.choice([1, 1, 2, 3], rng.integers(0, 4))) for _ in range(4)]
        arrays = [np.zeros(s) for s in shapes]
        try:
            expected = np.broadcast_shapes(*shapes)
        except ValueError:
            with pytest.raises(ValueError, match="cannot be broadcast"):
                distance.great_circle_distance_batch(*arrays)
        else:
            assert np.shape(distance.great_circle_distance_batch(*arrays)) == expected