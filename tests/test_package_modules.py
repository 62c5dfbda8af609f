"""The package modules define each of their functions once, under an
importable name that pickle finds, and call like the native functions."""

import pickle

import cloudpickle
import pytest

import orvik
from orvik import _orvik

NATIVE = {"distance": _orvik.distance, "geodesic": _orvik.geodesic, "units": _orvik.units}
PACKAGE = {"distance": orvik.distance, "geodesic": orvik.geodesic, "units": orvik.units}
# Functions the package offers for arrays of any shape, in Python.
ARRAY_FUNCTIONS = {"geodesic_distance_batch", "great_circle_distance_batch"}

NUMBER_FUNCTIONS = [
    (sub, name)
    for sub, native in NATIVE.items()
    for name in native.__all__
    if name not in ARRAY_FUNCTIONS
]
MODULES = {**PACKAGE, "rhumb": orvik.rhumb}
PUBLIC = [(sub, name) for sub, module in MODULES.items() for name in module.__all__]


def test_import_forms():
    import orvik.distance
    from orvik.geodesic import inverse
    from orvik.units import km_to_mi

    assert orvik.distance.great_circle_distance(0, 0, 0, 1) > 0
    assert inverse(0, 0, 1, 1)["s12"] > 0
    assert km_to_mi(1.609344) == 1.0


@pytest.mark.parametrize("sub", sorted(NATIVE))
def test_package_module_offers_every_native_function(sub):
    assert set(NATIVE[sub].__all__) <= set(PACKAGE[sub].__all__)
    for name in PACKAGE[sub].__all__:
        assert callable(getattr(PACKAGE[sub], name))


@pytest.mark.parametrize(("sub", "name"), NUMBER_FUNCTIONS)
def test_function_of_numbers_is_the_packages_own(sub, name):
    native, ours = getattr(NATIVE[sub], name), getattr(PACKAGE[sub], name)
    assert ours is not native and type(ours) is type(native)
    assert ours.__module__ == f"orvik.{sub}"
    assert (ours.__name__, ours.__qualname__) == (native.__name__, native.__qualname__)
    # The native parameters come first, in the same order; the package adds
    # keyword-only options (ellipsoid=, radius=).
    assert ours.__text_signature__.startswith(native.__text_signature__.rstrip(")"))
    # The package must not touch the native module's own layout.
    assert native.__module__ == sub


@pytest.mark.parametrize(("sub", "name"), PUBLIC)
def test_every_public_function_pickles_by_reference(sub, name):
    f = getattr(MODULES[sub], name)
    assert pickle.loads(pickle.dumps(f)) is f
    assert cloudpickle.loads(cloudpickle.dumps(f)) is f
    # By reference: the pickle names the module, it does not hold code.
    assert f"orvik.{sub}".encode() in pickle.dumps(f)


@pytest.mark.parametrize(
    ("call", "args", "kwargs"),
    [
        ("units.km_to_m", (1.5,), {}),
        ("units.dms_to_deg", (), {"degrees": 1, "arcminutes": 30, "arcseconds": 0}),
        ("units.deg_to_dms", (-0.5,), {}),
        ("distance.geodesic_inverse", (10, 20, 30, 40), {}),
        ("geodesic.wgs84_f", (), {}),
        # Errors come from the same entry point, in the same words.
        ("units.km_to_m", (), {}),
        ("units.km_to_m", ("x",), {}),
        ("units.deg_to_dms", (), {"deg": 1}),
        ("distance.great_circle_distance", (1, 2, 3), {}),
        ("geodesic.wgs84_a", (1,), {}),
    ],
)
def test_call_behaves_like_the_native_call(call, args, kwargs):
    sub, name = call.split(".")

    def outcome(module):
        try:
            return ("value", getattr(module, name)(*args, **kwargs))
        except Exception as error:  # noqa: BLE001 - the outcome is compared
            # The interpreter's own messages (a builtin that takes no
            # arguments) name the function by its __module__.
            return (type(error), str(error).replace("orvik.", ""))

    assert outcome(PACKAGE[sub]) == outcome(NATIVE[sub])
