#!/usr/bin/env bash
# The Windows module under Wine. Finds out which way this machine goes
# (scripts/windows-way.sh) and says so in one line, then:
#   on every machine  cross-builds the shipped i686 Tenrek.mfx and
#                     tenrek-host.exe with MinGW-w64 (the compiler checks
#                     the 32-bit layouts of the host records), checks the
#                     module's export table against windows/exports.txt,
#                     that neither file needs a MinGW runtime DLL and that
#                     the module holds no simulator code
#   32-bit way        plays everything below with that i686 build under
#                     32-bit Wine
#   64-bit way        builds the same sources for x86_64 (module, test host,
#                     unit tests), checks them the same way, and plays
#                     everything below under 64-bit Wine
# Played under Xvfb with tenrek-host.exe:
#   the unit tests    cross-built and run under Wine
#   tests/golden/*.script    must give the native transcript byte for byte
#   windows/golden/*.script  editor-side scripts, with transcripts of their own
# Installs what it needs when missing (scripts/setup-windows.sh). Exits
# non-zero on any failure, and when neither way can run here.
#
#   TENREK_WINE_BITS   32 or 64: take that way instead of finding it out
#   TENREK_WINE_UNIT_TESTS  1 (default): also cross-build the unit tests and run
#                      them under Wine; 0: skip them
#   TENREK_WINEPREFIX  the Wine prefix to use (default wineprefix in the build
#                      folder of the way, made once, about 20 s; see
#                      scripts/wine-env.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/windows-way.sh
tenrek_choose_windows_way
echo "$TENREK_WINDOWS_WAY"
bash scripts/setup-windows.sh

unit_tests=${TENREK_WINE_UNIT_TESTS:-1}
failures=0
passed=0
pass() { echo "ok   $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

# build PRESET TARGET...: a -Werror cross build of the targets.
build() {
  local preset=$1
  shift
  cmake --preset "$preset" -DCMAKE_CXX_FLAGS=-Werror -DTENREK_WINDOWS_UNIT_TESTS="$unit_tests" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)" --target "$@" >/dev/null
}

# check_binaries BUILD-FOLDER OBJDUMP: the module's exports and the
# imports of the module and of the test host.
check_binaries() {
  local folder=$1 objdump=$2 exports imports file
  exports=$($objdump -p "$folder/Tenrek.mfx" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }' | LC_ALL=C sort)
  if diff <(echo "$exports") <(LC_ALL=C sort windows/exports.txt); then
    pass "$folder/Tenrek.mfx exports exactly the $(wc -l < windows/exports.txt) names of windows/exports.txt"
  else
    fail "$folder/Tenrek.mfx export table differs from windows/exports.txt (< module, > list)"
  fi
  for file in "$folder/Tenrek.mfx" "$folder/tenrek-host.exe"; do
    imports=$($objdump -p "$file" | awk '/DLL Name:/ { print $3 }')
    if echo "$imports" | grep -qiE 'libgcc|libstdc|libwinpthread'; then
      fail "$file imports a MinGW runtime DLL: $(echo $imports)"
    else
      pass "$file imports only system DLLs: $(echo $imports)"
    fi
  done
}

# check_no_simulator BUILD-FOLDER NM: the module holds none of the functions
# of the simulator library (host-script runner, native window system),
# which the test host in the same folder links.
check_no_simulator() {
  local folder=$1 nm=$2 simulator shared
  simulator=$($nm --defined-only -g -C "$folder/sim/libtenrek_sim.a" |
    awk '$2 == "T"' | cut -d' ' -f3- | grep '^tenrek::' | LC_ALL=C sort -u || true)
  shared=$(LC_ALL=C comm -12 <(echo "$simulator") \
    <($nm --defined-only -C "$folder/Tenrek.mfx" | cut -d' ' -f3- | LC_ALL=C sort -u))
  if [ -z "$simulator" ]; then
    fail "$folder/sim/libtenrek_sim.a: no simulator functions found to look for"
  elif [ -z "$shared" ]; then
    pass "$folder/Tenrek.mfx holds none of the $(echo "$simulator" | wc -l) simulator functions"
  else
    fail "$folder/Tenrek.mfx holds simulator code: $(echo "$shared" | head -5 | tr '\n' ' ')"
  fi
}

echo "== the shipped module: cross build (MinGW-w64 i686)"
i686_targets=(tenrek_module tenrek_test_host)
if [ "$TENREK_WINE_BITS" = 32 ] && [ "$unit_tests" = 1 ]; then i686_targets+=(tenrek_tests_windows); fi
build mingw "${i686_targets[@]}"
pass "build/mingw: i686 build, host record layouts checked by the compiler"
check_binaries build/mingw i686-w64-mingw32-objdump
check_no_simulator build/mingw i686-w64-mingw32-nm

if [ "$TENREK_WINE_BITS" = 64 ]; then
  echo "== the build under Wine: cross build (MinGW-w64 x86_64)"
  x64_targets=(tenrek_module tenrek_test_host)
  if [ "$unit_tests" = 1 ]; then x64_targets+=(tenrek_tests_windows); fi
  build mingw64 "${x64_targets[@]}"
  check_binaries build/mingw64 x86_64-w64-mingw32-objdump
  check_no_simulator build/mingw64 x86_64-w64-mingw32-nm
fi
build=$TENREK_WINDOWS_BUILD
host=$build/tenrek-host.exe

echo "== unit tests and golden host scripts under ${TENREK_WINE_BITS}-bit Wine"
source scripts/wine-env.sh
tenrek_check_wine
tenrek_make_wine_prefix

# Plays every script inside one X server and one wineserver.
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
cat > "$results/play.sh" <<'PLAY'
set -u
wineserver -p
if [ -n "$UNIT_TESTS" ]; then
  timeout 600 "$TENREK_WINE" "$UNIT_TESTS" --gtest_brief=1 > "$RESULTS/unit.out" 2>&1
  echo $? > "$RESULTS/unit.rc"
fi
for script in "$@"; do
  name=$(echo "$script" | tr '/' '_')
  # Wine now and then fails to start a program at all: exit 1 with nothing
  # written, which the host itself never does (it answers 2 or 3 with a
  # message). That one case is tried a second time; a host failure, a
  # crash, a hang or a wrong transcript is never retried.
  for attempt in 1 2; do
    timeout 120 "$TENREK_WINE" "$HOST" "$script" > "$RESULTS/$name.out" 2> "$RESULTS/$name.err"
    rc=$?
    if [ "$rc" != 1 ] || [ -s "$RESULTS/$name.out" ] || [ -s "$RESULTS/$name.err" ]; then break; fi
    echo "$script: Wine did not start the host (attempt $attempt)" >> "$RESULTS/wine-starts"
  done
  echo $rc > "$RESULTS/$name.rc"
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

if [ -s "$results/wine-starts" ]; then cat "$results/wine-starts"; fi
echo "windows ($TENREK_WINE_BITS-bit way): $passed passed, $failures failed"
[ "$failures" -eq 0 ]
