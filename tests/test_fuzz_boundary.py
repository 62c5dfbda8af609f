"""Random calls across the boundary: every function, random mixes of
positional and keyword arguments of random types and values.

Each call is checked against an oracle built from the interpreter itself:
`inspect.Signature.bind` decides whether the arguments bind, and
`math.ldexp(x, 0)` converts a value exactly as a float64 parameter must (the
interpreter's own float conversion, same exceptions, same messages).  So a
call may only return the result of the same function on the converted
floats, or raise what the oracle says, never crash or raise anything else.
"""

from __future__ import annotations

import inspect
import math
import os
import re
import sys
import warnings
from decimal import Decimal
from fractions import Fraction

import numpy as np
import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st
from hypothesis.extra import numpy as hnp

from bit_equality import assert_bits_equal
from function_table import Args, Function, Returns, check_result_shape, present, same_result
from orvik import _orvik

EXAMPLES = int(os.environ.get("ORVIK_FUZZ_EXAMPLES", "60"))
# The same examples on every run, so that the outcome counts checked at the
# end cannot fall short by chance in CI; ORVIK_FUZZ_RANDOM=1 explores anew.
fuzz_settings = settings(
    max_examples=EXAMPLES,
    deadline=None,
    derandomize=not os.environ.get("ORVIK_FUZZ_RANDOM"),
    suppress_health_check=[HealthCheck.too_slow, HealthCheck.filter_too_much],
)

# Conversion hooks count their calls: a call must convert exactly the
# arguments the oracle converts, in order, and stop at the first failure.
HOOK_CALLS: list[str] = []


class TypeErrorSubclass(TypeError):
    pass


class HookError(Exception):
    """Raised by a conversion hook: must come back unchanged."""


class FloatSubclass(float):
    pass


class IntSubclass(int):
    pass


class Raise:
    """A hook outcome: raise a new exception made by `make`."""

    def __init__(self, make, label):
        self.make, self.label = make, label

    def __repr__(self):
        return f"Raise({self.label})"


class Unprintable:
    def __str__(self):
        raise RuntimeError("no text")


def _with_cause(exc: BaseException, cause: BaseException) -> BaseException:
    exc.__cause__ = cause
    return exc


class FloatHook:
    """__float__ returns `outcome`, or raises when it is a Raise."""

    def __init__(self, outcome):
        self.outcome = outcome

    def __float__(self):
        HOOK_CALLS.append("float")
        if isinstance(self.outcome, Raise):
            raise self.outcome.make()
        return self.outcome

    def __repr__(self):
        return f"FloatHook({self.outcome!r})"


class IndexHook:
    def __init__(self, outcome):
        self.outcome = outcome

    def __index__(self):
        HOOK_CALLS.append("index")
        if isinstance(self.outcome, Raise):
            raise self.outcome.make()
        return self.outcome

    def __repr__(self):
        return f"IndexHook({self.outcome!r})"


class OddName(str):
    """A keyword name whose str() fails."""

    def __str__(self):
        raise RuntimeError("no text")


raised_types = st.sampled_from(
    [
        Raise(lambda t=t: t("from a hook"), t.__name__)
        for t in (ValueError, TypeError, TypeErrorSubclass, OverflowError, HookError)
    ]
    + [
        Raise(lambda: TypeError(Unprintable()), "TypeError with unprintable argument"),
        Raise(lambda: TypeError("lone \udcff surrogate"), "TypeError with a lone surrogate"),
        Raise(lambda: TypeError(), "TypeError without arguments"),
        Raise(lambda: _with_cause(TypeError("with a cause"), KeyError("the cause")), "TypeError with a cause"),
        Raise(lambda: ValueError(Unprintable()), "ValueError with unprintable argument"),
    ]
)
any_ints = st.integers() | st.integers(min_value=-(2**1100), max_value=2**1100)
hook_results = st.one_of(
    st.floats(),
    any_ints,
    st.text(max_size=3),
    st.floats().map(FloatSubclass),
    st.just(-1.0),
    st.none(),
)

