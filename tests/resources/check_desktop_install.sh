#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a Linux desktop needs of it: the program, its
# menu entry and software-centre record, both valid, its icons from 16 to 256 pixels, and that the catalogue
# software centres read (appstreamcli compose) takes it in.
set -euo pipefail
build="$1"
app_id=org.vostrel.Vostrel

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
# Staged as a distribution's package would install it, so that the catalogue tool reads it as such.
prefix="$root/usr"
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
for file in "$desktop" "$metainfo"; do
    [ -f "$file" ] || fail "not installed: ${file#"$prefix"/}"
done
for size in 16 32 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ -f "$icon" ] || fail "not installed: ${icon#"$prefix"/}"
    cmp -s "$icon" "$build/resources/pictures/trefoil-$size.png" || fail "${icon#"$prefix"/} is not the trefoil"
done
grep -qx "Icon=$app_id" "$desktop" || fail "the menu entry does not name the installed icon"
grep -qx "Exec=vostrel" "$desktop" || fail "the menu entry does not start vostrel"

# The program, without ties to the build tree.
program="$prefix/bin/vostrel"
[ -x "$program" ] || fail "the program is not installed as bin/vostrel"
if readelf -d "$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    fail "bin/vostrel looks for libraries in the build tree"
fi

# Hints (such as "more than one main category", which Education;Science; is on purpose) are fine;
# errors and warnings are not.
report="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $report"
if grep -E ': (error|warning):' <<<"$report"; then
    fail "desktop-file-validate complains"
fi
# Pedantic notes (such as the capitals in the id, which has to be the menu entry's name) are fine; errors,
# warnings and informational notes, a missing content rating among them, are not.
report="$(appstreamcli validate --no-net "$metainfo" 2>&1)" || fail "appstreamcli rejects the record: $report"
if grep -E '^[EWI]: ' <<<"$report"; then
    fail "appstreamcli complains about the software-centre record"
fi

# Software centres list what the distribution's catalogue holds; the tool that makes it drops a component
# with any error, such as an icon smaller than 64 pixels.
catalogue="$root/catalogue"
report="$(appstreamcli compose --no-color --no-net --print-report=full --origin=vostrel \
    --result-root="$catalogue" --data-dir="$catalogue/data" --icons-dir="$catalogue/icons" "$root" 2>&1)" ||
    fail "appstreamcli compose rejects the installed tree: $report"
zcat "$catalogue/data/vostrel.xml.gz" | grep -qF "<id>$app_id</id>" || fail "the catalogue does not list $app_id: $report"
[ -f "$catalogue/icons/128x128/$app_id.png" ] || fail "the catalogue has no 128 x 128 icon: $report"
echo "installed and valid: ${desktop#"$prefix"/}, ${metainfo#"$prefix"/}, icons 16 to 256, listed in the catalogue"
