#!/usr/bin/env bash
# Installs what is missing and builds the release artefacts of the last commit into dist/: the Debian
# source and binary packages, the Windows zip and installer, the web site's zip, a CycloneDX bill of
# materials for each program, and SHA256SUMS over them.
#
#   ./release.sh            build once
#   ./release.sh --verify   build twice, in two folders of different path lengths, with another umask, time
#                           zone and locale, and fail naming the first artefact that differs; then sign the
#                           Windows build with throwaway keys and test that (tests/release/test_signing.sh)
#   ./release.sh --sign     sign the program, the installer and SHA256SUMS with the keys that
#                           scripts/release/sign.sh names (checked before anything is built)
#   ./release.sh --verify --reuse-builds
#                           as --verify, but the first build takes the Windows program and the web program
#                           that ./windows.sh and ./web.sh built and tested in this checkout (brought up to
#                           date), when the checkout is exactly the last commit; the second build makes
#                           everything afresh, so the comparison covers them too (CI)
#   --later-debian RELEASE  (repeatable) the later Debian releases the source package is built and tested in
#                           besides Debian 12, instead of Debian 13 and unstable (CI: trixie alone)
#
# Only what is committed goes in: every build starts from a fresh clone of HEAD in a temporary folder, never
# from the working files. Every time stamp in every artefact is the release time, that of debian/changelog's
# newest entry (SOURCE_DATE_EPOCH), which dpkg-buildpackage gives the Debian packages.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

verify=false sign=false reuse=false later_debian=()
while [ $# -gt 0 ]; do
    case "$1" in
    --verify) verify=true ;;
    --sign) sign=true ;;
    --reuse-builds) reuse=true ;;
    --later-debian)
        [ $# -ge 2 ] || { echo "$0: --later-debian names a release" >&2; exit 2; }
        later_debian+=(--release "$2")
        shift
        ;;
    *)
        echo "usage: $0 [--verify [--reuse-builds]] [--sign] [--later-debian RELEASE]..." >&2
        exit 2
        ;;
    esac
    shift
done

if $verify; then
    ensure_packages $(command_packages release-verify)
else
    ensure_packages $(command_packages release)
fi
$sign && { "$root/scripts/release/sign.sh" check || exit 1; }

cd "$root"
commit="$(git rev-parse HEAD)"
SOURCE_DATE_EPOCH="$(git show "$commit:debian/changelog" | dpkg-parsechangelog -l- -S Timestamp)"
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "Note: the working tree has uncommitted changes; the release is built from commit ${commit:0:12} without them." >&2
fi
if $reuse && { ! $verify || [ -n "$(git status --porcelain)" ]; }; then
    echo "Note: --reuse-builds takes the checkout's builds only with --verify and a checkout that is exactly commit ${commit:0:12}; building afresh." >&2
    reuse=false
fi
first_build=()
$reuse && first_build=(--reuse-builds)

