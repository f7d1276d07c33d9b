#!/usr/bin/env bash
# Builds Tessik and runs every test: a normal build, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, and the fuzzers
# for a short fixed time. Installs what it needs on a fresh Debian 12 machine.
# These builds are the project's own checks, so warnings are errors in them; each has its
# own folder (build-test, build-asan, build-tsan, build-fuzz), apart from the user's build/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh test

jobs=$(( $(nproc) + 1 ))
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

step() { printf '\n==== %s\n' "$*"; }
configure() { cmake -S . -B "$@" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null; }

step "normal build"
configure build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIK_TESTS=ON -DTESSIK_BENCH=ON
cmake --build build-test -j "$jobs"
ctest --test-dir build-test -j 2 --timeout 300 --no-tests=error

step "AddressSanitizer + UndefinedBehaviorSanitizer"
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSIK_SANITIZE=address -DTESSIK_TESTS=ON \
          -DTESSIK_BENCH=OFF
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan -j 2 --timeout 600 --no-tests=error

step "ThreadSanitizer (threaded tests)"
configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DTESSIK_SANITIZE=thread -DTESSIK_WITH_QT=OFF \
          -DTESSIK_TESTS=ON -DTESSIK_BENCH=OFF
cmake --build build-tsan -j "$jobs"
ctest --test-dir build-tsan -L threaded -j 2 --timeout 600 --no-tests=error

if [ -d tests/fuzz ] && ls tests/fuzz/*.cpp >/dev/null 2>&1; then
  step "fuzzers"
  configure build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTESSIK_FUZZ=ON -DTESSIK_TESTS=OFF \
            -DTESSIK_WITH_QT=OFF -DTESSIK_BENCH=OFF
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  for fuzzer in build-fuzz/tests/fuzz/*_fuzzer; do
    report=build-fuzz/$(basename "$fuzzer").log
    # A passing run shows its closing statistics; a failing one shows everything it said,
    # the crash report and the input that caused it included.
    if ! "$fuzzer" -max_total_time="${TESSIK_FUZZ_SECONDS:-30}" -print_final_stats=1 \
         -artifact_prefix=build-fuzz/ >"$report" 2>&1; then
      cat "$report"
      echo "$fuzzer failed (its report: $report)" >&2
      exit 1
    fi
    tail -n 3 "$report"
  done
fi

step "all tests passed"
