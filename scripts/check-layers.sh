#!/usr/bin/env bash
# Checks that the folders under src/ include one another one way only: the
# graph of "folder includes folder" has no cycle. (The build already refuses
# an include of a folder a library may not use; this also catches a cycle
# that two new folders could form.)
set -euo pipefail
cd "$(dirname "$0")/../src"
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for dir in */; do
  from=${dir%/}
  { grep -rhoE '^#include "[a-z_-]+/' "$from" || true; } | sed -E 's/#include "([a-z_-]+)\//\1/' | sort -u |
    while read -r to; do
      if [ "$to" != "$from" ] && [ -d "$to" ]; then echo "$to $from"; fi
    done
done > "$edges"
if ! order=$(tsort "$edges" 2>&1); then
  echo "the folders under src/ include one another in a circle:" >&2
  echo "$order" >&2
  exit 1
fi
echo "include graph one-way: $(tr '\n' ' ' <<< "$order")"
