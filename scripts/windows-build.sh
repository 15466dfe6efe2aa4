#!/usr/bin/env bash
# Builds the windows preset into build-windows/ against the static Qt that VOSTREL_WINDOWS_QT names (what
# 'scripts/static-qt.sh windows' prints): the preset's targets, or the targets given as arguments.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
: "${VOSTREL_WINDOWS_QT:?names the static Qt to build with ('scripts/static-qt.sh windows' prints it)}"
cd "$root"

# A build tree made against another Qt (an older cache entry) is made afresh.
toolchain="$VOSTREL_WINDOWS_QT/lib/cmake/Qt6/qt.toolchain.cmake"
if [ ! -f build-windows/build.ninja ] ||
    ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" build-windows/CMakeCache.txt; then
    rm -rf build-windows
    cmake --preset windows >/dev/null
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build --preset windows "${targets[@]}"
