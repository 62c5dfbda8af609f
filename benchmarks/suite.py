"""The whole benchmark suite in one command.

Measures, in one run on one machine, the per-call cost of the scalar
functions and the throughput of the batch functions (n = 1e2 .. 1e7) for orvik
and its peers: pyproj's Geod, the geographiclib package, geopy, the haversine
package, scikit-learn's haversine_distances and a NumPy haversine written with
ufuncs.  Writes docs/benchmarks.md (tables) and docs/benchmarks.png (plot).

    .venv/bin/python -P benchmarks/suite.py            # full run
    .venv/bin/python -P benchmarks/suite.py --quick    # smaller sizes, fewer repeats
"""

from __future__ import annotations

import sys

import argparse
import datetime
import math
from pathlib import Path
from typing import Callable

import numpy as np

# Run with -P, which leaves this folder off sys.path.
sys.path.insert(0, str(Path(__file__).resolve().parent))
import docs_section  # noqa: E402
from timing import best_time  # noqa: E402

import orvik
from orvik import distance

R = 6371008.8
DOCS = Path(__file__).resolve().parent.parent / "docs"


# --- the machine -------------------------------------------------------------
def machine_description() -> str:
    return f"{docs_section.machine()}, NumPy {np.__version__}"


# --- the peers ---------------------------------------------------------------
def numpy_haversine(lat1, lon1, lat2, lon2):
    k = 0.017453292519943295
    dlon = (lon2 - lon1) * k
    phi1 = lat1 * k
    phi2 = lat2 * k
    s = np.sin((phi2 - phi1) * 0.5)
    t = np.sin(dlon * 0.5)
    h = s * s + (np.cos(phi1) * np.cos(phi2)) * (t * t)
    a = np.arcsin(np.sqrt(np.minimum(h, 1.0)))
    return (a + a) * R


def python_haversine(lat1, lon1, lat2, lon2):
    k = 0.017453292519943295
    s = math.sin((lat2 * k - lat1 * k) * 0.5)
    t = math.sin((lon2 - lon1) * k * 0.5)
    h = s * s + (math.cos(lat1 * k) * math.cos(lat2 * k)) * (t * t)
    a = math.asin(math.sqrt(min(h, 1.0)))
    return (a + a) * R


def optional(name: str):
    try:
        return __import__(name)
    except ImportError:
        return None


def scalar_cases() -> dict[str, dict[str, Callable[[float, float, float, float], float]]]:
    great_circle: dict[str, Callable] = {
        "orvik": distance.great_circle_distance,
        "pure Python": python_haversine,
    }
    geodesic: dict[str, Callable] = {"orvik": distance.geodesic_distance}
    if hv := optional("haversine"):
        great_circle["haversine"] = lambda a, b, c, d: hv.haversine((a, b), (c, d), unit=hv.Unit.METERS)
    if optional("geopy"):
        from geopy import distance as gd

        great_circle["geopy"] = lambda a, b, c, d: gd.great_circle((a, b), (c, d)).meters
        geodesic["geopy"] = lambda a, b, c, d: gd.geodesic((a, b), (c, d)).meters
    if optional("pyproj"):
        from pyproj import Geod

        g = Geod(ellps="WGS84")
        geodesic["pyproj"] = lambda a, b, c, d: g.inv(b, a, d, c)[2]
    if optional("geographiclib"):
        from geographiclib.geodesic import Geodesic

        inverse = Geodesic.WGS84.Inverse
        geodesic["geographiclib"] = lambda a, b, c, d: inverse(a, b, c, d)["s12"]
    return {"great-circle": great_circle, "geodesic": geodesic}


