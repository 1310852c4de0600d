#!/usr/bin/env bash
# CPU of the monitor window on the simulated bus served on a pseudo-terminal,
# beside the floor: cat reading the same traffic. Offscreen, so that no
# display's drawing is counted; xvfb-run -a bench/window_cpu.sh measures on X.
# usage: bench/window_cpu.sh [RATE] [SECONDS] [OPTIONS…]   (after scripts/build.sh)
# OPTIONS go to the window, e.g. --analyse for the history window open beside it.
# BASELINE=/path/to/an/older/bus-lauscher measures that build too, in the same
# run on its own bus of the same rate (without the OPTIONS), and the ratio.
set -euo pipefail
rate=${1:-342}
seconds=${2:-20}
shift 2 || shift $#
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

# user + system CPU seconds of a process so far
cpu() { awk -v t="$(getconf CLK_TCK)" '{ printf "%.3f", ($14 + $15) / t }' "/proc/$1/stat"; }

measure() { # measure NAME PID: percent of a core
    sleep 3 # start-up done
    local before after
    before=$(cpu "$2")
    sleep "$seconds"
    after=$(cpu "$2")
    awk -v a="$after" -v b="$before" -v s="$seconds" -v n="$1" \
        'BEGIN { printf "%-22s %.2f %% of a core\n", n, 100 * (a - b) / s }'
}

bus() { # bus FILE: a simulated bus on a pseudo-terminal, its name in FILE
    build/src/bus-lauscher-sim --pty --rate "$rate" > "$1" &
}
bus "$work/sim1"
bus "$work/sim2"
[ -n "${BASELINE:-}" ] && bus "$work/sim3"
sleep 0.5
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
[ -n "${DISPLAY:-}" ] && unset QT_QPA_PLATFORM
build/src/bus-lauscher --interface usb --port "$(head -n 1 "$work/sim1")" "$@" &
window=$!
cat "$(head -n 1 "$work/sim2")" > /dev/null &
floor=$!
if [ -n "${BASELINE:-}" ]; then
    "$BASELINE" --interface usb --port "$(head -n 1 "$work/sim3")" &
    baseline=$!
fi
echo "$rate messages a second, $seconds s:"
measure "window" "$window" > "$work/window" &
waits=($!)
measure "cat (the floor)" "$floor" > "$work/floor" &
waits+=($!)
if [ -n "${BASELINE:-}" ]; then
    measure "baseline window" "$baseline" > "$work/baseline" &
    waits+=($!)
fi
wait "${waits[@]}"
cat "$work/window" "$work/floor"
if [ -n "${BASELINE:-}" ]; then
    cat "$work/baseline"
    awk '{ v[NR] = $(NF - 4) } END { printf "ratio window / baseline: %.2f\n", v[1] / v[2] }' \
        "$work/window" "$work/baseline"
fi
