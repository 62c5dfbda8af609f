"""Borrows registered in the shared registry: taken for every accepted array,
given back on every path, and respected when other code holds them."""

import numpy as np
import pytest

from batch_support import BATCH, panic_message, points, registry

ALREADY_BORROWED = "called `Result::unwrap()` on an `Err` value: AlreadyBorrowed"
FUNCTIONS = [pair[0] for pair in BATCH.values()]


@pytest.fixture(scope="module")
def reg():
    return registry()


def _wrong_kind(args, position):
    args[position] = [1.0] * 4
    return TypeError


def _strided(args, position):
    args[position] = np.concatenate([args[position]] * 2)[::2]
    return TypeError


def _short(args, position):
    args[position] = args[position][:2]
    return BaseException


FAILURES = [
    pytest.param(_wrong_kind, position, id=f"wrong-kind-{position}") for position in range(4)
] + [pytest.param(_strided, position, id=f"strided-{position}") for position in range(4)] + [
    pytest.param(_short, position, id=f"short-{position}") for position in (1, 2, 3)
]


@pytest.mark.parametrize("func", FUNCTIONS)
@pytest.mark.parametrize(("spoil", "position"), FAILURES)
def test_every_failure_gives_its_borrows_back(reg, func, spoil, position):
    args = points(4)
    expected = func(*args)
    spoiled = list(args)
    error = spoil(spoiled, position)
    with pytest.raises(error):
        func(*spoiled)
    reg.assert_unborrowed(*(a for a in spoiled if isinstance(a, np.ndarray)))
    # ...and the same arrays work again at once.
    np.testing.assert_array_equal(func(*args), expected)


@pytest.mark.parametrize("func", FUNCTIONS)
def test_success_gives_its_borrows_back_even_for_a_repeated_array(reg, func):
    a, b = points(3)[:2]
    func(a, a, a, b)
    reg.assert_unborrowed(a, b)


@pytest.mark.parametrize("func", FUNCTIONS)
@pytest.mark.parametrize("position", range(4))
def test_exclusive_borrow_elsewhere_is_already_borrowed(reg, func, position):
    args = points(4)
    held = args[position]
    assert reg.acquire_mut(held) == 0
    try:
        assert panic_message(func, *args) == ALREADY_BORROWED
        others = args[:position] + args[position + 1 :]
        reg.assert_unborrowed(*others)
        assert reg.acquire(held) == -1  # still held exclusively, untouched
    finally:
        reg.release_mut(held)
    func(*args)
    reg.assert_unborrowed(*args)


def test_only_overlapping_views_of_the_same_memory_conflict(reg):
    func = FUNCTIONS[0]
    base = np.linspace(0.0, 60.0, 16)
    held = base[0:6]
    assert reg.acquire_mut(held) == 0
    try:
        other = np.linspace(0.0, 60.0, 16)  # equal values, other memory
        assert panic_message(func, base[4:8], other[:4], other[:4], other[:4]) == ALREADY_BORROWED
        func(base[6:10], other[:4], base[12:16], base[8:12])
        func(other[:6], other[:6], other[:6], other[:6])
    finally:
        reg.release_mut(held)
    reg.assert_unborrowed(base, held)


def test_record_entries_as_other_modules_see_them(reg):
    assert reg.record.version == 1
    a = np.zeros(3)
    assert reg.acquire(a) == 0 and reg.acquire(a) == 0
    assert reg.acquire_mut(a) == -1
    reg.release(a)
    assert reg.acquire_mut(a) == -1  # one shared borrow is still there
    reg.release(a)
    reg.assert_unborrowed(a)
    a.flags.writeable = False
    assert reg.acquire_mut(a) == -2


def test_views_repeating_one_element_conflict_when_they_overlap(reg):
    # Arrays whose strides are all 0 on both sides used to reach a division
    # by zero in the conflict test.
    base = np.zeros(4)
    held = np.ndarray((3,), np.int32, buffer=base, offset=4, strides=(0,))
    probe = np.ndarray((5,), np.float64, buffer=base, offset=0, strides=(0,))
    apart = np.ndarray((5,), np.float64, buffer=base, offset=16, strides=(0,))
    assert held.base is base and probe.base is base
    assert reg.acquire_mut(held) == 0
    try:
        assert reg.acquire(probe) == -1
        assert reg.acquire_mut(probe) == -1
        ok = np.zeros(5)
        assert panic_message(FUNCTIONS[1], probe, ok, ok, ok) == ALREADY_BORROWED
        assert reg.acquire_mut(apart) == 0
        reg.release_mut(apart)
    finally:
        reg.release_mut(held)
    # Unborrowed, the probe is refused only for its layout.
    with pytest.raises(TypeError, match="^The given array is not contiguous$"):
        FUNCTIONS[1](probe, np.zeros(5), np.zeros(5), np.zeros(5))
    reg.assert_unborrowed(base, probe)


@pytest.mark.parametrize(
    ("held_dtype", "conflict"), [(np.uint8, False), (np.int16, True), (np.float32, True)]
)
def test_borrowed_range_ends_after_the_last_elements_bytes(reg, held_dtype, conflict):
    # The element size comes from the dtype descriptor, whose layout differs
    # between NumPy 1.x and 2.x.
    base = np.zeros(2)
    held = base.view(held_dtype)[0:1]
    probe = base.view(np.uint8)[1:2]
    assert reg.acquire_mut(held) == 0
    try:
        assert reg.acquire(probe) == (-1 if conflict else 0)
        if not conflict:
            reg.release(probe)
    finally:
        reg.release_mut(held)
    reg.assert_unborrowed(base)
