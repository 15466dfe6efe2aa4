#!/usr/bin/env bash
# Signs the Windows build of a release with throwaway keys made here, as `./release.sh --sign` does with real
# ones, and checks what IT staff and users check: osslsigncode accepts the signed program and installer
# against the throwaway authority and rejects copies with one byte changed; the signature is all that
# signing adds; gpg accepts SHA256SUMS.asc and rejects a changed SHA256SUMS; the bills of materials of the
# signed artefacts are valid and name the Qt; release.sh --sign stops before building when a key is missing
# or wrong; and under Wine the signed installer installs and the signed program starts.
#
#   tests/release/test_signing.sh BUILD DIST
# BUILD is the windows preset's build tree of a release build (its program is signed in place), DIST the
# folder with that release's unsigned artefacts. VOSTREL_WINDOWS_QT names the static Qt.
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD DIST" >&2; exit 2; }
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
dist="$(cd "$2" && pwd)"
: "${VOSTREL_WINDOWS_QT:?names the static Qt}"
: "${SOURCE_DATE_EPOCH:?}"
work="$(mktemp -d "${TMPDIR:-/tmp}/vostrel-signing.XXXXXX")"
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# expect DESCRIPTION PATTERN COMMAND...: the command fails, and says PATTERN.
expect_refusal() {
    local what="$1" pattern="$2" said
    shift 2
    if said="$("$@" 2>&1)"; then
        fail "$what: accepted"$'\n'"$said"
    elif grep -q -- "$pattern" <<<"$said"; then
        pass "$what"
        printf '    %s\n' "$(grep -m1 -- "$pattern" <<<"$said")"
    else
        fail "$what: refused, but without '$pattern':"$'\n'"$said"
    fi
}
flip_byte() { # copies $1 to $2 with the byte at offset $3 changed
    python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[int(sys.argv[3])] ^= 0x20
open(sys.argv[2], "wb").write(d)' "$@"
}

set -a
# shellcheck disable=SC1090
source <("$root/tests/release/make-test-keys.sh" "$work/keys" 2>/dev/null)
set +a
ca="$work/keys/ca.pem"

echo "== release.sh --sign stops before building when a key is missing or wrong"
expect_refusal "no PKCS#12 file named" "VOSTREL_SIGN_PKCS12 is not set" \
    env -u VOSTREL_SIGN_PKCS12 "$root/release.sh" --sign
printf 'not the password\n' >"$work/wrong-password"
expect_refusal "a wrong password" "VOSTREL_SIGN_PKCS12: .* does not open with the password in VOSTREL_SIGN_PASSWORD_FILE" \
    env VOSTREL_SIGN_PASSWORD_FILE="$work/wrong-password" "$root/release.sh" --sign
expect_refusal "an OpenPGP key not in the keyring" "VOSTREL_SIGN_GPG_KEY: the keyring .* has no secret key" \
    env VOSTREL_SIGN_GPG_KEY=0123456789ABCDEF0123456789ABCDEF01234567 "$root/release.sh" --sign

echo "== Authenticode"
mkdir -p "$work/out"
if ! "$root/scripts/release/sign.sh" windows "$build" "$work/out" >"$work/sign.log" 2>&1; then
    fail "scripts/release/sign.sh windows, after which nothing else can be tested:"$'\n'"$(cat "$work/sign.log")"
    echo "$passed passed, $failed failed"
    exit 1
