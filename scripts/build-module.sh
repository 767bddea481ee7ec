#!/usr/bin/env bash
# Builds the Windows module Tenrek.mfx (and the test host tenrek-host.exe)
# with the MinGW-w64 i686 cross compiler. The module lands in
# build/mingw/Tenrek.mfx. Skipped with a note when the cross compiler is
# missing (scripts/setup-windows.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1; then
  echo "== Tenrek.mfx not built: no MinGW-w64 i686 compiler (bash scripts/setup-windows.sh installs it)"
  exit 0
fi
echo "== building Tenrek.mfx (MinGW-w64 i686)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)" --target tenrek_module tenrek_test_host >/dev/null
echo "Tenrek.mfx: $PWD/build/mingw/Tenrek.mfx"
