#!/usr/bin/env bash
# Sets everything up and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# -P keeps the source checkout off sys.path so the installed package runs.
exec .venv/bin/python -P -m orvik "$@"
