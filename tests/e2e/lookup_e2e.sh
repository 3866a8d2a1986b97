#!/usr/bin/env bash
# Lookups with the real program against the local web server serving pages/: a web lookup that
# fills the database and the picture cache, the slashed zero, a special call, the zip-code
# position of a page without one, the local database on the next start, and the history written
# at close. Screenshots and the server's request log are left in the output folder.
set -uo pipefail
program="$1"
server="$2"
out="$3"
here="$(cd "$(dirname "$0")" && pwd)"
pages="$here/pages"
shipped="$here/../../data"
export LC_ALL=C
source "$(dirname "$0")/common.sh"

db="$data/CallData.db"
log="$out/server.log"
pid=""
server_pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null
}
trap cleanup EXIT

# The web server; its first line on stdout is the port.
"$server" --verbose "$pages" > "$out/server.port" 2> "$log" & server_pid=$!
port=""
for _ in $(seq 1 100); do
  port=$(head -n 1 "$out/server.port" 2>/dev/null)
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "FAIL: web server did not start"; echo "e2e lookup: 0 passed, 1 failed"; exit 1
fi
base="http://127.0.0.1:$port"

# The data folder exists before the first start, so the shipped files are not copied over it.
mkdir -p "$data"
cp -r "$shipped/." "$data/"
{
  for name in eham qrz qrzcq callook hamcall qrzpictures geocoder maps; do
    printf '%s=%s\r\n' "$name" "$base"
  done
} > "$data/Hosts.cfg"
# Own position 52.1 N 5.1 E, eHam, km, English, 600 px wide, plain-zero off, web mode, no history.
printf '52.1\r\n5.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n9000\r\n0\r\nPA3XYZ\r\n0\r\n1\r\n' > "$data/Torvane.cfg"

log_lines() { wc -l < "$log"; }
# Request targets logged after line $1 of the server log ("<ms> GET <target>" lines).
requests_after() { tail -n +"$(( $1 + 1 ))" "$log" | awk '{print $3}'; }
has_request() {  # has_request after-line target: that exact target was requested
  requests_after "$1" | grep -qxF -- "$2"
}
requested_with_prefix() {  # requested_with_prefix after-line prefix
  requests_after "$1" | grep -qF -- "$2"
}
wait_request() {  # wait_request after-line target [tenths]
  for _ in $(seq 1 "${3:-100}"); do has_request "$1" "$2" && return 0; sleep 0.1; done
  return 1
}
requests_are() {  # requests_are after-line target...: exactly these targets, in any order
  local after="$1"; shift
  [ "$(requests_after "$after" | sort)" = "$(printf '%s\n' "$@" | sort)" ]
}
no_request_like() {  # no_request_like after-line text
  ! requests_after "$1" | grep -qF -- "$2"
}
start_program() {  # start_program tag: starts, waits for the window and the site page
  local mark; mark=$(log_lines)
  "$program" > "$out/torvane-$1.log" 2>&1 & pid=$!
  win=$(wait_window "$pid")
  check "$1: main window shown" test -n "$win"
  check "$1: site page requested" wait_request "$mark" "/"
  # The site answer starts a look at the call box 100 ms later; it must find it empty.
  sleep 0.8
}
type_call() {  # type_call text: replaces the call box's text and presses Enter
  xdotool windowfocus --sync "$win" 2>/dev/null
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 60 "$1"
  xdotool key Return
}
shot() {  # shot name [seconds to wait first]
  sleep "${2:-0.5}"
  import -window root "$out/$1.png" 2>/dev/null
  check "screenshot $1" test -s "$out/$1.png"
}

