#!/usr/bin/env bash
# Takes a screenshot of the main window under Xvfb: scripts/screenshot.sh [build] [out.png]
set -euo pipefail
build=${1:-build}
out=${2:-docs/main-window.png}
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
    '$build/quorvel' &
    app=\$!
    sleep 2
    import -window root '$out'
    kill \$app
"
echo "$out"
