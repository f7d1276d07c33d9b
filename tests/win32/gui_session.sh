#!/usr/bin/env bash
# One session at the Windows window, under Wine on an X display, the way a user has it:
# the keyboard types a file specification and a word, Enter searches, Alt+S saves the log
# through the save dialog, Alt+X ends the program. The saved log must be byte for byte the
# one tessik-cli.exe writes for the same search, the status line must read as the console
# program's, and the program must end by itself with exit code 0.
#
# Usage: gui_session.sh TESSIK_EXE TESSIK_CLI_EXE WINDOW_PROBE_EXE
# Needs DISPLAY (an X server, a virtual one will do), a Wine prefix (WINEPREFIX) whose
# server was started with that display, the Wine loader of the build's processor (WINE,
# else wine) and xdotool; scripts/build-windows.sh --test sets these up before it runs the
# tests. Keys go to the window that has the X input focus, so nothing else may take it
# meanwhile: the test runs alone (RUN_SERIAL).
set -euo pipefail

fail() {
  echo "gui_session: $*" >&2
  exit 1
}

[ $# -eq 3 ] || { echo "usage: $0 TESSIK_EXE TESSIK_CLI_EXE WINDOW_PROBE_EXE" >&2; exit 2; }
tessik=$1 cli=$2 probe_exe=$3
for tool in "${WINE:=wine}" xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing"
done
[ -n "${DISPLAY:-}" ] || fail "DISPLAY is not set: the window needs an X server (run the" \
  "tests through scripts/build-windows.sh --test, which starts a virtual one)"
[ -n "${WINEPREFIX:-}" ] || fail "WINEPREFIX is not set: run the tests through" \
  "scripts/build-windows.sh --test, which prepares a Wine prefix in the build folder"

# Every wait below ends at this one deadline, far beyond what the session needs.
deadline=$((SECONDS + 90))
left() {
  local seconds=$((deadline - SECONDS))
  [ $seconds -gt 0 ] || seconds=1
  echo $seconds
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tessik-gui.XXXXXX")
tessik_pid=
cleanup() {
  if [ -n "$tessik_pid" ] && kill -0 "$tessik_pid" 2>/dev/null; then
    kill "$tessik_pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$tessik_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$tessik_pid" 2>/dev/null || true
    wait "$tessik_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The probe's answers, without the CR of its line ends.
probe() { "$WINE" "$probe_exe" "$@" | tr -d '\r'; }
# The Windows name of a path of this machine: Wine shows / as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# Waits until control ID of WINDOW holds exactly TEXT (what the keyboard typed).
expect_text() {
  local window=$1 id=$2 text=$3 got
  got=$(probe wait-text "$window" "$id" "$text" "$(left)") || fail "control $id did not receive \"$text\""
  [ "$got" = "$text" ] || fail "control $id reads \"$got\" instead of \"$text\""
}
expect_focus() {
  probe wait-focus "$1" "$2" "$(left)" >/dev/null || fail "the focus did not reach control $2 ($3)"
}

# Letters in which one name is spelt several ways, one of them a folder further down.
letters=$work/letters
mkdir -p "$letters/1999"
printf 'Dear Katherine,\r\nthank you for the parcel.\r\n' >"$letters/to_katherine.txt"
printf 'Catherine called twice today.\r\nShe asked for Mitchell.\r\n' >"$letters/notes.txt"
printf 'Present: Kathryn Hale, Ksenia Ivanova, Michael Brown\r\n' >"$letters/1999/minutes.txt"
printf 'Nothing of interest here.\r\n' >"$letters/1999/empty.txt"
printf 'Kathy and Katharine will come.\r\n' >"$letters/family.doc"
# A name outside the code page Windows programs get by default (1252).
printf 'Kathryn Ivanova sends her regards.\r\n' >"$letters/Ксения.txt"
spec="$(windows_path "$letters")\\*.txt"
word=Catherine
gui_log=$(windows_path "$work/window.log")
cli_log=$(windows_path "$work/console.log")

# The window opens, with the focus in "Search in:".
(cd "$work" && exec "$WINE" "$tessik") >"$work/tessik.out" 2>&1 &
tessik_pid=$!
window=$(probe find " Tessik" "$(left)") || fail "no window titled \" Tessik\" appeared"
xwindow=$(timeout "$(left)" xdotool search --sync --onlyvisible --name '^ Tessik$' | sed -n 1p) ||
  fail "xdotool found no X window titled \" Tessik\""
xdotool windowfocus --sync "$xwindow"
expect_focus "$window" 1002 "Search in: at start"

# Search in, Tab to the browse button, Tab to the check box, Space ticks it, Tab to
# Search for, the word, Enter.
xdotool type --delay 10 "$spec"
expect_text "$window" 1002 "$spec"
xdotool key Tab
expect_focus "$window" 1003 "the browse button after one Tab"
xdotool key Tab
expect_focus "$window" 1004 "the check box after two Tabs"
xdotool key space
checked=$(probe checked "$window" 1004)
[ "$checked" = 1 ] || fail "Space did not tick \"Include subdirectories\""
xdotool key Tab
expect_focus "$window" 1006 "Search for: after three Tabs"
xdotool type --delay 10 "$word"
expect_text "$window" 1006 "$word"
xdotool key Return

status=$(probe wait-text "$window" 1016 "Completed:" "$(left)") ||
  fail "the search did not complete (status line: \"$(probe text "$window" 1016)\")"
probe wait-enabled "$window" 1013 1 "$(left)" >/dev/null || fail "Save is not enabled after the search"

# Alt+S opens the save dialog with the focus in its file name; a full path and Enter save.
xdotool key alt+s
dialog=$(probe owned "$window" '#32770' "$(left)" | sed -n 1p) || fail "Alt+S opened no save dialog"
probe focus "$dialog" "$(left)" >/dev/null || fail "the save dialog has no keyboard focus"
xdotool type --delay 10 "$gui_log"
expect_text "$dialog" focus "$gui_log"
xdotool key Return
probe wait-gone "$dialog" "$(left)" || fail "Enter did not close the save dialog"
# Save is disabled once the log is written and closed.
probe wait-enabled "$window" 1013 0 "$(left)" >/dev/null || fail "Save is still enabled after saving"
[ -f "$work/window.log" ] || fail "the window saved no log at $gui_log"

# The console program, same engine, same search.
cli_status=0
(cd "$work" && "$WINE" "$cli" --subdirs --log "$cli_log" "$spec" "$word") \
  >"$work/console.out" 2>"$work/console.err" || cli_status=$?
[ $cli_status = 0 ] || fail "tessik-cli.exe ended with $cli_status: $(cat "$work/console.err")"
if ! cmp "$work/window.log" "$work/console.log"; then
  diff -a "$work/window.log" "$work/console.log" >&2 || true
  fail "the log saved by the window differs from tessik-cli.exe's"
fi
# The status line is padded with blanks to 90 characters; the console prints it without them.
cli_line=$(tr -d '\r' <"$work/console.err" | grep '^Completed:' | tail -n 1) || true
[ ${#status} = 90 ] || fail "the status line is ${#status} characters long, not 90: \"$status\""
[ "${status%"${status##*[! ]}"}" = "$cli_line" ] ||
  fail "status line \"$status\" is not tessik-cli.exe's \"$cli_line\""
grep -q 'Kathryn' "$work/window.log" || fail "the log misses the Kathryn of the folder below"
grep -q 'Ксения.txt' "$work/window.log" || fail "the log misses the file named Ксения.txt"

# Alt+X (Exit) ends the program, which then returns 0.
xdotool windowfocus --sync "$xwindow"
xdotool key alt+x
probe wait-gone "$window" "$(left)" || fail "Alt+X did not close the window"
while kill -0 "$tessik_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
kill -0 "$tessik_pid" 2>/dev/null && fail "tessik.exe is still running after its window closed"
exit_code=0
wait "$tessik_pid" || exit_code=$?
tessik_pid=
[ $exit_code = 0 ] || fail "tessik.exe ended with exit code $exit_code: $(cat "$work/tessik.out")"
echo "gui_session: searched, saved a log equal to tessik-cli.exe's and closed in ${SECONDS} s"
