#!/usr/bin/env bash
# Tries the Debian package the way a new user meets it: builds it with
# scripts/package-deb.sh (what is out of date), makes a fresh Debian 12 root with
# debootstrap (from the Debian archive this machine's apt sources name), adds man-db and
# bash-completion as a desktop system has them, installs the package there with
# `apt-get install ./tessik_VERSION_ARCH.deb`, and checks as root in it:
#   - tessik-cli: --help, --version, and a search that finds Katherine for Catherine;
#   - man tessik-cli and man tessik, without warnings;
#   - the bash completion, loaded by bash-completion by the program's name, and the
#     completions of tests/packaging/completion_test.sh;
#   - the window, started with the Exec line of its desktop entry on a virtual X server
#     (Xvfb, no window manager): it shows " Tessik" with the window class that the entry's
#     StartupWMClass names, and Alt+X closes it with status 0.
# It takes a few minutes (most of it debootstrap and apt), so it is not part of CI: run it
# after changing what is installed or how the package is made.
#
# Usage: scripts/check-package.sh [--no-recommends] [--keep] [WORKDIR]
#   --no-recommends  install the package without the packages it only recommends, which
#                    shows that what it depends on is enough
#   --keep           leave the root in WORKDIR afterwards (it is removed otherwise)
#   WORKDIR          a new folder for the root and the logs (default: one under /var/tmp)
# Needs root; installs debootstrap, xvfb, xdotool and imagemagick here when missing.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/fresh-root.sh
. "$repo/scripts/lib/fresh-root.sh"

recommends=
for argument in "$@"; do
  case "$argument" in
    --no-recommends) recommends=--no-install-recommends ;;
    *) common_argument "$argument" 17,21 ;;
  esac
done
require_root
install_host_tools
make_work tessik-package
failed=0

pass() { note "ok   $*"; }
failure() { note "FAIL $*"; failed=1; }

"$repo/scripts/package-deb.sh" >"$work/package.log" 2>&1 ||
  { tail -n 30 "$work/package.log"; note "FAIL scripts/package-deb.sh (log: $work/package.log)"; exit 1; }
deb=$(ls "$repo"/dist/tessik_*.deb)
note "check of $(basename "$deb") in a fresh Debian 12 root in $work"

mirror=$(debian_mirror)
trap cleanup EXIT

# shellcheck disable=SC2119  # no debootstrap options of its own
make_root
mount_root
cp "$deb" "$root/tmp/"
mkdir -p "$root/tmp/checks"
cp "$repo/tests/packaging/completion_test.sh" "$root/tmp/checks/"

started=$(date +%s)
if ! in_root /bin/bash -c "export DEBIAN_FRONTEND=noninteractive; apt-get update -qq &&
      apt-get install -y -qq man-db bash-completion >/dev/null &&
      apt-get install -y $recommends ./tmp/$(basename "$deb")" >"$work/apt.log" 2>&1; then
  tail -n 30 "$work/apt.log"
  note "FAIL apt-get install ./$(basename "$deb") (log: $work/apt.log)"
  exit 1
fi
new=$(grep -oE '[0-9]+ newly installed' "$work/apt.log" | tail -n 1 || true)
pass "apt-get install ${recommends:+$recommends }./$(basename "$deb"): ${new:-?}, $(seconds_since "$started") s"

# tessik-cli, as a user first tries it.
if in_root tessik-cli --help >"$work/help.txt" 2>&1; then pass "tessik-cli --help"
else failure "tessik-cli --help (output: $work/help.txt)"; fi
version=$(in_root tessik-cli --version 2>&1 || true)
version_expected=$(dpkg-deb --field "$deb" Version)
case "$version" in
  *Tessik*"$version_expected"*) pass "tessik-cli --version: $version" ;;
  *) failure "tessik-cli --version said '$version', not Tessik $version_expected" ;;
