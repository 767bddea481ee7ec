#!/usr/bin/env bash
# Takes the screenshots shown in the README under Xvfb and Wine: the setup
# dialog, the INPUT dialog and a PRINT box of the real Tenrek.mfx, each
# played from a script in docs/screenshots/ with tenrek-host.exe
# --screenshot, and written as docs/<name>.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-windows.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$(nproc)" --target tenrek_module tenrek_test_host >/dev/null
source scripts/wine-env.sh
tenrek_make_wine_prefix

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
# One X server and one wineserver for all of them.
SHOTS=$shots xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  wineserver -p
  for script in docs/screenshots/*.script; do
    name=$(basename "$script" .script)
    wine build/mingw/tenrek-host.exe --screenshot "$SHOTS/$name.bmp" "$script" >/dev/null
  done
  wineserver -k'
for bitmap in "$shots"/*.bmp; do
  name=$(basename "$bitmap" .bmp)
  python3 scripts/bmp_to_png.py "$bitmap" "docs/$name.png"
  echo "docs/$name.png"
done
