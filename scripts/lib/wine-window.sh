# Driving tessik.exe under Wine with the keyboard, as a user does, for the scripts that
# photograph or time the Windows window. Sourced, not run; needs DISPLAY and a Wine prefix
# (scripts/lib/virtual-display.sh, scripts/lib/wine-env.sh), xdotool and the tests' window_probe.exe,
# which reads the window's controls and waits for what they show.
#
# start_window_exe PROGRAM PROBE FOLDER: starts PROGRAM in FOLDER, waits for the window
#   " Tessik" and gives it the keyboard; sets tessik_pid, window (its Win32 handle) and
#   xwindow (its X window).
# type_search SPEC WORD KEYS: types SPEC into "Search in:", presses KEYS (those that reach
#   "Search for:": "Tab Tab Tab", or "Tab Tab space Tab" to tick "Include subdirectories"),
#   types WORD. Enter then starts the search.
# photograph_window OUTPUT.png: a picture of the window once its drawing has settled.
# leave_window: Alt+X, as a user leaves; waits for the program's end and sets exit_status.
# end_window_session: for the caller's exit trap: ends the program if it still runs, the
#   Wine server and the virtual X server.
window_probe_exe=
tessik_pid=
probe() { "$WINE" "$window_probe_exe" "$@" | tr -d '\r'; }

start_window_exe() {
  local program=$1 folder=$3
  window_probe_exe=$2
  (cd "$folder" && exec "$WINE" "$program") >/dev/null 2>&1 &
  tessik_pid=$!
  window=$(probe find " Tessik" 60)
  xwindow=$(timeout 60 xdotool search --sync --onlyvisible --name '^ Tessik$' | sed -n 1p)
  xdotool windowfocus --sync "$xwindow"
  probe wait-focus "$window" 1002 60 >/dev/null
}

type_search() {
  local spec=$1 word=$2 keys=$3
  xdotool type --delay 10 "$spec"
  probe wait-text "$window" 1002 "$spec" 60 >/dev/null
  # shellcheck disable=SC2086  # the keys are separate words
  xdotool key $keys
  probe wait-focus "$window" 1006 60 >/dev/null
  xdotool type --delay 10 "$word"
  probe wait-text "$window" 1006 "$word" 60 >/dev/null
}

# Grabs the screen and cuts the window out (the window alone can be caught before its
# contents are drawn), until two pictures in a row are the same.
photograph_window() {
  local output=$1 scratch
  scratch=$(mktemp -d)
  eval "$(xdotool getwindowgeometry --shell "$xwindow")"
  grab() { import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"; }
  grab "rgb:$scratch/before.rgb"
  for _ in $(seq 100); do
    grab "rgb:$scratch/after.rgb"
    cmp -s "$scratch/before.rgb" "$scratch/after.rgb" && break
    mv "$scratch/after.rgb" "$scratch/before.rgb"
  done
  grab "$output"
  rm -rf "$scratch"
}

leave_window() {
  xdotool key alt+x
  probe wait-gone "$window" 60 || true
  exit_status=
  for _ in $(seq 600); do kill -0 "$tessik_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$tessik_pid" 2>/dev/null && return 1
  wait "$tessik_pid" && exit_status=0 || exit_status=$?
  tessik_pid=
}

end_window_session() {
  [ -n "$tessik_pid" ] && kill "$tessik_pid" 2>/dev/null || true
  [ -n "${WINEPREFIX:-}" ] && stop_wine
  stop_virtual_display
  wait 2>/dev/null || true
}
