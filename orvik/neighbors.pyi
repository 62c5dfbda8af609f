from typing import Any, Literal

from orvik._orvik import _ArrayLike as ArrayLike
from orvik._orvik import _Real

__all__ = ["PointIndex"]

# An ellipsoid: None (WGS84), a name ("WGS84", "GRS80", "WGS72") or (a, f).
_Ellipsoid = str | tuple[_Real, _Real] | None
_Method = Literal["geodesic", "great-circle"]

class PointIndex:
    def __init__(self, lat: ArrayLike, lon: ArrayLike, *, ellipsoid: _Ellipsoid = None) -> None: ...
    def __len__(self) -> int: ...
    @property
    def nbytes(self) -> int: ...
    @property
    def ellipsoid(self) -> tuple[float, float]: ...
    # (distances, indices): float64 and int64 arrays of shape query_shape + (k,).
    def query(
        self,
        lat: ArrayLike,
        lon: ArrayLike,
        k: int = 1,
        *,
        method: _Method = "geodesic",
        max_distance: _Real | None = None,
    ) -> tuple[Any, Any]: ...
    # (offsets, indices, distances) in CSR form.
    def query_radius(
        self, lat: ArrayLike, lon: ArrayLike, r: ArrayLike, *, method: _Method = "geodesic", sort: bool = True
    ) -> tuple[Any, Any, Any]: ...
