#!/usr/bin/env bash
# Runs a command in a Wine session of its own on the current X screen, then ends what Wine still runs in
# WINEPREFIX, so that nothing of it outlives the X screen it was started on. A session still alive from
# before (the prefix just made, or a console test run without a screen) would keep its desktop without a
# display, and Wine would then find no graphics driver for the program's window.
set -uo pipefail
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
"$@"
status=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit "$status"
