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

from function_table import Args, Function, check_result_shape, present, same_result

EXAMPLES = int(os.environ.get("ORVIK_FUZZ_EXAMPLES", "60"))
fuzz_settings = settings(
    max_examples=EXAMPLES, deadline=None, suppress_health_check=[HealthCheck.too_slow, HealthCheck.filter_too_much]
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



def test_fuzzing_reached_every_outcome():
    """Runs after the fuzz tests above: the generators must keep producing
    calls that bind and convert, not only calls that fail early."""
    if not STATS:
        pytest.skip("the fuzz tests did not run in this session")
    total = sum(STATS.values())
    assert all(STATS.get(kind, 0) >= total // 20 for kind in ("bind", "convert", "ok")), STATS
