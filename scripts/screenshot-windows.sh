#!/usr/bin/env bash
# Photographs the Windows window: starts a virtual X display and the build's Wine prefix,
# runs tessik.exe over the sample letters (scripts/lib/sample-letters.sh), types a file
# specification and a word, presses Enter, waits until the search has completed and the
# window is drawn, and takes a picture of the window with its caption. Needs Xvfb, xdotool,
# ImageMagick and Wine (scripts/install-deps.sh windows-test installs them) and a 64-bit
# build with its tests (scripts/build-windows.sh --test): the tests' window_probe.exe tells
# when the search is done.
# Usage: scripts/screenshot-windows.sh [OUTPUT.png [BUILD_FOLDER]]
#   default output BUILD_FOLDER/screenshot-windows.png, default folder build-win64;
#   docs/screenshot-windows.png is the README's picture.
# The Wine server of the build's prefix is ended first: it has to be started on this display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${2:-build-win64}")
output=$(realpath -m "${1:-$build/screenshot-windows.png}")
for tool in Xvfb xdotool import wine; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot-windows: $tool is missing (scripts/install-deps.sh windows-test)" >&2
    exit 2
  fi
done
program=$build/bin/tessik.exe
probe_exe=$(find "$build" -name window_probe.exe -print -quit)
if [ ! -f "$program" ] || [ -z "$probe_exe" ]; then
  echo "screenshot-windows: $build has no bin/tessik.exe or window_probe.exe" \
       "(build it with scripts/build-windows.sh --test)" >&2
  exit 2
fi
mkdir -p "$(dirname "$output")"

work=$(mktemp -d)
# shellcheck source=scripts/lib/virtual-display.sh
. scripts/lib/virtual-display.sh
# shellcheck source=scripts/lib/wine-env.sh
. scripts/lib/wine-env.sh
# shellcheck source=scripts/lib/wine-window.sh
. scripts/lib/wine-window.sh
trap 'end_window_session; rm -rf "$work"' EXIT

# The letters of the Linux picture, so that the two pictures show the same search.
# shellcheck source=scripts/lib/sample-letters.sh
. scripts/lib/sample-letters.sh
write_sample_letters "$work"
spec="Z:${work//\//\\}\\letters\\*.txt"

start_virtual_display "$work" 1024x768x24 || { echo "screenshot-windows: no virtual X server" >&2; exit 1; }
WINEPREFIX=$build/wine stop_wine
start_wine "$build" win64
start_window_exe "$program" "$probe_exe" "$work"
# The focus starts in "Search in:"; Tab passes the browse button to the check box, which
# Space ticks, and one more Tab reaches "Search for:".
type_search "$spec" Katherine "Tab Tab space Tab"
xdotool key Return
probe wait-text "$window" 1016 "Completed:" 60 >/dev/null
photograph_window "$output"
echo "wrote $output"

# Leave the way a user does, with Alt+X (Exit), so the program ends by itself.
leave_window && echo "tessik.exe exited with status $exit_status"
