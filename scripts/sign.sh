#!/usr/bin/env bash
# Signs Windows programs with Authenticode (osslsigncode) when the release is given a
# certificate, and leaves them as they are otherwise:
#   NORAVEL_SIGN_CERT  the code-signing certificate (PEM or DER; with its chain for a real one)
#   NORAVEL_SIGN_KEY   its private key (PEM or DER)
#   NORAVEL_SIGN_PASS  the key's password, if it has one (optional)
#   NORAVEL_SIGN_TIMESTAMP  a time-stamping server's URL (optional; a real release wants one,
#                      so that the signature outlives the certificate)
#   sign.sh <file.exe>...
set -euo pipefail
if [ -z "${NORAVEL_SIGN_CERT:-}" ] && [ -z "${NORAVEL_SIGN_KEY:-}" ]; then exit 0; fi
if [ -z "${NORAVEL_SIGN_CERT:-}" ] || [ -z "${NORAVEL_SIGN_KEY:-}" ]; then
    echo "sign.sh: NORAVEL_SIGN_CERT and NORAVEL_SIGN_KEY go together" >&2
    exit 1
fi
options=(-certs "$NORAVEL_SIGN_CERT" -key "$NORAVEL_SIGN_KEY" -h sha256 -n "Noravel")
[ -n "${NORAVEL_SIGN_PASS:-}" ] && options+=(-pass "$NORAVEL_SIGN_PASS")
[ -n "${NORAVEL_SIGN_TIMESTAMP:-}" ] && options+=(-ts "$NORAVEL_SIGN_TIMESTAMP")
for file in "$@"; do
    signed="$file.signed"
    rm -f "$signed"
    if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >"$file.sign.log" 2>&1; then
        echo "sign.sh: signing $file failed:" >&2
        cat "$file.sign.log" >&2
        rm -f "$signed" "$file.sign.log"
        exit 1
    fi
    rm -f "$file.sign.log"
    mv -f "$signed" "$file"
done
