#!/usr/bin/env bash
# Starts the program from the build folder given as $1.
#
# With QUORVEL_COM1 unset and no USB serial adapter plugged in, Com1 is a virtual PIC with its
# LCD (quorvel-picsim), so the whole path from canvas to display works without hardware. It
# stops when the program ends. Set QUORVEL_COM1 (for example to /dev/ttyUSB0 or /dev/ttyS0) to
# use a real line instead. The LCD window goes beside the main window (scripts/place-lcd.sh).
set -euo pipefail
build=${1:-build}
app="$build/quorvel"
sim="$build/sim/quorvel-picsim"

usb_adapter_present() {
    compgen -G '/dev/ttyUSB*' >/dev/null || compgen -G '/dev/ttyACM*' >/dev/null
}

if [ -n "${QUORVEL_COM1:-}" ] || usb_adapter_present || [ ! -x "$sim" ]; then
    exec "$app"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-run.XXXXXX")
sim_pid=""
stop_sim() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop_sim EXIT
trap 'exit 130' INT TERM

"$sim" --link "$work/com1" --png "$work/lcd.png" --busy-ms 2 >"$work/out" 2>"$work/sim.log" &
sim_pid=$!
device=""
for _ in $(seq 100); do
    device=$(head -n 1 "$work/out" 2>/dev/null || true)
    [ -n "$device" ] || ! kill -0 "$sim_pid" 2>/dev/null && break
    sleep 0.1
done
if [ -z "$device" ]; then
    echo "The virtual PIC did not start (see below); starting without it." >&2
    cat "$work/sim.log" >&2 || true
    "$app"
    exit $?
fi
echo "No serial adapter found: Com1 is the virtual PIC on $device."
echo "Set QUORVEL_COM1 to a device (for example /dev/ttyUSB0) to use real hardware."
QUORVEL_COM1="$device" "$app" &
app_pid=$!
"$(dirname "$0")/place-lcd.sh" "$app_pid" "$sim_pid" >/dev/null 2>&1 &
status=0
wait "$app_pid" || status=$?
exit "$status"
