#!/usr/bin/env bash
# Makes throwaway signing keys in the given folder, as a release's maintainer would hold real ones: a
# certificate authority (ca.pem), a code-signing certificate it issued with its key as a PKCS#12 file
# (signing.p12, password in password.txt), and an OpenPGP key in a keyring of its own (gnupg/). Prints the
# environment that names them, for `source` or `env`.
set -euo pipefail
keys="$(mkdir -p "$1" && cd "$1" && pwd)"
cd "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vostrel test authority" -keyout ca.key -out ca.pem \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/O=Vostrel project/CN=Vostrel project" -keyout signing.key \
    -out signing.csr 2>/dev/null
printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning >signing.ext
openssl x509 -req -in signing.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 1 -extfile signing.ext \
    -out signing.pem 2>/dev/null
head -c 18 /dev/urandom | base64 >password.txt
openssl pkcs12 -export -inkey signing.key -in signing.pem -certfile ca.pem -passout file:password.txt -out signing.p12
rm -f signing.key signing.csr ca.key

mkdir -m 700 gnupg
GNUPGHOME="$keys/gnupg" gpg --batch --quiet --passphrase '' --quick-generate-key \
    "Vostrel test release key <test@vostrel.invalid>" ed25519 sign 1d 2>/dev/null
fingerprint="$(GNUPGHOME="$keys/gnupg" gpg --batch --with-colons --list-secret-keys | awk -F: '$1 == "fpr" { print $10; exit }')"
cat <<EOF
VOSTREL_SIGN_PKCS12=$keys/signing.p12
VOSTREL_SIGN_PASSWORD_FILE=$keys/password.txt
VOSTREL_SIGN_GPG_KEY=$fingerprint
GNUPGHOME=$keys/gnupg
EOF
