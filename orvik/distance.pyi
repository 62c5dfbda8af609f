import numpy as np
from numpy.typing import ArrayLike, NDArray

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
]

def geodesic_distance(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real) -> float: ...
def geodesic_destination(
    lat1: _Real, lon1: _Real, bearing: _Real, distance: _Real
) -> tuple[float, float]: ...
def great_circle_distance(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real) -> float: ...
def great_circle_destination(
    lat1: _Real, lon1: _Real, bearing: _Real, distance: _Real
) -> tuple[float, float]: ...
def geodesic_inverse(lat1: _Real, lon1: _Real, lat2: _Real, lon2: _Real) -> _GeodesicInverse: ...
def geodesic_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]: ...
def great_circle_distance_batch(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]: ...
def geodesic_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]: ...
def great_circle_distance_matrix(
    lat1: ArrayLike, lon1: ArrayLike, lat2: ArrayLike, lon2: ArrayLike
) -> NDArray[np.float64]: ...
