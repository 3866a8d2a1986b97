#!/usr/bin/env bash
# The installed program: cmake --install into a prefix, its desktop entry and metainfo valid,
# the Debian package built with its dependencies, and the program unpacked from that package
# seeding a new user's data folder from its own share/torvane.
set -uo pipefail
build="$1"
out="$2"
source "$(dirname "$0")/common.sh"
prefix="$out/prefix"
pid=""
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null' EXIT

check "installs" cmake --install "$build" --prefix "$prefix"
check "desktop entry valid" desktop-file-validate "$prefix/share/applications/org.torvane.Torvane.desktop"
check "metainfo valid" appstreamcli validate --no-net "$prefix/share/metainfo/org.torvane.Torvane.metainfo.xml"
check "icon installed" test -s "$prefix/share/icons/hicolor/256x256/apps/org.torvane.Torvane.png"

check "Debian package built" bash -c "cd '$build' && cpack -G DEB -B '$out/deb' > '$out/cpack.log'"
deb=$(ls "$out"/deb/torvane_*.deb 2>/dev/null | head -n 1)
depends=$(dpkg-deb -f "$deb" Depends 2>/dev/null)
for needed in libqt6widgets6 libgumbo1 libpugixml1v5 hamradio-files qt6-qpa-plugins; do
  check "package depends on $needed" grep -q "$needed" <<< "$depends"
done
dpkg-deb -x "$deb" "$out/root"
"$out/root/usr/bin/torvane" > "$out/torvane.log" 2>&1 & pid=$!
check "unpacked program shows its window" test -n "$(wait_window "$pid")"
check "data folder seeded from the package" cmp -s "$data/Help.txt" "$out/root/usr/share/torvane/data/Help.txt"
check "closes" stop_program "$pid"

echo "e2e install: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
