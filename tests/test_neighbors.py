"""orvik.neighbors.PointIndex against brute force with the scalar distance
functions and a stable sort: the same bits, the same indices."""

from __future__ import annotations

import math
import pickle
import subprocess
import sys
import textwrap
import threading
import zlib

import cloudpickle
import numpy as np
import pandas as pd
import pytest

from orvik import distance
from orvik.neighbors import PointIndex
from process_probes import UNDER_ADDRESS_SANITIZER

from bit_equality import assert_bits_equal

ELLIPSOIDS = [None, "GRS80", (6378137.0, 1 / 150), (6378137.0, -1 / 300), (6371008.8, 0.0)]


def uniform(rng, n):
    return np.degrees(np.arcsin(rng.uniform(-1, 1, n))), rng.uniform(-180, 180, n)


def scenario(name, rng):
    """Reference points and query points that stress one part of the search."""
    if name == "uniform":
        return (*uniform(rng, 300), *uniform(rng, 40))
    if name == "poles":
        lat = np.concatenate([rng.uniform(88, 90, 60), rng.uniform(-90, -88, 60), [90, 90, -90]])
        lon = np.concatenate([rng.uniform(-180, 180, 120), [0, 123, -45]])
        return lat, lon, np.array([90, -90, 89.99, 90, -89.5]), np.array([0, 77, 10, -180, 180])
    if name == "antimeridian":
        lat, lon = rng.uniform(-60, 60, 200), rng.choice([-1, 1], 200) * rng.uniform(179, 180, 200)
        lon[:3] = [180, -180, 540]  # one point named three ways, one of them far out
        lon[3] = 1e7  # kept out of the tree, examined by every query
        return lat, lon, rng.uniform(-60, 60, 30), rng.choice([179.99, -179.99, 180, -180], 30)
    if name == "duplicates":
        lat, lon = uniform(rng, 20)
        lat, lon = np.tile(lat, 8), np.tile(lon, 8)  # every point 8 times: ties everywhere
        return lat, lon, np.repeat(lat[:10], 3), np.repeat(lon[:10], 3)  # coincident queries
    if name == "ring":
        # Equal distances from the pole and from the centre of the ring.
        lon = np.arange(0.0, 360.0, 7.5) - 180
        return np.full(lon.size, 60.0), lon, np.array([90.0, 60, 60]), np.array([0.0, -180, 45])
    if name == "cluster":
        lat, lon = 51.5 + rng.normal(0, 1e-5, 200), -0.1 + rng.normal(0, 1e-5, 200)
        return lat, lon, 51.5 + rng.normal(0, 1e-5, 20), -0.1 + rng.normal(0, 1e-5, 20)
    raise AssertionError(name)


SCENARIOS = ["uniform", "poles", "antimeridian", "duplicates", "ring", "cluster"]


def brute(ref, qlat, qlon, method, ellipsoid):
    """The distances from one query point to every reference point, with the
    scalar function; None for a query point that has no results."""
    if not (abs(qlat) <= 90 and math.isfinite(qlon)):
        return None
    if method == "geodesic":
        return np.array([distance.geodesic_distance(qlat, qlon, a, b, ellipsoid=ellipsoid) for a, b in zip(*ref)])
    return np.array([distance.great_circle_distance(qlat, qlon, a, b) for a, b in zip(*ref)])


def expected_rows(ref, qlat, qlon, k, method, ellipsoid, max_distance=math.inf):
    dist, idx = np.full((qlat.size, k), np.inf), np.full((qlat.size, k), -1)
    for i, (a, b) in enumerate(zip(qlat.ravel(), qlon.ravel())):
        d = brute(ref, a, b, method, ellipsoid)
        if d is None:
            continue
        order = [j for j in np.argsort(d, kind="stable") if d[j] <= max_distance][:k]
        dist[i, : len(order)], idx[i, : len(order)] = d[order], order
    return dist, idx


assert_same_bits = assert_bits_equal


# Great-circle distances do not depend on the ellipsoid: one is enough.
QUERY_CASES = [(name, "geodesic", e) for name in SCENARIOS for e in ELLIPSOIDS]
QUERY_CASES += [(name, "great-circle", None) for name in SCENARIOS] + [("uniform", "great-circle", "GRS80")]


