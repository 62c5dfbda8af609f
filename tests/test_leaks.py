"""Calling every function many thousands of times, on good input and on every
error path of the call convention, must leave the process's memory and the
argument objects' reference counts where they were."""

from __future__ import annotations

import ctypes
import gc
import sys
import warnings

import numpy as np
import pytest
from process_probes import UNDER_ADDRESS_SANITIZER

from function_table import Args, Function, present

ROUNDS = 10_000  # each round makes every call of a function's case list once
# Array calls cost more (a pool job each); 4,000 rounds still turn a leak of
# the smallest allocation on any path into far more than the allowances.
ARRAY_ROUNDS = 4_000
WARMUP_ROUNDS = 200
# Python-allocator blocks and C heap bytes that may come and go in caches and
# free lists; a leak of one small object or one C++ string on any single path
# exceeds them by far over ROUNDS.
BLOCK_ALLOWANCE = 300
HEAP_ALLOWANCE = 48 * 1024
RSS_ALLOWANCE = 2 * 1024 * 1024


class FloatRaises:
    def __init__(self, exc_type, cause=None):
        self.exc_type = exc_type
        self.cause = cause

    def __float__(self):
        exc = self.exc_type("boom from __float__")
        if self.cause is not None:
            raise exc from self.cause()
        raise exc


class FloatReturns:
    def __init__(self, value):
        self.value = value

    def __float__(self):
        return self.value


class IndexReturns:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        if isinstance(self.value, type):
            raise self.value("boom from __index__")
        return self.value


class TypeErrorSubclass(TypeError):
    pass


class UnprintableName(str):
    def __str__(self):
        raise RuntimeError("no text for this keyword")


class FloatSubclass(float):
    pass


def _fresh_float(x: float) -> float:
    # A float object of its own, not shared with constants in this module.
    return float(repr(x))


def float_call_cases(f: Function):
    """(label, thunk, argument objects) for every path of a float function."""
    fn = f.resolve()
    p = f.params
    good = [_fresh_float(x) for x in f.sample]
    last = len(p) - 1
    head = good[:last]

    def with_last(value):
        return lambda: fn(*head, value)

    bad_values = {
        "str": "not a number",
        "none": None,
        "list": [1.0],
        "huge int": 10**400,
        "float raises ValueError": FloatRaises(ValueError),
        "float raises TypeError with cause": FloatRaises(TypeError, cause=KeyError),
        "float raises TypeError subclass": FloatRaises(TypeErrorSubclass),
        "float returns str": FloatReturns("1.5"),
        "float returns -1.0": FloatReturns(-1.0),
        "index raises": IndexReturns(ArithmeticError),
        "index overflows": IndexReturns(-(10**400)),
        "index returns float": IndexReturns(1.5),
        "float subclass": FloatSubclass(2.5),
        "big int": 2**52 + 1,
    }
    kw_good = dict(zip(p, good))
    kw_rev = dict(reversed(list(kw_good.items())))
    odd_name = UnprintableName(p[0] + "_x")
    cases = [
        ("positional", lambda: fn(*good)),
        ("keywords reversed", lambda: fn(**kw_rev)),
        ("mixed", lambda: fn(*head, **{p[last]: good[last]})),
        ("too many", lambda: fn(*good, 1.0)),
        ("too many and unknown keyword", lambda: fn(*good, 1.0, nope=1.0)),
        ("none given", lambda: fn()),
        ("one missing", lambda: fn(*head)),
        ("unknown keyword", lambda: fn(*head, nope=1.0)),
        ("undecodable keyword", lambda: fn(*head, **{"\udcff": 1.0})),
        ("unprintable keyword", lambda: fn(*head, **{odd_name: 1.0})),
        ("multiple values", lambda: fn(*good, **{p[0]: 1.0})),
    ]
    cases += [(f"last is {label}", with_last(v)) for label, v in bad_values.items()]
    cases.append(("first is str", lambda: fn("x", *good[1:])))
    keep = [*good, *bad_values.values(), odd_name, *kw_good.values()]
    return cases, keep


def noargs_call_cases(f: Function):
    fn = f.resolve()
    arg = _fresh_float(3.5)
    cases = [("no argument", lambda: fn()), ("one argument", lambda: fn(arg)), ("keyword", lambda: fn(x=arg))]
    return cases, [arg]