numpy_values = st.one_of(
    hnp.arrays(
        dtype=hnp.scalar_dtypes() | hnp.byte_string_dtypes(max_len=2) | hnp.unicode_string_dtypes(max_len=2),
        shape=hnp.array_shapes(min_dims=0, max_dims=2, min_side=0, max_side=2),
    ),
    hnp.from_dtype(np.dtype("float64")).map(np.float64),
    hnp.from_dtype(np.dtype("float32")).map(np.float32),
    hnp.from_dtype(np.dtype("int64")).map(np.int64),
    hnp.from_dtype(np.dtype("complex128")).map(np.complex128),
)

values = st.one_of(
    st.floats(min_value=-400, max_value=400),
    st.floats(),
    st.sampled_from([0.0, -0.0, math.inf, -math.inf, math.nan]),
    any_ints,
    st.booleans(),
    st.one_of(
        st.text(max_size=4),
        st.none(),
        st.binary(max_size=2),
        st.complex_numbers(),
        st.decimals(),
        st.fractions(),
        st.floats().map(FloatSubclass),
        any_ints.map(IntSubclass),
        st.just([1.0]),
        st.builds(FloatHook, raised_types | hook_results),
        st.builds(IndexHook, raised_types | hook_results),
        numpy_values,
    ),
)


@st.composite
def calls(draw, function: Function):
    """Positional values and keyword items for one call of `function`."""
    params = function.params
    if draw(st.booleans()):
        # Binds: every parameter once, split between position and keyword.
        split = draw(st.integers(0, len(params)))
        positional = [draw(values) for _ in params[:split]]
        names = draw(st.permutations(params[split:]))
    else:
        positional = draw(st.lists(values, max_size=len(params) + 1))
        extra = st.sampled_from(["nope", "LAT1", "\udcff", OddName("x"), OddName(params[0] if params else "y")])
        names = draw(st.lists(st.sampled_from(params) | extra if params else extra, max_size=3, unique=True))
    keywords = {name: draw(values) for name in names}
    return positional, keywords


def oracle(fn, function: Function, positional, keywords):
    """('bind', None), ('convert', (param, exception)) or ('ok', floats)."""
    try:
        bound = inspect.signature(fn).bind(*positional, **keywords)
    except TypeError:
        return "bind", None
    converted = []
    for param in function.params:
        try:
            converted.append(math.ldexp(bound.arguments[param], 0))
        except Exception as exc:  # noqa: BLE001 - every kind is an expected outcome
            return "convert", (param, exc)
    return "ok", converted


STATS: dict[str, int] = {}


def _call_both(fn, function, positional, keywords):
    HOOK_CALLS.clear()
    kind, detail = oracle(fn, function, positional, keywords)
    oracle_hooks = list(HOOK_CALLS)
    HOOK_CALLS.clear()
    result = outcome = None
    try:
        result = fn(*positional, **keywords)
    except BaseException as exc:  # noqa: BLE001 - a PanicException must fail the test, not escape it
        outcome = exc
    return kind, detail, outcome, result, oracle_hooks, list(HOOK_CALLS)


def message_text(exc: BaseException) -> str:
    """str() of an exception as a message shows it: lone surrogates replaced,
    and a placeholder when str() itself fails."""
    try:
        text = str(exc)
    except Exception:  # noqa: BLE001
        return f"<unprintable {type(exc).__name__} object>"
    return re.sub("[\ud800-\udfff]", "\ufffd", text)


