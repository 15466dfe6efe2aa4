#!/usr/bin/env bash
# Builds the web site of the checkout this script is in and packs it into OUT/Vostrel-<version>-web.zip, for
# release.sh: the site's files with the release time (SOURCE_DATE_EPOCH) and fixed modes, sorted by name,
# so that the same commit gives the same zip. Installs what is missing; the static Qt for the web is built
# once and cached (scripts/qt/static-qt.sh).
# Called by release.sh.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 OUT" >&2; exit 2; }
root="$(cd "$(dirname "$0")/../.." && pwd)"
mkdir -p "$1"
out="$(cd "$1" && pwd)"
source "$root/scripts/deps.sh"
ensure_packages $(command_packages web) zip >&2
cd "$root"

VOSTREL_WEB_QT="$(scripts/qt/static-qt.sh web)"
export VOSTREL_WEB_QT
cmake --preset web -DVOSTREL_BENCHMARKS=OFF >/dev/null
cmake --build --preset web >/dev/null
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-web/CMakeCache.txt)"
scripts/web/dist.sh build-web build-web/site

zip_file="$out/Vostrel-$version-web.zip"
rm -f "$zip_file"
# zip stores local times: in UTC they are the release time wherever the build runs. -X leaves out the
# owner and the extra time fields; the site's folder is the zip's one top folder.
(cd build-web && find site -type f | LC_ALL=C sort | TZ=UTC zip -q -9 -X -D "$zip_file" -@)
echo "Made $zip_file ($(du -k "$zip_file" | cut -f1) KiB)"
