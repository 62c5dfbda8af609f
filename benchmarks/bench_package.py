"""What a scalar call through the package costs against the native call.

    .venv/bin/python -P benchmarks/bench_package.py

Times units.km_to_m called as `module.km_to_m(x)` through orvik.units and
through orvik._orvik.units (best of several repeats), and, for scale, a plain
Python wrapper around the native function, the design the package avoids.
"""

from __future__ import annotations

import timeit

import orvik.units
from orvik._orvik import units as native_units


def python_wrapper(km: float) -> float:
    return native_units.km_to_m(km)


def best_ns(statement: str, namespace: dict[str, object], number: int = 1_000_000) -> float:
    times = timeit.repeat(statement, globals=namespace, number=number, repeat=7)
    return min(times) / number * 1e9


def main() -> None:
    namespace = {"package": orvik.units, "native": native_units, "wrapper": python_wrapper}
    native = best_ns("native.km_to_m(1.5)", namespace)
    package = best_ns("package.km_to_m(1.5)", namespace)
    wrapped = best_ns("wrapper(1.5)", namespace)
    print(f"native   orvik._orvik.units.km_to_m : {native:6.1f} ns/call")
    print(f"package  orvik.units.km_to_m        : {package:6.1f} ns/call  ({package / native:.2f}x native)")
    print(f"a Python wrapper, for comparison    : {wrapped:6.1f} ns/call  ({wrapped / native:.2f}x native)")


if __name__ == "__main__":
    main()
