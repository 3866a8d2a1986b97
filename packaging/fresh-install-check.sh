#!/usr/bin/env bash
# Installs a built torvane .deb on a fresh Debian 12 (a debootstrap folder, as root) and starts
# Torvane there the way the desktop menu does, from the Exec line of its .desktop file, as an
# ordinary user under a virtual display. Prints what it saw; exits non-zero when the program
# did not show its window.
#   packaging/fresh-install-check.sh build/torvane_4.11_amd64.deb [folder]
set -euo pipefail
deb="$(realpath "$1")"
root="${2:-/var/tmp/torvane-fresh}"
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot)"; exit 2; }
command -v debootstrap > /dev/null || apt-get install -y -qq debootstrap

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
mounted=()
cleanup() { for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done; }
trap cleanup EXIT
for m in proc dev dev/pts sys; do
  mount --bind "/$m" "$root/$m"; mounted=("$root/$m" "${mounted[@]}")
done
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

cp "$deb" "$root/tmp/torvane.deb"
in_root apt-get update -qq
# The package brings everything it needs; the display and the checking tools are the test's.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/torvane.deb
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  xvfb xauth x11-utils imagemagick
in_root id op > /dev/null 2>&1 || in_root useradd -m op

desktop=/usr/share/applications/org.torvane.Torvane.desktop
exec_line=$(sed -n 's/^Exec=//p' "$root$desktop" | sed 's/ %[fFuU]//g')
echo "menu entry: $(sed -n 's/^Name=//p' "$root$desktop" | head -n 1), Exec=$exec_line"
cat > "$root/tmp/start.sh" <<SCRIPT
#!/bin/sh
# Started from the menu entry; the window is looked for for up to 20 s.
$exec_line > /tmp/torvane.out 2>&1 &
for i in \$(seq 1 200); do
  xwininfo -root -tree | grep -q '"Torvane ' && break
  sleep 0.1
done
xwininfo -root -tree | grep '"Torvane '
import -window root /tmp/fresh-start.png
ls ~/.local/share/Torvane
kill \$! 2>/dev/null
SCRIPT
chmod 755 "$root/tmp/start.sh"
if in_root su - op -c 'xvfb-run -a -s "-screen 0 1280x1024x24" /tmp/start.sh'; then
  cp "$root/tmp/fresh-start.png" . 2>/dev/null && echo "screenshot: fresh-start.png"
  echo "fresh install: Torvane started from its menu entry"
else
  cat "$root/tmp/torvane.out" 2>/dev/null
  echo "fresh install: no Torvane window"; exit 1
fi
