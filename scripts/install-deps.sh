#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, only when one is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev
    fonts-dejavu-core fontconfig
    imagemagick desktop-file-utils
    dpkg-dev file lintian appstream man-db
    xvfb xauth xdotool x11-utils openbox
    gputils gpsim
    gcc-avr avr-libc binutils-avr bwbasic
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
