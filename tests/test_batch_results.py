"""What the batch functions compute and the arrays they return."""

import os
import subprocess
import sys

import numpy as np
import pytest

from batch_support import BATCH, panic_message, points
from process_probes import UNDER_ADDRESS_SANITIZER

KINDS = list(BATCH)


def scalar_results(scalar, args):
    return np.array([scalar(*map(float, row)) for row in zip(*args)], dtype=np.float64)


def special_points():
    """Random points plus poles, antipodes, zeros of both signs, NaN and
    infinities in every position."""
    args = points(300, seed=7)
    specials = [0.0, -0.0, 90.0, -90.0, 180.0, -180.0, 1e-300, np.nan, np.inf, -np.inf]
    rows = [(a, b, c, d) for a in specials for b in specials[:4] for c in (-0.0, 45.0)
            for d in (0.0, 179.5, np.nan)]
    rows += [(0.0, 0.0, 0.5, 179.7), (30.0, 0.0, -30.0, 180.0)]  # nearly and exactly antipodal
    extra = np.array(rows).T
    return [np.concatenate([a, e]) for a, e in zip(args, extra)]


@pytest.mark.parametrize("kind", KINDS)
def test_elements_equal_scalar_function_bit_for_bit(kind):
    batch, scalar = BATCH[kind]
    args = special_points()
    result = batch(*args)
    expected = scalar_results(scalar, args)
    np.testing.assert_array_equal(result.view(np.uint64), expected.view(np.uint64))


def _package_batch(kind):
    from orvik import distance

    return getattr(distance, f"{kind}_distance_batch")


@pytest.mark.parametrize("package", [False, True], ids=["native", "package"])
@pytest.mark.parametrize("kind", KINDS)
def test_non_finite_coordinates_give_nan_exactly_there(kind, package):
    """NaN and infinities anywhere in a row make that row's distance NaN,
    in every lane of the vector kernels, and touch no other row."""
    batch = _package_batch(kind) if package else BATCH[kind][0]
    args = points(1000, seed=11)
    rng = np.random.default_rng(12)
    spoiled = np.zeros(1000, dtype=bool)
    for a in args:
        at = rng.choice(1000, 40, replace=False)
        a[at] = rng.choice([np.nan, np.inf, -np.inf], 40)
        spoiled[at] = True
    result = batch(*args)
    np.testing.assert_array_equal(np.isnan(result), spoiled)
    assert np.isfinite(result[~spoiled]).all()


@pytest.mark.parametrize("kind", KINDS)
def test_unaligned_arrays_read_like_aligned_copies(kind):
    batch, _ = BATCH[kind]
    args = points(33, seed=3)
    unaligned = []
    for offset, a in zip((1, 3, 5, 7), args):
        raw = bytearray(a.nbytes + offset)
        view = np.frombuffer(raw, dtype=np.float64, offset=offset, count=a.size)
        view[:] = a
        assert not view.flags.aligned
        unaligned.append(view)
    np.testing.assert_array_equal(batch(*unaligned).view(np.uint64), batch(*args).view(np.uint64))


@pytest.mark.parametrize("kind", KINDS)
@pytest.mark.parametrize("others", [0, 1, 5])
def test_empty_lat1_gives_empty_result_whatever_the_others(kind, others):
    batch, _ = BATCH[kind]
    args = [np.empty(0)] + points(others)[1:]
    result = batch(*args)
    assert result.shape == (0,) and result.dtype == np.float64


@pytest.mark.parametrize("kind", KINDS)
def test_single_element(kind):
    batch, scalar = BATCH[kind]
    args = points(1)
    result = batch(*args)
    assert result.shape == (1,)
    assert result[0] == scalar(*(float(a[0]) for a in args))


@pytest.mark.parametrize("kind", KINDS)
def test_shorter_lat1_truncates(kind):
    batch, scalar = BATCH[kind]
    args = points(9)
    args[0] = args[0][:4]
    np.testing.assert_array_equal(batch(*args), scalar_results(scalar, [a[:4] for a in args]))


@pytest.mark.parametrize("kind", KINDS)
@pytest.mark.parametrize(
    ("lengths", "m"),
    [
        ((5, 5, 3, 5), 3),
        ((5, 3, 5, 5), 3),
        ((5, 5, 5, 0), 0),
        ((100, 70, 40, 99), 40),  # the smallest length wins, not the first short array
        ((2, 1, 2, 2), 1),
    ],
)
def test_shorter_other_array_panics_with_smallest_index(kind, lengths, m):
    batch, _ = BATCH[kind]
    args = [a[:n] for a, n in zip(points(max(lengths)), lengths)]
    assert panic_message(batch, *args) == f"index out of bounds: the len is {m} but the index is {m}"


