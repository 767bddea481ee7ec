#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need, for the way
# this machine goes (scripts/windows-way.sh):
#   both ways   the MinGW-w64 i686 cross compiler (the shipped module), Wine,
#               its fonts, Xvfb and xauth, and Pillow (scripts/bmp_to_png.py
#               turns the screenshots into PNG files)
#   32-bit way  Wine's 32-bit half (wine32:i386)
#   64-bit way  Wine's 64-bit half and the MinGW-w64 x86_64 cross compiler
# Quick when everything is present: apt-get update runs only when a package
# is missing. Needs root (or sudo) only in that case.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-way.sh
tenrek_choose_windows_way

missing=()
have_package() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-i686)
command -v i686-w64-mingw32-windres >/dev/null 2>&1 || missing+=(binutils-mingw-w64-i686)
if [ "$TENREK_WINE_BITS" = 32 ]; then
  command -v wine >/dev/null 2>&1 || missing+=(wine)
  have_package wine32:i386 || missing+=(wine32:i386)
else
  have_package wine64 || missing+=(wine64)
  command -v wine >/dev/null 2>&1 || missing+=(wine)
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64)
  command -v x86_64-w64-mingw32-windres >/dev/null 2>&1 || missing+=(binutils-mingw-w64-x86-64)
fi
# Wine's own fonts: dialogs in "MS Sans Serif" and the caption buttons.
have_package fonts-wine || missing+=(fonts-wine)
command -v Xvfb >/dev/null 2>&1 || missing+=(xvfb)
command -v xauth >/dev/null 2>&1 || missing+=(xauth)
have_package python3-pil || missing+=(python3-pil)

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "setup-windows: installing ${missing[*]}" >&2
if [ "$TENREK_WINE_BITS" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
