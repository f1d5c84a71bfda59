#!/usr/bin/env bash
# Puts the virtual PIC's LCD window beside the program's main window, to its right when the
# screen has room and below it otherwise, and brings it to the front once. Waits up to
# $3 seconds (default 20) for both windows. Needs X11 and xdotool; without them it does nothing.
# Usage: scripts/place-lcd.sh PROGRAM_PID SIM_PID [SECONDS]
set -uo pipefail
app_pid=$1
sim_pid=$2
seconds=${3:-20}
command -v xdotool >/dev/null 2>&1 && [ -n "${DISPLAY:-}" ] || exit 0

first_window() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n 1; }
main="" lcd=""
for _ in $(seq $((seconds * 10))); do
    main=$(first_window "$app_pid")
    lcd=$(first_window "$sim_pid")
    [ -n "$main" ] && [ -n "$lcd" ] && break
    kill -0 "$app_pid" 2>/dev/null || exit 0
    sleep 0.1
done
[ -n "$main" ] && [ -n "$lcd" ] || exit 0
sleep 0.3 # let the window manager finish placing the main window

# Frame sizes: what the window manager adds around a window (title bar, borders), if it says.
frame() { # window -> "left right top bottom"
    local extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ',')
    echo "${extents:-0 0 0 0}"
}
geometry() { # window -> X Y WIDTH HEIGHT of its inside
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y $WIDTH $HEIGHT"
}
read -r mx my mw mh < <(geometry "$main")
read -r lx ly lw lh < <(geometry "$lcd")
read -r ml mr mt mb < <(frame "$main")
read -r ll lr lt lb < <(frame "$lcd")
read -r sw sh < <(xdotool getdisplaygeometry)
gap=4
# Outer edges of the main window, and the LCD window's outer size.
left=$((mx - ml))
top=$((my - mt))
right=$((mx + mw + mr))
bottom=$((my + mh + mb))
outer_w=$((ll + lw + lr))
outer_h=$((lt + lh + lb))
# Where the LCD window's outer top left goes: right of the main window, else below it, else
# left of it or above it. On a screen too small for any, the one that covers least of the main
# window, pushed on screen.
fits() { [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ $(($1 + outer_w)) -le "$sw" ] && [ $(($2 + outer_h)) -le "$sh" ]; }
covered() { # x y -> area of the main window under the LCD window
    local w=$(($1 + outer_w < right ? $1 + outer_w : right)) h=$(($2 + outer_h < bottom ? $2 + outer_h : bottom))
    w=$((w - ($1 > left ? $1 : left))) h=$((h - ($2 > top ? $2 : top)))
    [ "$w" -gt 0 ] && [ "$h" -gt 0 ] && echo $((w * h)) || echo 0
}
candidates="$((right + gap)) $top  $left $((bottom + gap))  $((left - gap - outer_w)) $top  $left $((top - gap - outer_h))"
x="" y="" best=""
set -- $candidates
while [ $# -ge 2 ]; do
    cx=$1 cy=$2
    shift 2
    if fits "$cx" "$cy"; then x=$cx y=$cy; break; fi
    # Pushed on screen, and how much of the main window it would cover there.
    cx=$((cx + outer_w > sw ? sw - outer_w : cx)) cy=$((cy + outer_h > sh ? sh - outer_h : cy))
    cx=$((cx < 0 ? 0 : cx)) cy=$((cy < 0 ? 0 : cy))
    area=$(covered "$cx" "$cy")
    if [ -z "$best" ] || [ "$area" -lt "$best" ]; then best=$area bx=$cx by=$cy; fi
done
[ -n "$x" ] || { x=$bx y=$by; }
# xdotool moves a managed window by its outer top left (the window manager's frame).
xdotool windowmove "$lcd" "$x" "$y" 2>/dev/null
xdotool windowactivate "$lcd" 2>/dev/null || xdotool windowraise "$lcd" 2>/dev/null
exit 0
