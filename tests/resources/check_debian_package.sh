#!/usr/bin/env bash
# Builds the Debian package of the source tree as it stands (committed or not) with its debian/ folder, on
# this machine without a chroot and without the build-time tests, which the test suite runs anyway; then
# checks the package: its name and version, its files, that it depends on what the program needs at run
# time but the linker cannot see (Qt's platform plugins, the Thai fonts) besides the libraries it links,
# that its changelog and AppStream record name its version, that lintian finds no error and no warning in
# it, and that its program is hardened as Debian's own. ./release.sh builds it in a clean chroot.
set -euo pipefail
source_dir="$1"
app_id=org.vostrel.Vostrel

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# The files git knows or would take, outside the build folders, copied as they are.
mkdir "$out/vostrel"
git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    (cd "$source_dir" && tar --null -T - -cf -) | tar -xf - -C "$out/vostrel"
# Under the strictest umask, so that lintian sees any file or folder that would be packed unreadable.
(cd "$out/vostrel" && umask 077 &&
    DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage --build=binary --no-sign) >"$out/build.log" 2>&1 || {
    tail -n 80 "$out/build.log"
    fail "dpkg-buildpackage could not make the package"
}
version="$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)"
deb="$out/vostrel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb; made: $(ls "$out")"
dpkg-deb -I "$deb"

[ "$(dpkg-deb -f "$deb" Package)" = vostrel ] || fail "the package is not called vostrel"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package version is not $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "wrong architecture"

# Names only, without versions: "libc6 (>= 2.34), fonts-thai-tlwg" gives libc6 and fonts-thai-tlwg.
depends="$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed -E 's/^ +//; s/[ (].*//')"
needs=(qt6-qpa-plugins fonts-thai-tlwg libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6)
contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
expected=(./usr/bin/vostrel ./usr/share/applications/$app_id.desktop ./usr/share/metainfo/$app_id.metainfo.xml)
for size in 16 32 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x$size/apps/$app_id.png")
done
for pkg in "${needs[@]}"; do
    grep -qx "$pkg" <<<"$depends" || fail "Depends lacks $pkg"
done
for file in "${expected[@]}"; do
    grep -qx "$file" <<<"$contents" || fail "the package lacks $file"
done

# A new release has to reach them all: the project's version, the program's own changelog, the newest
# release of the AppStream record, and the Debian version's upstream part (before the Debian revision).
unpacked="$out/unpacked"
dpkg-deb -x "$deb" "$unpacked"
upstream="${version%-*}"
project_version="$(sed -nE 's/^project\(Vostrel VERSION ([^ ]+) .*/\1/p' "$source_dir/CMakeLists.txt")"
changelog_version="$(dpkg-parsechangelog -l "$unpacked/usr/share/doc/vostrel/changelog.gz" -S Version)"
release_version="$(python3 -c 'import sys, xml.etree.ElementTree as x
print(x.parse(sys.argv[1]).find("releases/release").get("version"))' \
    "$unpacked/usr/share/metainfo/$app_id.metainfo.xml")"
[ "$project_version" = "$upstream" ] || fail "the project's version is $project_version, not $upstream"
[ "$changelog_version" = "$upstream" ] || fail "the program's changelog ends at $changelog_version, not $upstream"
[ "$release_version" = "$upstream" ] || fail "the AppStream record's newest release is $release_version, not $upstream"
[ -f "$unpacked/usr/share/doc/vostrel/changelog.Debian.gz" ] || fail "the package lacks the Debian changelog"

# Every protection Debian checks for, on the program as packed (stripped). Stack-clash probing shows only
# in a function whose stack frame is larger than a page, and the program has none: "unknown" is the
# answer then, and only that line may give it.
hardening="$(hardening-check "$unpacked/usr/bin/vostrel")" || {
    grep -vE '^ Stack clash protection: unknown' <<<"$hardening" | grep -E ': (no|unknown)' &&
        fail "hardening-check finds the program unprotected: $hardening"
}
echo "$hardening"

# Every tag that remains is overridden in debian/ with its reason; the report shows any other.
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb" 2>&1 ||
    fail "lintian finds errors, warnings or tags not overridden"
echo "package ${deb##*/} holds the program's files, depends on ${needs[*]} and is lintian-clean"
