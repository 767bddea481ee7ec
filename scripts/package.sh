#!/usr/bin/env bash
# Builds the release package dist/Tenrek-<version>.zip: the Windows module
# Tenrek.mfx, the manual Help/Basic.pdf and Help/Basic.html, the example
# programs and an install note (scripts/package-files.sh lays them out).
# The version is the one in the module's version record, and the packaged
# module must carry it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build-module.sh
module=build/mingw/Tenrek.mfx
[ -f "$module" ] || { echo "package: $module was not built" >&2; exit 1; }

version=$(python3 scripts/module_version.py resources/Tenrek.rc)
built=$(python3 scripts/module_version.py "$module")
if [ "$built" != "$version" ]; then
  echo "package: $module says version $built, resources/Tenrek.rc says $version" >&2
  exit 1
fi

echo "== manual"
cmake --preset release >/dev/null
cmake --build --preset release --target manual >/dev/null

name="Tenrek-$version"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name"
# The build keeps its symbol table and the debugging records that the
# MinGW start-up code brings; users get the module without them (1.4 MB
# instead of 2.7 MB; the export table and version record stay).
i686-w64-mingw32-strip --strip-all -o "$stage/$name/Tenrek.mfx" "$module"
bash scripts/package-files.sh "$stage/$name" "$version" build/release/docs/Basic.pdf \
  build/release/docs/Basic.html

mkdir -p dist
rm -f "dist/$name.zip"
(cd "$stage" && zip -q -X -r "$OLDPWD/dist/$name.zip" "$name")

# What a user needs must be there, with Windows line ends.
python3 tests/manual/check_package.py "dist/$name.zip" --module
listing=$(unzip -Z1 "dist/$name.zip")
for entry in Examples/guess.bas Examples/Linux-tenrek-host/session.script; do
  grep -qx "$name/$entry" <<<"$listing" || { echo "package: $entry missing" >&2; exit 1; }
done
echo "== dist/$name.zip"
unzip -l "dist/$name.zip"
