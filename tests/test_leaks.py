"""Calling every function many thousands of times, on good input and on every
error path of the call convention, must leave the process's memory and the
argument objects' reference counts where they were."""

from __future__ import annotations

import ctypes
import gc
import sys
import warnings

import pytest
from process_probes import UNDER_ADDRESS_SANITIZER

from function_table import Args, Function, present

ROUNDS = 10_000  # each round makes every call of a function's case list once
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


CASE_BUILDERS = {Args.FLOATS: float_call_cases, Args.NONE: noargs_call_cases}


def run_round(cases) -> None:
    for _, thunk in cases:
        try:
            thunk()
        except (TypeError, ValueError, OverflowError, ArithmeticError):
            pass


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


@pytest.mark.parametrize("function", present(Args.FLOATS) + present(Args.NONE), ids=str)
def test_no_growth_over_many_calls(function: Function, monkeypatch):
    monkeypatch.setattr(sys, "unraisablehook", lambda unraisable: None)
    cases, keep = CASE_BUILDERS[function.args](function)
    fn = function.resolve()
    watched = [fn, *keep]
    refcounts = [sys.getrefcount(obj) for obj in watched]
    heap = _libc_heap_probe()

    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        for _ in range(WARMUP_ROUNDS):
            run_round(cases)
        gc.collect()
        blocks0, heap0, rss0 = sys.getallocatedblocks(), heap() if heap else 0, _rss_bytes()
        for _ in range(ROUNDS):
            run_round(cases)
        gc.collect()
        blocks1, heap1, rss1 = sys.getallocatedblocks(), heap() if heap else 0, _rss_bytes()

    calls = ROUNDS * len(cases)
    assert blocks1 - blocks0 < BLOCK_ALLOWANCE, f"{blocks1 - blocks0} Python blocks kept over {calls} calls"
    if heap:
        assert heap1 - heap0 < HEAP_ALLOWANCE, f"{heap1 - heap0} C heap bytes kept over {calls} calls"
    if not _sanitized():  # the sanitizer's quarantine holds freed memory
        assert rss1 - rss0 < RSS_ALLOWANCE, f"RSS grew by {rss1 - rss0} bytes over {calls} calls"
    assert [sys.getrefcount(obj) for obj in watched] == refcounts


def test_cases_reach_their_paths(monkeypatch):
    """The case list really exercises the error paths: each case either
    succeeds or raises, as its label says, for a one- and a four-parameter
    function (a typo in a case would otherwise pass silently)."""
    monkeypatch.setattr(sys, "unraisablehook", lambda unraisable: None)
    succeeding = {"positional", "keywords reversed", "mixed", "last is float returns -1.0",
                  "last is float subclass", "last is big int"}
    for function in present(Args.FLOATS):
        if function.name not in ("ft_to_m", "geodesic_distance"):
            continue
        cases, _ = float_call_cases(function)
        for label, thunk in cases:
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")
                try:
                    thunk()
                except (TypeError, ValueError, OverflowError, ArithmeticError):
                    assert label not in succeeding, label
                else:
                    assert label in succeeding, label
