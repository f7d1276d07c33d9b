#!/usr/bin/env bash
# Builds Tessik and runs every test: a normal build, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, the fuzzers for a
# short fixed time, and, beside those three (scripts/lib/windows-checks.sh), the Windows
# programs with their tests under Wine, ending with the same searches run by the Linux and
# the Windows tessik-cli. Installs what it needs on a fresh Debian 12 machine, and ends
# with the time each step took.
# Each build is a preset of CMakePresets.json with a folder of its own (build-test,
# build-asan, build-tsan, build-fuzz), apart from the user's build/; they are the
# project's own checks, so warnings are errors in them.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS=0
jobs=$(( $(nproc) + 1 ))
# Each step's name and time, printed at the end (also when a step fails).
step_names=() step_seconds=() step_started=$SECONDS current_step="installing what is missing"
end_step() {
  step_names+=("$current_step")
  step_seconds+=($((SECONDS - step_started)))
  step_started=$SECONDS
}
step() {
  end_step
  current_step=$*
  printf '\n==== %s\n' "$*"
}
# The Windows checks run beside the Linux ones; their own time is printed apart.
windows_checks= windows_seconds=
print_step_times() {
  end_step
  # Checks still running when a Linux check failed end with it (their log stays).
  if [ -n "$windows_checks" ]; then kill -- -"$windows_checks" 2>/dev/null || true; fi
  printf '\n==== time each step took\n'
  local i
  for i in "${!step_names[@]}"; do
    printf '%6d s  %s\n' "${step_seconds[$i]}" "${step_names[$i]}"
  done
  [ -n "$windows_seconds" ] &&
    printf '%6d s  (the Windows checks, beside the steps from their start on)\n' "$windows_seconds"
  printf '%6d s  in all\n' "$SECONDS"
}
trap print_step_times EXIT

./scripts/install-deps.sh linux-test
# What the fuzzers, the Windows programs and Wine need comes from the network while the
# normal build compiles (apt mostly waits for it); the Windows checks wait for it first.
mkdir -p build-logs
./scripts/install-deps.sh fuzz windows-test >build-logs/install-more.log 2>&1 &
more_packages=$!

nice_linux=()
check() {
  cmake --preset "$1" >/dev/null
  "${nice_linux[@]}" cmake --build --preset "$1" -j "$jobs"
  "${nice_linux[@]}" ctest --preset "$1"
}

step "normal build"
check check

step "the Debian package of the normal build"
# What scripts/package-deb.sh makes from a Release build, made here from the normal build
# (a few seconds): its name, control fields, dependencies and files.
rm -rf build-test/packages
(cd build-test && cpack -G DEB >/dev/null)
python3 tests/packaging/check_install.py deb --deb build-test/packages/tessik_*.deb \
  --version "$(sed -n 's/^project(Tessik VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)"

# The Windows programs build and run their tests under Wine beside the Linux checks below,
# so that the processors are busy while Wine waits on its windows and the cross-check on its
# processes. The Linux checks give way to them (nice 19), so that the Windows window tests
# see an answering machine; their output waits in a log until the end.
step "starting the Windows checks (build-logs/windows-checks.log)"
if ! wait $more_packages; then
  cat build-logs/install-more.log
  echo "the packages for the fuzzers and the Windows programs could not be installed" \
       "(above)" >&2
  exit 1
fi
setsid ./scripts/lib/windows-checks.sh >build-logs/windows-checks.log 2>&1 &
windows_checks=$!
# wait_for_windows_checks: prints what the Windows checks said; fails when they failed.
wait_for_windows_checks() {
  local status=0
  wait $windows_checks || status=$?
  windows_checks=
  cat build-logs/windows-checks.log
  [ $status = 0 ] || { echo "the Windows checks failed (above)" >&2; exit 1; }
}
nice_linux=(nice -n 19)

step "AddressSanitizer + UndefinedBehaviorSanitizer"
check asan

step "ThreadSanitizer (threaded tests)"
check tsan

# fuzz FUZZER: runs one fuzzer for a short fixed time, its report in build-fuzz/NAME.log.
# Each fuzzer starts from its seeds (tests/fuzz/corpus/NAME), copied to a corpus of the
# build that the runs grow, and takes the flags of tests/fuzz/NAME_fuzzer.options
# ("key = value" lines under [libfuzzer]).
fuzz() {
  local fuzzer=$1 name corpus options=()
  name=$(basename "$fuzzer" _fuzzer)
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  if [ -d "tests/fuzz/corpus/$name" ]; then cp -r "tests/fuzz/corpus/$name/." "$corpus/"; fi
  if [ -f "tests/fuzz/${name}_fuzzer.options" ]; then
    mapfile -t options < <(sed -n 's/^ *\([a-z_]*\) *= *\([^ ]*\) *$/-\1=\2/p' \
                             "tests/fuzz/${name}_fuzzer.options")
  fi
  "$fuzzer" -max_total_time="${TESSIK_FUZZ_SECONDS:-20}" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/ "${options[@]}" "$corpus" >"build-fuzz/${name}_fuzzer.log" 2>&1
}

if [ -d tests/fuzz ] && ls tests/fuzz/*.cpp >/dev/null 2>&1; then
  step "fuzzers"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  # A fuzzer runs on one processor: as many run at once as there are processors, each
  # leaving its exit status beside it.
  fuzzers=(build-fuzz/tests/fuzz/*_fuzzer)
  export -f fuzz
  printf '%s\0' "${fuzzers[@]}" |
    "${nice_linux[@]}" xargs -0 -n 1 -P "$(nproc)" \
      bash -c 'status=0; fuzz "$1" || status=$?; echo $status >"$1.status"' _
  # A passing run shows its closing statistics; a failing one shows everything it said,
  # the crash report and the input that caused it included.
  for fuzzer in "${fuzzers[@]}"; do
    report=build-fuzz/$(basename "$fuzzer").log
    if [ "$(cat "$fuzzer.status")" != 0 ]; then
      cat "$report"
      echo "$fuzzer failed (its report: $report)" >&2
      exit 1
    fi
    echo "$(basename "$fuzzer"):"
    tail -n 3 "$report"
  done
fi

step "waiting for the Windows checks"
wait_for_windows_checks
windows_seconds=$(sed -n 's/^windows-checks: \([0-9]*\) s$/\1/p' build-logs/windows-checks.log)
echo "all tests passed"
