#!/usr/bin/env bash
# Packs the Windows program built in BUILD (the windows preset's build tree) into OUT: the zip of
# Vostrel.exe, a short README and the licence texts of everything in the program, and the Windows
# Installer package of the program and the licence texts. VOSTREL_WINDOWS_QT names
# the static Qt it was built with (its licence texts go in too).
# Called by windows.sh, bench.sh, release.sh and scripts/release/sign.sh.
#
# The same build gives the same zip and package, byte for byte, whatever the umask, time zone or locale: every file
# takes the release time (SOURCE_DATE_EPOCH, else the last commit's time) and a fixed mode, and the files
# go in sorted by name.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD OUT" >&2; exit 2; }
build="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
root="$(cd "$(dirname "$0")/../.." && pwd)"
: "${VOSTREL_WINDOWS_QT:?names the static Qt the program was built with}"
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
stage="$build/dist"
rm -rf "$stage"
mkdir -p "$stage/licences"
cp "$build/app/Vostrel.exe" "$stage/"
# Byte-order mark and CR LF line ends, so that every Notepad shows the Thai text.
{ printf '\xef\xbb\xbf' && sed 's/$/\r/' "$root/resources/windows/README.txt"; } >"$stage/README.txt"
cp "$root/LICENSE" "$stage/licences/Vostrel-LICENSE.txt"
cp -r "$VOSTREL_WINDOWS_QT/licences" "$stage/licences/Qt"
cp "$root/resources/fonts/NorasiUPC-COPYING.txt" "$stage/licences/NorasiUPC-COPYING.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/MinGW-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/GCC-runtime.txt"

find "$stage" -type d -exec chmod 0755 {} + -o -type f -exec chmod 0644 {} +
chmod 0755 "$stage/Vostrel.exe"
find "$stage" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +

zip_file="$out/Vostrel-$version-windows-x64.zip"
rm -f "$zip_file"
# zip stores local times: in UTC they are the release time wherever the build runs. -X leaves out the
# owner and the extra time fields, -D the folder entries; -9 packs tightest (the download is what counts).
(cd "$stage" && find . -type f | LC_ALL=C sort | TZ=UTC zip -q -9 -X -D "$zip_file" -@)
echo "Made $zip_file ($(du -k "$zip_file" | cut -f1) KiB; Vostrel.exe $(du -k "$stage/Vostrel.exe" | cut -f1) KiB)"
"$root/scripts/windows/msi.sh" "$version" "$stage" "$build/resources/pictures/trefoil.ico" \
    "$out/Vostrel-$version-windows-x64.msi"
