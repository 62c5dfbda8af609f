"""Runs the benchmarks that report in text and keeps each report, as it
printed it, in its own section of docs/benchmarks.md.

    .venv/bin/python -P benchmarks/record_docs.py [NAME ...]

NAME is one of the scripts below (without .py); default: all of them.
bench_geodesic_arrays.py writes its own table (--docs) and runs here too.
"""

from __future__ import annotations

import subprocess
import sys
from pathlib import Path

# Run with -P, which leaves this folder off sys.path.
sys.path.insert(0, str(Path(__file__).resolve().parent))
import docs_section  # noqa: E402

HERE = Path(__file__).resolve().parent
SCRIPTS = {
    "bench_geodesic_arrays": ["--docs"],
    "bench_neighbors": [],
    "bench_interrupt": [],
    "bench_cli": [],
}
TITLES = {
    "bench_neighbors": "Nearest neighbours against scikit-learn's BallTree(metric='haversine')",
    "bench_interrupt": "Ctrl-C during long calls: arrays of 1e8 elements, indexes of 1e7 points, radius queries",
    "bench_cli": "orvik batch against pyarrow read + compute + write",
}


def main() -> int:
    names = sys.argv[1:] or list(SCRIPTS)
    for name in names:
        print(f"--- {name}", flush=True)
        done = subprocess.run(
            [sys.executable, "-P", str(HERE / f"{name}.py"), *SCRIPTS[name]],
            capture_output=True, text=True, check=False,
        )  # fmt: skip
        sys.stdout.write(done.stdout)
        if done.returncode != 0:
            sys.stderr.write(done.stderr)
            return done.returncode
        if name in TITLES:
            report = f"{docs_section.machine_line()}\n\n### {TITLES[name]}\n\n```text\n{done.stdout.rstrip()}\n```"
            docs_section.write_section(name.removeprefix("bench_"), report)
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
