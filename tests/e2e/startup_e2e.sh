#!/usr/bin/env bash
# Start-up and close of the real program: first start, a refused second instance, the settings
# written at close and read back at the next start. Screenshots are left in the output folder.
set -uo pipefail
program="$1"
out="$2"
source "$(dirname "$0")/common.sh"

pid=""; pid2=""
cleanup() {  # nothing started here outlives the test
  for p in $pid $pid2; do kill -KILL "$p" 2>/dev/null; done
}
trap cleanup EXIT

# First start: the data folder is made from the shipped data.
"$program" & pid=$!
win=$(wait_window $pid); check "main window shown" test -n "$win"
check "data folder made" test -f "$data/Torvane.cfg"
check "language files copied" test -f "$data/Languages/Torvane_English.Language"
check "picture folders made" test -d "$data/qrzimages" -a -d "$data/images"
import -window root "$out/first-start.png" 2>/dev/null
check "screenshot taken" test -s "$out/first-start.png"

# A second instance says so and leaves every file alone.
before=$(cd "$data" && find . -type f -exec md5sum {} + | sort)
"$program" & pid2=$!
popup=$(wait_window $pid2)
check "second instance shows its popup" test -n "$popup"
import -window root "$out/second-instance.png" 2>/dev/null
xdotool windowfocus --sync "$popup" 2>/dev/null; xdotool key --window "$popup" Return
check "second instance ended" wait_for ended $pid2
kill -KILL $pid2 2>/dev/null
after=$(cd "$data" && find . -type f -exec md5sum {} + | sort)
check "second instance touched no file" test "$before" = "$after"

# Another data folder is another operator's: that Torvane runs beside the first.
XDG_DATA_HOME="$out/home2" "$program" & pid2=$!
other=$(wait_window $pid2)
check "a second data folder runs beside the first" \
  test -n "$other" -a "$(xdotool getwindowname "$other" 2>/dev/null)" = "$(xdotool getwindowname "$win")"
check "the lock is in the data folder" test -f "$out/home2/Torvane/Torvane.lock"
stop_program $pid2

# Close writes Torvane.cfg with CR LF line ends.
check "first instance closes on SIGTERM" stop_program $pid
check "Torvane.cfg has 12 lines" test "$(grep -c $'\r$' "$data/Torvane.cfg")" -eq 12

# A wide window in Japanese with a history holding the slashed zero (byte 216).
printf '52.1\r\n5.1\r\n1\r\n300\r\n150\r\n0\r\n6\r\n10400\r\n0\r\nPA3XYZ\r\n0\r\n1\r\nK\330ABC\r\nG4XYZ\r\n' > "$data/Torvane.cfg"
cp "$data/Torvane.cfg" "$out/written.cfg"
"$program" & pid=$!
win=$(wait_window $pid); check "second start shown" test -n "$win"
import -window root "$out/wide-japanese.png" 2>/dev/null
width_is() { geometry=$(size_of "$win"); test "${geometry%x*}" = "$1"; }
check "window is 10400 twips wide" wait_for width_is 693
check "closes again" stop_program $pid
check "settings written back byte for byte" cmp -s "$data/Torvane.cfg" "$out/written.cfg"

# Dragging the right border keeps height = 0.7 x width; the new width is saved.
"$program" & pid=$!
win=$(wait_window $pid)
xdotool windowsize "$win" 1000 500
size_is() { test "$(size_of "$win")" = "$1"; }
check "resize keeps the proportions" wait_for size_is 1000x700
check "closes after the resize" stop_program $pid
check "new width saved in twips" test "$(sed -n 8p "$data/Torvane.cfg" | tr -d '\r')" = "15000"

echo "e2e startup: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
