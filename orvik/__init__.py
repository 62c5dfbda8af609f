"""orvik: fast, exact geodesy for Python.

Great-circle and WGS84 (or other ellipsoid) geodesic distances,
destinations, inverse and direct problems over numbers and arrays, computed
on all cores; rhumb lines, the courses of constant bearing (orvik.rhumb);
exact nearest neighbours among reference points (orvik.neighbors); unit
conversions; and control over how many threads the array functions use.

The submodules are imported when first used, so that `import orvik` (and
the command line, which must take over Ctrl-C at once) costs next to
nothing.
"""

from __future__ import annotations

import importlib

from orvik import _threadpoolctl

# Not from typing, whose import costs more than the rest of this module;
# type checkers treat the name as true all the same.
TYPE_CHECKING = False
if TYPE_CHECKING:
    from typing import Any

    from orvik import distance, geodesic, neighbors, rhumb, units
    from orvik._threads import get_num_threads, num_threads, set_num_threads

_threadpoolctl.install()

_SUBMODULES = ("distance", "geodesic", "neighbors", "rhumb", "units")
_THREAD_CONTROL = ("get_num_threads", "set_num_threads", "num_threads")
__all__ = [*_SUBMODULES, *_THREAD_CONTROL]
__version__ = "0.1.0"


def __getattr__(name: str) -> Any:
    if name in _SUBMODULES:
        return importlib.import_module(f"orvik.{name}")
    if name in _THREAD_CONTROL:
        return getattr(importlib.import_module("orvik._threads"), name)
    raise AttributeError(f"module 'orvik' has no attribute {name!r}")


def __dir__() -> list[str]:
    return sorted({*globals(), *__all__})