@pytest.mark.parametrize(("name", "method", "ellipsoid"), QUERY_CASES, ids=str)
def test_query_is_brute_force(name, method, ellipsoid):
    rng = np.random.default_rng(zlib.crc32(f"{name} {method} {ellipsoid}".encode()))
    lat, lon, qlat, qlon = scenario(name, rng)
    index = PointIndex(lat, lon, ellipsoid=ellipsoid)
    for k in (1, 4, lat.size + 2):
        d, i = index.query(qlat, qlon, k, method=method)
        want_d, want_i = expected_rows((lat, lon), qlat, qlon, k, method, ellipsoid)
        assert_same_bits(d, want_d)
        assert i.dtype == np.int64 and np.array_equal(i, want_i)
    # max_distance: the median distance of each query's nearest few.
    limit = float(np.median(want_d[:, :4]))
    d, i = index.query(qlat, qlon, 6, method=method, max_distance=limit)
    want_d, want_i = expected_rows((lat, lon), qlat, qlon, 6, method, ellipsoid, limit)
    assert_same_bits(d, want_d)
    assert np.array_equal(i, want_i)


@pytest.mark.parametrize("sort", [True, False])
@pytest.mark.parametrize("method", ["geodesic", "great-circle"])
@pytest.mark.parametrize("name", ["uniform", "poles", "antimeridian", "duplicates", "ring"])
def test_query_radius_is_brute_force(name, method, sort):
    rng = np.random.default_rng(7)
    lat, lon, qlat, qlon = scenario(name, rng)
    index = PointIndex(lat, lon, ellipsoid="WGS72")
    # Radii that fall exactly on a distance count it in (<=); NaN and
    # negative ones find nothing.
    first = [brute((lat, lon), a, b, method, "WGS72")[0] for a, b in zip(qlat, qlon)]
    r = np.where(np.arange(qlat.size) % 2, first, rng.uniform(0, 3e6, qlat.size))
    r[-1], r[-2] = np.nan, -1.0
    offsets, got_i, got_d = index.query_radius(qlat, qlon, r, method=method, sort=sort)
    assert offsets.dtype == got_i.dtype == np.int64 and offsets.shape == (qlat.size + 1,)
    for q in range(qlat.size):
        d = brute((lat, lon), qlat[q], qlon[q], method, "WGS72")
        hits = [j for j in range(lat.size) if d[j] <= r[q]]
        if sort:
            hits.sort(key=lambda j: (d[j], j))
        row = slice(offsets[q], offsets[q + 1])
        assert got_i[row].tolist() == hits
        assert_same_bits(got_d[row], d[hits])


@pytest.mark.parametrize(
    ("lat", "lon"), [([], []), ([12.5], [-7.25]), (np.empty(0), 3.0)], ids=["none", "one", "none broadcast"]
)
def test_tiny_indexes(lat, lon):
    index = PointIndex(lat, lon)
    n = len(index)
    d, i = index.query([10.0, np.nan, 91.0, 0.0], [0.0, 0.0, 0.0, np.inf], k=3)
    assert d.shape == i.shape == (4, 3)
    assert (i[1:] == -1).all() and np.isinf(d[1:]).all()
    assert i[0].tolist() == ([0, -1, -1] if n else [-1, -1, -1])
    if n:
        assert d[0, 0] == distance.geodesic_distance(10.0, 0.0, 12.5, -7.25)
    offsets, hits, _ = index.query_radius([10.0, np.nan], 0.0, 1e9)
    assert offsets.tolist() == [0, n, n] and hits.tolist() == [0] * n


def test_shapes_broadcast_and_a_single_point_gives_one_row():
    index = PointIndex(*uniform(np.random.default_rng(1), 50))
    d, i = index.query(10.0, 20.0, k=3)
    assert d.shape == i.shape == (3,)
    d2, i2 = index.query(np.array([[10.0], [30.0]]), [20.0, 21.0, 22.0], k=2, method="great-circle")
    assert d2.shape == i2.shape == (2, 3, 2)
    assert np.array_equal(i2[0, 0], index.query(10.0, 20.0, 2, method="great-circle")[1])
    series = pd.Series([10.0, 30.0], index=["a", "b"])
    d3, _ = index.query(series, series, k=1)
    assert isinstance(d3, np.ndarray) and d3.shape == (2, 1)
    offsets, _, _ = index.query_radius([[1.0, 2.0]], 3.0, [[1e6], [2e6], [3e6]])
    assert offsets.shape == (7,)


