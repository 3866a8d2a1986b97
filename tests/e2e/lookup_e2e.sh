#!/usr/bin/env bash
# Lookups with the real program, typed on the keyboard, against the local web server serving
# pages/: the stored record byte for byte, the picture cache and Ham.bmp, the slashed zero, a
# station's last received images, and the history written at close. Screenshots and the server's request log stay in the output
# folder.
set -uo pipefail
program="$1"
server="$2"
out="$3"
here="$(cd "$(dirname "$0")" && pwd)"
pages="$here/pages"
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
# The site page answers after 2 s: the call typed meanwhile is looked up when it arrives.
www="$out/www"
cp -r "$pages" "$www"
"$server" "$www" /=2000 > "$out/server.port" 2> "$log" & server_pid=$!
check "web server started" wait_for test -s "$out/server.port"
base="http://127.0.0.1:$(head -n 1 "$out/server.port")"

# The maker's site list names K0ABC's receiving site, whose 30 pictures are: a still picture with
# the receiving program's trailer, an animated one, a missing one, one that is no picture, and
# 26 plain ones.
mkdir -p "$www/updates" "$www/rx" "$www/login"
printf '<html><body>Signed in<script>document.cookie = "session=member; path=/; max-age=86400";</script></body></html>' \
  > "$www/login/index.html"
# The map host's satellite page of W1AW's address.
w1aw_place='maps/place/225+MAIN+ST,+NEWINGTON,+CT,+United+States/@41.714775,-72.72726,19z/data=!3m1!1e3'
mkdir -p "$www/$(dirname "$w1aw_place")"
printf '<html><body style="background:#3a7d44;color:white;font:40px sans-serif">Satellite view</body></html>' > "$www/$w1aw_place"
printf 'Torvane ver 4.11\r\n/////5\r\nK0ABC* Denver\r\n%s/rx/image1\r\n' "$base" > "$www/updates/updates.txt"
convert -size 350x250 gradient:navy-gold "$out/still.jpg"
{ cat "$out/still.jpg"; printf '***de W1AW JT65 x*12:34 UTC'; } > "$www/rx/image1"
convert -delay 40 -size 96x72 xc:red xc:gold xc:blue "gif:$www/rx/image2"
printf 'not a picture' > "$www/rx/image4"
for n in $(seq 5 30); do convert -size 160x120 "gradient:hsl($((n * 12)),70%,35%)-white" "jpg:$www/rx/image$n"; done

mkdir -p "$data"
cp -r "$here/../../data/." "$data/"
for name in eham qrz qrzcq callook hamcall qrzpictures geocoder maps; do
  printf '%s=%s\r\n' "$name" "$base"
done > "$data/Hosts.cfg"
# Own position 52.1 N 5.1 E, eHam, km, English, 600 px wide, plain-zero off, web mode, no history.
printf '52.1\r\n5.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n9000\r\n0\r\nPA3XYZ\r\n0\r\n1\r\n' > "$data/Torvane.cfg"
printf 'maker=%s\r\nehamlogin=%s/login/index.html\r\n' "$base" "$base" >> "$data/Hosts.cfg"

type_call() {  # type_call text [key]: replaces the call box's text, then presses key (Enter)
  xdotool windowfocus --sync "$win" 2>/dev/null
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 60 "$1"
  [ "${2-Return}" = none ] || xdotool key "${2-Return}"
}
shot() { import -window root "$out/$1.png" 2>/dev/null; check "screenshot $1" test -s "$out/$1.png"; }

# CallData.db: 167-byte records of call 6, name 25, add1 30, add2 30, country 30, lat 15,
# lon 15, class 12, year 4 bytes, blank-padded.
offsets=(0 6 31 61 91 121 136 151 163)
widths=(6 25 30 30 30 15 15 12 4)
record=""
find_record() {  # find_record CALL: sets $record to that call's 167 bytes
  record=""
  [ -f "$db" ] || return 1
  local i r
  for (( i = 0; i < $(stat -c %s "$db") / 167; i++ )); do
    r=$(dd if="$db" bs=167 skip="$i" count=1 status=none)
    if [ "$(printf "%s" "${r:0:6}" | sed 's/ *$//')" = "$1" ]; then record="$r"; return 0; fi
  done
  return 1
}
field_is() {  # field_is index text: the field holds text, blank-padded to its width
  [ "${record:${offsets[$1]}:${widths[$1]}}" = "$(printf "%-${widths[$1]}s" "$2")" ]
}
is_bitmap() { [ "$(head -c 2 "$1" 2>/dev/null)" = "BM" ]; }

