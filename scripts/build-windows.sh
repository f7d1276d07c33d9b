#!/usr/bin/env bash
# Builds the Windows programs on Debian: tessik.exe (the window) and tessik-cli.exe, static,
# for 32-bit Windows in build-win32/ and for 64-bit Windows in build-win64/, each in bin/
# beside the help page, and packs build-win32/tessik-win32.zip and build-win64/tessik-win64.zip.
# Installs what it needs on a fresh Debian 12 machine.
#
# With --test it builds the tests too and runs them under Wine on a virtual X server: the
# 64-bit ones always, the 32-bit ones where this machine runs 32-bit x86 code and Wine for
# 32-bit programs can be installed. Where either fails, the 32-bit programs are built
# without their tests, and one line says that they were not run and why. scripts/test.sh
# runs it so.
set -euo pipefail
cd "$(dirname "$0")/.."
with_tests=0
case "${1:-}" in
  "") ;;
  --test) with_tests=1 ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

if [ $with_tests = 1 ]; then
  if ! ./scripts/install-deps.sh windows-test || [ ! -x /usr/lib/wine/wine64 ]; then
    echo "Wine for 64-bit programs (Debian's wine64) could not be installed, so the Windows" \
         "tests cannot run." >&2
    exit 1
  fi
else
  ./scripts/install-deps.sh windows
fi
jobs=$(( $(nproc) + 1 ))
step() { printf '\n==== %s\n' "$*"; }
source scripts/lib/windows-document-libs.sh

# build BITS ARCH TESTS: configures and builds build-winBITS with the toolchain of ARCH, its
# tests too when TESTS is 1, then packs the programs, the help page and the licence of the
# nickname list into its zip.
build() {
  local bits=$1 arch=$2 folder=build-win$1 name=tessik-win$1
  step "Windows programs, ${bits}-bit ($folder)"
  local tests=OFF
  [ "$3" = 1 ] && tests=ON
  document_libs "$folder" "$arch"
  cmake -S . -B "$folder" --toolchain "cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTESSIK_TESTS=$tests -DCMAKE_COMPILE_WARNING_AS_ERROR=$tests \
    -DTESSIK_DOCUMENT_LIBS_PREFIX="$PWD/$folder/document-libs" >/dev/null
  cmake --build "$folder" -j "$jobs"
  rm -rf "${folder:?}/$name" "$folder/$name.zip"
  mkdir "$folder/$name"
  cp "$folder/bin/tessik.exe" "$folder/bin/tessik-cli.exe" "$folder/bin/morrin.html" "$folder/$name/"
  # The table of given names holds a list under the Apache License, whose text goes with it.
  cp data/given-names/LICENSE-nicknames.txt "$folder/$name/LICENSE-nicknames.txt"
  # pugixml, libdeflate, minizip and zlib are linked in: their notices go with them.
  cp "$folder"/document-libs/LICENSE-*.txt "$folder/$name/"
  "$arch-w64-mingw32-strip" "$folder/$name/"*.exe
  (cd "$folder" && zip -q -r "$name.zip" "$name")
  echo "packed $folder/$name.zip"
}

# Wine for 32-bit programs comes from Debian's i386 architecture, and runs only where the
# kernel runs 32-bit code: that is asked first, and nothing is installed where it does not.
# When apt cannot install it the architecture is taken away again, so that no later
# apt-get update fails for it. wine32_reason says why it is not ready.
wine32_ready() {
  local status
  wine32_reason=$(./scripts/lib/runs-32bit-code.sh) || return 1
  status=$(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null || true)
  [[ $status == *"install ok installed"* ]] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    wine32_reason="wine32:i386 is not installed, and installing it needs root"
    return 1
  fi
  local added=0 log=build-win32/apt-wine32.log
  mkdir -p build-win32
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    added=1
  fi
  if apt-get update -qq >"$log" 2>&1 &&
     DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
       wine32:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 \
       libxinerama1:i386 libxfixes3:i386 libxcomposite1:i386 >>"$log" 2>&1; then
    return 0
  fi
  wine32_reason="apt cannot install wine32:i386 here: $(grep -m1 -E '^E: ' "$log" | cut -c4- || true)"
  if [ $added = 1 ]; then
    dpkg --remove-architecture i386 2>/dev/null && apt-get update -qq >/dev/null 2>&1 || true
  fi
  return 1
}

