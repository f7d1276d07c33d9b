#!/usr/bin/env bash
# The 32-bit probe's two answers. Told that the machine runs no 32-bit code, it says no
# and why. Asked for real, it answers as the machine does, which the C library's 32-bit
# loader confirms where it is installed (it is a 32-bit program itself). Either way it
# leaves nothing in the temporary folder.
# Usage: runs_32bit_code_test.sh PROBE
set -uo pipefail
probe=$1
fail() {
  echo "runs_32bit_code_test: $*" >&2
  exit 1
}
export TMPDIR
TMPDIR=$(mktemp -d)
trap 'rm -rf "$TMPDIR"' EXIT

said=$(TESSIK_ASSUME_NO_32BIT_CODE=1 "$probe")
status=$?
[ $status = 1 ] || fail "told there is no 32-bit code, it answered $status"
[ "$said" = "TESSIK_ASSUME_NO_32BIT_CODE=1 says this machine runs no 32-bit x86 code" ] ||
  fail "told there is no 32-bit code, it said \"$said\""

# For real, whatever the test command was told.
said=$(env -u TESSIK_ASSUME_NO_32BIT_CODE "$probe")
status=$?
case $status in
  0) [ -z "$said" ] || fail "it answered yes and said \"$said\"" ;;
  1) [[ $said == "this machine runs no 32-bit x86 code: "* ]] || fail "it said \"$said\"" ;;
  *) fail "it answered $status" ;;
esac
echo "this machine: ${said:-runs 32-bit x86 code}"
if [ -x /lib/ld-linux.so.2 ]; then
  loader=0
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || loader=1
  [ $loader = $status ] || fail "the 32-bit loader of the C library answered $loader, the probe $status"
fi
[ -z "$(ls -A "$TMPDIR")" ] || fail "it left $(ls -A "$TMPDIR") behind"
