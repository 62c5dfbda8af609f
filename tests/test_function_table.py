"""The hardening tests reach every function the module exposes."""

from orvik import _orvik

from function_table import FUNCTIONS


def test_every_exposed_function_is_in_the_table():
    listed = {f.qualname for f in FUNCTIONS}
    exposed = {f"{sub}.{name}" for sub in _orvik.__all__ for name in getattr(_orvik, sub).__all__}
    assert exposed <= listed, f"add to tests/function_table.py: {sorted(exposed - listed)}"
    for function in FUNCTIONS:
        fn = function.resolve()
        if fn is not None and function.params:
            assert fn.__text_signature__ == f"({', '.join(function.params)})"
