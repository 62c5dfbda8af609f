"""When memory runs out, every compiled function raises MemoryError: no
PanicException, no abort, nothing half-built.  Each call is repeated with
its 1st, 2nd, ... allocation failing in turn."""

from __future__ import annotations

import inspect

import numpy as np
import pytest

import orvik
from orvik import _engine, _orvik

_testcapi = pytest.importorskip("_testcapi")

x = np.linspace(1.0, 2.0, 5)
_index = orvik.neighbors.PointIndex(x, x)


# The functions of whole lines, with arguments they accept.
LINE_CALLS = {
    "line_points": lambda f: f(x, x, x[::-1], x, n=4),
    "path_length": lambda f: f([x, x[:3]], [x, x[:3]]),
    "polygon_area": lambda f: f(x, x[::-1]),
    "distance_to_line": lambda f: f(x, x, x, x[::-1]),
}


def _number_calls():
    for sub in ("distance", "geodesic", "units"):
        for module in (getattr(_orvik, sub), getattr(orvik, sub)):
            for name in module.__all__:
                f = getattr(module, name)
                if type(f) is not type(len):
                    continue  # functions written in Python over the compiled ones
                if name in LINE_CALLS:
                    yield f"{module.__name__}.{name}", lambda f=f, name=name: LINE_CALLS[name](f)
                    continue
                if name.endswith(("_batch", "_matrix")):
                    yield f"{module.__name__}.{name}", lambda f=f: f(x, x, x, x)
                    continue
                required = [p for p in inspect.signature(f).parameters.values() if p.default is p.empty]
                yield f"{module.__name__}.{name}", lambda f=f, n=len(required): f(*(1.5,) * n)


CALLS = dict(_number_calls())
CALLS.update(
    {
        "geodesic inverse over arrays, GRS80": lambda: orvik.geodesic.inverse(x, x, x, x, ellipsoid="GRS80"),
        "chosen outputs over arrays": lambda: orvik.geodesic.inverse_batch(x, 1.0, x, 2.0, outputs=["S12", "s12"]),
        "geodesic direct over arrays": lambda: orvik.geodesic.direct(x, x, x, x),
        "great-circle distances of lists": lambda: orvik.distance.great_circle_distance([1.0, 2.0], 3.0, x[:2], 4.0),
        "unit conversion over an array": lambda: orvik.units.km_to_m(x),
        "point index build": lambda: orvik.neighbors.PointIndex(x, x, ellipsoid="GRS80"),
        "point index query": lambda: _index.query(x, x, 2, max_distance=1e6),
        "point index radius query": lambda: _index.query_radius(x, x, x * 1e5, method="great-circle"),
        "point index pickle": lambda: _index.__reduce__(),
    }
)


def _with_failing_allocation(call, k: int) -> str:
    _testcapi.set_nomemory(k, k + 1)
    try:
        call()
    except MemoryError:
        return "MemoryError"
    except BaseException as error:  # noqa: BLE001 - a panic would land here
        return type(error).__name__
    finally:
        _testcapi.remove_mem_hooks()
    return "ok"


@pytest.mark.parametrize("name", sorted(CALLS))
def test_out_of_memory_is_memory_error(name):
    call = CALLS[name]
    call()  # first-use caches are filled
    outcomes = {_with_failing_allocation(call, k) for k in range(30)}
    assert outcomes <= {"ok", "MemoryError"}, outcomes