def check_call(function: Function, positional, keywords, warning_action: str) -> None:
    fn = function.resolve()
    hook, sys.unraisablehook = sys.unraisablehook, lambda unraisable: None  # an OddName keyword reports here
    try:
        with warnings.catch_warnings():
            warnings.simplefilter(warning_action)
            kind, detail, outcome, result, oracle_hooks, module_hooks = _call_both(fn, function, positional, keywords)
    finally:
        sys.unraisablehook = hook
    STATS[kind] = STATS.get(kind, 0) + 1

    assert module_hooks == (oracle_hooks if kind != "bind" else [])
    if kind == "bind":
        assert type(outcome) is TypeError, outcome
        assert str(outcome).startswith(f"{function.name}() ")
    elif kind == "convert":
        param, expected = detail
        assert outcome is not None, f"converted what the interpreter rejects: {expected!r}"
        if type(expected) is TypeError:
            assert type(outcome) is TypeError
            assert str(outcome) == f"argument '{param}': {message_text(expected)}"
            assert outcome.__suppress_context__
            assert type(outcome.__cause__) is type(expected.__cause__)  # the cause is kept, not the error
        else:
            assert type(outcome) is type(expected)
            assert message_text(outcome) == message_text(expected)
    else:
        assert outcome is None, f"{outcome!r} for convertible arguments {detail}"
        check_result_shape(function, result)
        assert same_result(result, fn(*detail))


@pytest.mark.parametrize("function", present(Args.FLOATS), ids=str)
@fuzz_settings
@given(data=st.data(), warning_action=st.sampled_from(["ignore", "error"]))
def test_random_calls_give_a_result_or_the_documented_error(function, data, warning_action):
    positional, keywords = data.draw(calls(function))
    check_call(function, positional, keywords, warning_action)


@pytest.mark.parametrize("function", present(Args.NONE), ids=str)
@fuzz_settings
@given(positional=st.lists(values, max_size=2), names=st.lists(st.text(min_size=1, max_size=3), max_size=2))
def test_parameterless_functions_reject_every_argument(function, positional, names):
    fn = function.resolve()
    keywords = dict.fromkeys(names, 1.0)
    if positional or keywords:
        with pytest.raises(TypeError, match="takes no"):
            fn(*positional, **keywords)
    else:
        check_result_shape(function, fn())


def test_oracle_sees_what_the_module_sees():
    """The oracle's conversion is the interpreter's float conversion: it
    accepts what the module accepts and words its refusals the same way."""
    cases = [3, 2.5, FloatSubclass(1.5), Decimal("1.25"), Fraction(1, 4), np.float32(0.5), np.array(7.0)]
    for value in cases:
        assert fn_ft(value) == math.ldexp(value, 0) * 0.3048
    for value in ["3", None, [1.0], 1j, np.zeros(2)]:
        with pytest.raises(TypeError) as expected:
            math.ldexp(value, 0)
        with pytest.raises(TypeError, match=r"^argument 'ft': ") as got:
            fn_ft(value)
        assert str(got.value) == f"argument 'ft': {expected.value}"


def fn_ft(value):
    from orvik._orvik import units

    return units.ft_to_m(value)



# --- Array functions ---------------------------------------------------------
# The native batch functions take only one-dimensional float64 arrays in
# native byte order (any memory layout NumPy calls contiguous), all at least
# as long as the first; the package's take array-likes and broadcast them.

NATIVE_TARGET = "PyArray<T, D>"
coordinates = st.one_of(
    st.floats(-200, 200),
    st.floats(),
    st.sampled_from([0.0, -0.0, 90.0, -90.0, 180.0, -180.0, math.nan, math.inf, -math.inf]),
)


class SubArray(np.ndarray):
    pass


def _unaligned(values: np.ndarray) -> np.ndarray:
    raw = bytearray(values.nbytes + 1)
    view = np.frombuffer(raw, dtype=values.dtype, count=values.size, offset=1)
    view[:] = values
    return view


def _read_only(values: np.ndarray) -> np.ndarray:
    values.flags.writeable = False
    return values


