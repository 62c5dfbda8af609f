"""Batch behaviour that depends on process-wide first use, each in a fresh
interpreter: NumPy missing, a registry installed by other code, warnings
turned into errors."""

import json
import os
import subprocess
import sys
import textwrap

TESTS_DIR = os.path.dirname(os.path.abspath(__file__))


def run_isolated(script, *flags):
    env = dict(os.environ, PYTHONPATH=TESTS_DIR)
    done = subprocess.run(
        [sys.executable, "-P", *flags, "-c", textwrap.dedent(script)],
        capture_output=True, text=True, env=env, timeout=120,
    )
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout.splitlines()[-1])


def test_missing_numpy_panics_on_each_call_until_it_can_be_imported():
    out = run_isolated("""
        import json, sys

        class NoNumpy:
            def find_spec(self, name, path=None, target=None):
                if name == "numpy" or name.startswith("numpy."):
                    raise ModuleNotFoundError(f"No module named {name!r}", name=name)

        sys.meta_path.insert(0, NoNumpy())
        from orvik._orvik import distance
        imported_early = "numpy" in sys.modules
        seen = []
        for _ in range(2):
            try:
                distance.geodesic_distance_batch([1.0], [2.0], [3.0], [4.0])
            except Exception as e:
                seen.append("Exception " + repr(e))
            except BaseException as e:
                seen.append(type(e).__name__ + " " + str(e))
        sys.meta_path.pop(0)
        import numpy as np
        a = np.array([1.0, 2.0])
        after = distance.geodesic_distance_batch(a, a, a, a).tolist()
        print(json.dumps({"early": imported_early, "seen": seen, "after": after}))
    """)
    assert out["early"] is False
    prefix = ("PanicException Failed to access NumPy array API capsule: PyErr { type: "
              "<class 'ModuleNotFoundError'>, value: ModuleNotFoundError(\"No module named 'numpy'\")")
    assert len(out["seen"]) == 2
    for seen in out["seen"]:
        assert seen.startswith(prefix), seen
    assert out["after"] == [0.0, 0.0]


def test_registry_installed_by_other_code_is_used_and_released_in_reverse():
    out = run_isolated("""
        import ctypes, json
        import numpy as np
        from batch_support import (BorrowCheckingApi, PARAMS, REGISTRY_ATTRIBUTE, _Entry,
                                   _Release, multiarray)
        from orvik._orvik import distance

        NAME = REGISTRY_ATTRIBUTE.encode()
        names, log, codes = {}, [], {}

        def acquire(state, array):
            name = names.get(id(array), "?")
            log.append("+" + name)
            return codes.get(name, 0)

        def release(state, array):
            log.append("-" + names.get(id(array), "?"))

        entries = [_Entry(acquire), _Entry(lambda s, a: -1), _Release(release), _Release(release)]
        records = []

        def install(version):
            record = BorrowCheckingApi(version, None, *entries)
            records.append(record)
            new = ctypes.pythonapi.PyCapsule_New
            new.restype = ctypes.py_object
            new.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_void_p]
            setattr(multiarray(), REGISTRY_ATTRIBUTE, new(ctypes.addressof(record), NAME, None))

        def call(*args):
            for name, a in zip(PARAMS, args):
                names[id(a)] = name
            log.clear()
            try:
                distance.great_circle_distance_batch(*args)
                outcome = "ok"
            except BaseException as e:
                outcome = type(e).__name__ + ": " + str(e)
            return [outcome, list(log)]

        arrays = [np.zeros(3) for _ in range(4)]
        results = {}
        setattr(multiarray(), REGISTRY_ATTRIBUTE, 42)
        results["not-capsule"] = call(*arrays)
        install(0)
        results["version-0"] = call(*arrays)
        install(1)
        results["ok"] = call(*arrays)
        results["wrong-kind"] = call(arrays[0], arrays[1], [1.0], arrays[3])
        results["strided"] = call(arrays[0], arrays[1], np.zeros(6)[::2], arrays[3])
        results["short"] = call(arrays[0], arrays[1], arrays[2], np.zeros(1))
        codes["lat2"] = -1
        results["conflict"] = call(*arrays)
        codes["lat2"] = 0
        codes["lon1"] = 5
        results["odd-code"] = call(*arrays)
        print(json.dumps(results))
    """)
    internal = "PanicException: Interal borrow checking API error: PyErr { type: <class 'TypeError'>, value: "
    assert out["not-capsule"][0] == (
        internal + "TypeError(\"'int' object cannot be converted to 'PyCapsule'\"), traceback: None }"
    )
    assert out["version-0"][0].startswith(internal + "TypeError('Version 0 ")
    assert out["not-capsule"][1] == out["version-0"][1] == []
    everything = ["+lat1", "+lon1", "+lat2", "+lon2", "-lon2", "-lat2", "-lon1", "-lat1"]
    assert out["ok"] == ["ok", everything]
    assert out["wrong-kind"] == [
        "TypeError: argument 'lat2': 'list' object cannot be converted to 'PyArray<T, D>'",
        ["+lat1", "+lon1", "-lon1", "-lat1"],
    ]
    assert out["strided"] == ["TypeError: The given array is not contiguous", everything]
    assert out["short"] == [
        "PanicException: index out of bounds: the len is 1 but the index is 1", everything]
    assert out["conflict"] == [
        "PanicException: called `Result::unwrap()` on an `Err` value: AlreadyBorrowed",
        ["+lat1", "+lon1", "+lat2", "-lon1", "-lat1"],
    ]
    assert out["odd-code"] == [
        "PanicException: Unexpected return code 5 from borrow checking API",
        ["+lat1", "+lon1", "-lat1"],
    ]


def test_first_batch_call_under_warnings_as_errors():
    out = run_isolated("""
        import json
        import numpy as np
        from orvik._orvik import distance
        a = np.array([0.0, 10.0])
        r = distance.great_circle_distance_batch(a, a, a, a)
        print(json.dumps([r.tolist(), type(r.base).__name__]))
    """, "-W", "error")
    assert out == [[0.0, 0.0], "PySliceContainer"]
