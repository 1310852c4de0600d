#!/usr/bin/env bash
# CPU of the monitor window on the simulated bus served on a pseudo-terminal,
# beside the floor: cat reading the same traffic. Offscreen, so that no
# display's drawing is counted; xvfb-run -a bench/window_cpu.sh measures on X.
# usage: bench/window_cpu.sh [RATE] [SECONDS] [OPTIONS…]   (after scripts/build.sh)
# OPTIONS go to the window, e.g. --analyse for the history window open beside it.
set -euo pipefail
rate=${1:-342}
seconds=${2:-20}
shift 2 || shift $#
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

# user + system CPU seconds of a process so far
cpu() { awk -v t="$(getconf CLK_TCK)" '{ printf "%.3f", ($14 + $15) / t }' "/proc/$1/stat"; }

measure() { # measure NAME PID
    sleep 3 # start-up done
    local before after
    before=$(cpu "$2")
    sleep "$seconds"
    after=$(cpu "$2")
    awk -v a="$after" -v b="$before" -v s="$seconds" -v n="$1" \
        'BEGIN { printf "%-22s %.2f %% of a core\n", n, 100 * (a - b) / s }'
}

build/src/bus-lauscher-sim --pty --rate "$rate" > "$work/sim1" &
build/src/bus-lauscher-sim --pty --rate "$rate" > "$work/sim2" &
sleep 0.5
pty1=$(head -n 1 "$work/sim1")
pty2=$(head -n 1 "$work/sim2")
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
[ -n "${DISPLAY:-}" ] && unset QT_QPA_PLATFORM
build/src/bus-lauscher --interface usb --port "$pty1" "$@" &
window=$!
cat "$pty2" > /dev/null &
floor=$!
echo "$rate messages a second, $seconds s:"
measure "window" "$window" > "$work/window" &
m1=$!
measure "cat (the floor)" "$floor" > "$work/floor" &
m2=$!
wait "$m1" "$m2"
cat "$work/window" "$work/floor"
