"""A fixed, reproducible set of calls of every float function and of the
array functions (native and package), with a helper that evaluates them.
Threads and child processes evaluate the same calls and must get what a
single thread of the parent gets.  Child processes import this module by
name, so it keeps its imports light."""

from __future__ import annotations

import math
import random

from function_table import Args, present

EDGE_VALUES = (0.0, -0.0, 90.0, -90.0, 180.0, -180.0, 1e300, -1e-300, math.inf, -math.inf, math.nan, 7)


def sample_calls(per_function: int = 40, seed: int = 20240611) -> list[tuple[str, tuple]]:
    """(qualname, positional arguments) pairs covering ordinary and edge values."""
    rng = random.Random(seed)
    calls = []
    for function in present(Args.FLOATS):
        for i in range(per_function):
            if i % 4 == 3:
                args = tuple(rng.choice(EDGE_VALUES) for _ in function.params)
            else:
                args = tuple(rng.uniform(-200.0, 200.0) * rng.choice((1.0, 1e4)) for _ in function.params)
            calls.append((function.qualname, args))
    return calls


def array_calls(size: int = 3000, seed: int = 20240612) -> list[tuple[str, tuple]]:
    """Calls of the native batch functions ("distance.NAME") and of the
    package's batch and matrix functions ("orvik.distance.NAME"), big enough
    to be split over the worker pool, with NaN inside and a few refusals."""
    import numpy as np

    rng = np.random.default_rng(seed)
    lat = rng.uniform(-90.0, 90.0, (2, size))
    lon = rng.uniform(-180.0, 180.0, (2, size))
    lat[0, ::97] = np.nan
    args = (lat[0], lon[0], lat[1], lon[1])
    calls: list[tuple[str, tuple]] = []
    for model in ("geodesic", "great_circle"):
        batch, matrix = f"{model}_distance_batch", f"{model}_distance_matrix"
        calls += [
            (f"distance.{batch}", args),
            (f"distance.{batch}", (lat, *args[1:])),  # two-dimensional: refused
            (f"distance.{batch}", (*args[:3], lon[1][: size // 2])),  # a later array too short: panics
            (f"orvik.distance.{batch}", (lat[0], lon[0], lat[1][::-1], 13.4)),
            (f"orvik.distance.{batch}", (lat[0, :, None][:60], lon[0][:40], 52.5, 13.4)),
            (f"orvik.distance.{batch}", (list(lat[1][:50]), lon[1][:50], lat[0][::-1][:50], 0.0)),
            (f"orvik.distance.{batch}", (lat[0][:3], lon[0][:4], 0.0, 0.0)),  # shapes do not broadcast
            (f"orvik.distance.{matrix}", (lat[0][: size // 40], lon[0][: size // 40], lat[1][:50], lon[1][:50])),
        ]
    return calls


def _resolve(qualname: str):
    import importlib

    if qualname.startswith("orvik."):
        module, name = qualname.rsplit(".", 1)
        return getattr(importlib.import_module(module), name)
    from orvik import _orvik

    submodule, name = qualname.split(".")
    return getattr(getattr(_orvik, submodule), name)


def evaluate(calls: list[tuple[str, tuple]]) -> list[object]:
    """Each call's result, or ("raised", type name, message)."""
    out = []
    for qualname, args in calls:
        try:
            out.append(_resolve(qualname)(*args))
        except BaseException as exc:  # noqa: BLE001 - the outcome itself is compared
            if not isinstance(exc, Exception) and type(exc).__name__ != "PanicException":
                raise
            out.append(("raised", type(exc).__name__, str(exc)))
    return out
