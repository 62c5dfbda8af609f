"""Array-likes in, arrays out: the conventions every array function of the
package follows.

Inputs are converted to float64 arrays once each (without a copy when they
already are), broadcast by NumPy's rules as views with stride 0, and read in
place by the compiled kernels on the worker pool: one point against a
million, or an n x m matrix, never builds n x m input arrays.  Numbers in
give floats out; pandas Series in give Series out, on the inputs' common
index; strings, masked arrays and other non-numbers are refused with a
TypeError naming the parameter.
"""

from __future__ import annotations

import sys
from collections.abc import Iterable, Sequence
from typing import Any



def load_numpy() -> Any:
    """NumPy, or an error that says what is missing.  Late in interpreter
    shutdown, imports fail for another reason, and the error says that."""
    try:
        import numpy
    except ImportError as error:
        if sys.is_finalizing():
            raise RuntimeError(
                "orvik: the interpreter is shutting down, so NumPy cannot be imported"
            ) from error
        raise ModuleNotFoundError(
            "orvik's array functions need NumPy: pip install 'orvik[numpy]'", name="numpy"
        ) from error
    return numpy


def _series_index(value: object) -> Any:
    """The index of a pandas Series, else None; pandas is never imported here."""
    pandas = sys.modules.get("pandas")
    if pandas is not None and isinstance(value, pandas.Series):
        return value.index
    return None


def as_float64(np: Any, value: object, param: str, function: str) -> Any:
    """`value` as a float64 array, or TypeError/ValueError naming `param`."""
    if isinstance(value, (str, bytes)):
        raise TypeError(
            f"{function}() argument '{param}' must be a number or an array of numbers, "
            f"not {type(value).__name__}"
        )
    if isinstance(value, np.ma.MaskedArray):
        raise TypeError(
            f"{function}() argument '{param}' is a masked array; orvik does not apply masks: "
            "pass value.filled(numpy.nan) or the unmasked values"
        )
    try:
        array = np.asarray(value)
        kind = array.dtype.kind
        if kind in "USVMmc":
            raise TypeError(f"cannot use an array of dtype {array.dtype} as numbers")
        if kind == "O" and any(isinstance(x, (str, bytes)) for x in array.flat):
            raise TypeError("cannot use strings as numbers")
        return array.astype(np.float64, copy=False)
    except (TypeError, ValueError) as error:
        kind_of_error = TypeError if isinstance(error, TypeError) else ValueError
        raise kind_of_error(f"{function}() argument '{param}': {error}") from error


def broadcast_shape(shapes: Iterable[tuple[int, ...]]) -> tuple[int, ...]:
    """The shape the shapes broadcast to, by NumPy's rules, or ValueError.
    Written out because NumPy's own broadcast_shapes stops at 32 dimensions,
    while arrays (and the compiled kernels) go up to 64."""
    result: list[int] = []
    for shape in shapes:
        if len(shape) > len(result):
            result = [1] * (len(shape) - len(result)) + result
        for i, extent in enumerate(shape, start=len(result) - len(shape)):
            if extent != result[i]:
                if result[i] == 1:
                    result[i] = extent
                elif extent != 1:
                    raise ValueError("shapes cannot be broadcast together")
    return tuple(result)


def point_set(np: Any, function: str, lat_a: Any, lon_a: Any, params: tuple[str, str]) -> tuple[Any, Any]:
    """A set of points: latitudes and longitudes (converted by as_float64)
    broadcast together to one dimension (a number is a set of one point), as
    read-only views."""
    try:
        shape = broadcast_shape((lat_a.shape, lon_a.shape))
    except ValueError:
        raise ValueError(
            f"{function}(): {params[0]} {lat_a.shape} and {params[1]} {lon_a.shape} cannot be broadcast together"
        ) from None
    if len(shape) > 1:
        raise ValueError(
            f"{function}(): {params[0]} and {params[1]} must be one-dimensional (or numbers), "
            f"got shapes {lat_a.shape} and {lon_a.shape}"
        )
    n = shape[0] if shape else 1
    return np.broadcast_to(lat_a, (n,)), np.broadcast_to(lon_a, (n,))


def common_index(function: str, params: Sequence[str], values: Sequence[object]) -> Any:
    """The index shared by the pandas Series among `values` (None if there are
    none), or ValueError: values are paired by position, so Series on
    different indexes would be paired wrongly."""
    index, first = None, None
    for param, value in zip(params, values, strict=True):
        this = _series_index(value)
        if this is None:
            continue
        if index is None:
            index, first = this, param
        elif not index.equals(this):
            raise ValueError(
                f"{function}(): the pandas indexes of '{first}' and '{param}' differ; "
                "align them first (for example with Series.align)"
            )
    return index


class Converted:
    """Inputs converted and broadcast together, and how to give results back:
    floats for numbers, Series on the common index, arrays otherwise."""

    def __init__(self, function: str, params: Sequence[str], values: Sequence[object]) -> None:
        np = self.np = load_numpy()
        self.function = function
        arrays = [as_float64(np, v, p, function) for v, p in zip(values, params, strict=True)]
        try:
            shape = broadcast_shape(a.shape for a in arrays)
        except ValueError:
            shapes = ", ".join(f"{p} {a.shape}" for p, a in zip(params, arrays, strict=True))
            raise ValueError(f"{function}(): shapes cannot be broadcast together: {shapes}") from None
        self.shape: tuple[int, ...] = tuple(shape)
        # Numbers (NumPy's scalars too) give numbers; a 0-d array gives an array.
        self.scalars = all(
            a.ndim == 0 and not isinstance(v, np.ndarray) for a, v in zip(arrays, values, strict=True)
        )
        self.arrays = [a if a.shape == self.shape else self.broadcast(a) for a in arrays]
        self.index = self._common_index(params, values)

    def broadcast(self, array: Any) -> Any:
        try:
            return self.np.broadcast_to(array, self.shape)
        except ValueError as error:  # more dimensions than this NumPy allows
            raise ValueError(f"{self.function}(): {error}") from None

    def empty(self, extra: tuple[int, ...] = ()) -> Any:
        """A new float64 array of the broadcast shape (plus `extra` axes)."""
        try:
            return self.np.empty(self.shape + extra, dtype=self.np.float64)
        except ValueError as error:
            raise ValueError(f"{self.function}(): {error}") from None

    def _common_index(self, params: Sequence[str], values: Sequence[object]) -> Any:
        return common_index(self.function, params, values)

    def give(self, result: Any) -> Any:
        """A result array as the caller's inputs ask: a float, a Series or the array."""
        if self.scalars and result.ndim == 0:
            return float(result)
        if self.index is not None and result.ndim == 1 and len(result) == len(self.index):
            import pandas

            return pandas.Series(result, index=self.index, copy=False)
        return result


# The outputs of the geodesic problems, in the order their kernels take them.
INVERSE_OUTPUTS = ("s12", "azi1", "azi2", "a12", "m12", "M12", "M21", "S12")
DIRECT_OUTPUTS = ("lat2", "lon2", "azi2", "a12", "m12", "M12", "M21", "S12")


def solve(c: Converted, kernel: Any, known: tuple[str, ...], names: Sequence[str], ellipsoid: Any) -> dict[str, Any]:
    """The outputs `names` of a geodesic problem over converted arguments:
    the kernel is given a buffer for each of them, None for the rest of
    `known`, and computes only those."""
    arrays = {name: c.empty() for name in names}
    kernel(tuple(arrays.get(name) for name in known), *c.arrays, ellipsoid)
    return {name: c.give(a) for name, a in arrays.items()}
