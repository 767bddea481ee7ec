#!/usr/bin/env bash
# Builds and runs every test: the native suites under AddressSanitizer and
# UndefinedBehaviorSanitizer, the golden host transcripts, a short run of
# each fuzz target, the 32-bit Windows cross build, and (when present) the
# Windows module under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
echo "== native build (ASan + UBSan)"
cmake --preset asan -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build --preset asan -j"$jobs"
echo "== native tests"
ctest --preset asan -j"$jobs"

echo "== formatting (clang-format)"
bash scripts/format.sh --check
echo "== static checks (clang-tidy)"
bash scripts/tidy.sh

echo "== install: tenrek and its man page under a prefix"
prefix=$(mktemp -d)
cmake --install build/asan --prefix "$prefix" >/dev/null
test -x "$prefix/bin/tenrek" && test -f "$prefix/share/man/man1/tenrek.1"
"$prefix/bin/tenrek" --version
rm -rf "$prefix"

echo "== fuzz smoke (libFuzzer, ASan + UBSan; 15 s per target)"
bash scripts/fuzz.sh --smoke

echo "== 32-bit Windows cross build of the portable core"
cmake --preset mingw -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build --preset mingw -j"$jobs" --target tenrek_core

if [ -f scripts/test-windows.sh ]; then
  echo "== Windows module under Wine"
  bash scripts/test-windows.sh
fi
echo "== release package"
bash scripts/package.sh >/dev/null
echo "== all tests passed"
