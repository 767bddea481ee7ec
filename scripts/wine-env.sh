# Sourced by scripts/test-windows.sh and scripts/screenshots.sh: the Wine
# environment the Windows test host runs in, and the prefix, made once.
#   TENREK_WINEPREFIX  the prefix to use (default build/mingw/wineprefix)

export WINEPREFIX=${TENREK_WINEPREFIX:-$PWD/build/mingw/wineprefix}
export WINEDEBUG=-all
# No menu entries, no Mono or Gecko prompts.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Scripts, transcripts and file names stay bytes; the prefix gets code page 1252.
export LC_ALL=C.UTF-8

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
  wineboot -i >/dev/null 2>&1
  wine regedit /S "$(winepath -w "$WINEPREFIX/tenrek.reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w
  # Wine's own fonts ("MS Sans Serif" of the dialogs, Marlett of the caption
  # buttons) where this Wine looks for them.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  touch "$WINEPREFIX/.tenrek-ready"
}
