"""The shortest distance from a point to a geodesic segment by brute force,
with PROJ's geodesics (pyproj), not orvik's: the segment is sampled at 2001
points, then again around the nearest sample, finer each round, until the
samples are a millimetre apart; the ends count exactly.  Slow, and
independent of the method under test."""

from __future__ import annotations

import numpy as np
from pyproj import Geod

WGS84 = Geod(ellps="WGS84")
SAMPLES = 2001


def brute_distance_to_segment(
    lat: float, lon: float, lat1: float, lon1: float, lat2: float, lon2: float, geod: Geod = WGS84
) -> tuple[float, float]:
    """(distance, along): the least distance in metres from (lat, lon) to the
    segment, and how far along the segment it is reached."""
    azimuth, _, length = geod.inv(lon1, lat1, lon2, lat2)
    ends = geod.inv([lon, lon], [lat, lat], [lon1, lon2], [lat1, lat2])[2]
    best_d, best_t = (ends[0], 0.0) if ends[0] <= ends[1] else (ends[1], length)
    low, high = 0.0, length
    while length > 0:
        t = np.linspace(low, high, SAMPLES)
        lons, lats, _ = geod.fwd(np.full(SAMPLES, lon1), np.full(SAMPLES, lat1), np.full(SAMPLES, azimuth), t)
        d = geod.inv(np.full(SAMPLES, lon), np.full(SAMPLES, lat), lons, lats)[2]
        k = int(np.argmin(d))
        if d[k] < best_d:
            best_d, best_t = float(d[k]), float(t[k])
        step = (high - low) / (SAMPLES - 1)
        if step < 1e-3:
            break
        low, high = max(0.0, t[k] - 2 * step), min(length, t[k] + 2 * step)
    return float(best_d), float(best_t)
