"""The functions of numbers applied to array-likes.

orvik.distance.geodesic_distance and its kind are compiled functions that
compute numbers directly; when an argument is an array-like they hand the
whole call, as it was made, to the function of the same name here.  Each
returns what the function of numbers returns, with arrays in place of
floats (Series for Series).
"""

from __future__ import annotations

from typing import Any

from orvik import _arrays, _engine
from orvik import distance as _distance

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


_PAIR = ("lat1", "lon1", "lat2", "lon2")


def _with_echoes(function: str, params: tuple[str, ...], values: tuple[Any, ...], kernel: Any,
                 known: tuple[str, ...], keys: tuple[str, ...], ellipsoid: Any,
                 zeros: tuple[str, ...] = ()) -> dict[str, Any]:
    """The dict of the function of numbers, in its own key order: the
    arguments echoed (broadcast), the fields in `zeros` fixed at zero, and
    the rest solved, from one conversion of the arguments."""
    c = _arrays.Converted(function, params, values)
    fields = {p: c.give(c.np.array(a)) for p, a in zip(params, c.arrays, strict=True)}
    fields.update((k, c.give(c.np.zeros(c.shape))) for k in zeros)
    fields.update(_arrays.solve(c, kernel, known, [k for k in keys if k not in fields], ellipsoid))
    return {k: fields[k] for k in keys}


_INVERSE_KEYS = ("lat1", "lon1", "lat2", "lon2", "s12", "azi1", "azi2", "a12")
_FULL_KEYS = _INVERSE_KEYS + ("m12", "M12", "M21", "S12")


def geodesic_inverse(lat1: Any, lon1: Any, lat2: Any, lon2: Any, *, ellipsoid: Any = None) -> dict[str, Any]:
    return _with_echoes("geodesic_inverse", _PAIR, (lat1, lon1, lat2, lon2), _engine.geodesic_inverse_into,
                        _arrays.INVERSE_OUTPUTS, _INVERSE_KEYS, ellipsoid)  # fmt: skip


def inverse(lat1: Any, lon1: Any, lat2: Any, lon2: Any, *, ellipsoid: Any = None) -> dict[str, Any]:
    return _with_echoes("inverse", _PAIR, (lat1, lon1, lat2, lon2), _engine.geodesic_inverse_into,
                        _arrays.INVERSE_OUTPUTS, _FULL_KEYS, ellipsoid)  # fmt: skip


def direct(lat1: Any, lon1: Any, azi1: Any, s12: Any, *, ellipsoid: Any = None) -> dict[str, Any]:
    # As for numbers, a12 is a fixed zero here; direct_batch gives the arc length.
    return _with_echoes("direct", ("lat1", "lon1", "azi1", "s12"), (lat1, lon1, azi1, s12),
                        _engine.geodesic_direct_into, _arrays.DIRECT_OUTPUTS, _INVERSE_KEYS, ellipsoid,
                        zeros=("a12",))  # fmt: skip


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
