"""The direct and inverse geodesic problems on an ellipsoid (WGS84 unless
told otherwise), solved by GeographicLib, over numbers and over arrays with
the outputs the caller chooses, and the WGS84 ellipsoid's parameters."""

from __future__ import annotations

from collections.abc import Sequence
from typing import TYPE_CHECKING, Any

from orvik import _arrays, _engine
from orvik._engine import direct, inverse, wgs84_a, wgs84_f

if TYPE_CHECKING:
    from numpy.typing import ArrayLike

__all__ = [
    "inverse",
    "direct",
    "wgs84_a",
    "wgs84_f",
    "inverse_batch",
    "direct_batch",
]

# The outputs of each problem, in the order the compiled kernels take them.
INVERSE_OUTPUTS = ("s12", "azi1", "azi2", "a12", "m12", "M12", "M21", "S12")
DIRECT_OUTPUTS = ("lat2", "lon2", "azi2", "a12", "m12", "M12", "M21", "S12")


def chosen_outputs(function: str, outputs: str | Sequence[str], known: tuple[str, ...]) -> list[str]:
    """The names asked for, in the caller's order, or ValueError/TypeError
    naming `outputs`."""
    names = [outputs] if isinstance(outputs, str) else outputs
    if not isinstance(names, (list, tuple)) or not all(isinstance(n, str) for n in names):
        raise TypeError(
            f"{function}() argument 'outputs' must be a name or a tuple or list of names, "
            f"not {type(outputs).__name__}"
        )
    choices = ", ".join(repr(k) for k in known)
    if not names:
        raise ValueError(f"{function}() argument 'outputs' is empty; choose from {choices}")
    for name in names:
        if name not in known:
            raise ValueError(f"{function}() argument 'outputs': unknown output {name!r}; choose from {choices}")
    if len(set(names)) != len(names):
        raise ValueError(f"{function}() argument 'outputs' names an output twice: {list(names)}")
    return list(names)


def _solve(
    function: str,
    kernel: Any,
    known: tuple[str, ...],
    params: tuple[str, ...],
    values: tuple[object, ...],
    outputs: str | Sequence[str],
    ellipsoid: Any,
) -> dict[str, Any]:
    names = chosen_outputs(function, outputs, known)
    c = _arrays.Converted(function, params, values)
    arrays = {name: c.empty() for name in names}
    kernel(tuple(arrays.get(name) for name in known), *c.arrays, ellipsoid)
    return {name: c.give(a) for name, a in arrays.items()}


def inverse_batch(
    lat1: ArrayLike,
    lon1: ArrayLike,
    lat2: ArrayLike,
    lon2: ArrayLike,
    *,
    outputs: str | Sequence[str] = ("s12", "azi1", "azi2"),
    ellipsoid: Any = None,
) -> dict[str, Any]:
    """The inverse geodesic problem between broadcast pairs of points.

    Returns a dict of float64 arrays of the broadcast shape, keyed in the
    order of `outputs`: any of "s12" (distance, m), "azi1", "azi2" (azimuths
    at each end, degrees clockwise from north), "a12" (arc length on the
    auxiliary sphere, degrees), "m12" (reduced length, m), "M12", "M21"
    (geodesic scales) and "S12" (area between the geodesic and the equator,
    m^2).  Each value equals geodesic.inverse's field for the same pair, bit
    for bit.  The ellipsoid is WGS84 unless `ellipsoid` names another
    ('GRS80', 'WGS72') or gives an (a, f) pair.
    """
    return _solve(
        "inverse_batch",
        _engine.geodesic_inverse_into,
        INVERSE_OUTPUTS,
        ("lat1", "lon1", "lat2", "lon2"),
        (lat1, lon1, lat2, lon2),
        outputs,
        ellipsoid,
    )


def direct_batch(
    lat1: ArrayLike,
    lon1: ArrayLike,
    azi1: ArrayLike,
    s12: ArrayLike,
    *,
    outputs: str | Sequence[str] = ("lat2", "lon2", "azi2"),
    ellipsoid: Any = None,
) -> dict[str, Any]:
    """The direct geodesic problem from broadcast start points, azimuths
    (degrees clockwise from north) and distances (m).

    Returns a dict of float64 arrays keyed in the order of `outputs`: any of
    "lat2", "lon2" (the end point; longitudes reduced to [-180, 180]),
    "azi2", "a12" (the arc length, degrees: unlike geodesic.direct's fixed
    0.0, the true value), "m12", "M12", "M21" and "S12".
    """
    return _solve(
        "direct_batch",
        _engine.geodesic_direct_into,
        DIRECT_OUTPUTS,
        ("lat1", "lon1", "azi1", "s12"),
        (lat1, lon1, azi1, s12),
        outputs,
        ellipsoid,
    )
