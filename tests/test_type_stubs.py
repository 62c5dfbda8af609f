"""The stubs describe the functions as they are, and type-check user code."""

import ast
import inspect
import pathlib
import subprocess
import sys
import textwrap

import pytest

import orvik
from orvik import _orvik

PACKAGE = pathlib.Path(orvik.__file__).parent


def stub_functions(stub, container=None):
    """{name: [parameter names]} of the functions of a stub (or of one of
    its classes)."""
    tree = ast.parse((PACKAGE / stub).read_text())
    body = tree.body
    if container is not None:
        body = next(n for n in body if isinstance(n, ast.ClassDef) and n.name == container).body
    # Overloads repeat one signature's parameter names; the first is kept.
    functions = {}
    for n in body:
        if isinstance(n, ast.FunctionDef):
            functions.setdefault(n.name, [a.arg for a in n.args.posonlyargs + n.args.args + n.args.kwonlyargs])
    return functions


def runtime_parameters(function):
    return list(inspect.signature(function).parameters)


NATIVE_BATCH = {"geodesic_distance_batch", "great_circle_distance_batch"}
STUBS = [
    ("distance.pyi", None, orvik.distance),
    ("geodesic.pyi", None, orvik.geodesic),
    ("rhumb.pyi", None, orvik.rhumb),
    ("units.pyi", None, orvik.units),
    ("_orvik.pyi", "_Distance", _orvik.distance),
    ("_orvik.pyi", "_Geodesic", _orvik.geodesic),
    ("_orvik.pyi", "_Units", _orvik.units),
]


@pytest.mark.parametrize(("stub", "container", "module"), STUBS, ids=lambda v: getattr(v, "__name__", v))
def test_stub_signatures_match_the_functions(stub, container, module):
    functions = stub_functions(stub, container)
    assert set(module.__all__) <= set(functions)
    # A build whose native module lacks the batch functions has fewer names.
    assert set(functions) - set(module.__all__) <= NATIVE_BATCH
    for name in module.__all__:
        assert functions[name] == runtime_parameters(getattr(module, name)), name


def test_point_index_stub_matches_the_class():
    from orvik.neighbors import PointIndex

    methods = stub_functions("neighbors.pyi", "PointIndex")
    assert methods["__init__"] == ["self", *runtime_parameters(PointIndex)]
    for name in ("query", "query_radius"):
        assert methods[name] == runtime_parameters(getattr(PointIndex, name)), name


GOOD = """
import numpy as np
from numpy.typing import NDArray

import orvik
from orvik import distance, units
from orvik._orvik import units as native_units
from orvik.geodesic import inverse, wgs84_a

d: float = distance.geodesic_distance(52.5, 13.4, 48.9, 2.35)
lat2, lon2 = distance.great_circle_destination(0, 0, 90, 1000)
area: float = inverse(0, 0, 1, 1)["S12"] + wgs84_a()
far: NDArray[np.float64] = distance.geodesic_distance_batch(52.5, 13.4, [1.0, 2.0], (3, 4))
grid: NDArray[np.float64] = distance.great_circle_distance_matrix([1], [2], np.zeros(3), [4])
k: float = units.km_to_m(km=1.5) + native_units.m_to_ft(1) + orvik.units.deg_to_dms(1.5)[0]
index = orvik.neighbors.PointIndex(np.zeros(3), [1.0, 2.0, 3.0], ellipsoid="GRS80")
found: tuple[NDArray[np.float64], NDArray[np.int64]] = index.query(1.0, 2.0, 3, max_distance=1e5)
offsets, hits, metres = index.query_radius([1.0], 2.0, 1e4, method="great-circle", sort=False)
n: int = len(index) + index.nbytes
"""

BAD = """
import orvik
from orvik import distance, units

units.km_to_m("1.5")
units.km_to_m(kilometres=1.5)
name: str = distance.great_circle_distance(1, 2, 3, 4)
distance.geodesic_inverse(1, 2, 3, 4)["m12"]
orvik.neighbors.PointIndex([1.0], [2.0]).query(1, 2, method="haversine")
"""


def test_mypy_checks_code_using_the_public_api(tmp_path):
    (tmp_path / "good.py").write_text(textwrap.dedent(GOOD))
    (tmp_path / "bad.py").write_text(textwrap.dedent(BAD))
    done = subprocess.run(
        [sys.executable, "-P", "-m", "mypy", "--strict", "--no-error-summary",
         "--cache-dir", str(tmp_path / "cache"), "good.py", "bad.py"],
        cwd=tmp_path, capture_output=True, text=True, timeout=240,
    )  # fmt: skip
    errors = [line for line in done.stdout.splitlines() if ": error:" in line]
    assert not [e for e in errors if e.startswith("good.py")], done.stdout
    # Each misuse in bad.py is caught, on its own line.
    assert sorted(int(e.split(":")[1]) for e in errors) == [5, 6, 7, 8, 9], done.stdout


def test_stubs_are_generated_from_the_function_tables():
    script = pathlib.Path(__file__).resolve().parents[1] / "scripts" / "generate_stubs.py"
    done = subprocess.run([sys.executable, "-P", str(script), "--check"], capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, done.stderr