# Each float64 vector in one of the memory forms a caller may hand over.
VECTOR_FORMS = {
    "plain": lambda v: v,
    "subclass": lambda v: v.view(SubArray),
    "read-only": _read_only,
    "unaligned": _unaligned,
    "every second": lambda v: np.repeat(v, 2)[::2],
    "reversed": lambda v: v[::-1],
    "column of 2-D": lambda v: np.stack([v, v], axis=1)[:, 0],
}


CONTIGUOUS_FORMS = ("plain", "subclass", "read-only", "unaligned")


@st.composite
def float64_vectors(draw, n: int, forms=tuple(VECTOR_FORMS)):
    values = draw(hnp.arrays(np.float64, n, elements=coordinates))
    # Plain arrays, the common case, at least half the time they may come.
    plain = ["plain"] * len(forms) if "plain" in forms else []
    form = draw(st.sampled_from(plain + sorted(forms)))
    return VECTOR_FORMS[form](values)


def other_values(n: int):
    """Values of the wrong kind for a native batch function, and the
    array-likes the package converts."""
    return st.one_of(
        hnp.arrays(hnp.scalar_dtypes(), n),
        hnp.arrays(np.dtype(">f8"), n, elements=coordinates),
        hnp.arrays(np.float64, st.sampled_from([(n, 1), (1, n), (2, n), ()]), elements=coordinates),
        hnp.arrays(np.float64, (n, 2), elements=coordinates).map(np.asfortranarray),
        st.lists(coordinates, min_size=n, max_size=n),
        st.lists(coordinates, min_size=n, max_size=n).map(tuple),
        coordinates,
        st.integers(-(2**70), 2**70),
        st.sampled_from([None, "1.5", "x", b"2", 1j, [[1.0, 2.0]]]),
        hnp.from_dtype(np.dtype("float64")).map(np.float64),
    )


@st.composite
def array_calls(draw, function: Function):
    """Values for every parameter, mostly float64 vectors of one length with
    now and then a shorter, longer, repeated or unacceptable one, arranged
    as positional and keyword arguments (sometimes not binding at all)."""
    params = function.params
    n = draw(st.integers(0, 24))
    mode = draw(st.sampled_from(["mixed", "mixed", "acceptable", "one later shorter", "one not contiguous"]))
    if mode != "mixed":
        # Vectors the native functions accept, but maybe one too short or
        # one laid out with gaps.
        chosen = [draw(float64_vectors(n, CONTIGUOUS_FORMS)) for _ in params]
        if mode == "one later shorter" and n > 0:
            chosen[draw(st.integers(1, len(params) - 1))] = draw(
                float64_vectors(draw(st.integers(0, n - 1)), CONTIGUOUS_FORMS)
            )
        elif mode == "one not contiguous":
            gapped = ("every second", "reversed", "column of 2-D")
            chosen[draw(st.integers(0, len(params) - 1))] = draw(float64_vectors(max(n, 2), gapped))
    else:
        kinds = ["same length"] * 10 + ["shorter"] * 2 + ["longer", "earlier value"] + ["other"] * 3
        chosen = []
        for _ in params:
            kind = draw(st.sampled_from(kinds))
            if kind == "same length":
                chosen.append(draw(float64_vectors(n)))
            elif kind == "shorter":
                chosen.append(draw(float64_vectors(draw(st.integers(0, max(n - 1, 0))))))
            elif kind == "longer":
                chosen.append(draw(float64_vectors(n + draw(st.integers(1, 8)))))
            elif kind == "earlier value" and chosen:
                chosen.append(draw(st.sampled_from(chosen)))
            else:
                chosen.append(draw(other_values(n)))
    binding = draw(st.sampled_from(["binds"] * 6 + ["one missing", "one too many"]))
    if binding == "one missing":
        return chosen[:-1], {}
    if binding == "one too many":
        return [*chosen, chosen[0]], {}
    split = draw(st.integers(0, len(params)))
    names = draw(st.permutations(params[split:]))
    return chosen[:split], {name: chosen[params.index(name)] for name in names}


