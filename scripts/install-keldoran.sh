#!/usr/bin/env bash
# Installs Keldoran into a folder and registers it for the updater.
#
#   scripts/install-keldoran.sh FOLDER [BUILT-PROGRAMS-FOLDER]
#
# Copies the built program Keldoran and the profile library libvelm.so
# (default: build/bin of this checkout), and the console companion
# keldoran-tool when it was built, into FOLDER and writes the App Paths
# file that Update reads to find the installation: "AppPaths.ini" in the
# folder that stands in for the Windows folder ($KELDORAN_WINDIR when set,
# else ~/.config/keldoran), section [Keldoran], key Path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ $# -lt 1 ] || [ -z "$1" ]; then
  echo "usage: $0 FOLDER [BUILT-PROGRAMS-FOLDER]" >&2
  exit 2
fi
bin="${2:-$root/build/bin}"
for f in Keldoran libvelm.so; do
  if [ ! -f "$bin/$f" ]; then
    echo "$bin/$f is missing: build Keldoran first (make test, or cmake --build --preset default)." >&2
    exit 1
  fi
done

mkdir -p "$1"
dest="$(cd "$1" && pwd)"
install -m 755 "$bin/Keldoran" "$dest/Keldoran"
install -m 644 "$bin/libvelm.so" "$dest/libvelm.so"
if [ -f "$bin/keldoran-tool" ]; then
  install -m 755 "$bin/keldoran-tool" "$dest/keldoran-tool"
fi

windir="${KELDORAN_WINDIR:-${XDG_CONFIG_HOME:-$HOME/.config}/keldoran}"
mkdir -p "$windir"
printf '[Keldoran]\nPath=%s\n' "$dest" > "$windir/AppPaths.ini.tmp"
mv "$windir/AppPaths.ini.tmp" "$windir/AppPaths.ini"
echo "Installed Keldoran in $dest (registered in $windir/AppPaths.ini)."
