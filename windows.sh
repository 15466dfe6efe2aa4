#!/usr/bin/env bash
# Installs what is missing, builds Vostrel.exe for 64-bit Windows against a static Qt made from Debian's own
# qt6-base source (built once, then taken from ~/.cache/vostrel/), packs dist/Vostrel-<version>-windows-x64.zip
# and runs the program's tests under Wine on a virtual X screen.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages "${VOSTREL_BUILD_PACKAGES[@]}" "${VOSTREL_TEST_PACKAGES[@]}" "${VOSTREL_WINDOWS_PACKAGES[@]}"
cd "$root"
VOSTREL_WINDOWS_QT="$(scripts/windows-qt.sh)"
export VOSTREL_WINDOWS_QT

# A build tree made against another Qt (an older cache entry) is made afresh.
toolchain="$VOSTREL_WINDOWS_QT/lib/cmake/Qt6/qt.toolchain.cmake"
if [ ! -f build-windows/build.ninja ] ||
    ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" build-windows/CMakeCache.txt; then
    rm -rf build-windows
    cmake --preset windows >/dev/null
fi
cmake --build --preset windows

# One folder for the zip: the program (linked without symbols), a short README, and the licence texts
# of everything in the program: Vostrel itself, Qt and the code it bundles, the window font, the compiler's runtime.
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)"
stage="build-windows/dist"
rm -rf "$stage"
mkdir -p "$stage/licences" dist
cp build-windows/app/Vostrel.exe "$stage/"
# Byte-order mark and CR LF line ends, so that every Notepad shows the Thai text.
{ printf '\xef\xbb\xbf' && sed 's/$/\r/' resources/windows/README.txt; } >"$stage/README.txt"
cp LICENSE "$stage/licences/Vostrel-LICENSE.txt"
cp -r "$VOSTREL_WINDOWS_QT/licences" "$stage/licences/Qt"
cp resources/fonts/NorasiUPC-COPYING.txt "$stage/licences/NorasiUPC-COPYING.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/MinGW-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/GCC-runtime.txt"
zip_file="$root/dist/Vostrel-$version-windows-x64.zip"
rm -f "$zip_file"
(cd "$stage" && zip -q -X -r "$zip_file" .)
echo "Made dist/$(basename "$zip_file") ($(du -k "$zip_file" | cut -f1) KiB; Vostrel.exe $(du -k "$stage/Vostrel.exe" | cut -f1) KiB)"
scripts/windows-msi.sh "$version" "$stage" build-windows/resources/pictures/trefoil.ico "dist/Vostrel-$version-windows-x64.msi"

ctest --preset windows
