#!/usr/bin/env bash
# Signs a release with keys kept outside the repository:
#   VOSTREL_SIGN_PKCS12          the code-signing certificate and its key, as a PKCS#12 file
#   VOSTREL_SIGN_PASSWORD_FILE   a file holding that file's password
#   VOSTREL_SIGN_GPG_KEY         the full fingerprint of the OpenPGP key, in the keyring of GNUPGHOME (or ~/.gnupg)
#   VOSTREL_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamping server, so that Windows keeps trusting the
#                                signatures after the certificate expires (it makes each signing's bytes new)
#   VOSTREL_SIGN_URL             optional: the publisher's web address, which Windows shows with the signature;
#                                without it the signature names no address (the project holds none)
# Called by release.sh --sign and by tests/release/test_signing.sh.
#
#   scripts/release/sign.sh check            names every key above that is missing or unusable, and fails then
#   scripts/release/sign.sh windows BUILD OUT
#       signs BUILD/app/Vostrel.exe (the unsigned one kept as Vostrel.unsigned.exe) with Authenticode, checks
#       that removing the signature gives back the unsigned file, packs the zip and installer of the signed
#       program into OUT with scripts/windows/dist.sh, and signs the installer
#   scripts/release/sign.sh sums DIR         signs DIR/SHA256SUMS with OpenPGP into DIR/SHA256SUMS.asc
#
# Without a time-stamping server, every signing time is the release time (SOURCE_DATE_EPOCH): the same
# build and keys give the same signed bytes.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
publisher_name="Vostrel"

fail() {
    echo "$0: $*" >&2
    exit 1
}

