"""Command line: a table of great-circle distances between well-known cities."""

from __future__ import annotations

import csv
import sys
from importlib import resources

from orvik._orvik import distance


def load_cities() -> list[tuple[str, float, float]]:
    text = resources.files("orvik").joinpath("data/cities.csv").read_text(encoding="utf-8")
    return [(row["name"], float(row["lat"]), float(row["lon"])) for row in csv.DictReader(text.splitlines())]


def main(argv: list[str] | None = None) -> int:
    cities = load_cities()
    width = max(len(name) for name, _, _ in cities)
    print("Great-circle distances (km)")
    print(" " * width + "".join(f"{name[:9]:>11}" for name, _, _ in cities))
    for name, lat1, lon1 in cities:
        row = "".join(
            f"{distance.great_circle_distance(lat1, lon1, lat2, lon2) / 1000:>11.1f}" for _, lat2, lon2 in cities
        )
        print(f"{name:<{width}}{row}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
