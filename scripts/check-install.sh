#!/usr/bin/env bash
# Checks what an installation lays out and what the Debian package holds:
# every file in place, the desktop entry, the AppStream metadata (also with
# screenshots named) and the package through lintian. Run after
# scripts/build.sh (or scripts/test.sh); builds the package itself.
# scripts/check-reproducible.sh builds it a second time and compares.
set -euo pipefail
cd "$(dirname "$0")/.."
id=local.buslauscher.buslauscher
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

DESTDIR="$tree" cmake --install build --prefix /usr > /dev/null
plugin_dir=$(grep -m1 '^BUSLAUSCHER_WIRESHARK_PLUGIN_DIR:' build/CMakeCache.txt | cut -d= -f2)
extcap_dir=$(grep -m1 '^BUSLAUSCHER_WIRESHARK_EXTCAP_DIR:' build/CMakeCache.txt | cut -d= -f2)
expected=(
  usr/bin/bus-lauscher usr/bin/bus-lauscher-sim
  usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml
  usr/share/icons/hicolor/48x48/apps/$id.png usr/share/icons/hicolor/128x128/apps/$id.png
  usr/share/icons/hicolor/256x256/apps/$id.png usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/bus-lauscher.1.gz usr/share/man/man1/bus-lauscher-sim.1.gz
  usr/share/bash-completion/completions/bus-lauscher
  usr/share/bash-completion/completions/bus-lauscher-sim
  usr/lib/udev/rules.d/70-bus-lauscher.rules
  usr/share/doc/bus-lauscher/copyright usr/share/doc/bus-lauscher/changelog.gz
  usr/share/doc/bus-lauscher/README.md usr/share/doc/bus-lauscher/docs/wireshark.png
  "usr/$plugin_dir/loconet.so" "usr/$extcap_dir/bus-lauscher-extcap"
  usr/share/bus-lauscher/wireshark/loconet.colorfilters
)
for file in "${expected[@]}"; do
  [ -s "$tree/$file" ] || { echo "missing from the installation: /$file" >&2; exit 1; }
done
for size in 48 128 256; do
  file "$tree/usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
    { echo "the icon for ${size}x$size has another size" >&2; exit 1; }
done
desktop-file-validate "$tree/usr/share/applications/$id.desktop"

# no error and no warning; an information (the id's .local) is fine
validate() {
  local said
  said=$(appstreamcli validate --no-net --pedantic "$1" 2>&1) || true
  echo "$said"
  ! grep -q '^[EW]:' <<< "$said"
}
validate "$tree/usr/share/metainfo/$id.metainfo.xml"
with_shots=$(mktemp -d)
cmake -S . -B "$with_shots" -DBUSLAUSCHER_TESTS=OFF -DBUSLAUSCHER_BENCHMARKS=OFF \
  -DBUSLAUSCHER_SCREENSHOT_URL=https://example.org/bus-lauscher/ > /dev/null
validate "$with_shots/packaging/$id.metainfo.xml"
rm -rf "$with_shots"

bash scripts/package.sh > /dev/null
deb=$(ls build-package/bus-lauscher_*.deb)
dpkg-deb --field "$deb" Depends
lintian --allow-root --fail-on error,warning "$deb"
dpkg-deb --field "$deb" Depends | grep -q "fonts-liberation2 | fonts-liberation" ||
  { echo "the package does not bring the fonts the layout was drawn for" >&2; exit 1; }
# the dissector plugin needs the Wireshark library it was built for
dpkg-deb --field "$deb" Depends | grep -q "libwireshark" ||
  { echo "the package does not depend on the Wireshark library of its plugin" >&2; exit 1; }
# the capture program's help in Wireshark names a file the package brings
unpacked=$(mktemp -d)
dpkg-deb -x "$deb" "$unpacked"
help=$("$unpacked/usr/$extcap_dir/bus-lauscher-extcap" --extcap-interfaces |
  grep -o 'help=file://[^}]*' | sed 's|help=file://||')
[ -s "$unpacked$help" ] ||
  { echo "the capture program's help names $help, which the package lacks" >&2; exit 1; }
rm -rf "$unpacked"

echo "installation and package checked: $deb"
