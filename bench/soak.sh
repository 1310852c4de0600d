#!/usr/bin/env bash
# Soak: N messages of mixed traffic with noise through --decode and through
# the whole window (offscreen, recording a trace). Prints the peak resident
# memory of each and checks that every message became exactly one line.
# usage: bench/soak.sh N   (from the top folder, after scripts/build.sh)
set -euo pipefail
n=${1:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
n=$(build/bench/make_traffic "$n" --noise 2>&1 > "$work/traffic.bin")
echo "messages: $n, bytes: $(stat -c %s "$work/traffic.bin")"

lines=$( { /usr/bin/time -f "%M" -o "$work/decode.rss" \
  build/src/bus-lauscher --decode --hex-output "$work/traffic.bin"; } | wc -l)
echo "--decode: $lines lines, peak RSS $(cat "$work/decode.rss") KB"
[ "$lines" -eq "$n" ]

mkdir -p "$work/home/Documents"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
  /usr/bin/time -f "%M %e" -o "$work/window.rss" \
  build/src/bus-lauscher --replay "$work/traffic.bin" --exit-after-replay --hex-output --record
trace=$(ls "$work"/home/Documents/*.txt)
lines=$(wc -l < "$trace")
read -r rss seconds < "$work/window.rss"
echo "window: $lines trace lines, peak RSS $rss KB, $seconds s"
[ "$lines" -eq "$n" ]
