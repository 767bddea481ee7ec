# Sourced by scripts/test-windows.sh and scripts/screenshots.sh after
# scripts/windows-way.sh: the Wine environment the Windows test host runs
# in, and the prefix, made once.
#   TENREK_WINEPREFIX  the prefix to use (default: wineprefix in the build
#                      folder of the way, build/mingw or build/mingw64)
#
# Sets TENREK_WINE: the Wine loader to start programs with. The 64-bit way
# names Wine's 64-bit loader itself, since the `wine` wrapper prefers the
# 32-bit loader whenever that is installed, even where it cannot start.

export WINEPREFIX=${TENREK_WINEPREFIX:-$PWD/${TENREK_WINDOWS_BUILD:-build/mingw}/wineprefix}
export WINEDEBUG=-all
# No menu entries, no Mono or Gecko prompts.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Scripts, transcripts and file names stay bytes; the prefix gets code page 1252.
export LC_ALL=C.UTF-8

if [ "${TENREK_WINE_BITS:-32}" = 64 ]; then
  TENREK_WINE=/usr/lib/wine/wine64
  [ -x "$TENREK_WINE" ] || TENREK_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
  export WINELOADER=$TENREK_WINE
  export WINEARCH=win64
else
  TENREK_WINE=wine
fi
export TENREK_WINE

# Fails with a message that says what is missing when this way's Wine
# cannot start a program here.
tenrek_check_wine() {
  local loader=$TENREK_WINE
  if [ "${TENREK_WINE_BITS:-32}" = 32 ]; then loader=/usr/lib/wine/wine; fi
  if [ ! -x "$loader" ] && ! command -v "$loader" >/dev/null 2>&1; then
    echo "windows: cannot run the Windows tests: Wine's ${TENREK_WINE_BITS:-32}-bit loader ($loader) is missing; scripts/setup-windows.sh installs it" >&2
    return 1
  fi
  local status=0
  "$loader" --version >/dev/null 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "windows: cannot run the Windows tests: $loader does not start here (status $status)" >&2
    [ "${TENREK_WINE_BITS:-32}" = 32 ] &&
      echo "windows: if this machine cannot start 32-bit programs, TENREK_WINE_BITS=64 takes the 64-bit way" >&2
    return 1
  fi
}

tenrek_make_wine_prefix() {
  [ -f "$WINEPREFIX/.tenrek-ready" ] && return 0
  echo "making the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # Unmanaged windows (a managed one costs about 2 s a box) and no crash
  # dialog.
  cat > "$WINEPREFIX/tenrek.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  "$TENREK_WINE" wineboot -i >/dev/null 2>&1
  "$TENREK_WINE" regedit /S "$("$TENREK_WINE" winepath -w "$WINEPREFIX/tenrek.reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w
  # Wine's own fonts ("MS Sans Serif" of the dialogs, Marlett of the caption
  # buttons) where this Wine looks for them.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  touch "$WINEPREFIX/.tenrek-ready"
}
