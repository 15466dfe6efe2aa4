#!/usr/bin/env bash
# Builds a static Qt for one target from Debian's own qt6-base source, the same version as the host's Qt
# tools, once: the result is cached outside the checkout and reused while version and configuration stay.
# Called by windows.sh, web.sh, bench.sh, release.sh and scripts/web/release-zip.sh; calls qt_licences.py
# (web_qt_licences.py for the web) for the licence texts and qt_build_record.py for the record of what went in.
#
#   scripts/qt/static-qt.sh windows   64-bit Windows, with MinGW-w64 (needs VOSTREL_WINDOWS_PACKAGES)
#   scripts/qt/static-qt.sh web       WebAssembly, with Debian 13's emscripten and Qt 6.8, in a Debian 13
#                                     chroot (scripts/debian/in-chroot.sh; needs VOSTREL_WEB_PACKAGES)
#
# Prints the Qt prefix on standard output, and its progress on standard error. Every target takes the same
# route: the apt sources of the system it builds in, Debian's security patches, this project's build fixes
# for the target and Qt version (scripts/qt/patches/<target>-<version>/, else <target>/), only what the
# program uses, compiled for size.
set -euo pipefail
say() { echo "$@" >&2; }

root="$(cd "$(dirname "$0")/../.." && pwd)"
target="${1-}"

# Qt 6.8 draws widget windows on the page without WebGL, which many school computers lack; Debian 12 has
# Qt 6.4, Debian 13 has 6.8. The Qt for the web is built, and the program built against it, in Debian 13.
if [ "$target" = web ] && [ "${VOSTREL_CHROOT-}" != web-trixie ]; then
    exec "$root/scripts/debian/in-chroot.sh" web trixie "$root/scripts/qt/static-qt.sh" web
fi

host_version="$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)"
upstream_version="${host_version%%+*}"
upstream_version="${upstream_version#*:}"
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/vostrel"

# Left out on every target. Nothing the program shows reads or writes these, yet Qt's accessibility factory
# and the style refer to every widget that is compiled in: leaving them out of Qt is what keeps them out of
# the program. The main window stays: Qt 6.4's widgets library includes the tool bar's header whatever the
# configuration.
unused_widgets=(
    -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_style_stylesheet=OFF -DFEATURE_style_fusion=OFF -DFEATURE_graphicsview=OFF
    -DFEATURE_dockwidget=OFF -DFEATURE_mdiarea=OFF
    -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_textbrowser=OFF
    -DFEATURE_lcdnumber=OFF -DFEATURE_dial=OFF
    -DFEATURE_filedialog=OFF -DFEATURE_fontdialog=OFF -DFEATURE_colordialog=OFF -DFEATURE_errormessage=OFF
)

# Each target's configuration: its name in the cache, the features, the files besides them that shape what
# the cache holds (toolchain, licence collection), the arguments that select the toolchain, and the command
# that collects the licence texts of what the program links.
case "$target" in
windows)
    name="Windows"
    cache_name="mingw-static"
    triple=x86_64-w64-mingw32
    toolchain="$root/cmake/mingw-w64-x86_64.cmake"
    # Only what the program uses: Core, Gui, Widgets and Test, the Windows platform plugin and the Windows
    # style, with the third-party code Qt bundles so nothing but Windows' own DLLs is needed at run time.
    # Debian's source drops src/3rdparty/wintab, hence no tablet events; the DirectWrite font engine is
    # compiled only with direct2d, so that stays at its default.
    qt_features=(
        -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
        -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_tabletevent=OFF
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_jpeg=OFF
        -DFEATURE_style_windowsvista=OFF
        # Compiled for size: the program spends its time in Windows and in drawing, not in tight Qt loops.
        -DFEATURE_optimize_size=ON
        # The image-format plugins are linked in whole. The program's icon and pointer are compiled-in XPM
        # (and the icon a Windows resource too), and its text is drawn by Windows' own font engine, not
        # FreeType.
        -DFEATURE_mimetype_database=OFF -DFEATURE_freetype=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
        -DFEATURE_movie=OFF -DFEATURE_filesystemmodel=OFF
        "${unused_widgets[@]}"
    )
    key_files=("$toolchain" "$root/scripts/qt/qt_licences.py")
    toolchain_args=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
    licences=(python3 "$root/scripts/qt/qt_licences.py")
    record_command=(python3 "$root/scripts/qt/qt_build_record.py")
    collectors=()
    ;;