fi
zip_name="$(cd "$dist" && ls Vostrel-*-windows-x64.zip)"
msi_name="$(cd "$dist" && ls Vostrel-*-windows-x64.msi)"
signed_zip="$work/out/$zip_name" signed_msi="$work/out/$msi_name"
unzip -p "$signed_zip" Vostrel.exe >"$work/signed.exe"
unzip -p "$dist/$zip_name" Vostrel.exe >"$work/unsigned.exe"
for signed in "$work/signed.exe" "$signed_msi"; do
    if osslsigncode verify -CAfile "$ca" -in "$signed" >"$work/verify.log" 2>&1; then
        pass "osslsigncode verify accepts the signed $(basename "$signed") against the throwaway authority"
    else
        fail "osslsigncode verify refuses the signed $(basename "$signed")"
    fi
    sed 's/^/    /' "$work/verify.log"
    # No web address was configured, so the signature names none.
    if ! grep -q 'URL description: [^ ]' "$work/verify.log" &&
        grep -q 'Text description: Vostrel' "$work/verify.log" && grep -q 'digest algorithm *: SHA256' "$work/verify.log"; then
        pass "the signature of $(basename "$signed") names the program and no address, with SHA-256"
    else
        fail "the signature of $(basename "$signed") lacks the program's name or SHA-256, or names an address nobody configured"
    fi
done

# One byte of the program's code, and one of the installer's cabinet.
text_offset="$(x86_64-w64-mingw32-objdump -h "$work/signed.exe" | awk '$2 == ".text" { print $6; exit }')"
flip_byte "$work/signed.exe" "$work/tampered.exe" "$((16#$text_offset + 4096))"
expect_refusal "osslsigncode verify rejects the program with one byte changed" "MISMATCH" \
    osslsigncode verify -CAfile "$ca" -in "$work/tampered.exe"
cabinet="$(grep -abo MSCF "$signed_msi" | head -n1 | cut -d: -f1)"
flip_byte "$signed_msi" "$work/tampered.msi" "$((cabinet + 4096))"
expect_refusal "osslsigncode verify rejects the installer with one byte changed" "MISMATCH" \
    osslsigncode verify -CAfile "$ca" -in "$work/tampered.msi"
expect_refusal "osslsigncode verify rejects the signed program against another authority" "verification: failed" \
    osslsigncode verify -CAfile /etc/ssl/certs/ca-certificates.crt -in "$work/signed.exe"

echo "== signing changes nothing else"
osslsigncode remove-signature -in "$work/signed.exe" -out "$work/removed.exe" >/dev/null
if cmp "$work/unsigned.exe" "$work/removed.exe"; then
    pass "without its signature, the signed Vostrel.exe is the released unsigned one"
else
    fail "without its signature, the signed Vostrel.exe differs from the released unsigned one"
fi
if python3 - "$dist/$zip_name" "$signed_zip" <<'EOF'; then
import sys, zipfile
unsigned, signed = (zipfile.ZipFile(name) for name in sys.argv[1:])
assert unsigned.namelist() == signed.namelist(), "other files"
for info in unsigned.infolist():
    if info.filename != "Vostrel.exe":
        assert unsigned.read(info) == signed.read(info.filename), info.filename
        assert info.date_time == signed.getinfo(info.filename).date_time, info.filename
EOF
    pass "the signed zip holds the same files as the unsigned one, but for Vostrel.exe"
else
    fail "the signed zip differs from the unsigned one in more than Vostrel.exe"
fi

echo "== OpenPGP"
(cd "$work/out" && sha256sum -- * >SHA256SUMS)
"$root/scripts/release/sign.sh" sums "$work/out" >/dev/null 2>&1 || fail "scripts/release/sign.sh sums"
if gpg --batch --verify "$work/out/SHA256SUMS.asc" "$work/out/SHA256SUMS" 2>"$work/gpg.log"; then
    pass "gpg --verify accepts SHA256SUMS.asc"
    sed 's/^/    /' "$work/gpg.log"
else
    fail "gpg --verify refuses SHA256SUMS.asc: $(cat "$work/gpg.log")"
fi
# One hexadecimal digit of the first checksum changed, as a forged artefact would need.
python3 -c 'import sys; t = open(sys.argv[1]).read(); open(sys.argv[1], "w").write("ab"[t[0] == "a"] + t[1:])' \
    "$work/out/SHA256SUMS"
