# Sourced by scripts/build-windows.sh. document_libs FOLDER ARCH: cross-builds what the
# switch of records and documents reads zip archives and XML with, for the Windows programs:
# expat and minizip, from the source packages of the Debian archive this machine's apt
# already uses (Debian packages neither for mingw-w64), into FOLDER/document-libs (include/,
# lib/libexpat.a, lib/libminizip.a); zlib is Debian's own mingw-w64 package. Only the
# libraries are built (no tools, tests or documentation), and a folder that has them is
# left as it is, so a second run builds nothing. The machine's apt configuration is not
# touched: the deb-src entry and its lists live in the folder.
document_libs() {
  local folder=$1 arch=$2
  local prefix=$PWD/$folder/document-libs work=$PWD/$folder/document-libs-work
  if [ -f "$prefix/lib/libexpat.a" ] && [ -f "$prefix/lib/libminizip.a" ]; then return 0; fi
  step "expat and minizip for $arch ($prefix)"
  rm -rf "$work" "$prefix"
  mkdir -p "$work/apt/lists/partial" "$work/apt/sources" "$work/apt/archives/partial" "$prefix"
  # The same archives and suites as the machine's own deb entries, as deb-src.
  local sources=/etc/apt/sources.list.d/debian.sources
  if [ -f "$sources" ]; then
    sed 's/^Types: *deb$/Types: deb-src/' "$sources" >"$work/apt/sources/tessik-src.sources"
  else
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >"$work/apt/sources/tessik-src.list"
  fi
  local apt_options=(-o "Dir::Etc::SourceParts=$work/apt/sources" -o "Dir::Etc::SourceList=/dev/null"
                     -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache::Archives=$work/apt/archives"
                     -o "APT::Sandbox::User=root")
  apt-get "${apt_options[@]}" update -qq >"$work/apt.log" 2>&1 || true
  # Each package from the newest source that serves it: the security archive's, else the
  # release's (a mirror may lack a security source that its index names).
  local package
  for package in expat minizip; do
    (cd "$work" && apt-get "${apt_options[@]}" source -qq "$package" >>"$work/apt.log" 2>&1) ||
      (cd "$work" && apt-get "${apt_options[@]}" source -qq "$package/$(. /etc/os-release &&
                                                                           echo "$VERSION_CODENAME")" \
                                                                           >>"$work/apt.log" 2>&1) || true
  done
  local expat minizip
  expat=$(find "$work" -maxdepth 1 -type d -name 'expat-*' | head -n 1)
  minizip=$(find "$work" -maxdepth 1 -type d -name 'minizip-*' | head -n 1)
  if [ -z "$expat" ] || [ -z "$minizip" ]; then
    cat "$work/apt.log" >&2
    echo "the sources of expat and minizip could not be fetched" >&2
    return 1
  fi
  # expat: its own CMake build, the static library alone (the package's sources keep the
  # library in a folder of its own).
  [ -f "$expat/expat/CMakeLists.txt" ] && expat=$expat/expat
  cmake -S "$expat" -B "$work/expat-build" --toolchain "$PWD/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF \
    -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF -DEXPAT_BUILD_FUZZERS=OFF \
    -DEXPAT_MSVC_STATIC_CRT=OFF >"$work/expat.log" 2>&1
  # Debian's security fixes test "#if XML_DTD == 1", as its own autotools build defines it;
  # the CMake build defines it empty.
  sed -i 's/^#define XML_DTD$/#define XML_DTD 1/' "$work/expat-build/expat_config.h"
  cmake --build "$work/expat-build" -j 2 >>"$work/expat.log" 2>&1
  cmake --install "$work/expat-build" >>"$work/expat.log" 2>&1
  local built
  built=$(find "$prefix/lib" -name 'libexpat*.a' | head -n 1)
  [ -n "$built" ] && [ "$built" != "$prefix/lib/libexpat.a" ] && mv "$built" "$prefix/lib/libexpat.a"
  # minizip: its reading and writing of archives over zlib (the writing for the tests).
  local cc=$arch-w64-mingw32-gcc-posix objects=()
  mkdir -p "$work/minizip-build" "$prefix/include/minizip"
  for source in unzip zip ioapi; do
    # Its warnings are Debian's to mend, not this build's (a CRC table's pointer type).
    "$cc" -O2 -w -DNOUNCRYPT -c "$minizip/$source.c" -I"$minizip" \
      -o "$work/minizip-build/$source.o" 2>>"$work/minizip.log"
    objects+=("$work/minizip-build/$source.o")
  done
  "$arch-w64-mingw32-ar" rcs "$prefix/lib/libminizip.a" "${objects[@]}"
  cp "$minizip/unzip.h" "$minizip/zip.h" "$minizip/ioapi.h" "$minizip/crypt.h" "$prefix/include/minizip/"
  # Their notices go with the programs they are linked into (the zip of each build).
  cp "$expat/COPYING" "$prefix/LICENSE-expat.txt"
  sed -n '/Copyright/,/^\*\//p' "$minizip/unzip.h" >"$prefix/LICENSE-minizip.txt"
  sed -n '/Copyright/,/^\*\//p' "/usr/$arch-w64-mingw32/include/zlib.h" >"$prefix/LICENSE-zlib.txt"
  rm -rf "$work"
  [ -f "$prefix/lib/libexpat.a" ] && [ -f "$prefix/lib/libminizip.a" ]
}
