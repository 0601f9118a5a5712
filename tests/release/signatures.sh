#!/usr/bin/env bash
# The release's signatures, checked with a throwaway certificate:
#   signatures.sh make <folder>               a self-signed code-signing certificate and key
#   signatures.sh verify <folder> <file>...   every file carries a valid signature by it
# Also checks that scripts/sign.sh leaves a file untouched when no certificate is given.
set -uo pipefail
what=$1 folder=$2
shift 2
root=$(cd "$(dirname "$0")/../.." && pwd)
case "$what" in
make)
    rm -rf "$folder" && mkdir -p "$folder"
    openssl req -x509 -newkey rsa:2048 -nodes -days 7 -subj "/CN=Noravel release test" \
        -addext "extendedKeyUsage=codeSigning" -addext "basicConstraints=critical,CA:FALSE" \
        -keyout "$folder/key.pem" -out "$folder/cert.pem" >"$folder/openssl.log" 2>&1 ||
        { cat "$folder/openssl.log"; exit 1; }
    echo "made $folder/cert.pem"
    ;;
verify)
    failures=0
    for file in "$@"; do
        if out=$(osslsigncode verify -in "$file" -CAfile "$folder/cert.pem" 2>&1) &&
            grep -q "Signature verification: ok" <<<"$out" &&
            grep -q "CN=Noravel release test" <<<"$out"; then
            echo "ok   signed: $file"
        else
            echo "FAIL not signed by the test certificate: $file"
            echo "$out" | tail -n 5
            failures=$((failures + 1))
        fi
    done
    # Without a certificate sign.sh changes nothing.
    copy=$(mktemp)
    cp "$1" "$copy"
    before=$(sha256sum <"$copy")
    env -u NORAVEL_SIGN_CERT -u NORAVEL_SIGN_KEY bash "$root/scripts/sign.sh" "$copy"
    if [ "$(sha256sum <"$copy")" = "$before" ]; then
        echo "ok   sign.sh leaves a file as it is without a certificate"
    else
        echo "FAIL sign.sh changed a file without a certificate"
        failures=$((failures + 1))
    fi
    rm -f "$copy"
    [ $failures -eq 0 ]
    ;;
*)
    echo "usage: $0 make|verify <folder> [file...]" >&2
    exit 2
    ;;
esac
