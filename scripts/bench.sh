#!/usr/bin/env bash
# Builds and runs the benchmarks without a display: scripts/bench.sh [build]
set -euo pipefail
build=${1:-build}
cmake --build "$build" --target quorvel-bench >/dev/null
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(uname -sr)"
QT_QPA_PLATFORM=offscreen "$build/bench/quorvel-bench"
