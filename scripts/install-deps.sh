#!/usr/bin/env bash
# Installs the Debian packages a set-up step needs, only those missing.
# Usage: scripts/install-deps.sh SET...   (SET: window|test|linux-test|fuzz|package|windows|
#                                          windows-test|bench; several sets install at once)
#   window:  what building the programs needs (the window and tessik-cli), what the window
#            uses at run time, and a virtual X server when there is no display to show it on;
#   test:    everything scripts/test.sh builds and runs (tests, benchmarks, sanitizers,
#            fuzzers, the scripts that drive the window in a virtual X server, the checks
#            of the manual pages, the completion, the desktop files and the package):
#            linux-test and windows-test together;
#   linux-test: what the Linux builds and their tests need but the fuzzers;
#   fuzz:    what the fuzzers build with (clang and its sanitizers' runtime); scripts/test.sh
#            installs linux-test first, and fuzz and windows-test while the Linux programs
#            build;
#   package: what building the Debian package needs (scripts/package-deb.sh);
#   windows: what cross-building the Windows programs and packing them needs;
#   windows-test: that, and Wine for 64-bit programs with what the tests run under it;
#   bench:   what bench/run_bench.sh runs besides tessik-cli: the programs it is compared
#            with (ripgrep, ugrep; GNU grep is always there), a C compiler for its timer
#            (bench/timed_run.c), and the texts of the corpus (the Bible, a census's names,
#            and the Polish, German, Russian, Ukrainian and Greek word lists of the letters'
#            text).
set -euo pipefail

# zlib, minizip, libdeflate and pugixml: the zip archives and XML of documents (records and
# documents).
document_libs=(zlib1g-dev libminizip-dev libdeflate-dev libpugixml-dev)
window=(g++ cmake make qt6-base-dev libgl-dev libxcb1-dev xdg-utils "${document_libs[@]}")
# CPack reads the programs with file and readelf (binutils), and dpkg-shlibdeps (dpkg-dev)
# computes the package's dependencies from them.
package=(g++ cmake make qt6-base-dev libgl-dev libxcb1-dev dpkg-dev file binutils
         "${document_libs[@]}")
# The Windows programs' zlib is Debian's mingw-w64 build; pugixml, libdeflate and minizip are
# cross-built from their Debian sources (scripts/lib/windows-document-libs.sh), which dpkg-dev
# unpacks.
windows=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix cmake make zip libz-mingw-w64-dev
         dpkg-dev)
bench=(ripgrep ugrep gcc bible-kjv libtext-names-perl wpolish wngerman hunspell-ru hunspell-uk
       hunspell-el)
windows_test=("${windows[@]}" googletest wine wine64 fonts-wine xvfb xauth xdotool imagemagick)
linux_test=("${window[@]}" googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
            xdotool imagemagick bible-kjv python3 man-db desktop-file-utils appstream
            bash-completion "${package[@]}")
fuzz=(clang libclang-rt-14-dev)
packages=()
[ $# -gt 0 ] || set -- ""
for set in "$@"; do
  case "$set" in
    window)
      packages+=("${window[@]}")
      if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        packages+=(xvfb xauth)
      fi
      ;;
    test)
      packages+=("${linux_test[@]}" "${fuzz[@]}" "${windows_test[@]}")
      ;;
    fuzz)
      packages+=("${fuzz[@]}")
      ;;
    linux-test)
      packages+=("${linux_test[@]}")
      ;;
    package)
      packages+=("${package[@]}")
      ;;
    windows)
      packages+=("${windows[@]}")
      ;;
    windows-test)
      packages+=("${windows_test[@]}")
      ;;
    bench)
      packages+=("${bench[@]}")
      ;;
    *)
      echo "usage: $0 window|test|linux-test|fuzz|package|windows|windows-test|bench ..." >&2
      exit 2
      ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