def array_call_cases(f: Function):
    """Every path of a native batch function: good calls, the call
    convention's refusals, each kind of unacceptable array, and the panic
    of a later array shorter than the first."""
    fn = f.resolve()
    good = [np.linspace(-60.0, 60.0, 8) + k for k in range(4)]
    head = good[:3]
    kw_rev = dict(reversed(list(zip(f.params, good))))
    refused = {
        "list": [1.0] * 8,
        "none": None,
        "float": 1.5,
        "numpy scalar": np.float64(1.5),
        "0-d": np.array(1.5),
        "2-d": np.zeros((2, 4)),
        "float32": np.zeros(8, dtype=np.float32),
        "byte-swapped": np.zeros(8, dtype=">f8"),
        "every second element": np.zeros(16)[::2],
    }
    shorter = good[1][:7]  # only the last index fails: one report per call
    cases = [
        ("positional", lambda: fn(*good)),
        ("keywords reversed", lambda: fn(**kw_rev)),
        ("mixed", lambda: fn(*head, lon2=good[3])),
        ("same array for every parameter", lambda: fn(good[0], good[0], good[0], good[0])),
        ("too many", lambda: fn(*good, good[0])),
        ("one missing", lambda: fn(*head)),
        ("unknown keyword", lambda: fn(*head, nope=good[3])),
        ("multiple values", lambda: fn(*good, lat1=good[0])),
        ("shorter later array", lambda: fn(good[0], shorter, good[2], good[3])),
        ("not contiguous first, wrong kind last", lambda: fn(refused["every second element"], *good[1:3], [1.0])),
    ]
    cases += [(f"last is {label}", lambda v=v: fn(*head, v)) for label, v in refused.items()]
    cases += [(f"first is {label}", lambda v=v: fn(v, *good[1:])) for label, v in refused.items()]
    return cases, [*good, shorter, *refused.values()]


def package_call_cases(name: str):
    """A package function over array-likes, on good ones and on each of
    their refusals."""
    from orvik import distance, geodesic

    fn = getattr(distance, name, None) or getattr(geodesic, name)
    a, b = np.linspace(-60.0, 60.0, 4), np.linspace(10.0, 20.0, 4)
    column, lst = a[:3].reshape(3, 1), [1.0, 2.0, 3.0, 4.0]
    cases = [
        ("arrays", lambda: fn(a, b, a, b)),
        ("list and scalars", lambda: fn(lst, 1.5, b, 2.5)),
        ("unconvertible strings", lambda: fn(a, b, ["x"] * 4, b)),
        ("unconvertible mapping", lambda: fn(a, b, a, {"x": 1})),
        ("too few", lambda: fn(a, b, a)),
        ("unknown keyword", lambda: fn(a, b, a, nope=b)),
    ]
    if name == "inverse_batch":
        cases += [
            ("unknown output", lambda: fn(a, b, a, b, outputs=("s12", "nope"))),
            ("an output twice", lambda: fn(a, b, a, b, outputs=["S12", "S12"])),
        ]
    if name.endswith("_matrix"):
        cases += [
            ("two-dimensional set", lambda: fn(column, column, a, b)),
            ("set shapes differ", lambda: fn(a, b, a[:2], b[:3])),
        ]
    else:
        cases += [
            ("broadcast to 2-D", lambda: fn(column, b, a, 0.0)),
            ("shapes cannot broadcast", lambda: fn(a, b, a[:3], b)),
        ]
    return cases, [fn, a, b, column, lst]


PACKAGE_FUNCTIONS = [
    "geodesic_distance_batch",
    "great_circle_distance_batch",
    "geodesic_distance_matrix",
    "great_circle_distance_matrix",
    "geodesic_inverse",
    "inverse_batch",
]
CASE_BUILDERS = {Args.FLOATS: float_call_cases, Args.NONE: noargs_call_cases, Args.ARRAYS: array_call_cases}
EXPECTED_ERRORS = (TypeError, ValueError, OverflowError, ArithmeticError)


def run_round(cases) -> None:
    for _, thunk in cases:
        try:
            thunk()
        except EXPECTED_ERRORS:
            pass
        except BaseException as exc:  # a panic is a BaseException, and expected here
            if type(exc).__name__ != "PanicException":
                raise


_MALLINFO2_FIELDS = "arena ordblks smblks hblks hblkhd usmblks fsmblks uordblks fordblks keepcost".split()


class _MallInfo2(ctypes.Structure):
    _fields_ = [(name, ctypes.c_size_t) for name in _MALLINFO2_FIELDS]


def _libc_heap_probe():
    """Bytes in use on the C heap, or None when they cannot be read reliably
    (an address-sanitized process replaces the allocator)."""
    libc = ctypes.CDLL(None)
    if hasattr(libc, "__asan_init") or not hasattr(libc, "mallinfo2"):
        return None
    libc.mallinfo2.restype = _MallInfo2

    def probe() -> int:
        info = libc.mallinfo2()
        return info.uordblks + info.hblkhd

    return probe


def _rss_bytes() -> int:
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * 4096


