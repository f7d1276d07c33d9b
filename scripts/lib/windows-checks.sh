#!/usr/bin/env bash
# The Windows half of the test command: the Windows programs and their tests under Wine
# (scripts/build-windows.sh --test), then the same searches run by the Linux tessik-cli of
# build-test/ and by tessik-cli.exe, which must agree. scripts/test.sh runs it beside its
# Linux checks, in a process group of its own, and prints what it says when it is done.
# Ends with one line "windows-checks: N s" (its time) before its exit status.
set -uo pipefail
cd "$(dirname "$0")/../.."
started=$SECONDS

run() {
  ./scripts/build-windows.sh --test || return 1
  printf '\n==== the same searches on Linux and on Windows\n'
  (
    source scripts/lib/wine-env.sh
    trap stop_wine EXIT
    start_wine build-win64 win64 || exit 1
    python3 tests/win32/same_results.py --linux-cli build-test/bin/tessik-cli \
      --windows-cli build-win64/bin/tessik-cli.exe --wine "$WINE" --threads 3
  ) || {
    echo "the Linux and Windows tessik-cli were not compared, or differ (above)" >&2
    return 1
  }
}

status=0
run || status=1
echo "windows-checks: $((SECONDS - started)) s"
exit $status
