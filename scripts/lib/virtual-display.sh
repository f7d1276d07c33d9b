# Starting a virtual X server, for the scripts that run the window. Sourced, not run.
#
# start_virtual_display FOLDER [SCREEN]: starts Xvfb on a free display (SCREEN, default
# 800x600x24), waits until it takes connections (it writes its display's number then),
# exports DISPLAY and sets virtual_display_pid. FOLDER holds the pipe the number comes
# through. Returns 1 when no server starts within 60 s.
# stop_virtual_display: ends that server, if one runs, and waits for it; safe twice.
start_virtual_display() {
  local folder=$1 screen=${2:-800x600x24} number
  rm -f "$folder/display"
  mkfifo "$folder/display"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$folder/display" >/dev/null 2>&1 &
  virtual_display_pid=$!
  read -r -t 60 number <"$folder/display" || return 1
  export DISPLAY=:$number
}

stop_virtual_display() {
  [ -n "${virtual_display_pid:-}" ] || return 0
  kill "$virtual_display_pid" 2>/dev/null || true
  wait "$virtual_display_pid" 2>/dev/null || true
  virtual_display_pid=
}
