# The compiled engine of the package.  Its public functions are re-exported,
# and typed, by orvik.distance, orvik.geodesic and orvik.units; what follows
# is the private interface the package's Python code calls.
from typing import Any

from orvik.distance import (
    geodesic_destination as geodesic_destination,
    geodesic_distance as geodesic_distance,
    geodesic_inverse as geodesic_inverse,
    great_circle_destination as great_circle_destination,
    great_circle_distance as great_circle_distance,
)
from orvik.geodesic import direct as direct, inverse as inverse, wgs84_a as wgs84_a, wgs84_f as wgs84_f
from orvik.units import (
    deg_to_dms as deg_to_dms,
    deg_to_rad as deg_to_rad,
    dms_to_deg as dms_to_deg,
    ft_to_m as ft_to_m,
    km_to_m as km_to_m,
    km_to_mi as km_to_mi,
    km_to_nm as km_to_nm,
    m_to_ft as m_to_ft,
    m_to_km as m_to_km,
    mi_to_km as mi_to_km,
    nm_to_km as nm_to_km,
    rad_to_deg as rad_to_deg,
)

def great_circle_distance_into(out: Any, lat1: Any, lon1: Any, lat2: Any, lon2: Any, radius: Any) -> None: ...
def great_circle_destination_into(
    lat2: Any, lon2: Any, lat1: Any, lon1: Any, bearing: Any, distance: Any, radius: Any
) -> None: ...
def geodesic_inverse_into(outputs: tuple[Any, ...], lat1: Any, lon1: Any, lat2: Any, lon2: Any, ellipsoid: Any) -> None: ...
def geodesic_direct_into(outputs: tuple[Any, ...], lat1: Any, lon1: Any, azi1: Any, s12: Any, ellipsoid: Any) -> None: ...
def unit_into(name: str, out: Any, x: Any) -> None: ...
def dms_to_deg_into(out: Any, degrees: Any, arcminutes: Any, arcseconds: Any) -> None: ...
def deg_to_dms_into(degrees: Any, minutes: Any, seconds: Any, dd: Any) -> None: ...
def pool_size() -> int: ...
def set_process_thread_limit(n: int, /) -> int: ...
def set_thread_limit(n: int | None, /) -> int | None: ...
def thread_limit() -> int: ...
def _fail_pool_starts(n: int, /) -> None: ...
