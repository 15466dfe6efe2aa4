#!/usr/bin/env bash
# Packs Vostrel.exe and its licence texts into a Windows Installer package with Debian's wixl, from
# resources/windows/vostrel.wxs:
#   scripts/windows/msi.sh <version> <folder holding Vostrel.exe and licences/> <trefoil.ico> <output.msi>
# The same inputs give the same bytes: every time in the package (the files' dates in the cabinet, the
# package's own dates) is SOURCE_DATE_EPOCH when set, else the time of the last commit, and the package code
# is a hash of the inputs. Needs wixl, msitools and faketime (VOSTREL_WINDOWS_PACKAGES).
# Called by scripts/windows/dist.sh, and by the installer tests (tests/windows/, tests/release/).
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 <version> <folder with Vostrel.exe and licences/> <icon.ico> <output.msi>" >&2; exit 2; }
version="$1" payload_in="$2" icon="$3" output="$4"
root="$(cd "$(dirname "$0")/../.." && pwd)"
wxs="$root/resources/windows/vostrel.wxs"
for needed in "$payload_in/Vostrel.exe" "$payload_in/licences" "$icon" "$wxs"; do
    [ -e "$needed" ] || { echo "$0: $needed is missing" >&2; exit 1; }
done
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "$0: '$version' is no version like 1.0.0" >&2; exit 1; }
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
payload="$work/payload"
mkdir -p "$payload"
cp "$payload_in/Vostrel.exe" "$payload/"
cp -r "$payload_in/licences" "$payload/"
cp "$icon" "$work/Vostrel.ico"
find "$payload" "$work/Vostrel.ico" -exec touch -h -d "@$epoch" {} +

python3 "$root/scripts/windows/msi_licences.py" "$payload" >"$work/licences.wxs"

# Same version, same product code: a name-based UUID of the version under the fixed UpgradeCode.
upgrade_code="$(sed -n 's/.*UpgradeCode="\([0-9A-F-]*\)".*/\1/p' "$wxs")"
product_code="$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
    "$upgrade_code" "$version")"
# The package code changes whenever anything packed changes, and only then.
package_code="$( (cd "$work" && find . -type f | LC_ALL=C sort | xargs sha256sum && cat "$wxs" && echo "$version") |
    python3 -c 'import hashlib, sys, uuid; print(str(uuid.UUID(bytes=hashlib.sha256(sys.stdin.buffer.read()).digest()[:16], version=4)).upper())')"

# wixl and msibuild take their dates from the clock, so they run at the release time (in UTC, as the
# cabinet's file dates are local times). wixl takes sources relative to the folder it runs in.
# wixl 0.101 writes the Thai strings of the tables only when its Windows language is Thai, and leaves the
# database's code page to a _ForceCodepage table imported afterwards (874, Thai); msibuild has to read the
# strings in that language too, or it writes them back empty. wixl ignores Package/@Languages: msibuild -s
# sets the summary's template (platform and language) and the package code, in ASCII, as the summary has
# no code page of its own.
export WINDOWS_LANGUAGE=th
at_release=(env TZ=UTC faketime -f "@$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')")
msi="$work/Vostrel.msi"
(cd "$work" && "${at_release[@]}" wixl -a x64 -D "Version=$version" \
    -D "ProductCode={$product_code}" -D PayloadDir=payload -D IconFile=Vostrel.ico \
    -o "$msi" "$wxs" "$work/licences.wxs")
printf '\n\n874\t_ForceCodepage\n' >"$work/_ForceCodepage.idt"
(cd "$work" && "${at_release[@]}" msibuild "$msi" -i _ForceCodepage.idt)
"${at_release[@]}" msibuild "$msi" -s "Vostrel $version" "Vostrel project" "x64;1054" "{$package_code}"
mv "$msi" "$output"
echo "Made $(basename "$output") ($(du -k "$output" | cut -f1) KiB; product code {$product_code})"
