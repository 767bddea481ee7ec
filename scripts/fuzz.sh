#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each of them.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   a campaign: SECONDS per target
#                                           (default 1800), all targets
#                                           unless some are named
#   scripts/fuzz.sh --smoke                 15 s per target from the seeds
#                                           alone, for the test command
#
# Targets: command_lines, program_files, edit_data, host_scripts and
# translation (each input run translated and through the handlers, the two
# compared; it breaks runs by a time watchdog instead). Seeds come
# from the golden scripts, the examples and the benchmark programs; the
# corpus grows in build/fuzz/corpus/TARGET and is kept between runs; inputs
# that crash land in build/fuzz/artifacts. A watchdog inside each target
# breaks runs after a fixed number of statements, so endless programs are
# ordinary inputs. Run as root, the targets run as the unprivileged user
# nobody, so that no input can write outside the scratch folders. Exits
# non-zero when a target found a crash, a leak or a hang.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=1800
corpus=corpus
if [ "${1:-}" = "--smoke" ]; then
  # A fresh corpus from the seeds alone: loading a campaign's grown corpus
  # would take longer than the smoke run itself.
  seconds=15
  corpus=smoke
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(command_lines program_files edit_data host_scripts translation)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

work=$PWD/build/fuzz
rm -rf "$work/seeds" "$work/smoke"
mkdir -p "$work/seeds" "$work/$corpus" "$work/artifacts"

# seed TARGET NAME BYTES...: one seed file.
seed() { mkdir -p "$work/seeds/$1"; printf '%b' "$3" > "$work/seeds/$1/$2"; }
programs=(examples/*.bas bench/programs/*.bas)
for file in "${programs[@]}"; do
  name=$(basename "$file" .bas)
  mkdir -p "$work/seeds/program_files" "$work/seeds/command_lines" "$work/seeds/edit_data"
  cp "$file" "$work/seeds/program_files/$name"
  { cat "$file"; printf 'LIST\n>PRINT 1\nRUN\nRENUM\nILXT\nSAVE "S"\nNEW\nLOAD "S"\nRUN\n'; } \
    > "$work/seeds/command_lines/$name"
  { printf '\x03'; cat "$file"; printf '\0\x05\0\x8f\0\x02A\0\x19\0\x04\0'; } \
    > "$work/seeds/edit_data/$name"
done
mkdir -p "$work/seeds/host_scripts"
cp tests/golden/*.script "$work/seeds/host_scripts/"
for script in tests/golden/*.script; do
  cp "$script" "$work/seeds/command_lines/$(basename "$script")"
done
seed command_lines nested '10 PRINT 1: PRINT 2\n>PRINT 3\n>NEW\n?5\nRUN\n10 INPUT A\nRUN\n'
# The translation target starts from the command lines and from the
# benchmark programs, cut to two passes so that they end within its watchdog.
cp -r "$work/seeds/command_lines" "$work/seeds/translation"
for file in tests/bench_programs/*.bas; do
  { sed 's/^5 N=.*/5 N=2/' "$file"; printf 'RUN\n'; } > "$work/seeds/translation/bench-$(basename "$file" .bas)"
done
seed edit_data destroy '\x02\x31\x30 PRINT 1\r\n20 PRINT 2\0\x05\0\xa4\0\x8f\0'

run_as=()
if [ "$(id -u)" = 0 ]; then
  chown -R nobody:nogroup "$work/seeds" "$work/$corpus" "$work/artifacts"
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi

failed=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$corpus/$target"
  [ "$(id -u)" = 0 ] && chown nobody:nogroup "$work/$corpus/$target"
  log="$work/$target.log"
  if "${run_as[@]}" "$work/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -dict="$PWD/fuzz/basic.dict" -print_final_stats=1 \
      -artifact_prefix="$work/artifacts/$target-" \
      "$work/$corpus/$target" "$work/seeds/$target" >"$log" 2>&1; then
    status=ok
  else
    status=FOUND
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "$status $target: ${runs:-?} runs in ${seconds} s, corpus $(ls "$work/$corpus/$target" | wc -l) (log $log)"
done
exit $failed
