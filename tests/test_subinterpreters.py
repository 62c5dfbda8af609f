"""A second interpreter in the process may not import the module: it gets an
ImportError, and the first interpreter's module keeps working.

Each case runs in a new process, so the main interpreter is the first to
import the module there, and a crash cannot take the test session down."""

from __future__ import annotations

import subprocess
import sys
import textwrap

import pytest

REFUSAL = "PyO3 modules do not yet support subinterpreters, see"

SUBINTERPRETER_CODE = """
try:
    import orvik._orvik
except ImportError as exc:
    print("sub: ImportError:", exc)
else:
    print("sub: imported")
"""

# How each variant makes a legacy interpreter (one that accepts single-phase
# modules) or an isolated one, and runs SUBINTERPRETER_CODE in it.
CREATE_AND_RUN = {
    "legacy": """
        if sys.version_info >= (3, 13):
            import _interpreters as interpreters
            sub = interpreters.create("legacy")
        else:
            import _xxsubinterpreters as interpreters
            sub = interpreters.create(isolated=False)
        interpreters.run_string(sub, CODE)
        interpreters.destroy(sub)
    """,
    "isolated": """
        if sys.version_info >= (3, 13):
            import _interpreters as interpreters
            sub = interpreters.create("isolated")
        else:
            import _xxsubinterpreters as interpreters
            sub = interpreters.create(isolated=True)
        interpreters.run_string(sub, CODE)
        interpreters.destroy(sub)
    """,
    "Py_NewInterpreter": """
        import _testcapi
        _testcapi.run_in_subinterp(CODE)
    """,
}

MAIN_SCRIPT = """
import importlib, sys
import orvik._orvik as first
from orvik._orvik import distance, units
before = (distance.geodesic_distance(10, 20, 30, 40), units.km_to_mi(10))
CODE = {code!r}
sys.stdout.flush()
{create_and_run}
sys.stdout.flush()
after = (distance.geodesic_distance(10, 20, 30, 40), units.km_to_mi(10))
assert after == before, (before, after)
del sys.modules["orvik._orvik"]
again = importlib.import_module("orvik._orvik")
assert again is first, "a re-import in the main interpreter must give the cached module"
print("main: still working")
"""


def run_variant(variant: str) -> subprocess.CompletedProcess:
    script = MAIN_SCRIPT.format(code=SUBINTERPRETER_CODE, create_and_run=textwrap.dedent(CREATE_AND_RUN[variant]))
    return subprocess.run([sys.executable, "-P", "-c", script], capture_output=True, text=True, timeout=120)


def _has(module: str) -> bool:
    try:
        __import__(module)
    except ImportError:
        return False
    return True


@pytest.mark.parametrize(
    "variant",
    [
        "legacy",
        "isolated",
        pytest.param(
            "Py_NewInterpreter", marks=pytest.mark.skipif(not _has("_testcapi"), reason="no _testcapi in this build")
        ),
    ],
)
def test_second_interpreter_is_refused_and_main_keeps_working(variant):
    done = run_variant(variant)
    assert done.returncode == 0, done.stderr
    lines = done.stdout.splitlines()
    assert lines[-1] == "main: still working"
    sub_lines = [line for line in lines if line.startswith("sub: ")]
    assert len(sub_lines) == 1, done.stdout
    assert sub_lines[0].startswith("sub: ImportError: ")
    if variant != "isolated":
        # An isolated interpreter may refuse a single-phase module before its
        # initialisation runs; a legacy one reaches it and gets our refusal.
        assert sub_lines[0].startswith(f"sub: ImportError: {REFUSAL} ")