check_keys() {
    local problems=() pkcs12="${VOSTREL_SIGN_PKCS12-}" password="${VOSTREL_SIGN_PASSWORD_FILE-}"
    local gpg_key="${VOSTREL_SIGN_GPG_KEY-}" work
    work="$(mktemp -d)"
    if [ -z "$pkcs12" ]; then
        problems+=("VOSTREL_SIGN_PKCS12 is not set: it names the code-signing certificate and key (a PKCS#12 file)")
    elif [ ! -r "$pkcs12" ] || [ ! -f "$pkcs12" ]; then
        problems+=("VOSTREL_SIGN_PKCS12: $pkcs12 is no readable file")
    fi
    if [ -z "$password" ]; then
        problems+=("VOSTREL_SIGN_PASSWORD_FILE is not set: it names a file holding the password of VOSTREL_SIGN_PKCS12")
    elif [ ! -r "$password" ] || [ ! -f "$password" ]; then
        problems+=("VOSTREL_SIGN_PASSWORD_FILE: $password is no readable file")
    fi
    if [ ${#problems[@]} -eq 0 ]; then
        if ! openssl pkcs12 -in "$pkcs12" -passin "file:$password" -noout 2>/dev/null; then
            problems+=("VOSTREL_SIGN_PKCS12: $pkcs12 does not open with the password in VOSTREL_SIGN_PASSWORD_FILE (a wrong password, or no PKCS#12 file)")
        elif ! openssl pkcs12 -in "$pkcs12" -passin "file:$password" -nocerts -nodes 2>/dev/null | grep -q 'PRIVATE KEY'; then
            problems+=("VOSTREL_SIGN_PKCS12: $pkcs12 holds no private key")
        elif ! openssl pkcs12 -in "$pkcs12" -passin "file:$password" -nokeys -clcerts -out "$work/cert.pem" 2>/dev/null ||
            ! grep -q 'BEGIN CERTIFICATE' "$work/cert.pem"; then
            problems+=("VOSTREL_SIGN_PKCS12: $pkcs12 holds no certificate for its key")
        else
            openssl x509 -in "$work/cert.pem" -noout -checkend 0 >/dev/null ||
                problems+=("VOSTREL_SIGN_PKCS12: the certificate expired on $(openssl x509 -in "$work/cert.pem" -noout -enddate | cut -d= -f2)")
            openssl x509 -in "$work/cert.pem" -noout -ext extendedKeyUsage 2>/dev/null | grep -q 'Code Signing' ||
                problems+=("VOSTREL_SIGN_PKCS12: the certificate is not one for code signing (no Code Signing in its extended key usage)")
        fi
    fi
    if [ -z "$gpg_key" ]; then
        problems+=("VOSTREL_SIGN_GPG_KEY is not set: it is the full fingerprint of the OpenPGP key that signs SHA256SUMS")
    elif ! [[ "$gpg_key" =~ ^[0-9A-Fa-f]{40}$ ]]; then
        problems+=("VOSTREL_SIGN_GPG_KEY: '$gpg_key' is no full fingerprint (40 hexadecimal digits)")
    elif ! gpg --batch --with-colons --list-secret-keys "$gpg_key" >/dev/null 2>&1; then
        problems+=("VOSTREL_SIGN_GPG_KEY: the keyring in ${GNUPGHOME:-~/.gnupg} has no secret key $gpg_key")
    elif ! echo test | gpg --batch --yes --local-user "$gpg_key!" --detach-sign -o "$work/test.sig" 2>/dev/null; then
        problems+=("VOSTREL_SIGN_GPG_KEY: $gpg_key cannot sign without a question (a passphrase gpg-agent does not hold?)")
    fi
    local url="${VOSTREL_SIGN_TIMESTAMP_URL-}"
    if [ -n "$url" ] && ! [[ "$url" =~ ^https?:// ]]; then
        problems+=("VOSTREL_SIGN_TIMESTAMP_URL: '$url' is no http or https address")
    fi
    url="${VOSTREL_SIGN_URL-}"
    if [ -n "$url" ] && ! [[ "$url" =~ ^https://[^[:space:]]+$ ]]; then
        problems+=("VOSTREL_SIGN_URL: '$url' is no https address")
    fi
    rm -rf "$work"
    if [ ${#problems[@]} -gt 0 ]; then
        printf '%s\n' "Cannot sign the release:" "${problems[@]/#/  }" >&2
        return 1
    fi
}

# Authenticode-signs $1 into $2, SHA-256, with the program's name and the publisher's address if configured.
authenticode() {
    local timestamp=() address=()
    [ -n "${VOSTREL_SIGN_TIMESTAMP_URL-}" ] && timestamp=(-ts "$VOSTREL_SIGN_TIMESTAMP_URL")
    [ -n "${VOSTREL_SIGN_URL-}" ] && address=(-i "$VOSTREL_SIGN_URL")
    rm -f "$2"
    osslsigncode sign -pkcs12 "$VOSTREL_SIGN_PKCS12" -readpass "$VOSTREL_SIGN_PASSWORD_FILE" -h sha256 \
        -n "$publisher_name" "${address[@]}" -time "${SOURCE_DATE_EPOCH:?}" "${timestamp[@]}" \
        -in "$1" -out "$2" >/dev/null || fail "osslsigncode could not sign $1"
}

sign_windows() {
    local build out exe unsigned removed msi
    build="$(cd "$1" && pwd)"
    out="$2"
    exe="$build/app/Vostrel.exe"
    unsigned="$build/app/Vostrel.unsigned.exe"
    [ -f "$unsigned" ] || cp "$exe" "$unsigned"
    authenticode "$unsigned" "$exe"
    # The signature is all that signing adds.
    removed="$(mktemp)"
    osslsigncode remove-signature -in "$exe" -out "$removed.exe" >/dev/null
    cmp "$unsigned" "$removed.exe" || fail "Vostrel.exe without its signature is not the unsigned program file"
    rm -f "$removed" "$removed.exe"
    echo "Signed Vostrel.exe; without its signature it is the unsigned program file"

    "$root/scripts/windows/dist.sh" "$build" "$out"
    for msi in "$out"/Vostrel-*-windows-x64.msi; do
        authenticode "$msi" "$msi.signed"
        mv "$msi.signed" "$msi"
        echo "Signed $(basename "$msi")"
    done
}

sign_sums() {
    local dir="$1"
    [ -f "$dir/SHA256SUMS" ] || fail "$dir/SHA256SUMS is missing"
    gpg --batch --yes --local-user "$VOSTREL_SIGN_GPG_KEY!" --armor --detach-sign \
        -o "$dir/SHA256SUMS.asc" "$dir/SHA256SUMS"
    gpg --batch --verify "$dir/SHA256SUMS.asc" "$dir/SHA256SUMS" 2>/dev/null
    echo "Signed SHA256SUMS into SHA256SUMS.asc with key $VOSTREL_SIGN_GPG_KEY"
}

case "${1-}" in
check) check_keys ;;
windows)
    [ $# -eq 3 ] || fail "usage: $0 windows BUILD OUT"
    check_keys
    sign_windows "$2" "$3"
    ;;
sums)
    [ $# -eq 2 ] || fail "usage: $0 sums DIR"
    check_keys
    sign_sums "$2"
    ;;
*) fail "usage: $0 check | windows BUILD OUT | sums DIR" ;;
esac
