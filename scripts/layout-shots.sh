#!/usr/bin/env bash
# Screenshots of the window's layout under Xvfb, to look at after a layout change: the minimum
# size, 1920x1080, and every zoom of a 320x200 panel. Usage: scripts/layout-shots.sh [build] [outdir]
set -euo pipefail
build=${1:-build}
out=${2:-/tmp/quorvel-layout}
mkdir -p "$out"
cmake --build "$build" --target quorvel-layout-scene >/dev/null
export build out
xvfb-run -a -s "-screen 0 1920x1080x24" bash -euc '
    shot() {
        local name=$1; shift
        local log
        log=$(mktemp)
        "$build/tools/quorvel-layout-scene" "$@" >"$log" 2>/dev/null &
        local pid=$!
        for _ in $(seq 100); do grep -q ready "$log" && break; sleep 0.1; done
        local win
        win=$(xdotool search --onlyvisible --name "Quorvel Graphic LCD ToolBox" | head -n 1)
        import -window "$win" "$out/$name.png"
        echo "$out/$name.png $(cat "$log")"
        kill "$pid"; wait "$pid" 2>/dev/null || true
        rm -f "$log"
    }
    shot minimum --size min
    shot minimum-eeprom-vertical --size min --eeprom --vertical
    shot 1920x1080 --size 1920x1040 --panel 7 --zoom 2
    zoom=0
    for z in x1 x2 x3 x4 x6 x8; do
        shot "zoom-$z" --size 1280x720 --panel 7 --zoom $zoom
        zoom=$((zoom + 1))
    done
'
