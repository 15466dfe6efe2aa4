#!/usr/bin/env bash
# Runs a command on a fresh virtual X screen (1280 x 1024, 96 dpi) with the openbox window manager.
set -euo pipefail
if [ -z "${VOSTREL_INSIDE_XVFB:-}" ]; then
    export VOSTREL_INSIDE_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp" "$0" "$@"
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true' EXIT
for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
"$@"
