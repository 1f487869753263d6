#!/usr/bin/env bash
# Starts Keldoran in a data folder of its own: data/ beside this checkout is
# the program folder (LOG, WORK and USERCONF appear there), and data/WINDOWS
# stands in for the Windows folder that holds KELDORAN.INI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
data="${KELDORAN_DATA:-$root/data}"
mkdir -p "$data/WINDOWS"
export KELDORAN_WINDIR="$data/WINDOWS"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "Keldoran is a desktop program and there is no display here (DISPLAY is not set)." >&2
  echo "Run it under a virtual display instead:" >&2
  echo "    xvfb-run -a -s '-screen 0 1280x800x24' make run" >&2
  exit 2
fi

cd "$data"
exec "$root/build/bin/Keldoran"
