#!/usr/bin/env bash
# The main window under a real window manager (openbox), which frames it only after it is shown:
# ten starts and closes leave its place and width in Torvane.cfg as they were, the first drag
# of the right border resizes with the proportions kept, and a maximized window stays on the screen.
set -uo pipefail
program="$1"
out="$2"
source "$(dirname "$0")/common.sh"
command -v openbox > /dev/null || { echo "openbox missing: 0 passed, 0 failed, 1 skipped"; exit 0; }

pid=""; wm=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$wm" ] && kill -TERM "$wm" 2>/dev/null
}
trap cleanup EXIT
openbox --sm-disable > "$out/openbox.log" 2>&1 & wm=$!
check "window manager running" wait_for xprop -root _NET_SUPPORTING_WM_CHECK

"$program" & pid=$!; wait_window $pid > /dev/null; stop_program $pid   # the data folder
printf '0\r\n0\r\n0\r\n7000\r\n1800\r\n0\r\n0\r\n13800\r\n0\r\n\r\n0\r\n1\r\n' > "$data/Torvane.cfg"
stored() { sed -n '4p;5p;8p' "$data/Torvane.cfg" | tr -d '\r' | paste -sd' '; }

# x y width height of the frame around window $win, from the client and the frame extents.
outer() {
  local e; e=$(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$e" ] || return 1
  xwininfo -id "$win" 2>/dev/null | awk -v e="$e" 'BEGIN {split(e, f, ",")}
    /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Width/ {w = $2} /Height/ {h = $2}
    END {print x - f[1], y - f[3], w + f[1] + f[2], h + f[3] + f[4]}'
}
outer_is() { test "$(outer)" = "$1"; }

before=$(stored)
for n in $(seq 1 10); do
  "$program" & pid=$!
  win=$(wait_window $pid)
  # Framed and given its stored outer size (920 x 644 pixels at 467, 120) before it closes.
  check "start $n: framed at its stored size" wait_for outer_is "467 120 920 644"
  stop_program $pid
done
check "ten starts leave lines 4, 5 and 8 as they were" test "$(stored)" = "$before"

"$program" & pid=$!
win=$(wait_window $pid)
wait_for outer_is "467 120 920 644"
# Wider, at the same place, height = 0.7 x width. A press that came before the window manager
# took the frame is lost: the drag is tried again then.
dragged() { outer | awk '{exit !($1 == 467 && $2 == 120 && $3 > 920 && $4 == sprintf("%.0f", 0.7 * $3))}'; }
for _ in 1 2 3; do
  xdotool mousemove --sync 1386 400 mousedown 1 mousemove --sync 1420 400 mousemove --sync 1446 400 mouseup 1
  wait_for dragged && break
done
check "the first drag of the right border resizes, proportions kept" dragged
after_drag=$(outer)
import -window root "$out/dragged.png" 2>/dev/null

# A double click on the title bar maximizes: the window stays on the screen, and a second one
# gives back the window as it was.
on_screen() {
  outer | awk -v sw="$(xwininfo -root | awk '/Width/ {print $2}')" -v sh="$(xwininfo -root | awk '/Height/ {print $2}')" \
    '{exit !($1 >= 0 && $2 >= 0 && $1 + $3 <= sw && $2 + $4 <= sh && $3 > 1000)}'
}
xdotool mousemove --sync 700 130 click --repeat 2 --delay 80 1
check "maximized within the screen" wait_for on_screen
import -window root "$out/maximized.png" 2>/dev/null
xdotool mousemove --sync 700 8 click --repeat 2 --delay 80 1
check "unmaximized to where it was" wait_for outer_is "$after_drag"
stop_program $pid

echo "e2e desktop: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
