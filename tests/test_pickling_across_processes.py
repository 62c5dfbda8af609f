"""Public functions travel to other processes by reference, as process pools
and Dask send them, and compute there what they compute here."""

import multiprocessing
import pickle
import subprocess
import sys
from concurrent.futures import ProcessPoolExecutor

import cloudpickle
import numpy as np
import pytest

from orvik import distance, geodesic, units

CALLS = [
    (units.km_to_m, (1.5,)),
    (units.deg_to_dms, (45.7625,)),
    (geodesic.inverse, (10.0, 20.0, 30.0, 40.0)),
    (distance.great_circle_destination, (52.5, 13.4, 90.0, 1000.0)),
    (distance.geodesic_distance_batch, (52.5, 13.4, [1.0, 2.0], [3.0, 4.0])),
    (distance.great_circle_distance_matrix, ([1.0, 2.0], [3.0, 4.0], [5.0], [6.0])),
]


def apply(function, args):
    return function(*args)


def same(a, b):
    if isinstance(a, np.ndarray):
        return a.dtype == b.dtype and a.shape == b.shape and a.tobytes() == b.tobytes()
    return a == b


def test_process_pool_executor_with_spawned_workers():
    with ProcessPoolExecutor(1, mp_context=multiprocessing.get_context("spawn")) as pool:
        results = [pool.submit(apply, f, args) for f, args in CALLS]
        for (f, args), future in zip(CALLS, results, strict=True):
            assert same(future.result(timeout=60), f(*args)), f.__name__


# Forking is still the default start method on Linux before Python 3.14, and
# the parent may already have started the worker pool's threads.
@pytest.mark.filterwarnings("ignore:This process .* is multi-threaded:DeprecationWarning")
def test_multiprocessing_pool_with_forked_workers():
    distance.geodesic_distance_matrix([1.0, 2.0], [3.0, 4.0], [5.0, 6.0], [7.0, 8.0])
    with multiprocessing.get_context("fork").Pool(1) as pool:
        results = pool.starmap(apply, CALLS)
    for (f, args), result in zip(CALLS, results, strict=True):
        assert same(result, f(*args)), f.__name__


CHILD = """
import pickle, sys
import cloudpickle
calls = cloudpickle.loads(sys.stdin.buffer.read())
sys.stdout.buffer.write(pickle.dumps([f(*args) for f, args in calls]))
"""


def test_cloudpickle_into_a_fresh_interpreter():
    # The child never imported orvik: unpickling by reference imports it.
    done = subprocess.run(
        [sys.executable, "-P", "-c", CHILD],
        input=cloudpickle.dumps(CALLS),
        capture_output=True,
        check=True,
        timeout=60,
    )
    for (f, args), result in zip(CALLS, pickle.loads(done.stdout), strict=True):
        assert same(result, f(*args)), f.__name__
