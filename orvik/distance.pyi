from typing import Any, overload


from orvik._orvik import _ArrayLike as ArrayLike
from orvik._orvik import _GeodesicInverse, _Real

__all__ = [
    "geodesic_distance",
    "geodesic_destination",
    "great_circle_distance",
    "great_circle_destination",
    "geodesic_inverse",
    "geodesic_distance_batch",
    "great_circle_distance_batch",
    "geodesic_distance_matrix",
    "great_circle_distance_matrix",
    "geodesic_destination_batch",
    "great_circle_destination_batch",
]

# An ellipsoid: None (WGS84), a name ("WGS84", "GRS80", "WGS72") or (a, f).
_Ellipsoid = str | tuple[_Real, _Real] | None

@overload
def geodesic_distance(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real, *, ellipsoid: _Ellipsoid = None) -> float: ...
@overload
def geodesic_distance(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> Any: ...
@overload
def geodesic_destination(
    lat1: _Real, lon1: _Real, bearing: _Real, distance: _Real, *, ellipsoid: _Ellipsoid = None
) -> tuple[float, float]: ...
@overload
def geodesic_destination(
    lat1: ArrayLike, lon1: ArrayLike, bearing: ArrayLike, distance: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> tuple[Any, Any]: ...
@overload
def great_circle_distance(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real, *, radius: _Real = ...) -> float: ...
@overload
def great_circle_distance(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, radius: _Real = ...
) -> Any: ...
@overload
def great_circle_destination(
    lat1: _Real, lon1: _Real, bearing: _Real, distance: _Real, *, radius: _Real = ...
) -> tuple[float, float]: ...
@overload
def great_circle_destination(
    lat1: ArrayLike, lon1: ArrayLike, bearing: ArrayLike, distance: ArrayLike, *, radius: _Real = ...
) -> tuple[Any, Any]: ...
@overload
def geodesic_inverse(  # type: ignore[overload-overlap]
    lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real, *, ellipsoid: _Ellipsoid = None
) -> _GeodesicInverse: ...
@overload
def geodesic_inverse(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> dict[str, Any]: ...
def geodesic_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> Any: ...
def great_circle_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, radius: _Real = ...
) -> Any: ...
def geodesic_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> Any: ...
def great_circle_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike, *, radius: _Real = ...
) -> Any: ...
def geodesic_destination_batch(
    lat1: ArrayLike, lon1: ArrayLike, bearing: ArrayLike, distance: ArrayLike, *, ellipsoid: _Ellipsoid = None
) -> tuple[Any, Any]: ...
def great_circle_destination_batch(
    lat1: ArrayLike, lon1: ArrayLike, bearing: ArrayLike, distance: ArrayLike, *, radius: _Real = ...
) -> tuple[Any, Any]: ...
