"""Both extension modules run on one copy of the native code, so the
process has one worker pool, one WGS84 solver and one PanicException type."""

import os
import pathlib
import re
import shutil
import subprocess
import sys

import pytest

import orvik
from orvik import _export, _orvik

PACKAGE = pathlib.Path(orvik.__file__).parent
LIBRARY = PACKAGE / "_libs" / "liborvik_native.so"
MODULES = [pathlib.Path(_orvik.__file__), pathlib.Path(_export.__file__)]


def dynamic_symbols(path, *flags):
    done = subprocess.run(
        ["nm", "-D", "-C", *flags, str(path)], capture_output=True, text=True, check=True
    )
    # "[address] TYPE name", the name demangled (and so possibly with blanks).
    lines = (re.match(r"\s*(?:[0-9a-f]+\s+)?[A-Za-z]\s+(.*)", line) for line in done.stdout.splitlines())
    return {m.group(1) for m in lines if m}


def test_loaded_once_from_the_package():
    mapped = {
        line.split()[-1]
        for line in pathlib.Path("/proc/self/maps").read_text().splitlines()
        if "liborvik_native" in line
    }
    assert mapped == {str(LIBRARY.resolve())}


@pytest.mark.skipif(shutil.which("nm") is None, reason="needs nm (binutils)")
@pytest.mark.parametrize("module", MODULES, ids=lambda p: p.name.split(".")[0])
def test_modules_call_the_shared_code_instead_of_carrying_it(module):
    defined = dynamic_symbols(module, "--defined-only")
    undefined = dynamic_symbols(module, "--undefined-only")
    # Only the entry point is exported; no orvik code of its own is visible...
    assert {s for s in defined if "orvik" in s or s.startswith("PyInit")} == {
        f"PyInit_{module.name.split('.')[0]}"
    }
    # ...and the process-wide pieces it uses resolve into the shared library.
    shared = dynamic_symbols(LIBRARY, "--defined-only")
    used = {s for s in undefined if s.startswith("orvik::")}
    assert used and used <= shared
    if module.name.startswith("_export"):
        assert any(s.startswith("orvik::interop::parallel_map(") for s in used)
    assert any(s.startswith("orvik::core::wgs84()") for s in used)


THREADS = """
import os
import numpy as np
from orvik import _orvik, distance

def threads():
    return len(os.listdir("/proc/self/task"))

x = np.linspace(-60.0, 60.0, 1000)
distance.geodesic_distance_matrix(x, x, x[:5], x[:5])
after_package = threads()
native_batch = getattr(_orvik.distance, "geodesic_distance_batch", None)
if native_batch is not None:
    native_batch(x, x, x, x)
print(after_package, threads())
"""


def test_one_worker_pool_serves_both_modules():
    env = {**os.environ, "RAYON_NUM_THREADS": "3"}
    done = subprocess.run(
        [sys.executable, "-P", "-c", THREADS], capture_output=True, text=True, env=env, check=True
    )
    after_package, after_native = map(int, done.stdout.split())
    assert after_native == after_package
