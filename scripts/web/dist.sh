#!/usr/bin/env bash
# Makes the static site of the web program built in BUILD (the web preset's build tree) in SITE: the page,
# the program's .js and .wasm, Qt's loader, the web app manifest and icons, the service worker that keeps
# the site for offline use, the licence texts of everything in the program, and brotli and gzip copies of
# the page, the program and the scripts for servers to send to browsers that take them. VOSTREL_WEB_QT names the
# static Qt it was built with (its loader and licence texts go in too).
# Called by web.sh, bench.sh and scripts/web/release-zip.sh.
#
# The same build gives the same files, byte for byte: every file takes the release time (SOURCE_DATE_EPOCH,
# else the last commit's time) and a fixed mode.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD SITE" >&2; exit 2; }
build="$(cd "$1" && pwd)"
site="$2"
root="$(cd "$(dirname "$0")/../.." && pwd)"
: "${VOSTREL_WEB_QT:?names the static Qt the program was built with}"
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH

rm -rf "$site"
mkdir -p "$site/licences"
web="$root/resources/web"
cp "$web/index.html" "$web/page.js" "$web/manifest.webmanifest" "$site/"
cp "$build/app/vostrel.js" "$build/app/vostrel.wasm" "$VOSTREL_WEB_QT/plugins/platforms/qtloader.js" "$site/"
cp "$build/resources/pictures/trefoil.ico" "$build/resources/pictures/trefoil-192.png" \
    "$build/resources/pictures/trefoil-512.png" "$site/"

cp "$root/LICENSE" "$site/licences/Vostrel-LICENSE.txt"
cp "$root/resources/fonts/NorasiUPC-COPYING.txt" "$site/licences/NorasiUPC-COPYING.txt"
cp -r "$VOSTREL_WEB_QT/licences" "$site/licences/Qt"
# Emscripten links its C and C++ libraries (musl, libc++, dlmalloc, compiler-rt) and its JavaScript runtime in;
# its copyright is the one of the emscripten that built the Qt (scripts/qt/static-qt.sh keeps it there).
cp "$VOSTREL_WEB_QT/emsdk/emscripten.copyright" "$site/licences/Emscripten-runtime.txt"
python3 "$root/scripts/web/site_files.py" "$site" "$web/sw.js"

# Each file of a visit that compresses, also compressed at the best settings, beside it as FILE.br and
# FILE.gz: a server sends a copy as it is (serve.py, nginx's gzip_static and brotli_static, the Apache
# rules in resources/web/) rather than compressing at each request, and at lower settings. gzip without
# the file's name and time, so that the copies are the same for the same files. The pictures are
# compressed already; the licence texts are read seldom, one at a time, and are left to the server.
for name in index.html page.js qtloader.js vostrel.js vostrel.wasm sw.js manifest.webmanifest; do
    gzip --no-name -9 --keep "$site/$name"
    brotli --quality=11 --force "$site/$name"
done

find "$site" -type d -exec chmod 0755 {} + -o -type f -exec chmod 0644 {} +
find "$site" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +
echo "Made $site (vostrel.wasm $(du -k "$site/vostrel.wasm" | cut -f1) KiB)"
