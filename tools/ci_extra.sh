#!/usr/bin/env bash
# Extra CI steps, run after "tools/setup.sh test" in the same shell environment: the display,
# XDG_RUNTIME_DIR and the sound server are already up, and build/ holds the normal build.
#   1. the whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer (g++);
#   2. a short fuzzing run over every table pass and the pane write rule (clang, libFuzzer);
#   3. a leak check of the real program from start-up to a normal exit, under valgrind.
# Each step fails the script on any report. Safe to run again: the build folders are reused.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
build=${CHENXING_BUILD:-$top/build}
asan=${CHENXING_ASAN_BUILD:-$top/build-asan}
fuzz=${CHENXING_FUZZ_BUILD:-$top/build-fuzz}

# tools/setup.sh installs what these steps need (clang, its fuzzer runtime, valgrind).

step() { echo; echo "=== $* ($(date +%T))"; }

step "1/3 test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
CC=gcc CXX=g++ cmake -S "$top" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHENXING_SANITIZE=ON -DCHENXING_BENCH=OFF >/dev/null
cmake --build "$asan"
# Every report of every process fails the run, also from a program that a test starts and
# does not watch: AddressSanitizer writes each report to a file of its own, UBSan (stderr only
# in gcc's runtime) is found in the full test log.
reports=$asan/sanitizer-reports
log=$asan/sanitized-suite.log
rm -rf "$reports" && mkdir -p "$reports"
# Leaks are left to step 3: Qt and fontconfig keep one-time allocations until exit.
export ASAN_OPTIONS=detect_leaks=0:log_path=$reports/asan
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
suite=0
ctest --test-dir "$asan" --timeout 900 -V >"$log" 2>&1 || suite=$?
grep -E '^ *[0-9]+/[0-9]+ Test|tests passed' "$log" || true
if compgen -G "$reports/*" >/dev/null || grep -qE 'runtime error:|ERROR: AddressSanitizer' "$log"; then
  cat "$reports"/* 2>/dev/null >&2 || true
  grep -E -A30 'runtime error:|ERROR: AddressSanitizer' "$log" >&2 || true
  echo "sanitizer reports above (full log: $log)" >&2
  exit 1
fi
if [ "$suite" -ne 0 ]; then
  echo "tests failed under the sanitizers (full log: $log)" >&2
  exit "$suite"
fi
unset ASAN_OPTIONS UBSAN_OPTIONS

step "2/3 fuzzing the table passes and the pane write rule"
CC=clang CXX=clang++ cmake -S "$top" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHENXING_FUZZ=ON -DBUILD_TESTING=OFF -DCHENXING_BENCH=OFF >/dev/null
cmake --build "$fuzz" --target fuzz_tables
mkdir -p "$fuzz/corpus" "$fuzz/artifacts"
LSAN_OPTIONS=suppressions=$top/fuzz/lsan.supp \
  "$fuzz/fuzz/fuzz_tables" -dict="$fuzz/fuzz/keys.dict" -runs=200000 -max_total_time=90 \
  -timeout=20 -artifact_prefix="$fuzz/artifacts/" -print_final_stats=1 "$fuzz/corpus"

step "3/3 leak check from start-up to exit"
report=$build/leak-check.xml
cd "$build"   # where the program finds its recordings
valgrind --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --child-silent-after-fork=yes --num-callers=40 --suppressions="$top/tests/robustness/valgrind.supp" \
  --xml=yes --xml-file="$report" --log-file="$build/leak-check.log" "$build/app/chenxing" &
program=$!
# Once it is up, a click in its main window brings up the sound and speech module, so that the
# module's code is checked too; then let it settle and close the main window as a user does.
if window=$(timeout 600 xdotool search --sync --onlyvisible --pid "$program" --name "晨星学堂 3.9" | head -n 1); then
  xdotool mousemove --window "$window" 60 40 click 1
fi
if ! "$build/tests/robustness/close_window" "$program" "晨星学堂 3.9" 600 3; then
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  echo "the program's main window never came up" >&2
  exit 1
fi
status=0
wait "$program" || status=$?
if [ "$status" -ne 0 ]; then
  echo "the program ended with status $status after its main window was closed" >&2
  tail -n 40 "$build/leak-check.log" >&2
  exit 1
fi
python3 "$top/tests/robustness/definite_leaks.py" "$report" "$build/app/chenxing" "$top"

echo; echo "extra checks passed"