def bind_arguments(fn, positional, keywords):
    try:
        return inspect.signature(fn).bind(*positional, **keywords).arguments
    except TypeError:
        return None


def native_array_oracle(fn, function: Function, positional, keywords):
    """('bind', None), ('convert', message), ('contiguous', None),
    ('panic', message) or ('ok', arrays)."""
    bound = bind_arguments(fn, positional, keywords)
    if bound is None:
        return "bind", None
    arrays = [bound[p] for p in function.params]
    for param, value in zip(function.params, arrays):
        if not (isinstance(value, np.ndarray) and value.ndim == 1 and value.dtype == np.float64):
            type_name = type(value).__name__
            return "convert", f"argument '{param}': '{type_name}' object cannot be converted to '{NATIVE_TARGET}'"
    if not all(a.flags.c_contiguous or a.flags.f_contiguous for a in arrays):
        return "contiguous", None
    shortest = min(len(a) for a in arrays)
    if shortest < len(arrays[0]):
        return "panic", f"index out of bounds: the len is {shortest} but the index is {shortest}"
    return "ok", [a[: len(arrays[0])] for a in arrays]


def elementwise(scalar, arrays, shape) -> np.ndarray:
    """The scalar function at each index of float64 arrays of one shape."""
    out = np.empty(shape)
    for index in np.ndindex(shape):
        out[index] = scalar(*(float(a[index]) for a in arrays))
    return out


def assert_same_bits(result, expected: np.ndarray) -> None:
    assert type(result) is np.ndarray
    assert_bits_equal(result, expected)


ARRAY_STATS: dict[str, int] = {}
PACKAGE_STATS: dict[str, int] = {}


def _outcome_of(call):
    try:
        return None, call()
    except BaseException as exc:  # noqa: BLE001 - a panic is a BaseException and an outcome here
        if not isinstance(exc, Exception) and type(exc).__name__ != "PanicException":
            raise
        return exc, None


@pytest.mark.parametrize("function", present(Args.ARRAYS), ids=str)
@fuzz_settings
@given(data=st.data())
def test_random_array_calls_give_a_result_or_the_documented_error(function, data):
    fn = function.resolve()
    scalar = getattr(_orvik.distance, function.name.removesuffix("_batch"))
    positional, keywords = data.draw(array_calls(function))
    kind, detail = native_array_oracle(fn, function, positional, keywords)
    ARRAY_STATS[kind] = ARRAY_STATS.get(kind, 0) + 1
    error, result = _outcome_of(lambda: fn(*positional, **keywords))

    if kind == "ok":
        assert error is None, f"{error!r} for acceptable arrays"
        check_result_shape(function, result)
        assert_same_bits(result, elementwise(scalar, detail, detail[0].shape))
        return
    assert error is not None, f"a result where {kind} was expected"
    if kind == "bind":
        assert type(error) is TypeError and str(error).startswith(f"{function.name}() ")
    elif kind == "convert":
        assert type(error) is TypeError and str(error) == detail
    elif kind == "contiguous":
        assert type(error) is TypeError and str(error) == "The given array is not contiguous"
    else:
        assert type(error).__name__ == "PanicException" and str(error) == detail