# CallData.db: 167-byte records of call 6, name 25, add1 30, add2 30, country 30, lat 15,
# lon 15, class 12, year 4 bytes, blank-padded.
offsets=(0 6 31 61 91 121 136 151 163)
widths=(6 25 30 30 30 15 15 12 4)
record=""
find_record() {  # find_record CALL: sets $record to that call's 167 bytes
  record=""
  [ -f "$db" ] || return 1
  local size n i r
  size=$(stat -c %s "$db")
  n=$(( size / 167 ))
  for (( i = 0; i < n; i++ )); do
    r=$(dd if="$db" bs=167 skip="$i" count=1 status=none)
    if [ "$(printf "%s" "${r:0:6}" | sed 's/ *$//')" = "$1" ]; then record="$r"; return 0; fi
  done
  return 1
}
wait_record() {  # wait_record CALL
  for _ in $(seq 1 50); do find_record "$1" && return 0; sleep 0.1; done
  return 1
}
field() {  # field index: the field of $record as stored, padding included
  printf "%s" "${record:${offsets[$1]}:${widths[$1]}}"
}
field_is() {  # field_is index text: the field holds text, blank-padded to its width
  [ "$(field "$1")" = "$(printf "%-${widths[$1]}s" "$2")" ]
}
wait_file() {  # wait_file path
  for _ in $(seq 1 50); do [ -s "$1" ] && return 0; sleep 0.1; done
  return 1
}
is_bitmap() { [ "$(head -c 2 "$1" 2>/dev/null)" = "BM" ]; }

# ---- First run: web mode --------------------------------------------------------------------
start_program first
shot "01-started" 0

# A call typed in lower case goes to the web as W1AW, with its picture.
mark=$(log_lines)
type_call w1aw
check "w1aw: page /callbook/W1AW requested" wait_request "$mark" "/callbook/W1AW"
check "w1aw: picture /w/w1aw/w1aw.jpg requested" wait_request "$mark" "/w/w1aw/w1aw.jpg"
check "w1aw: record stored" wait_record W1AW
check "w1aw: nothing else requested" requests_are "$mark" /callbook/W1AW /w/w1aw/w1aw.jpg
check "w1aw: record length" test "${#record}" -eq 167
check "w1aw: call field" field_is 0 "W1AW"
check "w1aw: name cut to 25" field_is 1 "HIRAM PERCY MAXIM MEMORIA"
check "w1aw: address line 1" field_is 2 "225 MAIN ST"
check "w1aw: address line 2" field_is 3 "NEWINGTON, CT 06111"
check "w1aw: country" field_is 4 "United States"
check "w1aw: latitude text" field_is 5 "41.714775"
check "w1aw: longitude text" field_is 6 "-72.72726"
check "w1aw: class" field_is 7 "Club"
check "w1aw: no year" field_is 8 ""
check "w1aw: database holds whole records" test $(( $(stat -c %s "$db") % 167 )) -eq 0
check "w1aw: picture cached" wait_file "$data/qrzimages/W1AW.jpg"
check "w1aw: cached picture equals the served one" cmp -s "$data/qrzimages/W1AW.jpg" "$pages/w/w1aw/w1aw.jpg"
check "w1aw: Ham.bmp written" wait_file "$data/Ham.bmp"
check "w1aw: Ham.bmp is a bitmap" is_bitmap "$data/Ham.bmp"
shot "02-w1aw-web"

# A typed 0 shows as the slashed zero and is looked up as 0.
mark=$(log_lines)
type_call k0abc
check "k0abc: page /callbook/K0ABC requested" wait_request "$mark" "/callbook/K0ABC"
check "k0abc: picture /c/k0abc/k0abc.jpg requested" wait_request "$mark" "/c/k0abc/k0abc.jpg"
check "k0abc: record stored as K0ABC" wait_record K0ABC
check "k0abc: nothing else requested" requests_are "$mark" /callbook/K0ABC /c/k0abc/k0abc.jpg
check "k0abc: name" field_is 1 "JANE Q OPERATOR"
check "k0abc: latitude text" field_is 5 "40.8136"
check "k0abc: picture cached as K0ABC.jpg" wait_file "$data/qrzimages/K0ABC.jpg"
check "k0abc: cached picture equals the served one" cmp -s "$data/qrzimages/K0ABC.jpg" "$pages/c/k0abc/k0abc.jpg"
check "k0abc: Ham.bmp written" wait_file "$data/Ham.bmp"
shot "03-k0abc-slashed-zero"

# A special call asks nobody and leaves the panel as it was.
mark=$(log_lines)
type_call nocall
sleep 1.5
check "nocall: no request made" test -z "$(requests_after "$mark")"
check "nocall: no record" bash -c "! grep -q NOCALL '$db'"
check "nocall: panel's picture kept" test -s "$data/Ham.bmp"
shot "04-nocall" 0

