#!/usr/bin/env bash
# Builds the web preset into build-web/ against the static Qt for the web that VOSTREL_WEB_QT names (what
# 'scripts/static-qt.sh web' prints): the program and its pictures, or the targets given as arguments.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
: "${VOSTREL_WEB_QT:?names the static Qt to build with ('scripts/static-qt.sh web' prints it)}"
cd "$root"

# A build tree made against another Qt (an older cache entry) is made afresh.
toolchain="$VOSTREL_WEB_QT/lib/cmake/Qt6/qt.toolchain.cmake"
if [ ! -f build-web/build.ninja ] ||
    ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" build-web/CMakeCache.txt; then
    rm -rf build-web
    cmake --preset web >/dev/null
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build --preset web "${targets[@]}"
