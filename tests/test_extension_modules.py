"""The two extension modules stand alone: each carries the code it runs,
exports nothing but its entry point, and starts a worker pool of its own."""

import os
import pathlib
import re
import shutil
import subprocess
import sys

import pytest

from orvik import _engine, _orvik

MODULES = [pathlib.Path(_orvik.__file__), pathlib.Path(_engine.__file__)]


def dynamic_symbols(path, *flags):
    done = subprocess.run(["nm", "-D", "-C", *flags, str(path)], capture_output=True, text=True, check=True)
    # "[address] TYPE name", the name demangled (and so possibly with blanks).
    lines = (re.match(r"\s*(?:[0-9a-f]+\s+)?[A-Za-z]\s+(.*)", line) for line in done.stdout.splitlines())
    return {m.group(1) for m in lines if m}


@pytest.mark.skipif(shutil.which("nm") is None, reason="needs nm (binutils)")
@pytest.mark.parametrize("module", MODULES, ids=lambda p: p.name.split(".")[0])
def test_only_the_entry_point_is_exported(module):
    assert dynamic_symbols(module, "--defined-only") == {f"PyInit_{module.name.split('.')[0]}"}
    # Nothing of ours is left for another shared object to provide.
    assert not {s for s in dynamic_symbols(module, "--undefined-only") if "orvik" in s}


@pytest.mark.skipif(shutil.which("ldd") is None, reason="needs ldd")
@pytest.mark.parametrize("module", MODULES, ids=lambda p: p.name.split(".")[0])
def test_no_shared_library_of_ours_is_needed(module):
    needed = subprocess.run(["ldd", str(module)], capture_output=True, text=True, check=True).stdout
    assert "orvik" not in needed and "GeographicLib" not in needed


THREADS = """
import os
import numpy as np
from orvik import _orvik, distance

def threads():
    return len(os.listdir("/proc/self/task"))

x = np.linspace(-60.0, 60.0, 1000)
before = threads()
distance.geodesic_distance_matrix(x, x, x[:5], x[:5])
after_package = threads()
_orvik.distance.geodesic_distance_batch(x, x, x, x)
print(before, after_package, threads())
"""


def test_each_module_starts_a_pool_of_its_own():
    env = {**os.environ, "RAYON_NUM_THREADS": "3"}
    done = subprocess.run([sys.executable, "-P", "-c", THREADS], capture_output=True, text=True, env=env, check=True)
    before, after_package, after_native = map(int, done.stdout.split())
    assert after_package == before + 3
    assert after_native == after_package + 3
