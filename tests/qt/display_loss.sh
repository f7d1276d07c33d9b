#!/usr/bin/env bash
# The window under a real X server, for what the offscreen tests cannot show: the hints a
# window manager reads say the window is fixed, and when the display goes away the
# program ends with Qt's status for it (1), whether its last search ended by itself or is
# still running or paused: never with an abort ("terminate called", status 134).
# Needs Xvfb and xdotool (scripts/install-deps.sh test installs them).
# Usage: tests/qt/display_loss.sh path/to/tessik path/to/window_hints_probe
set -euo pipefail
# shellcheck source=scripts/lib/virtual-display.sh
. "$(dirname "$0")/../../scripts/lib/virtual-display.sh"
program=$(realpath "$1")
probe=$(realpath "$2")
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "display_loss: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
tessik_pid=
cleanup() {
  [ -n "$tessik_pid" ] && kill "$tessik_pid" 2>/dev/null || true
  stop_virtual_display
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "display_loss: $*" >&2
  [ -s "$work/stderr" ] && sed 's/^/  tessik: /' "$work/stderr" >&2
  exit 1
}

# Tries a condition every tenth of a second; only a program that hangs takes a minute.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 600); do
    "$@" && return 0
    sleep 0.1
  done
  fail "gave up waiting until $what"
}

# What the program has read so far, in bytes: a search reads every file it searches.
bytes_read() { awk '/^rchar:/ { print $2 }' "/proc/$tessik_pid/io"; }
has_read() { [ "$(bytes_read)" -ge "$1" ]; }
# The search worker is the only thread besides the window thread that keeps the
# program's name (Qt names its own threads).
worker_gone() {
  local name count=0 task
  name=$(cat "/proc/$tessik_pid/comm")
  for task in /proc/"$tessik_pid"/task/*/comm; do
    [ "$(cat "$task" 2>/dev/null)" = "$name" ] && count=$((count + 1))
  done
  [ "$count" -eq 1 ]
}
# Ended: reaped by the shell already, or a zombie (which still answers kill -0).
tessik_gone() {
  ! kill -0 "$tessik_pid" 2>/dev/null ||
    [ "$(awk '{ print $3 }' "/proc/$tessik_pid/stat" 2>/dev/null)" = Z ]
}

# A virtual X server on a free display, ready once it has written the display's number,
# and the program on it, ready to type into once its window is up and has the focus.
start() {
  start_virtual_display "$work" || fail "no virtual X server"
  (cd "$work" && QT_QPA_PLATFORM=xcb exec "$program") 2>"$work/stderr" &
  tessik_pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^ Tessik$' | head -n 1)
  [ -n "$window" ] || fail "the window did not appear"
  timeout 60 xdotool windowfocus --sync "$window" || fail "the window did not take the focus"
}

# The focus starts in "Search in:"; three Tabs (past the browse button and the check
# box) reach "Search for:", and Enter starts the search.
search() {
  xdotool type --delay 10 "$1"
  xdotool key --delay 10 Tab Tab Tab
  xdotool type --delay 10 Katherine
  xdotool key Return
}

# Ends the X server and checks how the program ended.
lose_display() {
  local case=$1 status
  stop_virtual_display
  wait_for "tessik ended ($case)" tessik_gone
  wait "$tessik_pid" && status=0 || status=$?
  tessik_pid=
  if grep -q "terminate called" "$work/stderr" || [ "$status" -ne 1 ]; then
    fail "$case: tessik ended with status $status instead of 1"
  fi
  echo "$case: tessik ended with status 1"
}

# Files for the searches: one of 2 MB, and 300 of 4 MB (sparse, so they cost no disk). The
# scanner passes over their holes, so a search that began has read one chunk of 64 KiB.
mkdir -p "$work/one" "$work/many"
printf 'Dear Katherine,\n' >"$work/one/letter.txt"
truncate -s 2M "$work/one/letter.txt"
for i in $(seq 300); do
  printf 'Katharine wrote.\n' >"$work/many/letter$i.txt"
  truncate -s 4M "$work/many/letter$i.txt"
done

# The hints: minimum and maximum size alike; in the Motif hints (functions 1, decorations
# 2) no resizing (function 2, decoration 4) and no maximize (function 16, decoration 64).
start
hints=$("$probe" "$window")
min=$(sed -n 's/^min //p' <<<"$hints")
max=$(sed -n 's/^max //p' <<<"$hints")
read -r given functions decorations < <(sed -n 's/^motif //p' <<<"$hints")
[ -n "$min" ] && [ "$min" = "$max" ] || fail "the size hints allow resizing: $hints"
[ $((given & 3)) -eq 3 ] && [ $((functions & 18)) -eq 0 ] && [ $((decorations & 68)) -eq 0 ] ||
  fail "the Motif hints allow resizing or maximizing: $hints"
echo "hints: fixed size $min, Motif functions $functions, decorations $decorations"

# A search that has ended by itself: all of its file read, and its worker gone.
base=$(bytes_read)
search "$work/one/*.txt"
wait_for "the search read its file" has_read $((base + 65536))
wait_for "the search ended" worker_gone
lose_display "after a search that ended"

# A search still running, or paused by Alt+P: the display goes wherever it has got to.
start
base=$(bytes_read)
search "$work/many/*.txt"
wait_for "the search started reading" has_read $((base + 65536))
xdotool key alt+p
lose_display "during a search"
