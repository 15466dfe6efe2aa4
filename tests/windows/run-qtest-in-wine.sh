#!/usr/bin/env bash
# Runs a Qt Test executable for Windows under Wine (WINEPREFIX names the prefix). Under Wine the test's
# plain-text report to a pipe comes out empty, so it is written to a file and shown from there.
set -uo pipefail
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
WINEDEBUG=-all wine "$@" -o "$report,txt"
status=$?
tr -d '\r' <"$report"
# Nothing of Wine outlives the X screen the test may have been given.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit "$status"
