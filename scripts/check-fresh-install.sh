#!/usr/bin/env bash
# The package on a freshly bootstrapped, minimal Debian 12: installs it with
# its dependencies only (no desktop), starts the window under Xvfb on the
# simulated bus and takes fresh-install.png, to look at: every label whole.
# As root, with network, after scripts/package.sh. Needs debootstrap.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls build-package/bus-lauscher_*.deb)
root=$(mktemp -d)
trap 'umount "$root/proc" 2> /dev/null || true; rm -rf "$root"' EXIT
command -v debootstrap > /dev/null || apt-get install -y --no-install-recommends debootstrap
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian > /dev/null
cp "$deb" "$root/tmp/"
mount -t proc proc "$root/proc"
chroot "$root" sh -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends /tmp/$(basename "$deb") xvfb xauth x11-apps imagemagick"
chroot "$root" sh -c 'xvfb-run -a -s "-screen 0 800x700x24" sh -c \
  "bus-lauscher --demo & sleep 5; xwd -root -silent | convert xwd:- -crop 686x663+0+0 /tmp/shot.png"'
cp "$root/tmp/shot.png" fresh-install.png
echo "fresh-install.png: the window as a fresh Debian 12 shows it"
