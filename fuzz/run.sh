#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ (every library with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them over their seed corpora.
#
#   fuzz/run.sh smoke            each target a fixed number of runs; fails on any crash, leak,
#                                sanitizer report, failed check or slow input (test.sh runs this)
#   fuzz/run.sh long SECONDS     each target for SECONDS, two at a time at low priority; the
#                                corpora grow in build-fuzz/corpus/, findings go to build-fuzz/findings/
#   fuzz/run.sh build            only builds
#
# FUZZ_TARGETS="calldb htmldecode" limits a run to those targets; FUZZ_RUNS sets smoke's runs;
# FUZZ_ARGS adds libFuzzer options (FUZZ_ARGS=-max_len=200000 for larger inputs).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$top/build-fuzz"
mode="${1:-smoke}"
all="htmldecode pagescraper languagefile configfile hosttable calldb ziptable geocoder updatecheck sitelist
     sitelistrebuild imagetrailer countryfile callcompletion"
targets="${FUZZ_TARGETS:-$all}"

"$top/tools/setup.sh" --no-build
mkdir -p "$out"
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DTORVANE_FUZZ=ON -DTORVANE_BENCHMARKS=OFF > "$out/configure.log" 2>&1 || { cat "$out/configure.log"; exit 1; }
cmake --build "$out" --target fuzz_all --parallel "${FUZZ_JOBS:-2}"
[ "$mode" = build ] && exit 0

"$top/fuzz/seeds.sh" "$out/seeds"
# The database target writes and syncs files on every run: a memory file system makes that cheap.
scratch="$out/tmp"
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch="$(mktemp -d /dev/shm/torvane-fuzz.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch" "$out/findings" "$out/logs"
export TMPDIR="$scratch"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# run TARGET OUTPUT-CORPUS OPTIONS...: the target over its new, committed and generated seeds.
run() {
  local t="$1" corpus="$2" dirs=() d; shift 2
  mkdir -p "$corpus"
  for d in "$top/fuzz/corpus/$t" "$out/seeds/$t"; do [ -d "$d" ] && dirs+=("$d"); done
  "$out/fuzz/fuzz_$t" "$@" ${FUZZ_ARGS:-} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$t-" "$corpus" "${dirs[@]}" > "$out/logs/$t.log" 2>&1
}
# The last statistics of a run: runs, average exec/s, coverage, corpus.
summary() {
  local log="$out/logs/$1.log"
  if grep -q '^stat::number_of_executed_units' "$log"; then
    printf '%-15s %s exec/s %s\n' "$1" \
      "$(grep -E '^#[0-9]+.*(DONE|INITED)' "$log" | tail -1 | sed -E 's/^#([0-9]+)\s+\w+\s+(cov: [0-9]+ ft: [0-9]+ corp: [^ ]+).*/runs \1 \2/')" \
      "$(sed -n 's/^stat::average_exec_per_sec:\s*//p' "$log")"
  else  # fork mode: "#runs: cov: .. ft: .. corp: .. exec/s .. oom/timeout/crash: a/b/c time: Ns"
    grep -E '^#[0-9]+: cov:' "$log" | tail -1 | awk -v t="$1" '{
      runs = substr($1, 2) + 0
      for (i = 1; i <= NF; i++) {
        if ($i == "oom/timeout/crash:") found = $(i + 1)
        if ($i == "time:") secs = $(i + 1) + 0
      }
      printf "%-15s runs %d %s %s %s %s %s %s exec/s %d oom/timeout/crash %s\n", t, runs, $2, $3, $4, $5, $6, $7, runs / (secs > 0 ? secs : 1), found }'
  fi
}

failed=()
case "$mode" in
  smoke)
    for t in $targets; do
      rm -rf "$out/smoke/$t"
      if run "$t" "$out/smoke/$t" -runs="${FUZZ_RUNS:-4000}" -seed=1; then
        summary "$t"
      else
        failed+=("$t"); echo "fuzz_$t FAILED:"; tail -40 "$out/logs/$t.log"
      fi
    done
    ;;
  long)
    # Fork mode goes on after a finding; each one leaves its input in findings/.
    seconds="${2:?fuzz/run.sh long SECONDS}"
    touch "$out/findings/.start"
    set -- $targets
    while [ $# -gt 0 ]; do
      pids=()
      for t in "$1" "${2:-}"; do
        [ -n "$t" ] || continue
        nice -n 10 bash -c "$(declare -f run); out='$out' top='$top' run '$t' '$out/corpus/$t' \
          -fork=1 -ignore_crashes=1 -max_total_time=$seconds" &
        pids+=("$!:$t")
      done
      for p in "${pids[@]}"; do
        t="${p#*:}"
        wait "${p%%:*}" || true
        summary "$t"
        found="$(find "$out/findings" -name "$t-*" -newer "$out/findings/.start" | wc -l)"
        [ "$found" -eq 0 ] || { failed+=("$t"); echo "fuzz_$t: $found findings, see $out/logs/$t.log"; }
      done
      shift; [ $# -gt 0 ] && shift
    done
    ;;
  *) echo "usage: fuzz/run.sh smoke | long SECONDS | build" >&2; exit 2 ;;
esac
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (reproducers in $out/findings/)"
  exit 1
fi
