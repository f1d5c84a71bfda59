#!/usr/bin/env bash
# Builds and runs the benchmarks without a display: scripts/bench.sh [build] [section...]
# Sections: convert click send image import export startup (all when none is named). Prints markdown.
set -euo pipefail
build=${1:-build}
shift || true
if ! log=$(cmake --build "$build" --target quorvel-bench 2>&1); then
    printf '%s\n' "$log" >&2
    exit 1
fi
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
qt=$(qtpaths6 --qt-version 2>/dev/null || qmake6 -query QT_VERSION 2>/dev/null || echo unknown)
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
echo "Machine: $(nproc) cores, $cpu, $(uname -sr); Qt $qt; ${type:-no} build type; $(date -u +%Y-%m-%d)"
echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen "$build/bench/quorvel-bench" "$@"
