#!/usr/bin/env bash
# Packs the web site into OUT/Vostrel-<version>-web.zip, for release.sh: the site's files with the release
# time (SOURCE_DATE_EPOCH) and fixed modes, sorted by name, so that the same commit gives the same zip. With
# BUILD, the site of the web program built in that build tree (the one ./web.sh built and tested); without,
# the program is built first in the checkout this script is in. Installs what is missing; the static Qt for
# the web is built once and cached (scripts/qt/static-qt.sh).
# Called by release.sh.
#
#   scripts/web/release-zip.sh OUT [BUILD]
set -euo pipefail
[ $# -eq 1 ] || [ $# -eq 2 ] || { echo "usage: $0 OUT [BUILD]" >&2; exit 2; }
root="$(cd "$(dirname "$0")/../.." && pwd)"
mkdir -p "$1"
out="$(cd "$1" && pwd)"
source "$root/scripts/deps.sh"
ensure_packages $(command_packages web) zip >&2
cd "$root"

VOSTREL_WEB_QT="$(scripts/qt/static-qt.sh web)"
export VOSTREL_WEB_QT
if [ $# -eq 2 ]; then
    build="$(cd "$2" && pwd)"
else
    # In the Debian 13 chroot that the Qt was built in, as scripts/qt/cross-build.sh builds.
    scripts/debian/in-chroot.sh web trixie sh -c \
        'cmake --preset web -DVOSTREL_BENCHMARKS=OFF >/dev/null && cmake --build --preset web >/dev/null'
    build="$root/build-web"
fi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
scripts/web/dist.sh "$build" "$stage/site"

zip_file="$out/Vostrel-$version-web.zip"
rm -f "$zip_file"
# zip stores local times: in UTC they are the release time wherever the build runs. -X leaves out the
# owner and the extra time fields; the site's folder is the zip's one top folder.
(cd "$stage" && find site -type f | LC_ALL=C sort | TZ=UTC zip -q -9 -X -D "$zip_file" -@)
echo "Made $zip_file ($(du -k "$zip_file" | cut -f1) KiB)"