web)
    name="the web"
    cache_name="wasm-static"
    triple=wasm32-unknown-emscripten
    # Core, Gui, Widgets and Test with the web platform plugin, single-threaded (a page needs no special
    # headers to serve it). The web platform draws widget windows into a 2D canvas, but compiles its
    # backing store only with OpenGL, so OpenGL stays on; text is drawn through FreeType and HarfBuzz: the
    # fonts are those compiled into the program. Without `library` Qt never
    # tries dlopen (there is none on the web; Thai line breaking would try libthai through it and abort).
    qt_features=(
        -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF
        -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_tabletevent=OFF
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_jpeg=OFF
        -DFEATURE_thread=OFF -DFEATURE_library=OFF
        # Compiled for size: every byte is downloaded before the window shows.
        -DFEATURE_optimize_size=ON
        -DFEATURE_mimetype_database=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
        -DFEATURE_movie=OFF -DFEATURE_filesystemmodel=OFF
        "${unused_widgets[@]}"
    )
    # The licence texts and the record are collected from the source, not built: a change of the collector
    # collects them afresh without a build (see has_record below), so it is no part of the key.
    key_files=(/usr/share/emscripten/emscripten-version.txt)
    # Qt finds the toolchain file through EMSDK, in the emsdk-shaped folder made below.
    toolchain_args=(-DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten)
    licences=(python3 "$root/scripts/qt/web_qt68_licences.py" licences)
    record_command=(python3 "$root/scripts/qt/web_qt68_licences.py" record)
    collectors=("$root/scripts/qt/web_qt68_licences.py" "$root/scripts/qt/qt_licences.py")
    ;;
*)
    echo "usage: $0 windows|web" >&2
    exit 2
    ;;
