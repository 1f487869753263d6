#!/usr/bin/env bash
# Installs the Debian 12 packages Keldoran needs to build, run and test,
# skipping the step when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache git
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev qt6-svg-dev
  qt6-image-formats-plugins
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  pxlib-dev libmspack-dev mscompress
  ffmpeg libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  fonts-dejavu-core xvfb xauth x11-utils socat
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
