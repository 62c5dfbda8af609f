#!/usr/bin/env bash
# Sets everything up and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# -P keeps the source checkout off sys.path, so the installed package (with
# its compiled module) is the one under test.
.venv/bin/python -P -m pytest -q "$@"
