#!/usr/bin/env bash
# Builds the windows or web preset into build-windows/ or build-web/ against the static Qt that
# VOSTREL_WINDOWS_QT or VOSTREL_WEB_QT names (what 'scripts/qt/static-qt.sh windows|web' prints): the preset's
# targets, or the targets given after the preset.
# Called by windows.sh, web.sh, bench.sh and release.sh --reuse-builds.
#
#   scripts/qt/cross-build.sh windows|web [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
preset="${1-}"
case "$preset" in
windows) qt="${VOSTREL_WINDOWS_QT:?names the static Qt to build with ('scripts/qt/static-qt.sh windows' prints it)}" ;;
web) qt="${VOSTREL_WEB_QT:?names the static Qt to build with ('scripts/qt/static-qt.sh web' prints it)}" ;;
*)
    echo "usage: $0 windows|web [TARGET...]" >&2
    exit 2
    ;;
esac
shift
cd "$root"
# The program for the web is built where its Qt was, in Debian 13 (scripts/qt/static-qt.sh says why).
if [ "$preset" = web ] && [ "${VOSTREL_CHROOT-}" != web-trixie ]; then
    exec scripts/debian/in-chroot.sh web trixie scripts/qt/cross-build.sh web "$@"
fi
# The release time, as ./release.sh gives it, wherever no other is set: Qt's resource compiler stores it as
# every resource's time, so that the program built and tested here is byte for byte the one released.
if [ -z "${SOURCE_DATE_EPOCH-}" ]; then
    SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l debian/changelog -S Timestamp)"
    export SOURCE_DATE_EPOCH
fi

# A build tree made against another Qt (an older cache entry) is made afresh.
toolchain="$qt/lib/cmake/Qt6/qt.toolchain.cmake"
if [ ! -f "build-$preset/build.ninja" ] ||
    ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "build-$preset/CMakeCache.txt"; then
    rm -rf "build-$preset"
    cmake --preset "$preset" >/dev/null
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build --preset "$preset" "${targets[@]}"
