#!/usr/bin/env bash
# Installs what the native build and the tests need on a fresh Debian
# machine (run as root), and Pillow for resources/make_bitmaps.py. Quick
# when everything is already there. The manual is read by markdown-it and
# set by groff; its tests read the PDF with poppler-utils' pdftotext.
set -euo pipefail

packages=(cmake g++ make libgtest-dev googletest libedit-dev libbenchmark-dev python3 groff zip
          python3-markdown-it python3-mdit-py-plugins poppler-utils
          python3-pil g++-mingw-w64-i686 clang libclang-rt-14-dev clang-format clang-tidy)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
