#!/usr/bin/env bash
# Takes the screenshots in docs/ on a virtual display, driving the window as a
# user would. Needs xvfb, xdotool, x11-apps (xwd), x11-utils (xprop) and
# imagemagick; run after scripts/build.sh:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
program=
trap 'stop; rm -rf "$work"' EXIT

start() { # start ARGS: the window, once it is shown
  build/src/bus-lauscher "$@" 2> /dev/null &
  program=$!
  window=$(xdotool search --sync --onlyvisible --name "^ Bus-Lauscher$" | head -n 1)
  sleep 1
}

stop() {
  if [ -n "$program" ]; then
    kill "$program" 2> /dev/null || true
    wait "$program" 2> /dev/null || true
  fi
  program=
}

shoot() { # shoot NAME [WINDOW]: the window as it stands (moved to the corner)
  local target=${2:-$window} size
  xdotool windowmove "$target" 0 0
  sleep 0.5
  xwd -root -silent > "$work/screen.xwd"
  size=$(xdotool getwindowgeometry "$target" | awk '/Geometry/ { print $2 }')
  convert "$work/screen.xwd" -crop "$size+0+0" "docs/$1"
  echo "docs/$1"
  [ -n "${2:-}" ] || stop
}

# a quiet bus: the screen cleared, one message sent; its echo is the first line
start --demo --rate 0
xprop -id "$window" _NET_WM_ICON | head -n 1
xdotool mousemove 56 12 click 1  # "Monitor Löschen?"
xdotool mousemove 418 74 click 1 # the first "Sende Msg"
sleep 0.5
shoot window-echo.png

# a busy bus, scrolled back to the top: the first line of the area in full
start --demo --rate 342
sleep 2
xdotool mousemove 300 400 click --repeat 150 --delay 2 4 # the wheel, up
sleep 1
shoot window-scrolled-to-top.png

# a real driving session (where the corpus is at hand), demo traffic, a noisy bus
real=../shared/corpus/real/pylnlib_session001.capture
if [ -f "$real" ]; then
  start --replay "$real"
  shoot window-replay.png
fi
start --demo
sleep 4
shoot window-demo.png
start --demo --rate 300 --corrupt 2 --mark-errors
sleep 4
shoot window-bus-health.png

# the history: colours (a corrupt message, our send and its echo, a highlight)
start --demo --rate 8 --corrupt 8 --analyse
history=$(xdotool search --sync --onlyvisible --name "Verlauf$" | head -n 1)
xdotool windowmove "$history" 0 0
sleep 0.5
xdotool mousemove 700 20 click 1 type "lok=3" # the highlight line
sleep 4
xdotool windowmove "$history" 0 500 # off the main window (no window manager here)
sleep 0.5
xdotool mousemove 418 74 click 1 # the first "Sende Msg"
sleep 1
shoot history-colours.png "$history"
# a filter, and the field view of a reply
xdotool mousemove 200 20 click 1 type "slot=1-9 oder fehler"
sleep 1
xdotool mousemove 300 95 click 1 # the first row
sleep 1
shoot history-filter.png "$history"
stop

# the layout at a glance: the slots of the simulated bus, a value that just changed in bold
start --demo --rate 40 --anlage
layout=$(xdotool search --sync --onlyvisible --name "Anlage$" | head -n 1)
xdotool windowmove "$layout" 0 0
sleep 6
xdotool mousemove 60 75 click 1 # the tab "Slots"
sleep 1.2
shoot layout.png "$layout"
stop

# the findings of a saturated, noisy bus
start --demo --rate 300 --corrupt 2 --befunde
found=$(xdotool search --sync --onlyvisible --name "Befunde$" | head -n 1)
xdotool windowmove "$found" 0 0
sleep 14
shoot findings.png "$found"
stop

# the long recordings: a ring and a trigger on every sensor report, set at
# the start and shown in "Langzeit…" with the events saved so far
mkdir -p "$work/ring" "$work/events"
start --demo --rate 40 --ring "$work/ring" --trigger "rm=9" --trigger-before 1 \
  --trigger-after 1 --trigger-dir "$work/events"
xdotool windowmove "$window" 0 0
sleep 8
xdotool mousemove 497 102 click 1 # "Langzeit…" in the send frame
long=$(xdotool search --sync --onlyvisible --name "Langzeitaufzeichnung$" | head -n 1)
sleep 3
# (a dialog moved on Xvfb without a window manager comes out black from the
# root window: this one is taken from its own window where it stands)
xwd -silent -id "$long" | convert xwd:- docs/long-recording.png
echo docs/long-recording.png
stop

# Wireshark with our dissector plugin, on another tool's capture: the sample
# layout as a classic pcap, one message a packet, 250 ms apart (where
# Wireshark is installed: apt-get install wireshark-qt). Wireshark reads a
# plugin folder of ours only when not run as root: as root, it runs as nobody.
if command -v wireshark > /dev/null && compgen -G "build/wireshark-plugins/*/epan/loconet.so" > /dev/null; then
  build/src/bus-lauscher --decode --hex-output samples/layout-evening.capture |
    python3 -c '
import struct, sys
out = struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 147)
t = 1765051200 * 1000000
for line in sys.stdin:
    p = bytes.fromhex(line)
    out += struct.pack("<IIII", t // 1000000, t % 1000000, len(p), len(p)) + p
    t += 250000
sys.stdout.buffer.write(out)' > "$work/other-tool.pcap"
  mkdir -p "$work/home"
  cp -r build/wireshark-plugins "$work/plugins"
  cp "${XAUTHORITY:-$HOME/.Xauthority}" "$work/xauth"
  chmod -R a+rwX "$work"
  as_user=()
  [ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  "${as_user[@]}" env HOME="$work/home" XAUTHORITY="$work/xauth" \
    WIRESHARK_PLUGIN_DIR="$work/plugins" wireshark -r "$work/other-tool.pcap" 2> /dev/null &
  program=$!
  window=$(xdotool search --sync --onlyvisible --name "other-tool.pcap" | head -n 1)
  xdotool windowsize "$window" 1100 700
  xdotool windowmove "$window" 0 0
  sleep 3
  xdotool mousemove 300 148 click 1 # a reply: slot data answering a loco request
  sleep 1
  xdotool mousemove 100 409 click 1 key Right # its LocoNet tree, opened
  sleep 1
  shoot wireshark.png
fi
