#!/usr/bin/env bash
# Runs a command on a virtual X screen of its own (1280 x 1024, 96 dpi unless VOSTREL_SCREEN_SIZE and
# VOSTREL_SCREEN_DPI say otherwise) with the openbox window manager. Xvfb picks a free display itself
# (-displayfd), so screens started at the same time by other tests cannot take each other's display number.
set -euo pipefail
dpi="${VOSTREL_SCREEN_DPI:-96}"
size="${VOSTREL_SCREEN_SIZE:-1280x1024}"
work="$(mktemp -d)"
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi "$dpi" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
server=$!
wm=
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    kill "$server" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
read -r -t 30 number <"$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
unset WAYLAND_DISPLAY

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
"$@"