def batch_cases() -> dict[str, dict[str, tuple[Callable, float]]]:
    """Per model: library -> (fn(lat1, lon1, lat2, lon2), largest n worth timing)."""
    great_circle: dict[str, tuple[Callable, float]] = {
        "orvik": (distance.great_circle_distance_batch, 1e7),
        "NumPy haversine": (numpy_haversine, 1e7),
    }
    geodesic: dict[str, tuple[Callable, float]] = {"orvik": (distance.geodesic_distance_batch, 1e7)}
    if hv := optional("haversine"):
        def haversine_vector(a, b, c, d):
            return hv.haversine_vector(np.column_stack((a, b)), np.column_stack((c, d)), unit=hv.Unit.METERS)

        great_circle["haversine_vector"] = (haversine_vector, 1e7)
    if optional("pyproj"):
        from pyproj import Geod

        g = Geod(ellps="WGS84")
        geodesic["pyproj"] = (lambda a, b, c, d: g.inv(b, a, d, c)[2], 1e6)
    if optional("geographiclib"):
        from geographiclib.geodesic import Geodesic

        inverse = Geodesic.WGS84.Inverse
        geodesic["geographiclib"] = (
            lambda a, b, c, d: np.array([inverse(*p)["s12"] for p in zip(a, b, c, d)]),
            1e4,
        )
    if optional("geopy"):
        from geopy import distance as gd

        geodesic["geopy"] = (
            lambda a, b, c, d: np.array([gd.geodesic((w, x), (y, z)).meters for w, x, y, z in zip(a, b, c, d)]),
            1e3,
        )
    return {"great-circle": great_circle, "geodesic": geodesic}


def random_points(n: int, seed: int = 7):
    rng = np.random.default_rng(seed)
    lat = lambda: rng.uniform(-90, 90, n)  # noqa: E731
    lon = lambda: rng.uniform(-180, 180, n)  # noqa: E731
    return lat(), lon(), lat(), lon()


# --- running -----------------------------------------------------------------
def run_scalar(min_time: float, repeat: int) -> dict[str, dict[str, float]]:
    pts = [tuple(map(float, p)) for p in zip(*random_points(256))]
    out: dict[str, dict[str, float]] = {}
    for model, libs in scalar_cases().items():
        out[model] = {}
        for lib, fn in libs.items():
            def loop(fn=fn):
                for a, b, c, d in pts:
                    fn(a, b, c, d)

            out[model][lib] = best_time(loop, min_time, repeat) / len(pts)
            print(f"  scalar {model:12} {lib:16} {out[model][lib] * 1e9:10.0f} ns/call", flush=True)
    return out


def run_batch(sizes: list[int], min_time: float, repeat: int) -> dict[str, dict[str, dict[int, float]]]:
    out: dict[str, dict[str, dict[int, float]]] = {}
    for model, libs in batch_cases().items():
        out[model] = {lib: {} for lib in libs}
        for n in sizes:
            arrays = random_points(n)
            for lib, (fn, cap) in libs.items():
                if n > cap:
                    continue
                seconds = best_time(lambda fn=fn: fn(*arrays), min_time, repeat)
                out[model][lib][n] = n / seconds
                print(f"  batch  {model:12} {lib:16} n={n:<9} {n / seconds / 1e6:10.2f} M pairs/s", flush=True)
    return out


def run_matrix(sizes: list[int], min_time: float, repeat: int) -> dict[str, dict[int, float]]:
    out: dict[str, dict[int, float]] = {}
    libs: dict[str, Callable] = {}
    if hasattr(distance, "great_circle_distance_matrix"):
        libs["orvik"] = distance.great_circle_distance_matrix
    libs["NumPy haversine"] = lambda a, b, c, d: numpy_haversine(a[:, None], b[:, None], c[None, :], d[None, :])
    if optional("sklearn"):
        from sklearn.metrics.pairwise import haversine_distances

        libs["scikit-learn"] = lambda a, b, c, d: haversine_distances(
            np.radians(np.column_stack((a, b))), np.radians(np.column_stack((c, d)))
        ) * R
    for lib in libs:
        out[lib] = {}
    for n in sizes:
        a, b, c, d = random_points(n)
        for lib, fn in libs.items():
            seconds = best_time(lambda fn=fn: fn(a, b, c, d), min_time, repeat)
            out[lib][n] = n * n / seconds
            print(f"  matrix {lib:16} {n}x{n:<7} {n * n / seconds / 1e6:10.2f} M pairs/s", flush=True)
    return out


# --- reporting ---------------------------------------------------------------
def fmt_n(n: int) -> str:
    return f"1e{round(math.log10(n))}" if n >= 100 and 10 ** round(math.log10(n)) == n else str(n)


