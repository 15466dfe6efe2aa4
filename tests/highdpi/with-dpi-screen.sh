#!/usr/bin/env bash
# Runs a command on a fresh virtual X screen (2560 x 2048) of the given dots per inch, with Xft.dpi set to
# match, as a desktop set to that scale announces it: with-dpi-screen.sh 192 command...
set -euo pipefail
dpi=$1
shift
if [ -z "${VOSTREL_INSIDE_XVFB:-}" ]; then
    export VOSTREL_INSIDE_XVFB=1
    exec xvfb-run -a -s "-screen 0 2560x2048x24 -dpi $dpi -nolisten tcp -noreset" "$0" "$dpi" "$@"
fi
# -noreset above keeps this root window property once xprop has gone.
xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi
"
"$@"