esac
# Build fixes made for one Qt version are kept apart from those of another.
qt_minor="$(echo "$upstream_version" | cut -d. -f1,2)"
patch_dir="$root/scripts/qt/patches/$target"
[ -d "$patch_dir-$qt_minor" ] && patch_dir="$patch_dir-$qt_minor"
own_patches=("$patch_dir"/*.patch)

# The cache key covers the Qt version and everything that shapes what the cache holds: the configuration,
# the toolchain, the build fixes and the licence collection.
config_hash="$( (printf '%s\n' "${qt_features[@]}" && cat "${key_files[0]}" "${own_patches[@]}" "${key_files[@]:1}") |
    sha256sum | cut -c1-12)"
prefix="$cache_root/qt-$host_version-$cache_name-$config_hash"

if [ "$target" = web ]; then
    # Debian's emscripten is laid out as a Linux package, while Qt's CMake reads the compiler's version
    # through an emsdk folder ($EMSDK/.emscripten naming the compiler's folder inside it), when Qt is
    # configured and again when a program is. A small folder of that shape inside the Qt's prefix stands in;
    # the toolchain file then finds the compiler through EMSCRIPTEN. Debian's emscripten runs its tools with
    # `node` and Debian's node modules, and its compiler drivers with Debian's Python (a thousand starts),
    # whatever else comes first on PATH.
    emsdk="$prefix/emsdk"
    platform=cmake/Modules/Platform
    mkdir -p "$emsdk/upstream/emscripten/$platform"
    ln -sfn /usr/bin/emcc "$emsdk/upstream/emscripten/emcc"
    ln -sfn "/usr/share/emscripten/$platform/Emscripten.cmake" "$emsdk/upstream/emscripten/$platform/Emscripten.cmake"
    echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" >"$emsdk/.emscripten"
    # Emscripten's runtime is linked into the program: its version and copyright, for the site's licences
    # and the bill of materials, which are made outside the chroot.
    dpkg-query -W -f='${Version}\n' emscripten >"$emsdk/emscripten.version"
    cp /usr/share/doc/emscripten/copyright "$emsdk/emscripten.copyright"
    export EMSDK="$emsdk" EMSCRIPTEN=/usr/share/emscripten NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3
fi

# The record of what went into the Qt (scripts/qt/qt_build_record.py) is no part of the key: a cached Qt without
# one, or with one made by another version of that script, gets it from its source again, without a build.
record_script="$root/scripts/qt/qt_build_record.py"
# On the web the licence texts are collected again with the record, and the record names their collector.
has_record() {
    local script
    for script in "$record_script" "${collectors[@]}"; do
        grep -qs "$(sha256sum "$script" | cut -c1-64)" "$prefix/vostrel-qt-record.json" || return 1
    done
}
if [ -f "$prefix/.complete" ] && has_record; then
    say "Static Qt $host_version for $name is cached in $prefix"
    echo "$prefix"
    exit 0
fi

work="$cache_root/work-$host_version-$config_hash"
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/download"

# A private sources list and apt state, so the system's apt configuration stays untouched. The deb-src
# lines are the machine's own apt sources that offer the host's Qt (its mirror, suites and keyring), so
# no archive address lives in this project. apt checks the downloaded Sources index against the signed
# Release file with that keyring, and the source files against the checksums in that index.
python3 "$root/scripts/debian/apt_deb_src.py" qt6-base-dev-tools >"$work/apt/qt.sources"
apt_private=(
    -o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$work/apt"
    -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
    -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache="
)
say "Fetching Debian's qt6-base $host_version source"
apt-get "${apt_private[@]}" -qq update >&2
(cd "$work/download" && apt-get "${apt_private[@]}" source --download-only "qt6-base=$host_version") >&2

# Upstream's tree with only Debian's security fixes on top, in the order of Debian's series.
dsc="$(ls "$work/download"/qt6-base_*.dsc)"
# dpkg-source checks the files against the .dsc; its own signature check needs debian-keyring and only warns.
dpkg-source --skip-patches -x "$dsc" "$work/src" >/dev/null
# Debian 13 names the security fixes it takes from upstream upstream_cve-*; its fix of CVE-2025-5992 in Qt
# 6.8.2 applies only on top of the upstream fix before it in the series, which goes in too.
mapfile -t debian_patches < <(cut -d' ' -f1 "$work/src/debian/patches/series" | while read -r name; do
    case "$name" in
    cve-* | upstream_cve-* | upstream_QColorTransferGeneric_fix_BT2100PQEOTF.patch) echo "$name" ;;
    esac
done)
debian_patches=("${debian_patches[@]/#/$work/src/debian/patches/}")
for patch in "${debian_patches[@]}"; do
    say "Applying Debian's $(basename "$patch")"
    patch -d "$work/src" -p1 --batch --quiet <"$patch"
done
# Then this project's build fixes for the configuration above.
for patch in "${own_patches[@]}"; do
    say "Applying $(basename "$patch")"
    patch -d "$work/src" -p1 --batch --quiet <"$patch"
done

write_record() {
    "${record_command[@]}" "$work/src" "$prefix" --target "$triple" \
        --debian-patch "${debian_patches[@]}" --own-patch "${own_patches[@]}"
}
if [ -f "$prefix/.complete" ]; then
    if [ ${#collectors[@]} -gt 0 ]; then
        rm -rf "$prefix/licences"
        "${licences[@]}" "$work/src" "$prefix/licences"
    fi
    say "Recorded what went into the cached Qt in $prefix"
    write_record
    rm -rf "$work"
    echo "$prefix"
    exit 0
fi

say "Configuring static Qt $upstream_version for $name (the log is $work/configure.log)"
cmake -S "$work/src" -B "$work/build" -G Ninja "${toolchain_args[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${qt_features[@]}" >"$work/configure.log"
say "Building static Qt (about 1,000 steps; the log is $work/build.log)"
start=$SECONDS
cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log"
cmake --install "$work/build" >"$work/install.log"
say "Built static Qt in $(((SECONDS - start) / 60)) min"

# The licence texts of what the program links from Qt, for the program's zip or site.
"${licences[@]}" "$work/src" "$prefix/licences"
write_record
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
