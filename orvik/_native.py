"""The functions of orvik._orvik, re-homed in the package's own modules.

The builtins of orvik._orvik report the bare name of their submodule
("units") as ``__module__``, under which pickle cannot find them.  Each
package module holds copies made by orvik._export.rebind: the same method
definition, entry point and ``__self__``, so a call costs exactly what the
native call costs, but with ``__module__`` naming the package module, where
pickle, multiprocessing, cloudpickle and Dask look them up.
"""

from __future__ import annotations

from types import ModuleType
from typing import Any

from orvik._export import rebind


def publish(native: ModuleType, namespace: dict[str, Any]) -> list[str]:
    """Puts a re-homed copy of each function of `native` into `namespace`.

    Returns the names, in the native module's ``__all__`` order.
    """
    module_name = namespace["__name__"]
    names = list(native.__all__)
    for name in names:
        namespace[name] = rebind(getattr(native, name), module_name)
    return names