def test_inputs_are_copied_and_the_index_pickles():
    lat, lon = uniform(np.random.default_rng(2), 1000)
    index = PointIndex(lat, lon, ellipsoid=(6378137.0, 1 / 290))
    queries = uniform(np.random.default_rng(3), 100)
    before = index.query(*queries, k=5)
    lat[:] = 0.0  # the index holds its own copy
    for dumps, loads in ((pickle.dumps, pickle.loads), (cloudpickle.dumps, cloudpickle.loads)):
        data = dumps(index)
        assert b"orvik.neighbors" in data and len(data) < 17 * 1000 + 1000  # the points, not the tree
        again = loads(data)
        assert type(again) is PointIndex and len(again) == 1000
        assert again.ellipsoid == index.ellipsoid == (6378137.0, 1 / 290)
        for got, want in zip(again.query(*queries, k=5), before, strict=True):
            np.testing.assert_array_equal(got, want)
    assert 40 * 1000 < index.nbytes <= 96 * 1000 + 1024


@pytest.mark.parametrize(
    ("lat", "lon", "message"),
    [
        ([0, 1, np.nan, 91], [0, 0, 0, 0], "reference point 2 has latitude nan"),
        ([0, -90.5], [0, 0], "reference point 1 has latitude -90.5"),
        ([0, 1, 2], [0, np.inf, np.nan], "reference point 1 has longitude inf"),
        ([[0, 1]], [[0, 1]], "must be one-dimensional"),
        ([0, 1, 2], [0, 1], "cannot be broadcast"),
    ],
)
def test_bad_reference_points(lat, lon, message):
    with pytest.raises(ValueError, match=message):
        PointIndex(lat, lon)


@pytest.mark.parametrize(
    ("call", "error", "message"),
    [
        (lambda ix: ix.query(0, 0, k=0), ValueError, "'k' must be at least 1, not 0"),
        (lambda ix: ix.query(0, 0, 0), ValueError, "'k' must be at least 1, not 0"),
        (lambda ix: ix.query(0, 0, k=2.0), TypeError, "'k' must be an int, not float"),
        (lambda ix: ix.query(0, 0, k=True), TypeError, "'k' must be an int, not bool"),  # once "at least 1, not 0"
        (lambda ix: ix.query(0, 0, 1, k=1), TypeError, "multiple values for argument 'k'"),
        (lambda ix: ix.query(0, 0, 1, "geodesic"), TypeError, "takes from 2 to 3 positional arguments but 4 were"),
        (lambda ix: ix.query(0, 0, method="haversine"), ValueError, "'method' must be"),
        (lambda ix: ix.query(0, 0, max_distance=[1.0]), TypeError, "'max_distance' must be a real number"),
        (lambda ix: ix.query(None, 0), TypeError, "argument 'lat'"),
        (lambda ix: ix.query_radius(0, 0, 1, sort="no"), TypeError, "'sort' must be a bool"),
        (lambda ix: ix.query_radius(0, 0, 10**400), ValueError, "argument 'r'"),
        (lambda ix: ix.query(0, 0, max_distance=-1), ValueError, "max_distance"),
        (lambda ix: ix.query(0, 0, max_distance=math.nan), ValueError, "max_distance"),
        (lambda ix: ix.query("0", 0), TypeError, "argument 'lat'"),
        (lambda ix: ix.query([0, 1], [0, 1, 2]), ValueError, "cannot be broadcast"),
        (lambda ix: ix.query_radius(0, 0, np.ma.masked_array([1.0])), TypeError, "masked"),
        (lambda ix: ix.query_radius(0, 0, 1, method="great_circle"), ValueError, "'method' must be"),
        (lambda ix: PointIndex([0], [0], ellipsoid="Airy"), ValueError, "unknown name"),
        (lambda ix: PointIndex(["a"], [0]), TypeError, "argument 'lat'"),
        (lambda ix: PointIndex(None, [0]), TypeError, "argument 'lat'"),
    ],
)  # fmt: skip
def test_refusals(call, error, message):
    with pytest.raises(error, match=message):
        call(PointIndex([0.0, 1.0], [0.0, 1.0]))


