#!/usr/bin/env bash
# Retakes the README's screenshots under Xvfb: the main window after sending a picture, and the
# virtual PIC's LCD showing it, and frmImport with a dithered photo. Usage: scripts/screenshot.sh [build] [outdir]
set -euo pipefail
build=${1:-build}
out=${2:-docs}
mkdir -p "$out"
cmake --build "$build" --target quorvel-screenshot-scene quorvel-import-scene quorvel-picsim >/dev/null

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export out work build
xvfb-run -a -s "-screen 0 1400x800x24" bash -euc '
    "$build/sim/quorvel-picsim" --scale 3 >"$work/sim.out" 2>/dev/null &
    for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
    QUORVEL_COM1=$(head -n 1 "$work/sim.out") "$build/tools/quorvel-screenshot-scene" \
        >"$work/scene.out" 2>/dev/null &
    for _ in $(seq 100); do grep -q ready "$work/scene.out" 2>/dev/null && break; sleep 0.1; done
    lcd=$(xdotool search --onlyvisible --name "quorvel-picsim" | head -n 1)
    xdotool windowmove "$lcd" 960 0
    sleep 0.5
    import -window "$(xdotool search --onlyvisible --name "Quorvel Graphic LCD ToolBox" | head -n 1)" \
        "$out/main-window.png"
    import -window "$lcd" "$out/virtual-lcd.png"
    "$build/tools/quorvel-import-scene" >"$work/import.out" 2>/dev/null &
    for _ in $(seq 100); do grep -q ready "$work/import.out" 2>/dev/null && break; sleep 0.1; done
    import -window "$(xdotool search --onlyvisible --name "Import Picture" | head -n 1)" \
        "$out/import.png"
'
echo "$out/main-window.png $out/virtual-lcd.png $out/import.png"
