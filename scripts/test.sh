#!/usr/bin/env bash
# Builds Tessik and runs every test: a normal build, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, and the fuzzers
# for a short fixed time. Installs what it needs on a fresh Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(( $(nproc) + 1 ))
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

step() { printf '\n==== %s\n' "$*"; }

step "normal build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j 2 --timeout 300 --no-tests=error

step "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSIK_SANITIZE=address -DTESSIK_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan -j 2 --timeout 600 --no-tests=error

step "ThreadSanitizer (threaded tests)"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DTESSIK_SANITIZE=thread -DTESSIK_WITH_QT=OFF \
      -DTESSIK_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs"
ctest --test-dir build-tsan -L threaded -j 2 --timeout 600 --no-tests=error

if [ -d tests/fuzz ] && ls tests/fuzz/*.cpp >/dev/null 2>&1; then
  step "fuzzers"
  cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTESSIK_FUZZ=ON -DTESSIK_TESTS=OFF \
        -DTESSIK_WITH_QT=OFF -DTESSIK_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  for fuzzer in build-fuzz/tests/fuzz/*_fuzzer; do
    "$fuzzer" -max_total_time="${TESSIK_FUZZ_SECONDS:-30}" -print_final_stats=1 2>&1 | tail -n 3
  done
fi

step "all tests passed"
