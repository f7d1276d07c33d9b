# Sourced by scripts/build-windows.sh. document_libs FOLDER ARCH: cross-builds what the
# switch of records and documents reads zip archives and XML with, for the Windows programs:
# pugixml, libdeflate and minizip, from the source packages of the Debian archive this
# machine's apt already uses (Debian packages none of them for mingw-w64), into
# FOLDER/document-libs (include/, lib/libpugixml.a, lib/libdeflate.a, lib/libminizip.a);
# zlib is Debian's own mingw-w64 package. Only the
# libraries are built (no tools, tests or documentation), and a folder that has them is
# left as it is, so a second run builds nothing. The machine's apt configuration is not
# touched: the deb-src entry and its lists live in the folder.
document_libs() {
  local folder=$1 arch=$2
  local prefix=$PWD/$folder/document-libs work=$PWD/$folder/document-libs-work
  if document_libs_built "$prefix"; then return 0; fi
  step "pugixml, libdeflate and minizip for $arch ($prefix)"
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
  for package in pugixml libdeflate minizip; do
    (cd "$work" && apt-get "${apt_options[@]}" source -qq "$package" >>"$work/apt.log" 2>&1) ||
      (cd "$work" && apt-get "${apt_options[@]}" source -qq "$package/$(. /etc/os-release &&
                                                                           echo "$VERSION_CODENAME")" \
                                                                           >>"$work/apt.log" 2>&1) || true
  done
  local pugixml libdeflate minizip
  pugixml=$(find "$work" -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)
  libdeflate=$(find "$work" -maxdepth 1 -type d -name 'libdeflate-*' | head -n 1)
  minizip=$(find "$work" -maxdepth 1 -type d -name 'minizip-*' | head -n 1)
  if [ -z "$pugixml" ] || [ -z "$libdeflate" ] || [ -z "$minizip" ]; then
    cat "$work/apt.log" >&2
    echo "the sources of pugixml, libdeflate and minizip could not be fetched" >&2
    return 1
  fi
  local cc=$arch-w64-mingw32-gcc-posix cxx=$arch-w64-mingw32-g++-posix
  # pugixml: its one source file, as its configuration header leaves it.
  mkdir -p "$work/pugixml-build" "$prefix/lib" "$prefix/include"
  "$cxx" -O2 -c "$pugixml/src/pugixml.cpp" -I"$pugixml/src" -o "$work/pugixml-build/pugixml.o" \
    2>"$work/pugixml.log"
  "$arch-w64-mingw32-ar" rcs "$prefix/lib/libpugixml.a" "$work/pugixml-build/pugixml.o"
  cp "$pugixml/src/pugixml.hpp" "$pugixml/src/pugiconfig.hpp" "$prefix/include/"
  # libdeflate: its expanding of deflate streams and its CRC-32, with the x86 processor's
  # features it chooses its code by.
  local objects=()
  mkdir -p "$work/libdeflate-build"
  for source in deflate_decompress crc32 utils x86/cpu_features; do
    "$cc" -O2 -c "$libdeflate/lib/$source.c" -I"$libdeflate" \
      -o "$work/libdeflate-build/${source//\//_}.o" 2>>"$work/libdeflate.log"
    objects+=("$work/libdeflate-build/${source//\//_}.o")
  done
  "$arch-w64-mingw32-ar" rcs "$prefix/lib/libdeflate.a" "${objects[@]}"
  cp "$libdeflate/libdeflate.h" "$prefix/include/"
  # minizip: its reading and writing of archives over zlib (the writing for the tests).
  objects=()
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
  cp "$pugixml/LICENSE.md" "$prefix/LICENSE-pugixml.txt"
  cp "$libdeflate/COPYING" "$prefix/LICENSE-libdeflate.txt"
  sed -n '/Copyright/,/^\*\//p' "$minizip/unzip.h" >"$prefix/LICENSE-minizip.txt"
  sed -n '/Copyright/,/^\*\//p' "/usr/$arch-w64-mingw32/include/zlib.h" >"$prefix/LICENSE-zlib.txt"
  rm -rf "$work"
  document_libs_built "$prefix"
}

# document_libs_built PREFIX: true when PREFIX holds every library document_libs builds.
document_libs_built() {
  [ -f "$1/lib/libpugixml.a" ] && [ -f "$1/lib/libdeflate.a" ] && [ -f "$1/lib/libminizip.a" ]
}
