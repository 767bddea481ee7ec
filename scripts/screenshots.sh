#!/usr/bin/env bash
# Takes the screenshots shown in the README under Xvfb and Wine: the setup
# dialog, the INPUT dialog and a PRINT box of the real Tenrek.mfx, each
# played from a script in docs/screenshots/ with tenrek-host.exe
# --screenshot, and written as docs/<name>.png. On a machine that cannot
# start 32-bit programs they come from the x86_64 build under 64-bit Wine,
# which draws the same dialogs (scripts/windows-way.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/windows-way.sh
tenrek_choose_windows_way
echo "$TENREK_WINDOWS_WAY"
bash scripts/setup-windows.sh
cmake --preset "$TENREK_WINDOWS_PRESET" >/dev/null
cmake --build --preset "$TENREK_WINDOWS_PRESET" -j"$(nproc)" --target tenrek_module tenrek_test_host >/dev/null
source scripts/wine-env.sh
tenrek_check_wine
tenrek_make_wine_prefix

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
# One X server and one wineserver for all of them.
SHOTS=$shots BUILD=$TENREK_WINDOWS_BUILD xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  wineserver -p
  for script in docs/screenshots/*.script; do
    name=$(basename "$script" .script)
    "$TENREK_WINE" "$BUILD/tenrek-host.exe" --screenshot "$SHOTS/$name.bmp" "$script" >/dev/null
  done
  wineserver -k'
for bitmap in "$shots"/*.bmp; do
  name=$(basename "$bitmap" .bmp)
  scripts/bmp_to_png.py "$bitmap" "docs/$name.png"
  echo "docs/$name.png"
done
