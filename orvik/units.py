"""Unit conversions between metres, kilometres, feet, statute and nautical
miles, degrees and radians, and degree-minute-second triples.

Each conversion is exactly one multiplication or division by its constant.
Numbers give floats; array-likes give arrays (pandas Series for Series).
"""

from orvik._engine import (
    deg_to_dms,
    deg_to_rad,
    dms_to_deg,
    ft_to_m,
    km_to_m,
    km_to_mi,
    km_to_nm,
    m_to_ft,
    m_to_km,
    mi_to_km,
    nm_to_km,
    rad_to_deg,
)

__all__ = [
    "km_to_mi",
    "mi_to_km",
    "km_to_nm",
    "nm_to_km",
    "m_to_ft",
    "ft_to_m",
    "m_to_km",
    "km_to_m",
    "deg_to_rad",
    "rad_to_deg",
    "dms_to_deg",
    "deg_to_dms",
]
