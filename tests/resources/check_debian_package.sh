#!/usr/bin/env bash
# Packs the build with `cpack -G DEB` and checks the package: its name and version, its files, that it
# depends on what the program needs at run time but the linker cannot see (Qt's platform plugins, the
# Thai fonts) besides the libraries it links, that its changelog and AppStream record name its version,
# that lintian finds no error and no warning in it, and that its program is hardened as Debian's own.
set -euo pipefail
build="$1"
app_id=org.vostrel.Vostrel

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# Under the strictest umask, so that lintian sees any folder that would be packed unreadable.
(umask 077 && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out") >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log"
    fail "cpack could not make the package"
}
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb="${debs[0]}"
dpkg-deb -I "$deb"

[ "$(dpkg-deb -f "$deb" Package)" = vostrel ] || fail "the package is not called vostrel"
[ "$(dpkg-deb -f "$deb" Version)" = 1.0.0 ] || fail "the package version is not 1.0.0"
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

# A new version has to reach all three: the package, the changelog's newest entry, the newest release.
unpacked="$out/unpacked"
dpkg-deb -x "$deb" "$unpacked"
changelog_version="$(dpkg-parsechangelog -l "$unpacked/usr/share/doc/vostrel/changelog.gz" -S Version)"
release_version="$(python3 -c 'import sys, xml.etree.ElementTree as x
print(x.parse(sys.argv[1]).find("releases/release").get("version"))' \
    "$unpacked/usr/share/metainfo/$app_id.metainfo.xml")"
version="$(dpkg-deb -f "$deb" Version)"
[ "$changelog_version" = "$version" ] || fail "the changelog's newest entry is $changelog_version, not $version"
[ "$release_version" = "$version" ] || fail "the AppStream record's newest release is $release_version, not $version"

# Every protection Debian checks for, on the program as packed (stripped). Stack-clash probing shows only
# in a function whose stack frame is larger than a page, and the program has none: "unknown" is the
# answer then, and only that line may give it.
hardening="$(hardening-check "$unpacked/usr/bin/vostrel")" || {
    grep -vE '^ Stack clash protection: unknown' <<<"$hardening" | grep -E ': (no|unknown)' &&
        fail "hardening-check finds the program unprotected: $hardening"
}
echo "$hardening"

# Informational tags may remain, each explained in the README (Debian package); the report shows them.
lintian --display-info --fail-on error,warning "$deb" 2>&1 || fail "lintian finds errors or warnings"
echo "package ${deb##*/} holds the program's files, depends on ${needs[*]} and is lintian-clean"