# A call the source does not know: its page is missing, nothing is stored.
mark=$(log_lines)
type_call k9zzz
check "k9zzz: page requested" wait_request "$mark" "/callbook/K9ZZZ"
shot "05-k9zzz-unknown" 1
check "k9zzz: no record" bash -c "! grep -q K9ZZZ '$db'"
check "k9zzz: no picture cached" test ! -e "$data/qrzimages/K9ZZZ.jpg"

# No position on the page: the geocoder finds nothing, the zip code 10001 gives the position.
mark=$(log_lines)
type_call w2zip
check "w2zip: page /callbook/W2ZIP requested" wait_request "$mark" "/callbook/W2ZIP"
check "w2zip: geocoder asked" requested_with_prefix "$mark" "/maps/api/geocode/xml?sensor=false&address="
check "w2zip: geocoder asked for the address" requested_with_prefix "$mark" "350+FIFTH+AVE+NEW+YORK,+NY+10001+United+States"
check "w2zip: record stored" wait_record W2ZIP
check "w2zip: address line 2 with the zip" field_is 3 "NEW YORK, NY 10001"
check "w2zip: page's latitude text kept" field_is 5 "0"
check "w2zip: page's longitude text kept" field_is 6 "0"
check "w2zip: class" field_is 7 "General"
check "w2zip: picture requested" wait_request "$mark" "/p/w2zip/w2zip.jpg"
shot "06-w2zip-zip-position" 1

check "first run closes on SIGTERM" stop_program "$pid"
check "history after the first run" test "$(tail -n +13 "$data/Torvane.cfg" | tr -d '\r')" \
  = "$(printf 'W2ZIP\nK9ZZZ\nK\330ABC\nW1AW')"
check "web mode saved" test "$(sed -n 12p "$data/Torvane.cfg")" = $'1\r'

# ---- Second run: local database --------------------------------------------------------------
sed -i '12s/.*/0\r/' "$data/Torvane.cfg"
start_program second
shot "07-second-start" 0

mark=$(log_lines)
rm -f "$data/Ham.bmp"
type_call w1aw
check "local w1aw: picture shown from the cache" wait_file "$data/Ham.bmp"
check "local w1aw: Ham.bmp is a bitmap" is_bitmap "$data/Ham.bmp"
sleep 1
check "local w1aw: no page request" no_request_like "$mark" "/callbook/"
check "local w1aw: no picture request" no_request_like "$mark" "/w/w1aw/"
shot "08-w1aw-local" 0

# A stored record whose latitude text is "0" is looked up on the web again.
mark=$(log_lines)
type_call w2zip
check "local w2zip: latitude 0 goes to the web" wait_request "$mark" "/callbook/W2ZIP"
shot "09-w2zip-again" 1
check "local w2zip: still one record" test "$(grep -o 'W2ZIP' "$db" | wc -l)" -eq 1

# The call box losing the focus is no lookup command (here: Tab after a call already listed).
mark=$(log_lines)
xdotool key Tab
sleep 1.5
check "focus leaving the call box starts no lookup" no_request_like "$mark" "/callbook/"

# Close: the settings file with the history, newest first, every line ending in CR LF.
check "second run closes on SIGTERM" stop_program "$pid"
pid=""
cp "$data/Torvane.cfg" "$out/closed.cfg"
cfg="$data/Torvane.cfg"
check "Torvane.cfg: 16 lines" test "$(wc -l < "$cfg")" -eq 16
check "Torvane.cfg: every line ends in CR LF" test "$(grep -c $'\r$' "$cfg")" -eq "$(wc -l < "$cfg")"
check "Torvane.cfg: ends with a line end" test "$(tail -c 2 "$cfg" | od -An -tx1 | tr -d ' ')" = "0d0a"
check "Torvane.cfg: local mode kept" test "$(sed -n 12p "$cfg")" = $'0\r'
check "Torvane.cfg: own position kept" test "$(head -n 2 "$cfg" | tr -d '\r' | tr '\n' ' ')" = "52.1 5.1 "
check "Torvane.cfg: history newest first, slashed zero as typed" \
  test "$(tail -n +13 "$cfg" | tr -d '\r')" = "$(printf 'W2ZIP\nK9ZZZ\nK\330ABC\nW1AW')"
check "database: three records" test "$(stat -c %s "$db")" -eq $(( 3 * 167 ))

echo "e2e lookup: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