expect_refusal "gpg --verify rejects a changed SHA256SUMS" "BAD signature" \
    gpg --batch --verify "$work/out/SHA256SUMS.asc" "$work/out/SHA256SUMS"

echo "== bills of materials of the signed artefacts"
record="$VOSTREL_WINDOWS_QT/vostrel-qt-record.json"
if /usr/bin/python3 "$root/scripts/release/sbom.py" make --qt-record windows="$record" "$signed_zip" "$signed_msi" >/dev/null &&
    /usr/bin/python3 "$root/scripts/release/sbom.py" check --qt-record windows="$record" "$signed_zip.cdx.json" "$signed_msi.cdx.json" &&
    grep -q "\"content\": \"$(sha256sum "$signed_msi" | cut -c1-64)\"" "$signed_msi.cdx.json"; then
    pass "the bills of the signed zip and installer are valid, name the Qt and the signed installer's SHA-256"
else
    fail "the bills of the signed artefacts"
fi
# The check is no formality: a bill with an unknown licence and a component of no known type fails it.
python3 - "$signed_zip.cdx.json" "$work/broken.cdx.json" <<'EOF'
import json, sys
bom = json.load(open(sys.argv[1]))
bom["components"][0]["components"][0]["licenses"] = [{"expression": "MIT OR No-Such-Licence"}]
bom["components"][-1]["type"] = "font"
json.dump(bom, open(sys.argv[2], "w"))
EOF
expect_refusal "a broken bill fails the schema" "is not one of" \
    /usr/bin/python3 "$root/scripts/release/sbom.py" check "$work/broken.cdx.json"
expect_refusal "a broken bill fails the licence check" "No-Such-Licence is no SPDX identifier" \
    /usr/bin/python3 "$root/scripts/release/sbom.py" check "$work/broken.cdx.json"

echo "== under Wine: the signed program starts, the signed installer installs"
export WINEPREFIX="$work/wine-prefix" WINEDEBUG=-all
"$root/tests/windows/make-wine-prefix.sh" "$WINEPREFIX"
wine_test() {
    "$root/tests/realwindow/with-desktop.sh" "$root/tests/windows/after-wine.sh" python3 "$@" >"$work/wine.log" 2>&1
}
# The first start of a program in a new prefix builds Wine's font cache, which on a busy machine takes
# longer than the tests wait for a window: that start is made here, untimed.
# shellcheck disable=SC2016
"$root/tests/realwindow/with-desktop.sh" "$root/tests/windows/after-wine.sh" bash -c '
    wine "$1" >/dev/null 2>&1 &
    for _ in $(seq 600); do xdotool search --onlyvisible --name "^Vostrel\$" >/dev/null && break; sleep 0.2; done' \
    - "$work/signed.exe"
mkdir -p "$work/artifacts"
if VOSTREL_PROGRAM="$work/signed.exe" VOSTREL_ARTIFACTS="$work/artifacts" \
    wine_test "$root/tests/windows/test_program_under_wine.py" ProgramFileTest \
    ProgramUnderWineTest.test_exit_button_ends_with_success_and_nothing_to_warn_of; then
    pass "the signed Vostrel.exe starts, ends by its exit button with success, and keeps its resources"
else
    fail "the signed Vostrel.exe under Wine:"$'\n'"$(cat "$work/wine.log")"
fi

if VOSTREL_MSI="$signed_msi" VOSTREL_ZIP="$signed_zip" VOSTREL_STAGE="$build/dist" \
    VOSTREL_ICON="$build/resources/pictures/trefoil.ico" VOSTREL_MAKE_MSI="$root/scripts/windows/msi.sh" \
    wine_test "$root/tests/windows/test_installer_under_wine.py" \
    InstallerUnderWineTest.test_silent_install_runs_the_program_and_removal_leaves_nothing; then
    pass "the signed installer installs silently, its program starts, and it uninstalls"
else
    fail "the signed installer under Wine:"$'\n'"$(cat "$work/wine.log")"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
