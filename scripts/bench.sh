#!/usr/bin/env bash
# Sets everything up (with the peers to compare against) and runs the whole
# benchmark suite, which rewrites docs/benchmarks.md and docs/benchmarks.png.
set -euo pipefail
cd "$(dirname "$0")/.."
ORVIK_EXTRAS=test,bench bash scripts/setup.sh
exec .venv/bin/python -P benchmarks/suite.py "$@"
