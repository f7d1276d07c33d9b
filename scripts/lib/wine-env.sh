# Running the Windows programs under Wine, for the scripts that test them. Sourced, not run.
#
# start_wine FOLDER ARCH: a Wine prefix of its own in FOLDER/wine for ARCH (win32 or win64),
# made on first use (never ~/.wine), with Wine's fonts where its programs find them, and
# windows Wine draws and manages itself: a virtual X server has no window manager, and
# without one Wine would wait for it each time a window is hidden or destroyed. Starts the Wine
# server and its helpers once, before any test, so that they neither slow every test nor
# hold a test's output pipe open. Call with DISPLAY set when a window will be shown.
# Returns 1, saying why, when Wine runs no program there.
# Exports WINE, the loader of ARCH, which every caller starts programs with: Debian's `wine`
# starts the 32-bit loader whenever wine32 is installed, and so fails for 64-bit programs
# too on a machine that runs no 32-bit code, while the 64-bit loader runs them anywhere.
# stop_wine: ends the Wine server of the prefix and waits for it.
start_wine() {
  local folder=$1 arch=$2
  export WINEPREFIX=$(cd "$folder" && pwd)/wine WINEARCH=$arch WINEDEBUG=-all
  export WINE WINELOADER
  WINE=$(wine_loader "$arch")
  WINELOADER=$WINE
  export WINEDLLOVERRIDES="mscoree,mshtml="
  prepare_wine_prefix && return 0
  # A prefix that another Wine installation made (one without wine32, say) may not start
  # with this one: it is made afresh, once.
  stop_wine
  rm -rf "$WINEPREFIX"
  prepare_wine_prefix && return 0
  echo "start_wine: Wine runs no program in $WINEPREFIX" >&2
  return 1
}

# wine_loader ARCH: the Wine loader that starts ARCH's programs.
wine_loader() {
  if [ "$1" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
    echo /usr/lib/wine/wine64
  elif [ "$1" = win32 ] && [ -x /usr/lib/wine/wine ]; then
    echo /usr/lib/wine/wine
  else
    command -v wine || echo wine
  fi
}

prepare_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE" wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  local value
  for value in Decorated Managed; do
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v $value /t REG_SZ /d N /f \
      >/dev/null 2>&1 </dev/null || return 1
  done
  wineserver -w || true
  wineserver -p
  "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null
}

stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
