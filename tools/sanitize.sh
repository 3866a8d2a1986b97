#!/usr/bin/env bash
# Builds Torvane with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs the
# whole test suite there once, under a virtual X display as test.sh does. Any sanitizer report
# fails the test that caused it. Slow (a full build and a run about three times slower), so it is
# not part of test.sh. Extra arguments go to ctest, e.g. tools/sanitize.sh -R calldb.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$top/build-asan"
jobs="${SANITIZE_JOBS:-2}"
"$top/tools/setup.sh" --no-build

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
mkdir -p "$out"
gcc -c -fPIC -O1 -o "$out/keep-libraries.o" "$top/tools/sanitize-keep-libraries.c"
link="-fsanitize=address,undefined $out/keep-libraries.o -Wl,--export-dynamic-symbol=dlclose"
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$link"
cmake --build "$out" --parallel "$jobs"

# Leaks inside Qt's and the system's libraries that the program cannot free are listed, with
# the reason for each, in sanitize-lsan.supp. Reports go to files, so that those of processes
# whose exit status no test looks at (the program under the end-to-end scripts, the test web
# server) count as well.
reports="$out/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
# new_delete_type_mismatch is off: Chromium inside Qt WebEngine frees some of its objects through
# a base of another size when a page is destroyed (reported with WebEngineCore frames only, for
# every view the program or a test closes), and ASan has no way to suppress it by library.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:new_delete_type_mismatch=0:log_path=$reports/asan"
export LSAN_OPTIONS="suppressions=$top/tools/sanitize-lsan.supp:print_suppressions=0"
export E2E_WAIT=30  # the program under the end-to-end scripts runs several times slower
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
cd "$out"
status=0
xvfb-run -a -s "-screen 0 1600x1200x24" ctest -j "$jobs" --output-on-failure --timeout 900 "$@" || status=$?
if compgen -G "$reports/*" > /dev/null; then
  for report in "$reports"/*; do
    echo "==== $report"
    cat "$report"
  done
  echo "sanitizer reports: $(ls "$reports" | wc -l), in $reports"
  status=1
fi
exit "$status"
