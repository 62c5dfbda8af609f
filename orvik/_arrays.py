"""Array-likes in, broadcast float64 distances out.

Inputs are converted to float64 arrays once each (without a copy when they
already are), broadcast by NumPy's rules as views with stride 0, and read in
place by a native kernel on the worker pool: one point against a million, or
an n x m matrix, never builds n x m input arrays.
"""

from __future__ import annotations

from collections.abc import Callable
from typing import TYPE_CHECKING, Any

if TYPE_CHECKING:
    import numpy
    from numpy.typing import NDArray

PARAMS = ("lat1", "lon1", "lat2", "lon2")

# kernel(out, lat1, lon1, lat2, lon2) fills `out` in place.
Kernel = Callable[[Any, Any, Any, Any, Any], None]


def load_numpy() -> Any:
    try:
        import numpy
    except ImportError as error:
        raise ModuleNotFoundError(
            "orvik's batch and matrix functions need NumPy: pip install 'orvik[numpy]'",
            name="numpy",
        ) from error
    return numpy


def as_float64(np: Any, value: object, param: str, function: str) -> NDArray[numpy.float64]:
    try:
        array: NDArray[numpy.float64] = np.asarray(value, dtype=np.float64)
        return array
    except (TypeError, ValueError) as error:
        kind = TypeError if isinstance(error, TypeError) else ValueError
        raise kind(f"{function}() argument '{param}': {error}") from error


def broadcast_distances(kernel: Kernel, function: str, *values: object) -> NDArray[numpy.float64]:
    """The distances of the broadcast pairs: an array of the broadcast shape."""
    np = load_numpy()
    arrays = [as_float64(np, v, p, function) for v, p in zip(values, PARAMS, strict=True)]
    try:
        shape = np.broadcast_shapes(*(a.shape for a in arrays))
    except ValueError:
        shapes = ", ".join(f"{p} {a.shape}" for p, a in zip(PARAMS, arrays))
        raise ValueError(f"{function}(): shapes cannot be broadcast together: {shapes}") from None
    out: NDArray[numpy.float64] = np.empty(shape, dtype=np.float64)
    kernel(out, *(a if a.shape == shape else np.broadcast_to(a, shape) for a in arrays))
    return out


def _point_set(np: Any, function: str, params: tuple[str, str], lat: Any, lon: Any) -> Any:
    """Latitudes and longitudes of one set of points, broadcast to (n,)."""
    try:
        shape = np.broadcast_shapes(lat.shape, lon.shape)
    except ValueError:
        raise ValueError(
            f"{function}(): {params[0]} {lat.shape} and {params[1]} {lon.shape} "
            "cannot be broadcast together"
        ) from None
    if len(shape) > 1:
        raise ValueError(
            f"{function}(): {params[0]} and {params[1]} must be one-dimensional (or scalars), "
            f"got shapes {lat.shape} and {lon.shape}"
        )
    n = 1 if not shape else shape[0]
    return np.broadcast_to(lat, (n,)), np.broadcast_to(lon, (n,))


def distance_matrix(kernel: Kernel, function: str, *values: object) -> NDArray[numpy.float64]:
    """The (n, m) distances from each of n points to each of m points."""
    np = load_numpy()
    lat1, lon1, lat2, lon2 = (
        as_float64(np, v, p, function) for v, p in zip(values, PARAMS, strict=True)
    )
    lat1, lon1 = _point_set(np, function, PARAMS[:2], lat1, lon1)
    lat2, lon2 = _point_set(np, function, PARAMS[2:], lat2, lon2)
    shape = (lat1.shape[0], lat2.shape[0])
    out: NDArray[numpy.float64] = np.empty(shape, dtype=np.float64)
    # Rows repeat the first set along axis 1, columns the second along axis
    # 0: both are stride-0 views, not copies.
    rows = (np.broadcast_to(a[:, np.newaxis], shape) for a in (lat1, lon1))
    cols = (np.broadcast_to(a[np.newaxis, :], shape) for a in (lat2, lon2))
    kernel(out, *rows, *cols)
    return out
