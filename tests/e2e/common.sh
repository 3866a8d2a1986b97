# Shared by the end-to-end scripts: counting checks, the display test, a private data and
# runtime folder under $out, and waiting for or closing a started program.
# The caller sets $out before sourcing this file.
passed=0
failed=0
check() {  # check "what" command...
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what" >&2; fi
}

if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: run through test.sh (xvfb-run)"; echo "0 passed, 0 failed, 1 skipped"; exit 0
fi

rm -rf "$out"; mkdir -p "$out/home" "$out/run" "$out/config"; chmod 700 "$out/run"
export XDG_DATA_HOME="$out/home" XDG_RUNTIME_DIR="$out/run" XDG_CONFIG_HOME="$out/config"
unset QT_QPA_PLATFORM
data="$XDG_DATA_HOME/Torvane"

wait_for() {  # wait_for command...: true as soon as the command is, false after 10 s (or E2E_WAIT s)
  for _ in $(seq 1 $(( ${E2E_WAIT:-10} * 10 ))); do "$@" && return 0; sleep 0.1; done
  return 1
}
window_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n 1 | grep .; }
wait_window() {  # wait_window pid -> window id of that process
  wait_for window_of "$1" > /dev/null && window_of "$1"
}
size_of() { xdotool getwindowgeometry "$1" 2>/dev/null | awk '/Geometry/ {print $2}'; }
ended() { ! kill -0 "$1" 2>/dev/null; }
stop_program() {  # SIGTERM closes the window the ordinary way
  kill -TERM "$1" 2>/dev/null
  wait_for ended "$1" && return 0
  kill -KILL "$1" 2>/dev/null; return 1
}
