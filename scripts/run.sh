#!/usr/bin/env bash
# Builds Tessik (what is out of date) and starts the window. Installs what it needs on a
# fresh Debian 12 machine. Arguments are not used by the window; see README for tessik-cli.
# The build in build/ is the user's (the "user" preset of CMakePresets.json): no tests,
# no benchmarks, warnings not errors.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh window

cmake --preset user >/dev/null
cmake --build --preset user -j "$(( $(nproc) + 1 ))"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
Built build/bin/tessik and build/bin/tessik-cli, but there is no display to show the window on.
  - On a machine without a desktop, start it under a virtual X server:
        xvfb-run -s '-screen 0 1024x768x24' ./scripts/run.sh
    (scripts/screenshot.sh takes a picture of it there), or
  - search from the command line instead, for example:
        build/bin/tessik-cli -s '/usr/share/doc/*' Catherine
MSG
  exit 1
fi
exec build/bin/tessik
