"""Shared helpers of the batch tests: the functions, panic capture, and a
ctypes view of the borrow registry that the module installs in NumPy."""

import ctypes
import importlib

import numpy as np
import pytest

from orvik._orvik import distance

BATCH = {
    "geodesic": (distance.geodesic_distance_batch, distance.geodesic_distance),
    "great_circle": (distance.great_circle_distance_batch, distance.great_circle_distance),
}
PARAMS = ("lat1", "lon1", "lat2", "lon2")
REGISTRY_ATTRIBUTE = "_orvik_borrow_checking_api"


def panic_message(call, *args, **kwargs):
    """Runs `call`, which must raise PanicException (a BaseException only),
    and returns the exception's text."""
    try:
        call(*args, **kwargs)
    except Exception as error:  # noqa: BLE001 - a panic must not land here
        pytest.fail(f"caught as Exception: {error!r}")
    except BaseException as error:
        assert type(error).__name__ == "PanicException"
        return str(error)
    pytest.fail("no panic")


def points(n, seed=0):
    rng = np.random.default_rng(seed)
    lat = lambda: rng.uniform(-90, 90, n)  # noqa: E731
    lon = lambda: rng.uniform(-180, 180, n)  # noqa: E731
    return [lat(), lon(), lat(), lon()]


def multiarray():
    major = int(np.__version__.split(".")[0])
    return importlib.import_module("numpy._core.multiarray" if major >= 2 else "numpy.core.multiarray")


_Entry = ctypes.PYFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.py_object)
_Release = ctypes.PYFUNCTYPE(None, ctypes.c_void_p, ctypes.py_object)


class BorrowCheckingApi(ctypes.Structure):
    # PYFUNCTYPE keeps the interpreter lock held during the calls, as the
    # registry requires.
    _fields_ = [
        ("version", ctypes.c_uint64),
        ("state", ctypes.c_void_p),
        ("acquire_shared", _Entry),
        ("acquire_mut_shared", _Entry),
        ("release_shared", _Release),
        ("release_mut_shared", _Release),
    ]


class Registry:
    """The registry record, called as another extension module would."""

    def __init__(self):
        capsule = getattr(multiarray(), REGISTRY_ATTRIBUTE)
        get_pointer = ctypes.pythonapi.PyCapsule_GetPointer
        get_pointer.restype = ctypes.c_void_p
        get_pointer.argtypes = [ctypes.py_object, ctypes.c_char_p]
        self._capsule = capsule
        self.record = BorrowCheckingApi.from_address(get_pointer(capsule, REGISTRY_ATTRIBUTE.encode()))

    def acquire_mut(self, array):
        return self.record.acquire_mut_shared(self.record.state, array)

    def release_mut(self, array):
        self.record.release_mut_shared(self.record.state, array)

    def acquire(self, array):
        return self.record.acquire_shared(self.record.state, array)

    def release(self, array):
        self.record.release_shared(self.record.state, array)

    def assert_unborrowed(self, *arrays):
        """No borrow of any kind is left on the arrays: each can be taken
        exclusively (and is given back at once)."""
        for array in arrays:
            assert self.acquire_mut(array) == 0
            self.release_mut(array)


def registry():
    # The module installs the registry on its first borrow.
    one = np.zeros(1)
    distance.great_circle_distance_batch(one, one, one, one)
    return Registry()
