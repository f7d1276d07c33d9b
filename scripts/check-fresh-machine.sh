#!/usr/bin/env bash
# Tries the README's two set-up commands the way a newcomer meets them: builds a fresh
# Debian 12 root with debootstrap (from the Debian archive this machine's apt sources
# name; only git added), clones the committed HEAD into it with ../shared beside it, and
# runs there as root the run command, until its window is up on a virtual X server, and
# the test command; then the run command once more, which must rebuild nothing.
# It takes about a quarter of an hour: too slow for every CI run, it is run by hand after
# a change to the scripts, the CMake files or the dependencies.
#
# Usage: scripts/check-fresh-machine.sh [--test-first] [--keep] [WORKDIR]
#   --test-first  the test command before the run command (the other order)
#   --keep        leave the root in WORKDIR afterwards (it is removed otherwise)
#   WORKDIR       a new folder for the root and the logs (default: one under /var/tmp)
# With TESSIK_ASSUME_NO_32BIT_CODE=1 the commands in the root take this machine for one that
# runs no 32-bit code (no 32-bit Windows programs and tests).
# Needs root; installs debootstrap, xvfb, xdotool and imagemagick here when missing.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/fresh-root.sh
. "$repo/scripts/lib/fresh-root.sh"

order=(run test)
for argument in "$@"; do
  case "$argument" in
    --test-first) order=(test run) ;;
    *) common_argument "$argument" 9,14 ;;
  esac
done
require_root

shared=$(cd "$repo/.." && pwd)/shared
[ -d "$shared" ] || { echo "check-fresh-machine: no $shared beside the clone" >&2; exit 2; }
head=$(git -C "$repo" rev-parse --short HEAD)
[ -z "$(git -C "$repo" status --porcelain --untracked-files=no)" ] ||
  echo "note: uncommitted changes are not part of the check (it clones HEAD $head)"

install_host_tools
mirror=$(debian_mirror)
make_work tessik-fresh
trap cleanup EXIT

note "fresh-machine check of $head in $work (archive $mirror; order: ${order[*]}, then run again)"

make_root --include=git
mount_root
mkdir -p "$root/work"
git clone -q --no-hardlinks "$repo" "$root/work/main"
cp -a "$shared" "$root/work/shared"

# The run command with a display: a virtual X server on this machine, which the root
# reaches through its abstract socket. Passes when the window " Tessik" shows, and
# closes it with Alt+X as a user would.
run_command() {
  local log=$1 window='' pid status
  start_virtual_display "$work" 1024x768x24 || { note "FAIL no virtual X server"; return 1; }
  in_root /bin/bash -c "cd /work/main && DISPLAY=$DISPLAY ./scripts/run.sh" >"$log" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    window=$(xdotool search --name '^ Tessik$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 1
  done
  if [ -z "$window" ]; then
    wait "$pid" && status=0 || status=$?
    stop_virtual_display
    tail -n 30 "$log"
    note "FAIL the run command ended with status $status and no window (log: $log)"
    return 1
  fi
  sleep 1  # let it paint before the picture; the picture is for the eye only
  import -window "$window" "${log%.log}.png" 2>/dev/null || true
  xdotool windowfocus --sync "$window" key alt+x 2>/dev/null || true
  wait "$pid" && status=0 || status=$?
  stop_virtual_display
  if [ "$status" -ne 0 ]; then
    tail -n 30 "$log"
    note "FAIL the window closed with status $status (log: $log)"
    return 1
  fi
}

test_command() {
  local log=$1
  if ! in_root /bin/bash -c "cd /work/main && ./scripts/test.sh" >"$log" 2>&1; then
    tail -n 60 "$log"
    note "FAIL the test command (log: $log)"
    return 1
  fi
  grep -E 'tests passed|Total Test time' "$log" | sed 's/^/    /' | tee -a "$summary"
}

failed=0
for step in "${order[@]}" run-again; do
  started=$(date +%s)
  case "$step" in
    run) run_command "$work/run.log" || failed=1 ;;
    test) test_command "$work/test.log" || failed=1 ;;
    run-again)
      run_command "$work/run-again.log" || failed=1
      compiled=$(grep -c 'Building CXX' "$work/run-again.log" || true)
      if [ "$compiled" -ne 0 ]; then
        note "FAIL the second run command compiled $compiled file(s)"
        failed=1
      fi
      ;;
  esac
  note "$step: $(seconds_since "$started") s"
  [ "$failed" -eq 0 ] || break
done

if [ "$failed" -eq 0 ]; then
  note "PASS: both commands work on a fresh Debian 12 root (logs and window pictures in $work)"
else
  note "FAIL (logs in $work)"
fi
exit "$failed"
