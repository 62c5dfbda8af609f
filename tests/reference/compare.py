"""How far this build's outputs are from a recorded set, output by output.

    .venv/bin/python -P tests/reference/compare.py [--against FILE] [--save FILE]

computes every output of record.py on the recorded inputs and prints, per
output name, how many values differ from FILE (default: the committed
outputs.npz) and the largest distance in units in the last place.  NaN
against NaN, whatever the payload, counts as the same; a NaN against a
number, or values of opposite sign, count as "far".  --save writes this
build's outputs in record.py's format, to compare two builds (e.g. before and
after a GeographicLib update, both on one machine).  Run it before recording
again: a change of a few ulp is rounding, anything more is a change of
behaviour to look into.
"""

from __future__ import annotations

import argparse
import sys
from pathlib import Path

import numpy as np

# -P leaves the script's own directory off sys.path.
sys.path.insert(0, str(Path(__file__).resolve().parent))
import record  # noqa: E402

FAR = np.iinfo(np.int64).max


def ordered(values: np.ndarray) -> np.ndarray:
    """Integers in the order of the doubles, adjacent doubles one apart
    (-0.0 and 0.0 both 0)."""
    bits = np.ascontiguousarray(values, dtype=np.float64).view(np.int64)
    return np.where(bits < 0, np.int64(np.iinfo(np.int64).min) - bits, bits)


def ulp_distance(got: np.ndarray, want: np.ndarray) -> np.ndarray:
    """Per value: 0 where the same (NaN and NaN are), FAR where incomparable."""
    got_nan, want_nan = np.isnan(got), np.isnan(want)
    a, b = ordered(got), ordered(want)
    # Differences of opposite signs could overflow int64: they are far anyway.
    same_side = (a >= 0) == (b >= 0)
    with np.errstate(over="ignore"):
        distance = np.where(same_side, np.abs(a - b), FAR)
    distance = np.where(got_nan | want_nan, FAR, distance)
    return np.where(got_nan & want_nan, 0, distance)


def compare(got: dict[str, np.ndarray], want: dict[str, np.ndarray]) -> list[tuple[str, int, int, int]]:
    """(name, values, changed, max ulp) for each output in either set."""
    rows = []
    for name in sorted(set(got) | set(want)):
        if name not in got or name not in want:
            rows.append((name, 0, -1, FAR))
            continue
        d = ulp_distance(got[name], want[name])
        rows.append((name, d.size, int(np.count_nonzero(d)), int(d.max(initial=0))))
    return rows


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--against", type=Path, default=record.OUTPUT, help="recorded outputs (npz)")
    parser.add_argument("--save", type=Path, help="write this build's outputs here")
    args = parser.parse_args()

    from orvik import _orvik

    recorded = np.load(args.against)
    columns = {k[3:]: recorded[k] for k in recorded.files if k.startswith("in.")}
    want = {k[4:]: recorded[k] for k in recorded.files if k.startswith("out.")}
    got = record.outputs(_orvik, columns)
    if args.save:
        np.savez_compressed(args.save, **{f"in.{k}": v for k, v in columns.items()},
                            **{f"out.{k}": v for k, v in got.items()})  # fmt: skip

    width = max(len(name) for name in got | want)
    print(f"{'output':<{width}}  {'values':>6}  {'changed':>7}  {'max ulp':>8}")
    for name, size, changed, worst in compare(got, want):
        if changed < 0:
            print(f"{name:<{width}}  only in {'this build' if name in got else args.against.name}")
            continue
        shown = "far" if worst == FAR else str(worst)
        print(f"{name:<{width}}  {size:>6}  {changed:>7}  {shown:>8}")


if __name__ == "__main__":
    main()