def write_markdown(path: Path, header: str, scalar, batch, matrix) -> None:
    lines = [header, ""]
    lines += ["### Scalar calls (ns per call; lower is better)", "", "| model | library | ns/call | vs orvik |", "|---|---|---:|---:|"]
    for model, libs in scalar.items():
        base = libs["orvik"]
        for lib, t in sorted(libs.items(), key=lambda kv: kv[1]):
            lines.append(f"| {model} | {lib} | {t * 1e9:.0f} | {t / base:.1f}x |")
    for model, libs in batch.items():
        sizes = sorted({n for per in libs.values() for n in per})
        lines += ["", f"### {model.capitalize()} batch (million pairs per second; higher is better)", ""]
        lines.append("| library | " + " | ".join(f"n={fmt_n(n)}" for n in sizes) + " |")
        lines.append("|---|" + "---:|" * len(sizes))
        for lib, per in libs.items():
            cells = [f"{per[n] / 1e6:.2f}" if n in per else "–" for n in sizes]
            lines.append(f"| {lib} | " + " | ".join(cells) + " |")
    if matrix:
        sizes = sorted({n for per in matrix.values() for n in per})
        lines += ["", "### Great-circle distance matrix, n x n (million pairs per second)", ""]
        lines.append("| library | " + " | ".join(f"{n}x{n}" for n in sizes) + " |")
        lines.append("|---|" + "---:|" * len(sizes))
        for lib, per in matrix.items():
            lines.append(f"| {lib} | " + " | ".join(f"{per[n] / 1e6:.2f}" for n in sizes) + " |")
    # The sections other benchmark scripts own stay, after these tables.
    kept = docs_section.sections(path.read_text(encoding="utf-8")) if path.exists() else ""
    path.write_text("\n".join(lines) + "\n" + ("\n" + kept if kept else ""), encoding="utf-8")


def write_plot(path: Path, title: str, scalar, batch) -> None:
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    fig, axes = plt.subplots(1, 3, figsize=(17, 5.2))
    for ax, (model, libs) in zip(axes[:2], batch.items()):
        for lib, per in libs.items():
            if per:
                ns = sorted(per)
                ax.plot(ns, [per[n] / 1e6 for n in ns], marker="o", lw=2.5 if lib == "orvik" else 1.5, label=lib)
        ax.set(xscale="log", yscale="log", xlabel="pairs per call (n)", ylabel="million pairs / s",
               title=f"{model} batch throughput")
        ax.grid(True, which="both", alpha=0.3)
        ax.legend(fontsize=8)
    ax = axes[2]
    labels, values = [], []
    for model, libs in scalar.items():
        for lib, t in sorted(libs.items(), key=lambda kv: kv[1]):
            labels.append(f"{model}: {lib}")
            values.append(t * 1e9)
    ax.barh(labels, values, color=["tab:red" if "orvik" in s else "tab:gray" for s in labels])
    ax.set(xscale="log", xlabel="ns per call (log)", title="scalar call cost")
    ax.invert_yaxis()
    ax.tick_params(axis="y", labelsize=8)
    fig.suptitle(title, fontsize=10)
    fig.tight_layout()
    fig.savefig(path, dpi=110)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="sizes up to 1e6, shorter timings")
    parser.add_argument("--out", type=Path, default=DOCS, help="folder for benchmarks.md and benchmarks.png")
    args = parser.parse_args()
    max_exp = 6 if args.quick else 7
    min_time, repeat = (0.05, 3) if args.quick else (0.2, 5)

    when = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")
    where = machine_description()
    print(f"orvik {orvik.__version__} on {where}, {when}")
    scalar = run_scalar(min_time, repeat)
    batch = run_batch([10**e for e in range(2, max_exp + 1)], min_time, repeat)
    matrix = run_matrix([100, 1000] if args.quick else [100, 1000, 3000], min_time, repeat)

    args.out.mkdir(parents=True, exist_ok=True)
    header = f"Measured {when} on {where}; orvik {orvik.__version__}."
    write_markdown(args.out / "benchmarks.md", header, scalar, batch, matrix)
    write_plot(args.out / "benchmarks.png", f"orvik vs peers — {where} — {when}", scalar, batch)
    print(f"wrote {args.out / 'benchmarks.md'} and {args.out / 'benchmarks.png'}")


if __name__ == "__main__":
    main()
