"""The compiled functions of the package's modules, placed by the engine's
own tables: each module receives the functions whose rows name it, in table
order, and lists them in its __all__."""

from __future__ import annotations

from typing import Any

from orvik import _engine


def export(namespace: dict[str, Any]) -> list[str]:
    """Puts the module's compiled functions into `namespace` (a module's
    globals()) and returns their names."""
    module = namespace["__name__"]
    names = [row["name"] for row in _engine._function_table() if row["module"] == module]
    own = _engine._functions.get(module, {})
    namespace.update((name, own[name]) for name in names)
    return names