"$program" > "$out/torvane.log" 2>&1 & pid=$!
win=$(wait_window "$pid")
check "main window shown" test -n "$win"
# Typed while the site page is awaited, without Enter: its answer starts the lookup.
type_call w1aw none
check "w1aw: record stored" wait_for find_record W1AW
check "w1aw: record length" test "${#record}" -eq 167
check "w1aw: call field" field_is 0 "W1AW"
check "w1aw: name cut to 25" field_is 1 "HIRAM PERCY MAXIM MEMORIA"
check "w1aw: address line 2" field_is 3 "NEWINGTON, CT 06111"
check "w1aw: latitude text" field_is 5 "41.714775"
check "w1aw: longitude text" field_is 6 "-72.72726"
check "w1aw: class" field_is 7 "Club"
check "w1aw: picture cached as served" wait_for cmp -s "$data/qrzimages/W1AW.jpg" "$pages/w/w1aw/w1aw.jpg"
check "w1aw: Ham.bmp is a bitmap" wait_for is_bitmap "$data/Ham.bmp"
shot "01-w1aw-web"

# The README's screenshots: the result, the map window and the station setup, opened from the
# menus with the mouse; TORVANE_SCREENSHOTS names a folder to copy them to.
window_shot() {  # window_shot window file [resize]
  [ -n "$1" ] || { check "screenshot $2: window found" false; return; }
  import -window "$1" ${3:+-resize "$3"} -quality 85 "$out/$2" 2>/dev/null
  check "screenshot $2" test -s "$out/$2"
  if [ -n "${TORVANE_SCREENSHOTS:-}" ]; then cp "$out/$2" "$TORVANE_SCREENSHOTS/"; fi
}
mapped() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
shown_window() {  # the first shown window of the program titled exactly $1 (menus are "Torvane")
  local w
  for w in $(xwininfo -root -children | awk -v name="\"$1\":" '$2 == name {print $1}'); do
    mapped "$w" && { echo "$w"; return 0; }
  done
  return 1
}
menu_choose() {  # menu_choose header-x item-y: opens a menu of the main window, takes an item
  xdotool mousemove --window "$win" "$1" 10 click 1
  wait_for shown_window Torvane > /dev/null
  xdotool mousemove --window "$win" $(( $1 + 10 )) "$2" click 1
}
window_shot "$win" main-window.png
menu_choose 140 30  # Map > Map
map_shown() { xdotool search --onlyvisible --name '^Map ' | head -n 1 | grep .; }
check "map window opened from the menu" wait_for map_shown > /dev/null
map=$(map_shown)
window_shot "$map" map-window.jpg 50%
xdotool windowfocus --sync "$map" 2>/dev/null; xdotool key Escape
check "map window closed by Escape" wait_for eval '! mapped "$map"'
menu_choose 140 50  # Map > the satellite view by address
sat_shown() { xdotool search --onlyvisible --name '^Torvane   ' | head -n 1 | grep .; }
check "satellite view opened from the menu" wait_for sat_shown > /dev/null
check "satellite view asked the map host" wait_for grep -qxF "/$w1aw_place" "$log"
sat=$(sat_shown)
sat_painted() {  # the page's green in the middle of the view
  import -window "$sat" "$out/satellite-view.png" 2>/dev/null &&
    [ "$(convert "$out/satellite-view.png" -format '%[hex:p{300,300}]' info: 2>/dev/null)" = 3A7D44 ]
}
check "satellite view shows the page" wait_for sat_painted
xdotool windowfocus --sync "$sat" 2>/dev/null; xdotool key Escape
check "satellite view closed by Escape" wait_for eval '! sat_shown > /dev/null'
menu_choose 575 30  # Setup > My station
check "station setup opened from the menu" wait_for eval '! mapped "$win" && shown_window Torvane > /dev/null'
setup=$(shown_window Torvane)
window_shot "$setup" station-setup.png
xdotool mousemove --window "$setup" 385 203 click 1  # Close
check "main window back after the setup" wait_for mapped "$win"

