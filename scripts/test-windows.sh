#!/usr/bin/env bash
# The Windows module under Wine. Cross-builds Tenrek.mfx and
# tenrek-host.exe with MinGW-w64 (i686), checks the module's export table
# against the complete list and that neither file needs a MinGW runtime
# DLL, then plays every golden host script with tenrek-host.exe under
# Xvfb and Wine:
#   tests/golden/*.script    must give the native transcript byte for byte
#   windows/golden/*.script  editor-side scripts, with transcripts of their own
# Installs what it needs when missing (scripts/setup-windows.sh). Exits
# non-zero on any failure.
#
#   TENREK_WINE_UNIT_TESTS  1 (default): also cross-build the unit tests and run
#                      them under Wine; 0: skip them
#   TENREK_WINEPREFIX  the Wine prefix to use (default build/mingw/wineprefix,
#                      made once, about 10 s; see scripts/wine-env.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-windows.sh

build=build/mingw
echo "== cross build (MinGW-w64 i686)"
unit_tests=${TENREK_WINE_UNIT_TESTS:-1}
targets=(tenrek_module tenrek_test_host)
if [ "$unit_tests" = 1 ]; then targets+=(tenrek_tests_windows); fi
cmake --preset mingw -DCMAKE_CXX_FLAGS=-Werror -DTENREK_WINDOWS_UNIT_TESTS="$unit_tests" >/dev/null
cmake --build --preset mingw -j"$(nproc)" --target "${targets[@]}" >/dev/null
module=$build/Tenrek.mfx
host=$build/tenrek-host.exe

failures=0
passed=0
pass() { echo "ok   $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

echo "== exports and imports"
exports=$(i686-w64-mingw32-objdump -p "$module" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }' | LC_ALL=C sort)
if diff <(echo "$exports") <(LC_ALL=C sort windows/exports.txt); then
  pass "Tenrek.mfx exports exactly the $(wc -l < windows/exports.txt) names of windows/exports.txt"
else
  fail "Tenrek.mfx export table differs from windows/exports.txt (< module, > list)"
fi
for file in "$module" "$host"; do
  imports=$(i686-w64-mingw32-objdump -p "$file" | awk '/DLL Name:/ { print $3 }')
  if echo "$imports" | grep -qiE 'libgcc|libstdc|libwinpthread'; then
    fail "$(basename "$file") imports a MinGW runtime DLL: $(echo $imports)"
  else
    pass "$(basename "$file") imports only system DLLs: $(echo $imports)"
  fi
done

echo "== golden host scripts under Wine"
source scripts/wine-env.sh
tenrek_make_wine_prefix

# Plays every script inside one X server and one wineserver.
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
cat > "$results/play.sh" <<'PLAY'
set -u
wineserver -p
if [ -n "$UNIT_TESTS" ]; then
  timeout 600 wine "$UNIT_TESTS" --gtest_brief=1 > "$RESULTS/unit.out" 2>&1
  echo $? > "$RESULTS/unit.rc"
fi
for script in "$@"; do
  name=$(echo "$script" | tr '/' '_')
  timeout 120 wine "$HOST" "$script" > "$RESULTS/$name.out" 2> "$RESULTS/$name.err"
  echo $? > "$RESULTS/$name.rc"
done
wineserver -k
PLAY
scripts=(tests/golden/*.script windows/golden/*.script)
unit_binary=""
if [ "$unit_tests" = 1 ]; then unit_binary=$build/tenrek-tests.exe; fi
UNIT_TESTS=$unit_binary HOST=$host RESULTS=$results xvfb-run -a -s "-screen 0 1024x768x24" \
  bash "$results/play.sh" "${scripts[@]}"

if [ -n "$unit_binary" ]; then
  if [ "$(cat "$results/unit.rc")" = 0 ]; then
    pass "unit tests under Wine: $(grep -E '^\[==========\]' "$results/unit.out" | tail -1 | cut -c14-)"
  else
    fail "unit tests under Wine"
    grep -E 'FAILED|Failure' "$results/unit.out" | head -20 || true
  fi
fi
for script in "${scripts[@]}"; do
  name=$(echo "$script" | tr '/' '_')
  expected=${script%.script}.transcript
  rc=$(cat "$results/$name.rc" 2>/dev/null || echo missing)
  if [ "$rc" = 0 ] && cmp -s "$results/$name.out" "$expected"; then
    pass "$script"
  else
    fail "$script (exit $rc)"
    diff "$results/$name.out" "$expected" | head -20 || true
    head -5 "$results/$name.err" || true
  fi
done

echo "windows: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
