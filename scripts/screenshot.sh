#!/usr/bin/env bash
# Retakes the README's screenshots under Xvfb with a window manager (openbox), as a desktop shows
# them: the main window after sending a picture, and the virtual PIC's LCD beside it showing the
# picture, and frmImport with a dithered photo. The whole screen goes to $work/desktop.png.
# Usage: scripts/screenshot.sh [build] [outdir]
set -euo pipefail
build=${1:-build}
out=${2:-docs}
mkdir -p "$out"
cmake --build "$build" --target quorvel-screenshot-scene quorvel-import-scene quorvel-picsim >/dev/null

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
scripts=$(cd "$(dirname "$0")" && pwd)
export out work build scripts
xvfb-run -a -s "-screen 0 1600x900x24" bash -euc '
    openbox >/dev/null 2>&1 &
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    "$build/sim/quorvel-picsim" --scale 3 >"$work/sim.out" 2>/dev/null &
    sim_pid=$!
    for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
    QUORVEL_COM1=$(head -n 1 "$work/sim.out") "$build/tools/quorvel-screenshot-scene" \
        >"$work/scene.out" 2>/dev/null &
    scene_pid=$!
    for _ in $(seq 100); do grep -q ready "$work/scene.out" 2>/dev/null && break; sleep 0.1; done
    "$scripts/place-lcd.sh" "$scene_pid" "$sim_pid" 10
    sleep 0.5
    lcd=$(xdotool search --onlyvisible --pid "$sim_pid" | head -n 1)
    import -window root "$work/desktop.png"
    cp "$work/desktop.png" "${DESKTOP_PNG:-/dev/null}" 2>/dev/null || true
    import -window "$(xdotool search --onlyvisible --name "Quorvel Graphic LCD ToolBox" | head -n 1)" \
        "$out/main-window.png"
    import -window "$lcd" "$out/virtual-lcd.png"
    "$build/tools/quorvel-import-scene" >"$work/import.out" 2>/dev/null &
    for _ in $(seq 100); do grep -q ready "$work/import.out" 2>/dev/null && break; sleep 0.1; done
    import -window "$(xdotool search --onlyvisible --name "Import Picture" | head -n 1)" \
        "$out/import.png"
'
echo "$out/main-window.png $out/virtual-lcd.png $out/import.png"