# One build of every artefact from a clean clone of the commit, in folder $1; the artefacts end up in $1/out.
# With $2 = --build-only the Debian packages are built but not checked again (lintian, autopkgtest); with
# $2 = --reuse-builds the Windows and web programs are those of the checkout, brought up to date.
build_release() {
    local dir="$1" src="$1/vostrel" windows_build="$1/vostrel/build-windows"
    git clone --quiet --no-checkout "$root" "$src"
    git -C "$src" -c advice.detachedHead=false checkout --quiet "$commit"
    mkdir -p "$dir/out"
    cd "$src"

    echo "Building the Debian packages in $dir" >&2
    local debian_options=("${later_debian[@]}")
    [ "${2-}" = --build-only ] && debian_options+=(--build-only)
    scripts/debian/build.sh "${debian_options[@]}" "$dir/debian" "$dir/out"

    echo "Building the Windows program in $dir" >&2
    VOSTREL_WINDOWS_QT="$(scripts/qt/static-qt.sh windows 2>>"$dir/windows-qt.log")"
    VOSTREL_WEB_QT="$(scripts/qt/static-qt.sh web 2>>"$dir/web.log")"
    export VOSTREL_WINDOWS_QT VOSTREL_WEB_QT
    if [ "${2-}" = --reuse-builds ]; then
        windows_build="$root/build-windows"
        (cd "$root" && scripts/qt/cross-build.sh windows vostrel) >"$dir/windows-build.log"
    else
        cmake --preset windows -DBUILD_TESTING=OFF -DVOSTREL_BENCHMARKS=OFF >"$dir/windows-configure.log"
        cmake --build build-windows --parallel "$(nproc)" --target vostrel >"$dir/windows-build.log"
    fi
    if $sign; then
        scripts/release/sign.sh windows "$windows_build" "$dir/out" >&2
    else
        scripts/windows/dist.sh "$windows_build" "$dir/out" >&2
    fi

    echo "Building the web site in $dir" >&2
    if [ "${2-}" = --reuse-builds ]; then
        (cd "$root" && scripts/qt/cross-build.sh web) >>"$dir/web.log"
        scripts/web/release-zip.sh "$dir/out" "$root/build-web" 2>>"$dir/web.log" >&2
    else
        scripts/web/release-zip.sh "$dir/out" 2>>"$dir/web.log" >&2
    fi

    # A bill of materials for each artefact, from what its build used.
    /usr/bin/python3 scripts/release/sbom.py make --qt-record windows="$VOSTREL_WINDOWS_QT/vostrel-qt-record.json" \
        --qt-record web="$VOSTREL_WEB_QT/vostrel-qt-record.json" "$dir"/out/*.deb "$dir"/out/*.zip "$dir"/out/*.msi >&2
    cd "$root"
}

# Names the first artefact that differs between the two builds, with diffoscope's account of it.
compare_builds() {
    local first="$1/out" second="$2/out" name
    if [ "$(cd "$first" && ls)" != "$(cd "$second" && ls)" ]; then
        echo "FAIL: the two builds made different artefacts: $(ls "$first") / $(ls "$second")" >&2
        return 1
    fi
    for name in $(cd "$first" && ls); do
        if ! cmp -s "$first/$name" "$second/$name"; then
            echo "FAIL: $name differs between the two builds ($first and $second are kept)" >&2
            diffoscope --no-progress "$first/$name" "$second/$name" | head -n 200 >&2 || true
            return 1
        fi
        echo "identical in both builds: $name" >&2
    done
}

work="$(mktemp -d "${TMPDIR:-/tmp}/vostrel-release.XXXXXX")"
keep=false
trap '$keep || rm -rf "$work"' EXIT
if $verify; then
    # The second build differs from the first in every way a build machine may: a longer folder, a strict
    # umask, another time zone and another locale.
    mkdir -p "$work/a" "$work/second-build-in-a-longer-folder"
    (
        umask 022
        export TZ=UTC LANG=C.UTF-8
        build_release "$work/a" "${first_build[@]}"
    )
    (
        umask 077
        export TZ=Asia/Bangkok LANG=th_TH.UTF-8
        build_release "$work/second-build-in-a-longer-folder" --build-only
    )
    compare_builds "$work/a" "$work/second-build-in-a-longer-folder" || {
        keep=true
        exit 1
    }
else
    mkdir -p "$work/a"
    build_release "$work/a"
fi

mkdir -p dist
rm -f dist/SHA256SUMS.asc
artefacts=()
for file in "$work"/a/out/*; do
    cp "$file" dist/
    artefacts+=("$(basename "$file")")
done
(cd dist && sha256sum "${artefacts[@]}" >SHA256SUMS && sha256sum --quiet -c SHA256SUMS)
# The checks and the signing run the committed scripts too, as the builds did; the Qt is the cached one.
committed="$work/a/vostrel"
VOSTREL_WINDOWS_QT="$("$committed/scripts/qt/static-qt.sh" windows 2>/dev/null)"
VOSTREL_WEB_QT="$("$committed/scripts/qt/static-qt.sh" web 2>/dev/null)"
export VOSTREL_WINDOWS_QT
/usr/bin/python3 "$committed/scripts/release/sbom.py" check --qt-record windows="$VOSTREL_WINDOWS_QT/vostrel-qt-record.json" \
    --qt-record web="$VOSTREL_WEB_QT/vostrel-qt-record.json" dist/*.cdx.json
$sign && "$committed/scripts/release/sign.sh" sums dist
if $verify && ! $sign; then
    first_windows_build="$committed/build-windows"
    $reuse && first_windows_build="$root/build-windows"
    "$committed/tests/release/test_signing.sh" "$first_windows_build" dist || {
        keep=true
        exit 1
    }
fi
echo "Release of commit ${commit:0:12} (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH) in dist/:"
cat dist/SHA256SUMS
