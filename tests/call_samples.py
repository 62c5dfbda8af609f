"""A fixed, reproducible set of calls of every float function, with a helper
that evaluates them.  Threads and child processes evaluate the same calls and
must get what a single thread of the parent gets.  Child processes import
this module by name, so it keeps its imports light."""

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


def _resolve(qualname: str):
    from orvik import _orvik

    submodule, name = qualname.split(".")
    return getattr(getattr(_orvik, submodule), name)


def evaluate(calls: list[tuple[str, tuple]]) -> list[object]:
    """Each call's result, or ("raised", type name, message)."""
    out = []
    for qualname, args in calls:
        try:
            out.append(_resolve(qualname)(*args))
        except Exception as exc:  # noqa: BLE001 - the outcome itself is compared
            out.append(("raised", type(exc).__name__, str(exc)))
    return out
