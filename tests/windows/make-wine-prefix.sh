#!/usr/bin/env bash
# Makes a fresh 64-bit Wine prefix in the given folder, set up as the program meets Windows 10 or 11:
# Windows 10 reported (a new prefix says Windows 7), and Wine's own fonts (Tahoma, MS Sans Serif...) in
# C:\windows\Fonts, where Windows has its fonts; Wine does not look for Debian's fonts-wine by itself.
set -euo pipefail
prefix="$1"
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
# No download prompts for Wine's .NET and HTML engines, which nothing here uses.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot --init >/dev/null 2>&1
wine winecfg -v win10 >/dev/null 2>&1
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
wineserver --wait
reported="$(wine cmd /c ver 2>/dev/null | tr -d '\r')"
grep -q "Windows 10\.0\." <<<"$reported" || { echo "the Wine prefix reports '$reported', not Windows 10" >&2; exit 1; }
