#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh "$@"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
