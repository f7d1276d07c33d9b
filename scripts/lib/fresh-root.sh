# A fresh Debian 12 (bookworm) root made with debootstrap, for the scripts that try
# Tessik the way a new machine meets it (check-package.sh, check-fresh-machine.sh).
# Sourced, not run.
#
# It brings start_virtual_display and stop_virtual_display (virtual-display.sh) along. Its
# functions share these variables with the caller:
#   keep      1: cleanup leaves the root in place; 0 (the default): it removes it
#   work      the folder of the root and the logs (WORKDIR, then make_work's)
#   root      the folder of the root, $work/root
#   summary   the file that note adds its lines to, $work/summary.txt
#   mirror    the Debian archive make_root takes the root from (set it with debian_mirror)
#
# common_argument ARG LINES  takes --keep or WORKDIR; any other option prints the usage,
#                        lines LINES of the script (sed's 17,21), and exits with status 2
# require_root           exits with status 2 unless run as root
# make_work PREFIX       makes $work (or a new /var/tmp/PREFIX.XXXXXX) and sets root and
#                        summary
# install_host_tools     installs debootstrap, xvfb, xdotool and imagemagick when missing
# debian_mirror          prints this machine's Debian archive
# make_root [OPTION...]  debootstrap --variant=minbase OPTION... into $root; exits 1 when
#                        it fails
# mount_root             mounts proc, sys and /dev in the root and gives it resolv.conf
# in_root COMMAND...     runs COMMAND as root in the root, with a clean environment (but
#                        for TESSIK_ASSUME_NO_32BIT_CODE, which tries a machine without
#                        32-bit code on one that has it)
# stop_root_processes S  sends signal S to whatever runs in the root
# cleanup                the EXIT trap: ends what runs in the root, unmounts what is
#                        mounted under it and, unless keep is 1, removes it
# note TEXT, seconds_since START

# shellcheck source=scripts/lib/virtual-display.sh
. "$(dirname "${BASH_SOURCE[0]}")/virtual-display.sh"

keep=0
work=

common_argument() {
  case "$1" in
    --keep) keep=1 ;;
    -*) sed -n "${2}p" "$0" >&2; exit 2 ;;
    *) work=$1 ;;
  esac
}

require_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "$(basename "$0" .sh): run as root (debootstrap and chroot need it)" >&2
    exit 2
  fi
}

make_work() {
  work=${work:-$(mktemp -d "/var/tmp/$1.XXXXXX")}
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  root=$work/root
  summary=$work/summary.txt
  : >"$summary"
}

note() { printf '%s\n' "$*" | tee -a "$summary"; }
seconds_since() { echo $(( $(date +%s) - $1 )); }

install_host_tools() {
  local tool needed=()
  for tool in debootstrap:debootstrap Xvfb:xvfb xdotool:xdotool import:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || needed+=("${tool#*:}")
  done
  if [ ${#needed[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}"
  fi
}

# The Debian archive of this machine: the first source that offers bookworm, in either of
# apt's two formats; deb.debian.org when none does.
debian_mirror() {
  local mirror
  mirror=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' \
               /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true)
  if [ -z "$mirror" ]; then
    mirror=$(awk 'BEGIN { RS = "" }
      { uri = ""; bookworm = 0; n = split($0, line, "\n")
        for (i = 1; i <= n; i++) {
          if (line[i] ~ /^URIs:/) { split(line[i], f, " "); uri = f[2] }
          if (line[i] ~ /^Suites:/) { m = split(line[i], f, " "); for (j = 2; j <= m; j++) if (f[j] == "bookworm") bookworm = 1 }
        }
        if (bookworm && uri != "") { print uri; exit } }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  fi
  echo "${mirror:-http://deb.debian.org/debian}"
}

make_root() {
  local started
  started=$(date +%s)
  debootstrap --variant=minbase "$@" bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log"; note "FAIL debootstrap"; exit 1; }
  note "debootstrap: $(seconds_since "$started") s"
}

mount_root() {
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
}

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${TESSIK_ASSUME_NO_32BIT_CODE:+TESSIK_ASSUME_NO_32BIT_CODE=$TESSIK_ASSUME_NO_32BIT_CODE} "$@"
}

stop_root_processes() {
  local process
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ] && kill "-$1" "${process#/proc/}" 2>/dev/null
  done
  return 0
}

# shellcheck disable=SC2317  # called by the EXIT trap
cleanup() {
  stop_virtual_display
  # Whatever the root still runs (a window, a test) ends with it.
  stop_root_processes KILL
  local target
  for target in $(findmnt -rn -o TARGET | grep -F "$root/" | sort -r); do
    umount -l "$target" 2>/dev/null || true
  done
  if [ "$keep" -eq 0 ] && [ -d "$root" ]; then
    # Never remove through a mount that is still there (it would reach this machine's /dev).
    if findmnt -rn -o TARGET | grep -qF "$root/"; then
      echo "$(basename "$0" .sh): $root still has mounts; left in place" >&2
    else
      rm -rf --one-file-system "$root"
    fi
  fi
}
