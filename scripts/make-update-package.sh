#!/usr/bin/env bash
# Builds an update package from a Keldoran build.
#
#   scripts/make-update-package.sh [PACKAGE-FOLDER] [BUILT-PROGRAMS-FOLDER]
#
# Compresses the built program Keldoran into "velmup1.ex_" and the profile
# library libvelm.so into "velmup2.ex_" with mscompress (Windows LZ / SZDD
# format), writes the package description "velmup.ini" with the exact sizes
# of both compressed files, and copies the Update program beside them when it
# has been built. Defaults: build/update-package and build/bin.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/update-package}"
bin="${2:-$root/build/bin}"
for f in Keldoran libvelm.so; do
  if [ ! -f "$bin/$f" ]; then
    echo "$bin/$f is missing: build Keldoran first (make test, or cmake --build --preset default)." >&2
    exit 1
  fi
done
command -v mscompress >/dev/null || { echo "mscompress is missing: run scripts/install-deps.sh." >&2; exit 1; }

mkdir -p "$out"
work="$(mktemp -d "$out/.package.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp "$bin/Keldoran" "$work/velmup1.ex"
cp "$bin/libvelm.so" "$work/velmup2.ex"
# mscompress writes NAME_ beside each NAME.
mscompress "$work/velmup1.ex" "$work/velmup2.ex"
{
  echo "[Package]"
  echo "velmup1.ex_=$(stat -c %s "$work/velmup1.ex_")"
  echo "velmup2.ex_=$(stat -c %s "$work/velmup2.ex_")"
} > "$work/velmup.ini"
mv -f "$work/velmup1.ex_" "$work/velmup2.ex_" "$work/velmup.ini" "$out/"
if [ -f "$bin/Update" ]; then
  install -m 755 "$bin/Update" "$out/Update"
fi
echo "Update package in $out"
