"""What importing orvik._orvik builds: submodules, registration order, docstrings."""

import subprocess
import sys
import textwrap

import pytest

import orvik._orvik as top
from orvik._orvik import distance, geodesic, units

SCALAR_DISTANCE = [
    "geodesic_distance",
    "geodesic_destination",
    "great_circle_distance",
    "great_circle_destination",
    "geodesic_inverse",
]
BATCH_DISTANCE = ["geodesic_distance_batch", "great_circle_distance_batch"]
GEODESIC = ["inverse", "direct", "wgs84_a", "wgs84_f"]
UNITS = [
    "km_to_mi", "mi_to_km", "km_to_nm", "nm_to_km", "m_to_ft", "ft_to_m",
    "m_to_km", "km_to_m", "deg_to_rad", "rad_to_deg", "dms_to_deg", "deg_to_dms",
]  # fmt: skip

SUBMODULES = {"distance": distance, "geodesic": geodesic, "units": units}


def run_python(code):
    """Runs code in a fresh interpreter (with -P, like the suite) and returns its stdout."""
    proc = subprocess.run(
        [sys.executable, "-P", "-c", textwrap.dedent(code)], capture_output=True, text=True, timeout=60
    )
    assert proc.returncode == 0, proc.stderr
    return proc.stdout


def test_top_module():
    assert top.__all__ == ["distance", "geodesic", "units"]
    assert top.__name__ == "orvik._orvik"
    assert top.__doc__ == "The native C++ module exposed as orvik._orvik"
    assert not hasattr(top, "__path__")
    for name, sub in SUBMODULES.items():
        assert getattr(top, name) is sub
        assert type(sub) is type(sys)
        assert sub.__name__ == name
        assert sub.__doc__ is None


def test_submodules_are_not_in_sys_modules():
    ours = [id(sub) for sub in SUBMODULES.values()]
    for key, module in list(sys.modules.items()):
        assert id(module) not in ours, key
        assert key not in SUBMODULES and not key.startswith("orvik._orvik."), key


def test_registration_order():
    # The batch functions come after the scalar ones once they are built.
    assert distance.__all__ in (SCALAR_DISTANCE, SCALAR_DISTANCE + BATCH_DISTANCE)
    assert geodesic.__all__ == GEODESIC
    assert units.__all__ == UNITS


def test_submodules_hold_only_their_functions():
    standard = {"__name__", "__doc__", "__package__", "__loader__", "__spec__", "__all__"}
    for sub in SUBMODULES.values():
        assert set(vars(sub)) == standard | set(sub.__all__)


@pytest.mark.parametrize("module", SUBMODULES.values(), ids=SUBMODULES)
def test_functions_are_bound_to_their_submodule(module):
    for name in module.__all__:
        fn = getattr(module, name)
        assert type(fn) is type(len)
        assert fn.__name__ == name
        assert fn.__self__ is module
        assert fn.__module__ == module.__name__


@pytest.mark.parametrize(
    "fn, signature, doc",
    [
        (distance.geodesic_distance, "(lat1, lon1, lat2, lon2)",
         "Geodesic (ellipsoidal) distance between two points. Returns meters."),
        (distance.geodesic_destination, "(lat1, lon1, bearing, distance)",
         "Geodesic destination given start, azimuth (degrees), and distance (meters).\n"
         "Returns (lat2, lon2)."),
        (distance.great_circle_distance, "(lat1, lon1, lat2, lon2)",
         "Great-circle (spherical) distance. Returns meters."),
        (distance.great_circle_destination, "(lat1, lon1, bearing, distance)",
         "Great-circle destination. Returns (lat2, lon2)."),
        (distance.geodesic_inverse, "(lat1, lon1, lat2, lon2)",
         "Full inverse geodesic result. Returns dict with s12, azi1, azi2, a12, etc."),
        (geodesic.inverse, "(lat1, lon1, lat2, lon2)",
         "Full inverse geodesic problem on WGS84.\n"
         "Returns dict with lat1, lon1, lat2, lon2, s12, azi1, azi2, a12, m12, M12, M21, S12."),
        (geodesic.direct, "(lat1, lon1, azi1, s12)", "Full direct geodesic problem on WGS84."),
        (geodesic.wgs84_a, "()", "WGS84 equatorial radius in meters."),
        (geodesic.wgs84_f, "()", "WGS84 flattening."),
        (units.km_to_mi, "(km)", None),
        (units.rad_to_deg, "(r)", None),
        (units.dms_to_deg, "(degrees, arcminutes, arcseconds)", None),
        (units.deg_to_dms, "(dd)", None),
    ],
    ids=lambda v: getattr(v, "__name__", None),
)  # fmt: skip
def test_docstrings(fn, signature, doc):
    assert fn.__text_signature__ == signature
    assert fn.__doc__ == doc


def test_every_units_function_has_an_empty_description():
    for name in UNITS:
        assert getattr(units, name).__doc__ is None, name


def test_importing_does_not_import_numpy():
    out = run_python("""
        import sys
        import orvik._orvik
        print("numpy" in sys.modules)
    """)
    assert out.split() == ["False"]


def test_entry_point_returns_the_cached_module():
    # The registration is not repeated: what was changed in between stays.
    out = run_python("""
        import importlib, sys
        import orvik._orvik as first
        fn = first.units.km_to_m
        del first.units.km_to_m
        first.extra = 1
        del sys.modules["orvik._orvik"]
        again = importlib.import_module("orvik._orvik")
        print(again is first, hasattr(again.units, "km_to_m"), again.extra, fn(2.0))
    """)
    assert out.split() == ["True", "False", "1", "2000.0"]


def test_second_interpreter_is_refused():
    out = run_python("""
        try:
            import _interpreters as interpreters
            iid = interpreters.create(interpreters.new_config("legacy"))
        except ImportError:
            import _xxsubinterpreters as interpreters
            iid = interpreters.create(isolated=False)
        import orvik._orvik
        interpreters.run_string(iid, '''if True:
            try:
                import orvik._orvik
            except ImportError as e:
                print("refused:", e)
        ''')
        print("still works:", orvik._orvik.units.km_to_m(1.0))
    """)
    assert "refused: PyO3 modules do not yet support subinterpreters, see " in out
    assert "still works: 1000.0" in out
