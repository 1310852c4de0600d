#!/usr/bin/env bash
# Installs what is missing, builds and starts the program's main job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec build/src/bus-lauscher --replay samples/layout-evening.capture
