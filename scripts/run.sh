#!/usr/bin/env bash
# Builds the native `tenrek` command (and the Windows module when its
# toolchain is present), runs the bundled example, then opens the BASIC
# prompt when standard input is a terminal.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
if [ -f scripts/build-module.sh ]; then bash scripts/build-module.sh; fi

echo "== tenrek is build/release/tenrek/tenrek (cmake --install build/release puts it in /usr/local/bin)"
echo "== tenrek run examples/welcome.bas"
./build/release/tenrek/tenrek run examples/welcome.bas
if [ -t 0 ]; then
  echo "== tenrek (interactive prompt; Ctrl-D leaves)"
  exec ./build/release/tenrek/tenrek
fi
