"""Every function of the package's compiled tables, as the engine describes
it (orvik._engine._function_table()), with plausible arguments: tests that
hold every function to the package's conventions are driven from here, so a
row added to a table is tested at once."""

from __future__ import annotations

import importlib
from dataclasses import dataclass
from typing import Any

from orvik import _engine

# Plausible values by parameter name: degrees, metres, or the units' own.
SAMPLES = {"lat1": 10.0, "lon1": 20.0, "lat2": 30.0, "lon2": 40.0, "bearing": 45.0, "azi1": 45.0,
           "distance": 1e6, "s12": 1e6, "degrees": 12.0, "arcminutes": 34.0, "arcseconds": 56.7,
           "lat": 15.0, "lon": 25.0, "lats": 10.0, "lons": 20.0}  # fmt: skip


@dataclass(frozen=True)
class Row:
    module: str
    name: str
    params: tuple[str, ...]
    keyword_only: tuple[str, ...]
    form: str
    fields: tuple[str, ...]
    field_types: tuple[str, ...]  # of each field for numbers in: "float", "bool" or "int"
    numbers_first: bool
    layout: str

    @property
    def function(self) -> Any:
        return getattr(importlib.import_module(self.module), self.name)

    def sample(self) -> tuple[float, ...]:
        return tuple(SAMPLES.get(p, 1.5) for p in self.params)

    def __str__(self) -> str:  # readable pytest ids
        return f"{self.module.rsplit('.', 1)[1]}.{self.name}"


def rows(*, form: str | None = None) -> list[Row]:
    """The table rows (not the functions with entry points of their own),
    optionally of one form."""
    out = []
    for r in _engine._function_table():
        if r["form"] == "shaped" or (form is not None and r["form"] != form):
            continue
        out.append(Row(r["module"], r["name"], tuple(r["params"]), tuple(k for k, _ in r["keyword_only"]),
                       r["form"], tuple(r["fields"]), tuple(r["field_types"]), r["numbers_first"],
                       r["layout"]))  # fmt: skip
    return out
