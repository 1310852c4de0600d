#!/usr/bin/env bash
# Reproducible: the same commit packaged in another clone, in another folder,
# gives the same bytes. Builds the package twice (about ten minutes on two
# cores), so it runs before a release rather than on every change.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package.sh > /dev/null
deb=$(ls build-package/bus-lauscher_*.deb)
other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT
git clone -q . "$other/bus-lauscher"
(cd "$other/bus-lauscher" && bash scripts/package.sh > /dev/null)
if ! cmp "$deb" "$other"/bus-lauscher/build-package/bus-lauscher_*.deb; then
  echo "two packages of the same commit differ" >&2
  exit 1
fi
echo "two packages of the same commit are byte-identical: $deb"
