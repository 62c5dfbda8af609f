# Types of the compiled core.  Its three submodules are attributes of the top
# module, not importable modules of their own, so they are typed here as
# module objects with the submodule's functions.
from types import ModuleType
from collections.abc import Sequence
from typing import Any, Final, Protocol, SupportsFloat, SupportsIndex, TypeAlias, TypedDict

import numpy as np
from numpy.typing import NDArray

_Real: TypeAlias = SupportsFloat | SupportsIndex
_Float64Array: TypeAlias = NDArray[np.float64]

class _HasArray(Protocol):
    def __array__(self) -> Any: ...

# What the package's functions take as arrays: numbers, NumPy arrays, pandas Series
# and anything else with __array__, and (nested) sequences of numbers.
# Narrower than NumPy's ArrayLike, which admits strings.
_ArrayLike: TypeAlias = _Real | _HasArray | Sequence[_Real] | Sequence[Sequence[_Real]]

class _GeodesicInverse(TypedDict):
    lat1: float
    lon1: float
    lat2: float
    lon2: float
    s12: float
    azi1: float
    azi2: float
    a12: float

class _GeodesicInverseFull(_GeodesicInverse):
    m12: float
    M12: float
    M21: float
    S12: float

class _Distance(ModuleType):
    @staticmethod
    def geodesic_distance(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real) -> float: ...
    @staticmethod
    def geodesic_destination(
        lat1: _Real, lon1: _Real, bearing: _Real, distance: _Real
    ) -> tuple[float, float]: ...
    @staticmethod
    def great_circle_distance(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real) -> float: ...
    @staticmethod
    def great_circle_destination(
        lat1: _Real, lon1: _Real, bearing: _Real, distance: _Real
    ) -> tuple[float, float]: ...
    @staticmethod
    def geodesic_inverse(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real) -> _GeodesicInverse: ...
    @staticmethod
    def geodesic_distance_batch(
        lat1: _Float64Array, lon1: _Float64Array, lat2: _Float64Array, lon2: _Float64Array
    ) -> _Float64Array: ...
    @staticmethod
    def great_circle_distance_batch(
        lat1: _Float64Array, lon1: _Float64Array, lat2: _Float64Array, lon2: _Float64Array
    ) -> _Float64Array: ...

class _Geodesic(ModuleType):
    @staticmethod
    def inverse(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real) -> _GeodesicInverseFull: ...
    @staticmethod
    def direct(lat1: _Real, lon1: _Real, azi1: _Real, s12: _Real) -> _GeodesicInverse: ...
    @staticmethod
    def wgs84_a() -> float: ...
    @staticmethod
    def wgs84_f() -> float: ...

class _Units(ModuleType):
    @staticmethod
    def km_to_mi(km: _Real) -> float: ...
    @staticmethod
    def mi_to_km(mi: _Real) -> float: ...
    @staticmethod
    def km_to_nm(km: _Real) -> float: ...
    @staticmethod
    def nm_to_km(nm: _Real) -> float: ...
    @staticmethod
    def m_to_ft(m: _Real) -> float: ...
    @staticmethod
    def ft_to_m(ft: _Real) -> float: ...
    @staticmethod
    def m_to_km(m: _Real) -> float: ...
    @staticmethod
    def km_to_m(km: _Real) -> float: ...
    @staticmethod
    def deg_to_rad(d: _Real) -> float: ...
    @staticmethod
    def rad_to_deg(r: _Real) -> float: ...
    @staticmethod
    def dms_to_deg(degrees: _Real, arcminutes: _Real, arcseconds: _Real) -> float: ...
    @staticmethod
    def deg_to_dms(dd: _Real) -> tuple[float, float, float]: ...

__all__ = ["distance", "geodesic", "units"]

distance: Final[_Distance]
geodesic: Final[_Geodesic]
units: Final[_Units]
