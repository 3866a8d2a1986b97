#!/usr/bin/env bash
# The call database, Torvane.cfg and the site list against kill -9 at random moments, a full disk and a read-only
# data folder, driven by torvane-db. After each, the next open (which may finish a change cut
# short) finds whole records in strictly ascending order, and the database and Torvane.cfg are
# byte for byte as before the change or as after it; a failed change says why and exits 1.
# fault_e2e.sh <torvane-db> <output folder> [kills per kind; TORVANE_FAULT_KILLS, else 200]
set -uo pipefail
tool="$1"
out="$2"
kills="${3:-${TORVANE_FAULT_KILLS:-200}}"
here="$(cd "$(dirname "$0")" && pwd)"
export LC_ALL=C
passed=0 failed=0 skipped=0
check() {  # check "what" command...
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
skip() { skipped=$((skipped + 1)); echo "SKIP: $1"; }

rm -rf "$out"; mkdir -p "$out"
work="$(mktemp -d "${TMPDIR:-/tmp}/torvane-faults.XXXXXX")"
mounts=()
cleanup() {
  for ((m = ${#mounts[@]} - 1; m >= 0; m--)); do umount "${mounts[m]}"; done
  chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"
}
trap cleanup EXIT
# A memory file system spares the disk 600 copies of 16.7 MB.
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=600m torvane-faults "$work" 2>/dev/null; then mounts+=("$work"); fi

orig="$work/orig" ref="$work/ref" w="$work/w"
mkdir -p "$orig" "$ref"
"$tool" "$orig" make 100000 > /dev/null || { echo "FAIL: torvane-db make"; exit 1; }
cp "$here/../../data/Torvane.cfg" "$orig/"
"$tool" "$orig" repeat config 2 > /dev/null  # as the program writes it
"$tool" "$orig" repeat sites 2 > /dev/null
cp "$orig/Torvane.cfg" "$ref/config-0"
cp "$orig/dsstvSites.dat" "$ref/sites-0"

wait_for() {  # wait_for command...: true as soon as the command is, false after 10 s
  for _ in $(seq 1 1000); do "$@" && return 0; sleep 0.01; done
  return 1
}
fresh() { rm -rf "$1" "$w.out"; mkdir -p "$1" && cp "$orig/CallData.db" "$orig/Torvane.cfg" "$orig/dsstvSites.dat" "$1/"; }
file_of() { case "$1" in config) echo Torvane.cfg ;; sites) echo dsstvSites.dat ;; *) echo CallData.db ;; esac; }
ref_of() {  # ref_of kind N: the file after the first N changes of "repeat kind", made once
  case "$1" in config|sites) set -- "$1" $(($2 % 2)) ;; esac  # by turns
  local f="$ref/$1-$2"
  [ "$2" -ge 0 ] || return 1
  if [ ! -f "$f" ]; then
    local before; before="$(ref_of "$1" $(($2 - 1)))" || return 1
    fresh "$f.d"; cp "$before" "$f.d/$(file_of "$1")"
    "$tool" "$f.d" repeat "$1" 1 > /dev/null && mv "$f.d/$(file_of "$1")" "$f" && rm -rf "$f.d" || return 1
  fi
  echo "$f"
}
cp "$orig/CallData.db" "$ref/store-0"; cp "$orig/CallData.db" "$ref/delete-0"
state() {  # state kind N folder: "before" or "after" the change that followed the first N, else "torn"
  if { [ "$1" = store ] || [ "$1" = delete ]; } && ! "$tool" "$3" check > /dev/null 2>> "$out/check.log"; then echo torn
  elif cmp -s "$3/$(file_of "$1")" "$(ref_of "$1" "$2")"; then echo before
  elif cmp -s "$3/$(file_of "$1")" "$(ref_of "$1" $(($2 + 1)))"; then echo after
  else echo torn; fi
}

# 1. kill -9 at a random moment up to 100 ms into "repeat", which prints a line as each change is
# complete; the check's open finishes the change cut short.
for kind in store delete config sites; do
  declare -A seen=([before]=0 [after]=0 [torn]=0)
  unsound=0
  for ((i = 1; i <= kills; i++)); do
    fresh "$w"
    "$tool" "$w" repeat "$kind" > "$w.out" 2> "$w.err" & pid=$!
    wait_for test -s "$w.out"
    sleep "$(printf '0.%03d' $((RANDOM % 100)))"
    kill -KILL "$pid"; wait "$pid" 2> /dev/null; status=$?
    done_count=$(($(wc -l < "$w.out") - 1))  # -1: it never started
    s="$( [ "$done_count" -ge 0 ] && state "$kind" "$done_count" "$w" || echo torn)"
    seen[$s]=$((seen[$s] + 1))
    if [ "$status" != 137 ] || [ "$s" = torn ]; then
      unsound=$((unsound + 1)); cp -r "$w" "$out/$kind-$i"; cat "$w.err" >> "$out/check.log"
    fi
  done
  echo "$kind: $kills kills, ${seen[before]} left as before the change, ${seen[after]} as after, ${seen[torn]} torn"
  check "$kind killed $kills times: every file whole, as before or after ($unsound not)" test "$unsound" = 0
done

# 2. A full disk and a read-only folder: the change fails with the file and the reason (or, where
# there is room for it, is made whole); once there is room again, the files are as before or after.
changes_soundly() {  # changes_soundly kind may-succeed expected-reason folder [runner...]
  local kind="$1" may="$2" reason="$3" folder="$4"; shift 4
  "$@" "$tool" "$folder" repeat "$kind" 1 > "$w.out" 2> "$w.err"; local status=$?
  rm -f "$disk/fill"
  local s; s="$(state "$kind" 0 "$folder")"
  echo "  $kind: exit $status, $s: $(tail -n 1 "$w.err")"
  { [ "$may" = yes ] && [ "$status" = 0 ] && [ "$s" = after ]; } \
    || { [ "$status" = 1 ] && [ "$s" = before ] && grep -q "$reason" "$w.err"; }
}
disk="$work/disk"
mkdir -p "$disk"
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=20m torvane-full "$disk" 2>/dev/null; then
  mounts+=("$disk")
  for room in 0 16384 262144; do  # bytes left free
    echo "full disk, $room bytes free:"
    for kind in store delete config sites; do
      fresh "$disk/d"
      dd if=/dev/zero of="$disk/fill" bs=64k 2> /dev/null; truncate -s "-$room" "$disk/fill"
      check "full disk ($room bytes free), $kind" changes_soundly "$kind" "$([ "$room" = 0 ] && echo no || echo yes)" \
        "No space left on device" "$disk/d"
    done
  done
else
  skip "full disk: needs root to mount a small tmpfs"
fi
echo "read-only data folder:"
for kind in store delete config sites; do
  fresh "$w"
  if [ "$(id -u)" != 0 ]; then
    chmod a-w "$w"
    check "folder without write permission, $kind" changes_soundly "$kind" no "Permission denied" "$w"
    chmod u+w "$w"
  elif unshare -m true 2> /dev/null; then  # root writes anywhere: a read-only mount of the folder
    check "read-only folder, $kind" changes_soundly "$kind" no "Read-only file system\|is not writable" "$w" \
      unshare -m sh -c 'mount --bind -o ro "$1" "$1" && shift && exec "$@"' _ "$w"
  else
    skip "read-only folder, $kind: root without the right to mount"
  fi
done

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
