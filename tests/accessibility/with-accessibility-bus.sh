#!/usr/bin/env bash
# Runs a command as it runs under a screen reader: on a private D-Bus session bus, with at-spi2-core's
# accessibility bus up and Qt's accessibility bridge switched on.
set -euo pipefail
if [ -z "${VOSTREL_INSIDE_DBUS:-}" ]; then
    export VOSTREL_INSIDE_DBUS=1
    exec dbus-run-session -- "$0" "$@"
fi
# Asking for its address starts the accessibility bus (at-spi-bus-launcher) before the program, so Qt
# finds it as it starts; Qt's first call to the registry then starts at-spi2-registryd on that bus.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"