# A typed 0 shows as the slashed zero and is looked up as 0.
type_call k0abc
check "k0abc: record stored as K0ABC" wait_for find_record K0ABC
check "k0abc: name" field_is 1 "JANE Q OPERATOR"
check "k0abc: picture cached as K0ABC.jpg" wait_for test -s "$data/qrzimages/K0ABC.jpg"
shot "02-k0abc-slashed-zero"

# The site link of K0ABC opens the viewer, which fills from the site; a thumbnail opens the
# picture at full size; Escape closes both.
check "site list rebuilt at the first lookup" test "$(stat -c %s "$data/dsstvSites.dat")" -eq 66
xdotool mousemove --window "$win" 100 382 click 1  # the site link
viewer_shown() { xdotool search --onlyvisible --name 'Images 1-30 on K0ABC' | head -n 1 | grep .; }
check "viewer opened by the site link" wait_for viewer_shown > /dev/null
viewer=$(viewer_shown)
stored() { [ "$(ls "$data/images/Last15" | wc -l)" -eq 29 ]; }
check "viewer: 29 pictures stored, the missing one not" wait_for stored
check "viewer: picture stored without its trailer" cmp -s "$data/images/Last15/0" "$out/still.jpg"
xdotool windowfocus --sync "$viewer" 2>/dev/null; xdotool key Return  # the info panel's Close
window_shot "$viewer" last-images.jpg 60%
xdotool mousemove --window "$viewer" 60 60 click 1
full_shown() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | while read -r w; do [ "$(size_of "$w")" = 700x500 ] && echo "$w"; done | head -n 1 | grep .; }
check "full size: 350 x 250 shown in 700 x 500" wait_for full_shown > /dev/null
xdotool windowfocus --sync "$(full_shown)" 2>/dev/null; xdotool key Escape
check "full size closed by Escape" wait_for eval '! full_shown > /dev/null'
xdotool windowfocus --sync "$viewer" 2>/dev/null; xdotool key Escape
check "viewer closed by Escape" wait_for eval '! viewer_shown > /dev/null'

# Signing in: the source's sign-in page sets a session cookie; closing the window asks the
# source again with it, and so does the next start.
menu_choose 575 167  # Setup > Sign in to eHam.net
signin_shown() { xdotool search --onlyvisible --name '^Torvane - Sign in to eHam' | head -n 1 | grep .; }
check "sign-in window opened from the menu" wait_for signin_shown > /dev/null
check "sign-in: the session kept in the data folder" wait_for grep -q 'session=member' "$data/Session/Cookies.txt"
cookies_sent() { grep -c '^cookie: .*session=member' "$log"; }
more_cookies_than() { [ "$(cookies_sent)" -gt "$1" ]; }
xdotool windowfocus --sync "$(signin_shown)" 2>/dev/null; xdotool key Escape
check "sign-in: the source asked again with the session" wait_for more_cookies_than 0

check "closes on SIGTERM" stop_program "$pid"
pid=""
sent=$(cookies_sent)
"$program" > "$out/torvane-2.log" 2>&1 & pid=$!
check "restart: the first request carries the session" wait_for more_cookies_than "$sent"
check "closes on SIGTERM after the restart" stop_program "$pid"
pid=""
cfg="$data/Torvane.cfg"
check "Torvane.cfg: every line ends in CR LF" test "$(grep -c $'\r$' "$cfg")" -eq "$(wc -l < "$cfg")"
check "Torvane.cfg: history newest first, slashed zero as typed" \
  test "$(tail -n +13 "$cfg" | tr -d '\r')" = "$(printf 'K\330ABC\nW1AW')"
check "database: two whole records" test "$(stat -c %s "$db")" -eq $(( 2 * 167 ))

echo "e2e lookup: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
