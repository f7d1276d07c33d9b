#!/usr/bin/env bash
# Photographs the window: starts a virtual X display, runs the built tessik over a few
# sample letters, types a file specification and a word, presses Enter, waits for the
# search and takes a picture of the window. Needs Xvfb, xdotool and ImageMagick (the
# packages xvfb, xdotool and imagemagick; scripts/install-deps.sh test installs them).
# Usage: scripts/screenshot.sh [OUTPUT.png [path/to/tessik]]
#   default output build/screenshot.png; docs/screenshot.png is the README's picture.
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-build/screenshot.png}")
program=$(realpath "${2:-build/bin/tessik}")
for tool in Xvfb xdotool import; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot: $tool is missing (install xvfb, xdotool and imagemagick)" >&2
    exit 2
  fi
done
mkdir -p "$(dirname "$output")"

# shellcheck source=scripts/lib/virtual-display.sh
. scripts/lib/virtual-display.sh
work=$(mktemp -d)
tessik_pid=
cleanup() {
  [ -n "$tessik_pid" ] && kill "$tessik_pid" 2>/dev/null || true
  stop_virtual_display
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=scripts/lib/sample-letters.sh
. scripts/lib/sample-letters.sh
write_sample_letters "$work"

start_virtual_display "$work" || { echo "screenshot: no virtual X server" >&2; exit 1; }

# The window opens in the folder of the letters, like a user who starts it from there.
(cd "$work" && QT_QPA_PLATFORM=xcb exec "$program") &
tessik_pid=$!
window=$(xdotool search --sync --name '^ Tessik$' | head -n 1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5

# The focus starts in "Search in:"; Tab passes the browse button to the check box, which
# Space ticks, and one more Tab reaches "Search for:".
xdotool type --delay 20 "$work/letters/*.txt"
xdotool key --delay 50 Tab Tab space Tab
xdotool type --delay 20 "Katherine"
xdotool key Return
sleep 1.5

# Grab the screen and cut the window out: grabbing the window alone can catch it before
# its contents are drawn.
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
echo "wrote $output"

# Leave the way a user does, with Alt+X (Exit), so the program ends by itself.
xdotool key alt+x
for _ in $(seq 50); do kill -0 "$tessik_pid" 2>/dev/null || break; sleep 0.1; done
if ! kill -0 "$tessik_pid" 2>/dev/null; then
  wait "$tessik_pid" && status=0 || status=$?
  tessik_pid=
  echo "tessik exited with status $status"
fi