def test_threads_share_one_index():
    index = PointIndex(*uniform(np.random.default_rng(4), 20_000))
    queries = [uniform(np.random.default_rng(5 + t), 3000) for t in range(6)]
    want = [index.query(*q, k=3) for q in queries]
    got = [None] * len(queries)
    barrier = threading.Barrier(len(queries))

    def work(t):
        barrier.wait()
        for _ in range(3):
            got[t] = index.query(*queries[t], k=3, method=("geodesic", "great-circle")[t % 2])
        got[t] = index.query(*queries[t], k=3)

    threads = [threading.Thread(target=work, args=(t,)) for t in range(len(queries))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for g, w in zip(got, want, strict=True):
        np.testing.assert_array_equal(g[0], w[0])
        np.testing.assert_array_equal(g[1], w[1])


@pytest.mark.parametrize(
    ("lat", "k"),
    [(0.0, 99_999_999_999_999), (np.zeros(1000), 10**12), (np.zeros((1000, 1000)), 10**9)],
    ids=["one point", "1000 points", "a grid"],
)
def test_a_k_that_cannot_fit_is_refused_before_any_work(lat, k):
    index = PointIndex([0.0, 1.0], [0.0, 1.0])
    with pytest.raises(MemoryError, match=rf"query\(\): k={k} is too large: .* bytes"):
        index.query(lat, 0.0, k=k)
    # Slots beyond n are kept otherwise, and no query points need none.
    d, i = index.query(np.empty(0), 0.0, k=k)
    assert d.shape == i.shape == (0, k)


def test_series_on_different_indexes_are_refused_as_query_refuses_them():
    lat = pd.Series([10.0, 20.0, 30.0], index=[0, 1, 2])
    lon = pd.Series([1.0, 2.0, 3.0], index=[2, 1, 0])
    with pytest.raises(ValueError) as by_query:
        PointIndex([0.0], [0.0]).query(lat, lon)
    with pytest.raises(ValueError) as by_build:
        PointIndex(lat, lon)
    assert str(by_build.value) == str(by_query.value).replace("PointIndex.query()", "PointIndex()")
    assert len(PointIndex(lat, lon.sort_index())) == 3  # one index: paired by label and position alike


@pytest.mark.skipif(UNDER_ADDRESS_SANITIZER, reason="the sanitizer cannot start under an address-space limit")
def test_a_radius_result_too_large_for_memory_is_memory_error_that_counts_the_hits():
    code = """
        import resource
        import numpy as np
        from orvik.neighbors import PointIndex

        rng = np.random.default_rng(1)
        index = PointIndex(rng.uniform(-90, 90, 200_000), rng.uniform(-180, 180, 200_000))
        size = next(int(line.split()[1]) for line in open("/proc/self/status") if line.startswith("VmSize"))
        limit = (size << 10) + (768 << 20)
        resource.setrlimit(resource.RLIMIT_AS, (limit, resource.getrlimit(resource.RLIMIT_AS)[1]))
        try:
            index.query_radius(np.zeros(2000), 0.0, 2e7, method="great-circle")  # 4e8 hits, 6.4 GB
            print("finished")
        except MemoryError as error:
            print(error)
        offsets, hits, _ = index.query_radius(0.0, 0.0, 1e5)  # the next call works
        print(offsets[-1] == hits.size)
    """
    done = subprocess.run(
        [sys.executable, "-P", "-c", textwrap.dedent(code)], capture_output=True, text=True, timeout=300
    )
    assert done.returncode == 0, done.stderr
    message, works = done.stdout.splitlines()
    assert works == "True"
    assert message.startswith("query_radius(): not enough memory for the result: more than "), message
    assert int(message.split("more than ")[1].split()[0]) > 1_000_000, message
