#!/usr/bin/env bash
# Sets everything up (with the peers to compare against) and runs the whole
# benchmark suite, which rewrites docs/benchmarks.md and docs/benchmarks.png:
# the peers' table and plot (suite.py), then the reports of the geodesic
# array functions, nearest neighbours, Ctrl-C and the command line
# (record_docs.py), each in its own section.
set -euo pipefail
cd "$(dirname "$0")/.."
ORVIK_EXTRAS=test,bench bash scripts/setup.sh
.venv/bin/python -P benchmarks/suite.py "$@"
exec .venv/bin/python -P benchmarks/record_docs.py
