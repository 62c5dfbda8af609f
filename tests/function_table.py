"""Every Python-visible function of orvik._orvik, with what the hardening tests
need to call it: its parameters, what kind of arguments it takes and what kind
of result it gives.  The leak, fuzz, thread and process tests are driven from
this one table, so a function added here is hardened everywhere at once.
"""

from __future__ import annotations

import enum
from dataclasses import dataclass

from orvik import _orvik


class Args(enum.Enum):
    NONE = "none"  # METH_NOARGS: the interpreter itself rejects any argument
    FLOATS = "floats"  # every parameter converted to float64
    ARRAYS = "arrays"  # every parameter a one-dimensional float64 array


class Returns(enum.Enum):
    FLOAT = "float"
    PAIR = "pair"  # (lat2, lon2)
    TRIPLE = "triple"  # (degrees, minutes, seconds)
    DICT = "dict"  # float values under fixed keys, in a fixed order
    ARRAY = "array"  # a new float64 array


PAIR = ("lat1", "lon1", "lat2", "lon2")
DESTINATION = ("lat1", "lon1", "bearing", "distance")
INVERSE_KEYS = ("lat1", "lon1", "lat2", "lon2", "s12", "azi1", "azi2", "a12")
FULL_INVERSE_KEYS = INVERSE_KEYS + ("m12", "M12", "M21", "S12")


@dataclass(frozen=True)
class Function:
    submodule: str
    name: str
    params: tuple[str, ...]
    args: Args
    returns: Returns
    # Plausible argument values, one per parameter, for calls that must work.
    sample: tuple[float, ...] = ()
    dict_keys: tuple[str, ...] = ()

    @property
    def qualname(self) -> str:
        return f"{self.submodule}.{self.name}"

    def resolve(self):
        """The function object, or None when this build does not have it."""
        return getattr(getattr(_orvik, self.submodule), self.name, None)

    def __str__(self) -> str:  # readable pytest ids
        return self.qualname


def _unit(name: str, param: str, sample: float = 12.5) -> Function:
    return Function("units", name, (param,), Args.FLOATS, Returns.FLOAT, (sample,))


FUNCTIONS: tuple[Function, ...] = (
    Function("distance", "geodesic_distance", PAIR, Args.FLOATS, Returns.FLOAT, (10.0, 20.0, 30.0, 40.0)),
    Function("distance", "geodesic_destination", DESTINATION, Args.FLOATS, Returns.PAIR, (10.0, 20.0, 45.0, 1e6)),
    Function("distance", "great_circle_distance", PAIR, Args.FLOATS, Returns.FLOAT, (10.0, 20.0, 30.0, 40.0)),
    Function(
        "distance", "great_circle_destination", DESTINATION, Args.FLOATS, Returns.PAIR, (10.0, 20.0, 45.0, 1e6)
    ),
    Function(
        "distance", "geodesic_inverse", PAIR, Args.FLOATS, Returns.DICT, (10.0, 20.0, 30.0, 40.0), INVERSE_KEYS
    ),
    Function("distance", "geodesic_distance_batch", PAIR, Args.ARRAYS, Returns.ARRAY),
    Function("distance", "great_circle_distance_batch", PAIR, Args.ARRAYS, Returns.ARRAY),
    Function("geodesic", "inverse", PAIR, Args.FLOATS, Returns.DICT, (10.0, 20.0, 30.0, 40.0), FULL_INVERSE_KEYS),
    Function(
        "geodesic",
        "direct",
        ("lat1", "lon1", "azi1", "s12"),
        Args.FLOATS,
        Returns.DICT,
        (10.0, 20.0, 45.0, 1e6),
        INVERSE_KEYS,
    ),
    Function("geodesic", "wgs84_a", (), Args.NONE, Returns.FLOAT),
    Function("geodesic", "wgs84_f", (), Args.NONE, Returns.FLOAT),
    _unit("km_to_mi", "km"),
    _unit("mi_to_km", "mi"),
    _unit("km_to_nm", "km"),
    _unit("nm_to_km", "nm"),
    _unit("m_to_ft", "m"),
    _unit("ft_to_m", "ft"),
    _unit("m_to_km", "m"),
    _unit("km_to_m", "km"),
    _unit("deg_to_rad", "d"),
    _unit("rad_to_deg", "r"),
    Function(
        "units", "dms_to_deg", ("degrees", "arcminutes", "arcseconds"), Args.FLOATS, Returns.FLOAT, (12, 34, 56.7)
    ),
    Function("units", "deg_to_dms", ("dd",), Args.FLOATS, Returns.TRIPLE, (-12.582,)),
)


def present(kind: Args | None = None) -> list[Function]:
    """The table's functions that this build has, optionally of one kind."""
    return [f for f in FUNCTIONS if f.resolve() is not None and (kind is None or f.args is kind)]


def check_result_shape(function: Function, result: object) -> None:
    """Asserts that `result` has the type and layout `function` promises."""
    if function.returns is Returns.FLOAT:
        assert type(result) is float
    elif function.returns in (Returns.PAIR, Returns.TRIPLE):
        assert type(result) is tuple
        assert len(result) == (2 if function.returns is Returns.PAIR else 3)
        assert all(type(x) is float for x in result)
    elif function.returns is Returns.DICT:
        assert type(result) is dict
        assert tuple(result) == function.dict_keys
        assert all(type(x) is float for x in result.values())
    else:
        import numpy as np

        assert type(result) is np.ndarray and result.dtype == np.float64 and result.ndim == 1


def same_result(a: object, b: object) -> bool:
    """Equality that treats NaN as equal to NaN and tells -0.0 from 0.0."""
    if type(a) is not type(b):
        return False
    if isinstance(a, float):
        return repr(a) == repr(b)
    if isinstance(a, tuple):
        return len(a) == len(b) and all(same_result(x, y) for x, y in zip(a, b))
    if isinstance(a, dict):
        return tuple(a) == tuple(b) and all(same_result(a[k], b[k]) for k in a)
    if type(a).__name__ != "ndarray":
        return a == b
    import numpy as np

    return a.shape == b.shape and bool(np.all((a == b) | (np.isnan(a) & np.isnan(b))))
