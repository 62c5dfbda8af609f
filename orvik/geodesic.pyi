from collections.abc import Sequence
from typing import Any, overload

import numpy as np
from numpy.typing import NDArray

from orvik._orvik import _ArrayLike as ArrayLike
from orvik._orvik import _GeodesicInverse, _GeodesicInverseFull, _Real
from orvik.distance import _Ellipsoid

__all__ = [
    "inverse",
    "direct",
    "wgs84_a",
    "wgs84_f",
    "inverse_batch",
    "direct_batch",
    "line_points",
    "path_length",
    "polygon_area",
]

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
def line_points(
    lat1: ArrayLike,
    lon1: ArrayLike,
    lat2: ArrayLike,
    lon2: ArrayLike,
    *,
    n: int | None = None,
    spacing: float | None = None,
    include_ends: bool = True,
    ellipsoid: _Ellipsoid = None,
) -> tuple[NDArray[np.float64], NDArray[np.float64]]: ...
# A list of tracks (or rings) of different lengths is a sequence of array-likes.
def path_length(
    lats: ArrayLike | Sequence[ArrayLike],
    lons: ArrayLike | Sequence[ArrayLike],
    *,
    axis: int = -1,
    ellipsoid: _Ellipsoid = None,
) -> Any: ...
def polygon_area(
    lats: ArrayLike | Sequence[ArrayLike], lons: ArrayLike | Sequence[ArrayLike], *, ellipsoid: _Ellipsoid = None
) -> tuple[Any, Any]: ...