esac
mkdir -p "$root/tmp/records/1998"
printf 'Dear Katherine,\nyours, Mitchell\n' >"$root/tmp/records/1998/letter.txt"
printf 'Nothing here.\n' >"$root/tmp/records/notes.txt"
if in_root tessik-cli -s '/tmp/records/*.txt' Catherine >"$work/search.txt" 2>&1 &&
   grep -q '^Katherine	letter.txt	1 ' "$work/search.txt"; then
  pass "tessik-cli -s '/tmp/records/*.txt' Catherine finds Katherine"
else
  failure "tessik-cli -s '/tmp/records/*.txt' Catherine (output: $work/search.txt)"
fi

# The manual pages, found by name as man finds them.
for page in tessik-cli tessik; do
  if in_root /bin/bash -c "MANWIDTH=80 man --warnings $page 2>&1 >/tmp/checks/$page.txt" \
       >"$work/man-$page.err" && [ ! -s "$work/man-$page.err" ] &&
     grep -q "^NAME" "$root/tmp/checks/$page.txt"; then
    pass "man $page"
  else
    failure "man $page (warnings: $work/man-$page.err)"
  fi
done

# The completion: loaded by bash-completion on the first Tab after tessik-cli, then asked.
if in_root /bin/bash -c 'source /usr/share/bash-completion/bash_completion &&
      __load_completion tessik-cli && complete -p tessik-cli' >"$work/completion.txt" 2>&1 &&
   in_root /bin/bash /tmp/checks/completion_test.sh \
     /usr/share/bash-completion/completions/tessik-cli /usr/bin/tessik-cli \
     >>"$work/completion.txt" 2>&1; then
  pass "bash completion of tessik-cli, loaded by its name: $(tail -n 1 "$work/completion.txt")"
else
  failure "bash completion of tessik-cli (output: $work/completion.txt)"
fi

# The window, started as a desktop's menu starts it: the Exec line of the desktop entry.
entry=$root/usr/share/applications/io.github.tessik.Tessik.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
window=
if start_virtual_display "$work" 1024x768x24; then
  # shellcheck disable=SC2086  # the Exec line is a command line, split as a desktop does
  in_root /usr/bin/env DISPLAY="$DISPLAY" $exec_line >"$work/window.log" 2>&1 &
  pid=$!
  for _ in $(seq 60); do
    window=$(xdotool search --name '^ Tessik$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] || ! kill -0 "$pid" 2>/dev/null && break
    sleep 1
  done
  if [ -n "$window" ]; then
    sleep 1  # let it paint before the picture; the picture is for the eye only
    import -window "$window" "$work/window.png" 2>/dev/null || true
    if [ -n "$wm_class" ] &&
       xdotool search --classname "^$wm_class\$" 2>/dev/null | grep -qx "$window"; then
      pass "the window's class is $wm_class, as the desktop entry's StartupWMClass says"
    else
      failure "the window's class is not the desktop entry's StartupWMClass ($wm_class)"
    fi
    xdotool windowfocus --sync "$window" key alt+x 2>/dev/null || true
    for _ in $(seq 30); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 1
    done
  fi
  if kill -0 "$pid" 2>/dev/null; then
    failure "the window was still open 30 s after Alt+X"
    stop_root_processes TERM
  fi
  wait "$pid" && status=0 || status=$?
  stop_virtual_display
  if [ -z "$window" ]; then
    failure "the window did not show from the desktop entry's Exec=$exec_line (log: $work/window.log)"
  elif [ "$status" -ne 0 ]; then
    failure "the window closed with status $status (log: $work/window.log)"
  else
    pass "the window started from Exec=$exec_line on Xvfb and closed with Alt+X (picture: $work/window.png)"
  fi
else
  failure "no virtual X server"
fi

if [ "$failed" -eq 0 ]; then
  note "PASS: the package installs and works on a fresh Debian 12 root (logs in $work)"
else
  note "FAIL (logs in $work)"
fi
exit "$failed"
