#!/usr/bin/env bash
# Installs what is missing, builds Vostrel.exe for 64-bit Windows against a static Qt made from Debian's own
# qt6-base source (built once, then taken from ~/.cache/vostrel/), packs dist/Vostrel-<version>-windows-x64.zip
# and runs the program's tests under Wine on a virtual X screen.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages $(command_packages windows)
cd "$root"
VOSTREL_WINDOWS_QT="$(scripts/qt/static-qt.sh windows)"
export VOSTREL_WINDOWS_QT

scripts/qt/cross-build.sh windows

scripts/windows/dist.sh build-windows dist

ctest --preset windows
