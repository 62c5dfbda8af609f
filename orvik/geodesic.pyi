from collections.abc import Sequence
from typing import Any, overload


from orvik._orvik import _ArrayLike as ArrayLike
from orvik._orvik import _GeodesicInverse, _GeodesicInverseFull, _Real
from orvik.distance import _Ellipsoid

__all__ = ["inverse", "direct", "wgs84_a", "wgs84_f", "inverse_batch", "direct_batch"]

@overload
def inverse(  # type: ignore[overload-overlap]
    lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real, *, ellipsoid: _Ellipsoid = None
) -> _GeodesicInverseFull: ...
@overload
def inverse(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> dict[str, Any]: ...
@overload
def direct(  # type: ignore[overload-overlap]
    lat1: _Real, lon1: _Real, azi1: _Real, s12: _Real, *, ellipsoid: _Ellipsoid = None
) -> _GeodesicInverse: ...
@overload
def direct(
    lat1: ArrayLike, lon1: ArrayLike, azi1: ArrayLike, s12: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> dict[str, Any]: ...
def wgs84_a() -> float: ...
def wgs84_f() -> float: ...
def inverse_batch(
    lat1: ArrayLike,
    lon1: ArrayLike,
    lat2: ArrayLike,
    lon2: ArrayLike,
    *,
    outputs: str | Sequence[str] = ...,
    ellipsoid: _Ellipsoid = None,
) -> dict[str, Any]: ...
def direct_batch(
    lat1: ArrayLike,
    lon1: ArrayLike,
    azi1: ArrayLike,
    s12: ArrayLike,
    *,
    outputs: str | Sequence[str] = ...,
    ellipsoid: _Ellipsoid = None,
) -> dict[str, Any]: ...
