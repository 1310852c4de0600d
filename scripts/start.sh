#!/usr/bin/env bash
# Installs what is missing, builds and starts the monitor: on the attached
# USB interface if there is one, otherwise on the built-in simulated bus.
# Where no display can be opened (a machine reached over SSH), the console
# monitor starts on the same bus instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
bus=(--demo)
if compgen -G "/dev/ttyACM*" > /dev/null || compgen -G "/dev/ttyUSB*" > /dev/null; then
  bus=()
fi
said=$(mktemp)
trap 'rm -f "$said"' EXIT
status=0
# what the program says goes to the terminal and, as a copy, to $said
{ build/src/bus-lauscher "${bus[@]}" "$@" 2>&1 1>&3 3>&- | tee "$said" >&2; } 3>&1 || status=$?
if [ "$status" -eq 2 ] && grep -q "Keine Anzeige gefunden" "$said"; then
  echo "Der Konsolenmonitor startet auf demselben Bus (Ende mit Strg+C)." >&2
  rm -f "$said"
  exec build/src/bus-lauscher --console "${bus[@]}" "$@"
fi
exit "$status"
