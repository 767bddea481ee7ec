#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need: the
# MinGW-w64 i686 cross compiler, Wine with its 32-bit half and its fonts,
# Xvfb and xauth.
# Quick when everything is present: apt-get update runs only when a package
# is missing. Needs root (or sudo) only in that case.
set -euo pipefail

missing=()
have_package() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-i686)
command -v i686-w64-mingw32-windres >/dev/null 2>&1 || missing+=(binutils-mingw-w64-i686)
command -v wine >/dev/null 2>&1 || missing+=(wine)
have_package wine32:i386 || missing+=(wine32:i386)
# Wine's own fonts: dialogs in "MS Sans Serif" and the caption buttons.
have_package fonts-wine || missing+=(fonts-wine)
command -v Xvfb >/dev/null 2>&1 || missing+=(xvfb)
command -v xauth >/dev/null 2>&1 || missing+=(xauth)

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "setup-windows: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
