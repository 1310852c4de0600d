#!/usr/bin/env bash
# Installs what is missing, builds and starts the monitor: on the attached
# USB interface if there is one, otherwise on the built-in simulated bus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if compgen -G "/dev/ttyACM*" > /dev/null || compgen -G "/dev/ttyUSB*" > /dev/null; then
  exec build/src/bus-lauscher "$@"
fi
exec build/src/bus-lauscher --demo "$@"
