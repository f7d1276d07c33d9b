#!/usr/bin/env bash
# Times the Windows window against tessik-cli.exe on one search that lists many lines: a
# single file of LINES lines with one "Katherine" each, searched for "Katherine". The window
# (tessik.exe under Wine on a virtual X display) is driven with the keyboard like a user's:
# the file specification and the word are typed, Enter starts the search, and the time runs
# from Enter until the status line reads "Completed:". That time includes the start of the
# window_probe.exe that watches the status line, printed on its own as "probe start". The
# console program's time is that of the whole `wine tessik-cli.exe` run.
# Needs Xvfb, xdotool and Wine, and a 64-bit build with its tests (tessik.exe and
# window_probe.exe): scripts/build-windows.sh --test, or cmake with the mingw-w64 toolchain.
# Usage: bench/window_win32_bench.sh [BUILD_FOLDER [LINES [RUNS]]]
#   default folder build-win64, 3000 lines, 1 run (the best run counts). With
#   TESSIK_BENCH_PICTURE=FILE.png the window is photographed once the last search has
#   completed and its drawing has settled (needs ImageMagick's import).
# The Wine server of the build's prefix is ended first: it has to be started on this display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-win64}")
lines=${2:-3000}
runs=${3:-1}
for tool in Xvfb xdotool wine; do
  if ! command -v "$tool" >/dev/null; then
    echo "window_win32_bench: $tool is missing (scripts/install-deps.sh windows-test)" >&2
    exit 2
  fi
done
program=$build/bin/tessik.exe
cli=$build/bin/tessik-cli.exe
probe_exe=$(find "$build" -name window_probe.exe -print -quit)
if [ ! -f "$program" ] || [ ! -f "$cli" ] || [ -z "$probe_exe" ]; then
  echo "window_win32_bench: $build has no bin/tessik.exe, bin/tessik-cli.exe or" \
       "window_probe.exe (build it with its tests)" >&2
  exit 2
fi

work=$(mktemp -d)
# shellcheck source=scripts/lib/virtual-display.sh
. scripts/lib/virtual-display.sh
# shellcheck source=scripts/lib/wine-env.sh
. scripts/lib/wine-env.sh
# shellcheck source=scripts/lib/wine-window.sh
. scripts/lib/wine-window.sh
trap 'end_window_session; rm -rf "$work"' EXIT

mkdir -p "$work/letters"
awk -v n="$lines" 'BEGIN { for (i = 1; i <= n; ++i)
  printf "line %d: the quick brown fox met Katherine by the river\r\n", i }' \
  >"$work/letters/many.txt"
spec="Z:${work//\//\\}\\letters\\*.txt"
bytes=$(stat -c %s "$work/letters/many.txt")

start_virtual_display "$work" 1024x768x24 ||
  { echo "window_win32_bench: no virtual X server" >&2; exit 1; }
WINEPREFIX=$build/wine stop_wine
start_wine "$build" win64
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
best() { printf '%s\n' "$@" | sort -g | sed -n 1p; }

window_times=() probe_times=() cli_times=()
for _ in $(seq "$runs"); do
  start_window_exe "$program" "$probe_exe" "$work"
  type_search "$spec" Katherine "Tab Tab Tab"

  start=$(now)
  probe text "$window" 1016 >/dev/null
  probe_times+=("$(elapsed "$start" "$(now)")")

  start=$(now)
  xdotool key Return
  status=$(probe wait-text "$window" 1016 "Completed:" 600)
  window_times+=("$(elapsed "$start" "$(now)")")
  expected="Completed:  1 file(s) searched. Found $lines item(s) in 1 file(s)."
  if [ "${status%"${status##*[! ]}"}" != "$expected" ]; then
    echo "window_win32_bench: the window ended with \"$status\", not \"$expected\"" >&2
    exit 1
  fi
  # Once its drawing has settled.
  [ -n "${TESSIK_BENCH_PICTURE:-}" ] && photograph_window "$TESSIK_BENCH_PICTURE"
  leave_window || true

  start=$(now)
  (cd "$work" && "$WINE" "$cli" "$spec" Katherine) >/dev/null 2>&1
  cli_times+=("$(elapsed "$start" "$(now)")")
done

printf 'window_win32_bench: %d lines in one file of %d bytes, best of %d run(s)\n' \
  "$lines" "$bytes" "$runs"
printf '  window (Enter to "Completed:")  %8s s   (%s ms a line)\n' "$(best "${window_times[@]}")" \
  "$(awk -v t="$(best "${window_times[@]}")" -v n="$lines" 'BEGIN { printf "%.2f", t * 1000 / n }')"
printf '  of which probe start, about     %8s s\n' "$(best "${probe_times[@]}")"
printf '  tessik-cli.exe (whole run)      %8s s\n' "$(best "${cli_times[@]}")"
