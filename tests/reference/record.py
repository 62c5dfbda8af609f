"""Records the outputs of every function, bit for bit, on fixed inputs.

    .venv/bin/python -P tests/reference/record.py

writes tests/reference/outputs.npz.  The file is committed: it is what the
build's results are compared against after any change to the engine, the
kernels or the GeographicLib build (tests/test_reference_outputs.py).  Run
it again only when a change of results is intended, and say so in the
commit.
"""

from __future__ import annotations

import math
import random
from pathlib import Path

import numpy as np

HERE = Path(__file__).resolve().parent
OUTPUT = HERE / "outputs.npz"
SEED = 20261209
COUNT = 3000

SPECIALS = (0.0, -0.0, 90.0, -90.0, 180.0, -180.0, 360.0, 540.0, 89.999999999, 1e-300,
            -1e300, 1e300, math.inf, -math.inf, math.nan, 91.0, -179.99999999)  # fmt: skip


def inputs(seed: int = SEED, count: int = COUNT) -> dict[str, np.ndarray]:
    """Four columns of point pairs (or start, azimuth and distance): mostly
    ordinary values, with poles, the antimeridian, near-antipodes,
    coincident points and special floats mixed in."""
    rng = random.Random(seed)
    lat1, lon1, lat2, lon2, azi, dist = ([] for _ in range(6))
    for i in range(count):
        a = rng.uniform(-90, 90)
        b = rng.uniform(-180, 180)
        kind = i % 10
        if kind == 7:  # near-antipodal
            c, d = -a + rng.uniform(-1e-3, 1e-3), b + 180 + rng.uniform(-1e-3, 1e-3)
        elif kind == 8:  # coincident or very close
            c, d = a + rng.choice((0.0, 1e-12, 1e-7)), b
        else:
            c, d = rng.uniform(-90, 90), rng.uniform(-180, 180)
        values = [a, b, c, d]
        if kind == 9:  # special values in random places
            for _ in range(rng.randint(1, 2)):
                values[rng.randrange(4)] = rng.choice(SPECIALS)
        elif kind == 6:  # poles and the antimeridian
            values[rng.randrange(4)] = rng.choice((90.0, -90.0, 180.0, -180.0))
        lat1.append(values[0])
        lon1.append(values[1])
        lat2.append(values[2])
        lon2.append(values[3])
        azi.append(rng.choice(SPECIALS) if kind == 9 and rng.random() < 0.3 else rng.uniform(-400, 400))
        dist.append(
            rng.choice((0.0, -1.0, 2e7, 4e7, math.nan, 1e9))
            if kind in (8, 9)
            else rng.uniform(0, 2.1e7)
        )
    as_array = lambda v: np.array(v, dtype=np.float64)  # noqa: E731
    return {
        "lat1": as_array(lat1), "lon1": as_array(lon1), "lat2": as_array(lat2),
        "lon2": as_array(lon2), "azi": as_array(azi), "dist": as_array(dist),
    }  # fmt: skip


# Fields that only echo an argument: compared by the tests of each function.
ECHOED = ("lat1", "lon1", "lat2", "lon2")


def outputs(native, columns: dict[str, np.ndarray]) -> dict[str, np.ndarray]:
    """Every computed output of orvik._orvik's functions for the columns."""
    d, g, u = native.distance, native.geodesic, native.units
    lat1, lon1, lat2, lon2 = (columns[k] for k in ("lat1", "lon1", "lat2", "lon2"))
    azi, dist = columns["azi"], columns["dist"]
    pairs = list(zip(lat1.tolist(), lon1.tolist(), lat2.tolist(), lon2.tolist()))
    starts = list(zip(lat1.tolist(), lon1.tolist(), azi.tolist(), dist.tolist()))
    out: dict[str, list[float]] = {}

    def put(name: str, value: float) -> None:
        out.setdefault(name, []).append(value)

    for p in pairs:
        put("distance.geodesic_distance", d.geodesic_distance(*p))
        put("distance.great_circle_distance", d.great_circle_distance(*p))
        for key, value in d.geodesic_inverse(*p).items():
            if key not in ECHOED:
                put(f"distance.geodesic_inverse.{key}", value)
        for key, value in g.inverse(*p).items():
            if key not in ECHOED:
                put(f"geodesic.inverse.{key}", value)
    for s in starts:
        for name, f in (("geodesic", d.geodesic_destination), ("great_circle", d.great_circle_destination)):
            lat, lon = f(*s)
            put(f"distance.{name}_destination.lat2", lat)
            put(f"distance.{name}_destination.lon2", lon)
        for key, value in g.direct(*s).items():
            if key in ("lat2", "lon2", "azi2"):
                put(f"geodesic.direct.{key}", value)
    for x in np.concatenate([lat1, dist]).tolist():
        for name in ("km_to_mi", "mi_to_km", "km_to_nm", "nm_to_km", "m_to_ft", "ft_to_m",
                     "m_to_km", "km_to_m", "deg_to_rad", "rad_to_deg"):  # fmt: skip
            put(f"units.{name}", getattr(u, name)(x))
        for key, value in zip(("degrees", "minutes", "seconds"), u.deg_to_dms(x)):
            put(f"units.deg_to_dms.{key}", value)
    for x, y, z in zip(lat1.tolist(), lon1.tolist(), dist.tolist()):
        put("units.dms_to_deg", u.dms_to_deg(x, y, z))
    put("geodesic.wgs84_a", g.wgs84_a())
    put("geodesic.wgs84_f", g.wgs84_f())
    return {name: np.array(values, dtype=np.float64) for name, values in out.items()}


def main() -> None:
    from orvik import _orvik

    columns = inputs()
    results = outputs(_orvik, columns)
    np.savez_compressed(OUTPUT, **{f"in.{k}": v for k, v in columns.items()},
                        **{f"out.{k}": v for k, v in results.items()})  # fmt: skip
    print(f"{OUTPUT}: {len(results)} outputs of {COUNT} cases")


if __name__ == "__main__":
    main()
