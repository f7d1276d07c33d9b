#!/usr/bin/env bash
# Tells whether this machine runs 32-bit x86 programs, without Wine or a 32-bit compiler:
# it writes the smallest 32-bit x86 Linux program there is (an ELF file whose one
# instruction sequence is the exit system call) and runs it. Some kernels run no 32-bit
# code at all (32-bit emulation off), and there Wine for 32-bit programs cannot start,
# even when apt can install it.
#
# Exit status 0 when the program ran; 1, with one line on standard output saying why,
# when it did not. TESSIK_ASSUME_NO_32BIT_CODE=1 makes it answer 1 without trying, so that
# the set-up of a machine without 32-bit code can be tried on one that has it.
set -uo pipefail

if [ "${TESSIK_ASSUME_NO_32BIT_CODE:-}" = 1 ]; then
  echo "TESSIK_ASSUME_NO_32BIT_CODE=1 says this machine runs no 32-bit x86 code"
  exit 1
fi

folder=$(mktemp -d "${TMPDIR:-/tmp}/tessik-32bit.XXXXXX") || {
  echo "no temporary folder for the 32-bit probe"
  exit 1
}
trap 'rm -rf "$folder"' EXIT
program=$folder/exit0

# ELF header (52 bytes): 32-bit, little-endian, executable, i386, entry 0x08048054, one
# program header at 52. Program header (32 bytes): the whole file loaded, readable and
# executable, at 0x08048000. Code at 84 (9 bytes): mov eax, 1; xor ebx, ebx; int 0x80,
# the 32-bit system call exit(0).
printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0'\
'\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0'\
'\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0'\
'\270\1\0\0\0\61\333\315\200' >"$program"
chmod +x "$program"

answer=$("$program" 2>&1)
status=$?
if [ $status = 0 ]; then
  exit 0
fi
case $answer in
  *"Exec format error"*) why="the kernel refuses 32-bit programs (Exec format error)" ;;
  *) why="a 32-bit program ended with status $status${answer:+ (${answer##*: })}" ;;
esac
echo "this machine runs no 32-bit x86 code: $why"
exit 1
