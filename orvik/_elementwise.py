"""The functions of numbers applied to array-likes.

orvik.distance.geodesic_distance and its kind are compiled functions that
compute numbers directly; when an argument is an array-like they hand the
whole call, as it was made, to the function of the same name here.  Each
returns what the function of numbers returns, with arrays in place of
floats (Series for Series).
"""

from __future__ import annotations

from typing import Any

from orvik import _arrays, _engine, geodesic
from orvik import distance as _distance

_PAIR = ("lat1", "lon1", "lat2", "lon2")


def geodesic_distance(lat1: Any, lon1: Any, lat2: Any, lon2: Any, *, ellipsoid: Any = None) -> Any:
    return _distance.geodesic_distance_batch(lat1, lon1, lat2, lon2, ellipsoid=ellipsoid)


def great_circle_distance(lat1: Any, lon1: Any, lat2: Any, lon2: Any, *, radius: Any = None) -> Any:
    return _distance.great_circle_distance_batch(lat1, lon1, lat2, lon2, radius=radius)


def geodesic_destination(
    lat1: Any, lon1: Any, bearing: Any, distance: Any, *, ellipsoid: Any = None
) -> tuple[Any, Any]:
    return _distance.geodesic_destination_batch(lat1, lon1, bearing, distance, ellipsoid=ellipsoid)


def great_circle_destination(
    lat1: Any, lon1: Any, bearing: Any, distance: Any, *, radius: Any = None
) -> tuple[Any, Any]:
    return _distance.great_circle_destination_batch(lat1, lon1, bearing, distance, radius=radius)


def _with_echoes(function: str, params: tuple[str, ...], values: tuple[Any, ...], solved: dict[str, Any],
                 keys: tuple[str, ...]) -> dict[str, Any]:
    """The dict of the function of numbers: the arguments echoed (broadcast)
    and the solved fields, in the function's own key order."""
    c = _arrays.Converted(function, params, values)
    echoed = {p: c.give(c.np.array(a)) for p, a in zip(params, c.arrays, strict=True)}
    return {k: echoed[k] if k in echoed else solved[k] for k in keys}


_INVERSE_KEYS = ("lat1", "lon1", "lat2", "lon2", "s12", "azi1", "azi2", "a12")
_FULL_KEYS = _INVERSE_KEYS + ("m12", "M12", "M21", "S12")


def geodesic_inverse(lat1: Any, lon1: Any, lat2: Any, lon2: Any, *, ellipsoid: Any = None) -> dict[str, Any]:
    values = (lat1, lon1, lat2, lon2)
    solved = geodesic.inverse_batch(*values, outputs=("s12", "azi1", "azi2", "a12"), ellipsoid=ellipsoid)
    return _with_echoes("geodesic_inverse", _PAIR, values, solved, _INVERSE_KEYS)


def inverse(lat1: Any, lon1: Any, lat2: Any, lon2: Any, *, ellipsoid: Any = None) -> dict[str, Any]:
    values = (lat1, lon1, lat2, lon2)
    solved = geodesic.inverse_batch(*values, outputs=_FULL_KEYS[4:], ellipsoid=ellipsoid)
    return _with_echoes("inverse", _PAIR, values, solved, _FULL_KEYS)


def direct(lat1: Any, lon1: Any, azi1: Any, s12: Any, *, ellipsoid: Any = None) -> dict[str, Any]:
    values = (lat1, lon1, azi1, s12)
    params = ("lat1", "lon1", "azi1", "s12")
    solved = geodesic.direct_batch(*values, outputs=("lat2", "lon2", "azi2"), ellipsoid=ellipsoid)
    c = _arrays.Converted("direct", params, values)
    # As for numbers: a12 is a fixed zero here; direct_batch gives the arc length.
    solved["a12"] = c.give(c.np.zeros(c.shape))
    echoed = {p: c.give(c.np.array(a)) for p, a in zip(params, c.arrays, strict=True)}
    keys = ("lat1", "lon1", "lat2", "lon2", "s12", "azi1", "azi2", "a12")
    return {k: echoed[k] if k in echoed else solved[k] for k in keys}


def _unit(name: str, param: str) -> Any:
    def convert(*args: Any, **kwargs: Any) -> Any:
        # The compiled function has bound the call already: one argument,
        # by position or by its name.
        value = args[0] if args else kwargs[param]
        c = _arrays.Converted(name, (param,), (value,))
        out = c.empty()
        _engine.unit_into(name, out, c.arrays[0])
        return c.give(out)

    convert.__name__ = convert.__qualname__ = name
    return convert


km_to_mi = _unit("km_to_mi", "km")
mi_to_km = _unit("mi_to_km", "mi")
km_to_nm = _unit("km_to_nm", "km")
nm_to_km = _unit("nm_to_km", "nm")
m_to_ft = _unit("m_to_ft", "m")
ft_to_m = _unit("ft_to_m", "ft")
m_to_km = _unit("m_to_km", "m")
km_to_m = _unit("km_to_m", "km")
deg_to_rad = _unit("deg_to_rad", "d")
rad_to_deg = _unit("rad_to_deg", "r")


def dms_to_deg(degrees: Any, arcminutes: Any, arcseconds: Any) -> Any:
    c = _arrays.Converted("dms_to_deg", ("degrees", "arcminutes", "arcseconds"),
                          (degrees, arcminutes, arcseconds))  # fmt: skip
    out = c.empty()
    _engine.dms_to_deg_into(out, *c.arrays)
    return c.give(out)


def deg_to_dms(dd: Any) -> tuple[Any, Any, Any]:
    c = _arrays.Converted("deg_to_dms", ("dd",), (dd,))
    parts = (c.empty(), c.empty(), c.empty())
    _engine.deg_to_dms_into(*parts, c.arrays[0])
    return (c.give(parts[0]), c.give(parts[1]), c.give(parts[2]))
