#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode, through osslsigncode:
#
#   packaging/sign.sh FILE
#
# The environment gives the certificate: ORBISCAPE_SIGN_CERT, a PKCS#12 file (.pfx or .p12)
# holding the certificate, its chain and its private key, and ORBISCAPE_SIGN_PASSWORD, that
# file's password. ORBISCAPE_SIGN_TIMESTAMP_URL, when set, names an RFC 3161 timestamp server
# that countersigns the signature, so that it stays valid after the certificate expires.
#
# The password reaches osslsigncode through a pipe, never on a command line that every user of
# the machine can read. The signed file replaces FILE only once it is complete.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 FILE" >&2
    exit 64
fi
file=$1
: "${ORBISCAPE_SIGN_CERT:?sign.sh: ORBISCAPE_SIGN_CERT names no certificate}"
: "${ORBISCAPE_SIGN_PASSWORD?sign.sh: ORBISCAPE_SIGN_PASSWORD gives no password}"
[ -f "$ORBISCAPE_SIGN_CERT" ] || {
    echo "sign.sh: no certificate at $ORBISCAPE_SIGN_CERT" >&2
    exit 1
}

timestamp=()
if [ -n "${ORBISCAPE_SIGN_TIMESTAMP_URL:-}" ]; then
    timestamp=(-ts "$ORBISCAPE_SIGN_TIMESTAMP_URL")
fi
rm -f "$file.signed"
osslsigncode sign -pkcs12 "$ORBISCAPE_SIGN_CERT" -readpass <(printf '%s' "$ORBISCAPE_SIGN_PASSWORD") \
    -h sha256 -n "Orbiscape" "${timestamp[@]}" -in "$file" -out "$file.signed" >/dev/null || {
    rm -f "$file.signed"
    echo "sign.sh: osslsigncode could not sign $file" >&2
    exit 1
}
mv -f "$file.signed" "$file"