# only_launch_failures LOG: true when ctest's LOG names failed tests and Wine started the
# program of none of them: its output holds no line of GoogleTest's (every test program
# prints "Running main()" and "[==========]" before anything else), at most Wine's own
# "ShellExecuteEx failed".
only_launch_failures() {
  local failed launches
  failed=$(sed -n '/The following tests FAILED:/,$p' "$1" | grep -c ' - ' || true)
  # A failed test's output follows its result line up to the next line of ctest's own.
  launches=$(awk '
    function close_block() { if (open && !ran) never++; open = 0 }
    /Test +#[0-9]+: .*\*\*\*(Failed|Exception|Timeout)/ { close_block(); open = 1; ran = 0; next }
    /^ *[0-9]+\/[0-9]+ Test +#/ || /^ *Start +[0-9]+: / || /^The following tests/ ||
      /^[0-9]+% tests passed/ { close_block(); next }
    open && (/Running main\(\)/ || /^\[==========\]/) { ran = 1 }
    END { close_block(); print never + 0 }' "$1")
  [ "$failed" -gt 0 ] && [ "$failed" = "$launches" ]
}

# A test's time limit under Wine. The longest test, the window's stress test, takes about
# 35 s on a quiet 2-core machine and twice that beside the Linux checks of scripts/test.sh;
# the limit only catches a hang, as the Linux tests' does.
test_timeout=300

# run_tests BITS ARCH: every test of build-winBITS under Wine, on a virtual X server of its
# own, so that the tests of both processors can run at once without taking the focus from
# each other's windows.
run_tests() {
  local bits=$1 arch=$2 folder=build-win$1 display_folder result=0
  step "Windows tests under Wine, ${bits}-bit"
  display_folder=$(mktemp -d)
  if start_virtual_display "$display_folder" 1024x768x24; then
    run_tests_on_display "$folder" "$arch" || result=$?
  else
    echo "Xvfb did not start" >&2
    result=1
  fi
  stop_wine
  stop_virtual_display
  rm -rf "$display_folder"
  return $result
}

run_tests_on_display() {
  local folder=$1 arch=$2 log=$1/Testing/wine-tests.log result=0
  start_wine "$folder" "$arch" || return 1
  ctest --test-dir "$folder" -j "$jobs" --output-on-failure --timeout "$test_timeout" --output-log "$log" ||
    result=$?
  # Under load Wine now and then fails to start a program at all, before any of its code
  # runs, with a message or with none. When that is the whole reason for every failure,
  # those tests run once more; any other failure stands.
  if [ $result != 0 ] && only_launch_failures "$log"; then
    echo "Wine could not start the programs of the tests above; they run once more."
    result=0
    ctest --test-dir "$folder" --rerun-failed --output-on-failure --timeout "$test_timeout" || result=$?
  fi
  return $result
}

if [ $with_tests = 0 ]; then
  build 64 x86_64 0
  build 32 i686 0
  exit 0
fi

# Wine for 32-bit programs is installed (from the network, mostly waiting) while the 64-bit
# programs build; its answer decides whether the 32-bit tests are built at all.
wine32_answer=$(mktemp)
( if wine32_ready; then echo ready; else echo "$wine32_reason"; fi ) >"$wine32_answer" &
wine32_job=$!
build 64 x86_64 1
wait $wine32_job || true
with_wine32=0
wine32_reason=$(cat "$wine32_answer")
rm -f "$wine32_answer"
[ "$wine32_reason" = ready ] && with_wine32=1

source scripts/lib/virtual-display.sh
source scripts/lib/wine-env.sh
# The 64-bit tests run while the 32-bit programs build: Wine spends much of its time
# waiting on windows and processes, which the compiler fills. Their output waits in a log.
tests64_log=build-win64/Testing/run-tests.log
mkdir -p build-win64/Testing
set -m  # a process group of their own, which a failed build below ends whole
run_tests 64 win64 >"$tests64_log" 2>&1 &
tests64=$!
set +m
trap 'kill -- -$tests64 2>/dev/null || true' EXIT
build 32 i686 $with_wine32
tests64_status=0
wait $tests64 || tests64_status=$?
trap - EXIT
cat "$tests64_log"
[ $tests64_status = 0 ] || exit $tests64_status
if [ $with_wine32 = 1 ]; then
  run_tests 32 win32
else
  echo "The 32-bit Windows programs were built but not run: $wine32_reason"
fi
