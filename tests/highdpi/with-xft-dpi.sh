#!/usr/bin/env bash
# Runs a command with the X screen's dots per inch (VOSTREL_SCREEN_DPI, as with-desktop.sh made the
# screen) announced to programs as Xft.dpi, as a desktop set to that scale does. The window manager
# keeps the server from resetting, so the setting lasts after xprop has gone.
set -euo pipefail
xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	${VOSTREL_SCREEN_DPI:?}
"
"$@"