@pytest.mark.parametrize("kind", KINDS)
def test_same_array_for_several_parameters(kind):
    batch, scalar = BATCH[kind]
    lat, lon = points(6)[:2]
    np.testing.assert_array_equal(batch(lat, lon, lat, lon), np.zeros(6))
    np.testing.assert_array_equal(batch(lat, lat, lat, lon), scalar_results(scalar, [lat, lat, lat, lon]))


@pytest.mark.parametrize("kind", KINDS)
def test_result_array_owns_nothing_and_is_held_by_a_container(kind):
    batch, _ = BATCH[kind]
    result = batch(*points(8))
    assert type(result) is np.ndarray
    assert result.dtype == np.float64 and result.ndim == 1 and result.strides == (8,)
    flags = result.flags
    assert flags.writeable and flags.c_contiguous and flags.f_contiguous and flags.aligned
    assert not flags.owndata
    holder = result.base
    assert type(holder).__name__ == "PySliceContainer"
    assert repr(type(holder)) == "<class 'PySliceContainer'>"
    assert sys.getrefcount(holder) == 3  # the array, `holder` and the argument: no leak
    with pytest.raises(TypeError):
        type(holder)()
    result[0] = 12.5
    assert result[0] == 12.5


def test_views_keep_the_buffer_alive():
    batch, _ = BATCH["great_circle"]
    args = points(1000)
    result = batch(*args)
    expected = result.copy()
    tail = result[500:]
    del result
    np.zeros(10_000)  # reuse freed memory if the buffer had been freed
    np.testing.assert_array_equal(tail, expected[500:])


def _rss_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="reads /proc")
@pytest.mark.skipif(UNDER_ADDRESS_SANITIZER, reason="freed memory stays resident in quarantine")
def test_dropping_results_frees_their_buffers():
    batch, _ = BATCH["great_circle"]
    args = points(100_000)
    for _ in range(5):
        batch(*args)
    before = _rss_bytes()
    for _ in range(60):  # 0.8 MB each: a leak would add some 48 MB
        batch(*args)
    assert _rss_bytes() - before < 16 * 2**20



HUNDRED_MILLION = """
import re
import numpy as np
from orvik import distance
from orvik._orvik import distance as native

N = 100_000_000
RESULT_BYTES = N * 8

def peak_growth(call):
    # VmHWM is the peak resident size; writing 5 to clear_refs restarts it.
    def peak():
        with open("/proc/self/status") as status:
            return int(re.search(r"VmHWM:\\s+(\\d+) kB", status.read()).group(1)) * 1024
    with open("/proc/self/clear_refs", "w") as refs:
        refs.write("5")
    before = peak()
    result = call()
    return result, (peak() - before) / RESULT_BYTES

# One input resident (800 MB); the zeros stay unbacked while they are read.
lat = np.full(N, 30.0)
zeros = np.zeros(N)
result, growth = peak_growth(lambda: native.great_circle_distance_batch(lat, zeros, zeros, lat))
want = native.great_circle_distance(30.0, 0.0, 0.0, 30.0)
assert result.shape == (N,) and result.min() == result.max() == want
print(growth)
del result, lat, zeros

# 10,000 x 10,000 from inputs of 10,000 points each.
side = np.linspace(-80.0, 80.0, 10_000)
result, growth = peak_growth(lambda: distance.great_circle_distance_matrix(side, side, side[::-1], 0.0))
assert result.shape == (10_000, 10_000)
for i, j in [(0, 0), (1, 9_998), (5_000, 4_999), (9_999, 0)]:
    assert result[i, j] == native.great_circle_distance(side[i], side[i], side[::-1][j], 0.0)
print(growth)
"""


def _available_memory() -> int:
    with open("/proc/meminfo") as meminfo:
        return int(next(line for line in meminfo if line.startswith("MemAvailable:")).split()[1]) * 1024


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="reads /proc")
@pytest.mark.skipif(UNDER_ADDRESS_SANITIZER, reason="shadow memory and slow instrumented loops")
@pytest.mark.skipif(
    sys.platform.startswith("linux") and _available_memory() < 3 * 2**30, reason="needs about 2 GB free"
)
def test_hundred_million_elements_need_only_the_result_beside_the_inputs():
    """A native batch over 10^8 elements and a 10^4 x 10^4 matrix complete,
    and while each runs, the peak resident memory grows by one result (no
    copies of the inputs, no n x m input arrays)."""
    done = subprocess.run(
        [sys.executable, "-P", "-c", HUNDRED_MILLION], capture_output=True, text=True, timeout=240
    )
    assert done.returncode == 0, done.stderr
    growths = [float(line) for line in done.stdout.split()]
    assert len(growths) == 2
    for growth in growths:  # in results; thread stacks and the like are small beside one
        assert 0.9 < growth < 1.05, growths