def _sanitized() -> bool:
    return UNDER_ADDRESS_SANITIZER


def assert_no_growth(cases, watched, rounds: int, monkeypatch) -> None:
    """Runs the cases `rounds` times after a warm-up: the allocators and the
    process keep no more memory than the allowances, and every watched
    object's reference count is back where it was."""
    monkeypatch.setattr(sys, "unraisablehook", lambda unraisable: None)
    refcounts = [sys.getrefcount(obj) for obj in watched]
    heap = _libc_heap_probe()

    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        for _ in range(WARMUP_ROUNDS):
            run_round(cases)
        gc.collect()
        blocks0, heap0, rss0 = sys.getallocatedblocks(), heap() if heap else 0, _rss_bytes()
        for _ in range(rounds):
            run_round(cases)
        gc.collect()
        blocks1, heap1, rss1 = sys.getallocatedblocks(), heap() if heap else 0, _rss_bytes()

    calls = rounds * len(cases)
    assert blocks1 - blocks0 < BLOCK_ALLOWANCE, f"{blocks1 - blocks0} Python blocks kept over {calls} calls"
    if heap:
        assert heap1 - heap0 < HEAP_ALLOWANCE, f"{heap1 - heap0} C heap bytes kept over {calls} calls"
    if not _sanitized():  # the sanitizer's quarantine holds freed memory
        assert rss1 - rss0 < RSS_ALLOWANCE, f"RSS grew by {rss1 - rss0} bytes over {calls} calls"
    assert [sys.getrefcount(obj) for obj in watched] == refcounts


@pytest.mark.parametrize("function", present(Args.FLOATS) + present(Args.NONE) + present(Args.ARRAYS), ids=str)
def test_no_growth_over_many_calls(function: Function, monkeypatch):
    cases, keep = CASE_BUILDERS[function.args](function)
    rounds = ARRAY_ROUNDS if function.args is Args.ARRAYS else ROUNDS
    assert_no_growth(cases, [function.resolve(), *keep], rounds, monkeypatch)


@pytest.mark.parametrize("name", PACKAGE_FUNCTIONS)
def test_package_array_functions_keep_no_memory(name, monkeypatch):
    cases, keep = package_call_cases(name)
    assert_no_growth(cases, keep, ARRAY_ROUNDS, monkeypatch)


def test_point_index_keeps_no_memory(monkeypatch):
    from orvik.neighbors import PointIndex

    a, b = np.linspace(-60.0, 60.0, 40), np.linspace(10.0, 20.0, 40)
    index = PointIndex(a, b)
    cases = [
        ("build", lambda: PointIndex(a, b, ellipsoid=(6378137.0, 0.01))),
        ("bad point", lambda: PointIndex(a, [np.nan] * 40)),
        ("query", lambda: index.query(a, b, 2)),
        ("radius", lambda: index.query_radius(a, b, 1e6, method="great-circle")),
        ("bad method", lambda: index.query(a, b, 2, method="far")),
        ("bad k", lambda: index.query(a, b, 0)),
        ("shapes differ", lambda: index.query_radius(a, b[:3], a)),
        ("pickle", lambda: index.__reduce__()),
        ("bad ellipsoid", lambda: PointIndex(a, b, ellipsoid="Airy")),
    ]
    assert_no_growth(cases, [index, a, b], ARRAY_ROUNDS // 4, monkeypatch)


def outcome(thunk) -> str:
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        try:
            thunk()
        except EXPECTED_ERRORS:
            return "error"
        except BaseException as exc:
            assert type(exc).__name__ == "PanicException", exc
            return "panic"
    return "ok"


SUCCEEDING = {
    "positional", "keywords reversed", "mixed", "last is float returns -1.0", "last is float subclass",
    "last is big int", "same array for every parameter", "arrays", "list and scalars", "broadcast to 2-D",
    "good", "broadcast input",
}


def test_cases_reach_their_paths(monkeypatch):
    """The case lists really exercise the error paths: each case succeeds,
    raises or panics as its label says, for a one- and a four-parameter float
    function and every array function (a typo in a case would otherwise pass
    silently)."""
    monkeypatch.setattr(sys, "unraisablehook", lambda unraisable: None)
    lists = [float_call_cases(f)[0] for f in present(Args.FLOATS) if f.name in ("ft_to_m", "geodesic_distance")]
    lists += [array_call_cases(f)[0] for f in present(Args.ARRAYS)]
    lists += [package_call_cases(name)[0] for name in PACKAGE_FUNCTIONS]
    for cases in lists:
        for label, thunk in cases:
            want = "ok" if label in SUCCEEDING else "panic" if label == "shorter later array" else "error"
            assert outcome(thunk) == want, label
