#!/usr/bin/env bash
# Lays out everything of the release package but the module, in DIR:
# Help/ with the manual as PDF and as one HTML page, Examples/ with the
# example programs (CR LF line ends, as Windows editors and the host
# expect), Examples/Linux-tenrek-host/ with the host script that only the
# Linux command `tenrek host` plays, and INSTALL.txt (CR LF).
# Usage: package-files.sh DIR VERSION Basic.pdf Basic.html
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1 version=$2 pdf=$3 html=$4

mkdir -p "$dir/Help" "$dir/Examples/Linux-tenrek-host"
cp "$pdf" "$html" "$dir/Help/"
crlf() { sed 's/\r$//; s/$/\r/' "$1"; }
for program in examples/*.bas; do
  crlf "$program" > "$dir/Examples/$(basename "$program")"
done
cp examples/*.script "$dir/Examples/Linux-tenrek-host/"
sed "s/@VERSION@/$version/g" scripts/INSTALL.txt.in | crlf /dev/stdin > "$dir/INSTALL.txt"