def package_oracle(name: str, positional, keywords):
    """What a package batch or matrix function must do: ('bind', None),
    ('raise', (type, message)) or ('ok', (arrays, shape))."""
    from orvik import distance

    bound = bind_arguments(getattr(distance, name), positional, keywords)
    if bound is None:
        return "bind", None
    arrays = []
    for param in PARAMS:
        value, refused = bound[param], (TypeError, f"{name}() argument '{param}'")
        # Text, masked values, complex numbers and dates are not coordinates,
        # even where NumPy would cast them.
        if isinstance(value, (str, bytes, np.ma.MaskedArray)):
            return "raise", refused
        try:
            array = np.asarray(value)
            if array.dtype.kind in "USVMmc" or (
                array.dtype.kind == "O" and any(isinstance(x, (str, bytes)) for x in array.flat)
            ):
                return "raise", refused
            arrays.append(array.astype(np.float64))
        except (TypeError, ValueError) as exc:
            kind = TypeError if isinstance(exc, TypeError) else ValueError
            return "raise", (kind, f"{name}() argument '{param}': {exc}")
    if name.endswith("_batch"):
        try:
            shape = np.broadcast_shapes(*(a.shape for a in arrays))
        except ValueError:
            return "raise", (ValueError, f"{name}(): shapes cannot be broadcast together")
        return "ok", (np.broadcast_arrays(*arrays), shape)
    sets = []
    for lat, lon in (arrays[:2], arrays[2:]):
        try:
            shape = np.broadcast_shapes(lat.shape, lon.shape)
        except ValueError:
            return "raise", (ValueError, f"{name}(): ")
        if len(shape) > 1:
            return "raise", (ValueError, f"{name}(): ")
        sets.append(np.broadcast_arrays(lat.reshape(-1), lon.reshape(-1)))
    (lat1, lon1), (lat2, lon2) = sets
    shape = (lat1.size, lat2.size)
    rows = [np.broadcast_to(a[:, np.newaxis], shape) for a in (lat1, lon1)]
    cols = [np.broadcast_to(a[np.newaxis, :], shape) for a in (lat2, lon2)]
    return "ok", ([*rows, *cols], shape)


PARAMS = ("lat1", "lon1", "lat2", "lon2")
PACKAGE_ARRAY_FUNCTIONS = [
    "geodesic_distance_batch",
    "great_circle_distance_batch",
    "geodesic_distance_matrix",
    "great_circle_distance_matrix",
]


@pytest.mark.parametrize("name", PACKAGE_ARRAY_FUNCTIONS)
@fuzz_settings
@given(data=st.data())
def test_package_array_functions_broadcast_or_name_the_problem(name, data):
    from orvik import distance

    fn = getattr(distance, name)
    scalar = getattr(_orvik.distance, name.rsplit("_", 1)[0])
    positional, keywords = data.draw(array_calls(Function("distance", name, PARAMS, Args.ARRAYS, Returns.ARRAY)))
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # NumPy warns of complex and overflowing conversions
        kind, detail = package_oracle(name, positional, keywords)
        error, result = _outcome_of(lambda: fn(*positional, **keywords))
    PACKAGE_STATS[kind] = PACKAGE_STATS.get(kind, 0) + 1
    if kind == "ok":
        assert error is None, f"{error!r} for convertible arguments"
        arrays, shape = detail
        if isinstance(result, float):  # numbers in, a number out
            assert shape == () and name.endswith("_batch"), result
            result = np.asarray(result)
        assert_same_bits(result, elementwise(scalar, arrays, shape))
    elif kind == "bind":
        assert type(error) is TypeError
    else:
        kind_expected, message = detail
        assert type(error) is kind_expected and str(error).startswith(message), error


def test_fuzzing_reached_every_outcome():
    """Runs after the fuzz tests above: the generators must keep producing
    calls that bind and convert, not only calls that fail early."""
    if not STATS:
        pytest.skip("the fuzz tests did not run in this session")
    total = sum(STATS.values())
    assert all(STATS.get(kind, 0) >= total // 20 for kind in ("bind", "convert", "ok")), STATS


def test_array_fuzzing_reached_every_outcome():
    if not ARRAY_STATS:
        pytest.skip("the array fuzz tests did not run in this session")
    total = sum(ARRAY_STATS.values())
    kinds = ("bind", "convert", "contiguous", "panic", "ok")
    assert all(ARRAY_STATS.get(kind, 0) >= total // 60 for kind in kinds), ARRAY_STATS
