#!/usr/bin/env bash
# Runs a command, then ends what Wine still runs in WINEPREFIX, so that nothing of it outlives the X screen
# it was started on.
set -uo pipefail
"$@"
status=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit "$status"
