#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the natively built
# sources (the core, host/, sim/, platform/native/ and tenrek/); any
# finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/tidy
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
      -DTENREK_TESTS=OFF >/dev/null
mapfile -t sources < <(ls interp/*.cpp text/*.cpp eval/*.cpp host/*.cpp sim/*/*.cpp \
                          platform/native/*.cpp tenrek/*.cpp)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet \
  >"$log" 2>&1 || status=$?
# clang-tidy counts what it suppressed ("N warnings generated"); only findings are shown.
grep -v -e 'warnings\? generated\.$' -e '^Suppressed ' -e '^Use -header-filter' "$log" || true
if [ "$status" -ne 0 ]; then
  echo "tidy: findings above" >&2
  exit 1
fi
echo "tidy: ${#sources[@]} files clean"
