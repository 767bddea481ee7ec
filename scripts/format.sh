#!/usr/bin/env bash
# Formats every C++ source and header with clang-format and the project's
# .clang-format; with --check, changes nothing and fails when a file is
# not formatted (the test command's check).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(-i)
if [ "${1:-}" = "--check" ]; then mode=(--dry-run --Werror); fi

mapfile -t sources < <(find bench eval fuzz host interp platform resources sim tenrek tests text windows \
                            -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
clang-format --style=file "${mode[@]}" "${sources[@]}"
