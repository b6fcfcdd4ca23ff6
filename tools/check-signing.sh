#!/usr/bin/env bash
# Checks the signing step as CI runs it: a throwaway self-signed code-signing certificate made
# with openssl signs a copy of the release through tools/sign-windows-program.sh; osslsigncode
# then verifies the signed program against that certificate, and the unsigned archive must be
# byte for byte what it was.
#   tools/check-signing.sh [archive]     the archive defaults to ALMANORIA_YEAR's (2012 unless set)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh windows

archive="${1:-}"
if [ -z "$archive" ]; then
    archives=(build/windows-i686/AlmanoriaYear"${ALMANORIA_YEAR:-2012}"-*-win32.zip)
    archive="${archives[0]}"
    [ -f "$archive" ] || {
        timeout 1500 cmake --build --preset windows-i686 --target package >/dev/null
        archives=(build/windows-i686/AlmanoriaYear"${ALMANORIA_YEAR:-2012}"-*-win32.zip)
        archive="${archives[0]}"
    }
fi
[ -f "$archive" ] || { echo "check-signing: no archive at $archive" >&2; exit 1; }
archive="$(realpath "$archive")"
before="$(sha256sum <"$archive")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Almanoria throwaway signer" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$work/key.pem" -out "$work/certificate.pem" 2>/dev/null
export ALMANORIA_SIGN_PASSWORD="throwaway $RANDOM"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" \
    -passout env:ALMANORIA_SIGN_PASSWORD -out "$work/signer.p12"

ALMANORIA_SIGN_PKCS12="$work/signer.p12" tools/sign-windows-program.sh "$archive" "$work/signed"

failures=0
fail() {
    echo "check-signing: FAIL: $*" >&2
    failures=$((failures + 1))
}
[ "$(sha256sum <"$archive")" = "$before" ] || fail "signing changed the unsigned archive"
mkdir "$work/unsigned" "$work/unpacked"
(cd "$work/unsigned" && cmake -E tar xf "$archive")
(cd "$work/unpacked" && cmake -E tar xf "$work/signed/$(basename "$archive")")
[ "$(cd "$work/unsigned" && find . -type f | sort)" = "$(cd "$work/unpacked" && find . -type f | sort)" ] ||
    fail "the signed archive holds other files than the unsigned one"
programs=("$work"/unpacked/*/AlmanoriaYear[0-9][0-9][0-9][0-9].exe)
program="${programs[0]}"
unsigned_program="$work/unsigned/${program#"$work/unpacked/"}"
osslsigncode verify -CAfile "$work/certificate.pem" -in "$program" >"$work/verify.txt" 2>&1 ||
    fail "osslsigncode does not verify the signed program: $(tail -n 20 "$work/verify.txt")"
grep -q "Signature verification: ok" "$work/verify.txt" ||
    fail "osslsigncode reports no verified signature: $(tail -n 20 "$work/verify.txt")"
# Unsigned, the program does not verify: the check above can fail.
if osslsigncode verify -CAfile "$work/certificate.pem" -in "$unsigned_program" >/dev/null 2>&1; then
    fail "the unsigned program verifies too"
fi
# The signature is all that was added.
osslsigncode remove-signature -in "$program" -out "$work/removed.exe" >/dev/null
cmp -s <(head -c "$(stat -c %s "$unsigned_program")" "$work/removed.exe" | tail -c +513) \
    <(tail -c +513 "$unsigned_program") || fail "the signed program differs beyond its signature"
for file in $(cd "$work/unsigned" && find . -type f ! -name "$(basename "$program")"); do
    cmp -s "$work/unsigned/$file" "$work/unpacked/$file" || fail "$file differs in the signed archive"
done

if [ "$failures" -gt 0 ]; then
    exit 1
fi
echo "check-signing: $(basename "$archive") signed with a throwaway certificate and verified; the unsigned archive unchanged"
