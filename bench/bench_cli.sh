#!/usr/bin/env bash
# quorvel-convert beside ImageMagick: bench/bench_cli.sh [build]
# Installs ImageMagick (Debian package imagemagick) when it is missing, then runs the cli section.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
if [ ! -x /usr/bin/convert ] && ! command -v convert >/dev/null 2>&1; then
    sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y imagemagick
fi
exec "$here/scripts/bench.sh" "$build" cli
