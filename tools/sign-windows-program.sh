#!/usr/bin/env bash
# Signs the Windows release: after the reproducible build, the program in the archive gets an
# Authenticode signature, and a signed archive of the same name and content is made beside it.
# The unsigned archive stays as it is, and with it its published SHA-256 of the build.
#   tools/sign-windows-program.sh [--pkcs12 FILE] [--timestamp URL] [archive [signed folder]]
# The archive defaults to build/windows-i686/AlmanoriaYear<year>-<version>-win32.zip, the year
# ALMANORIA_YEAR's (2012 unless set), the signed folder to build/windows-i686/signed. The code-signing certificate with its key is a PKCS#12
# file, from --pkcs12 or ALMANORIA_SIGN_PKCS12; its password comes from ALMANORIA_SIGN_PASSWORD
# (never from the command line, which other users can see). --timestamp or
# ALMANORIA_SIGN_TIMESTAMP names an RFC 3161 time-stamping service, so that the signature
# stays valid after the certificate expires; without one, none is asked.
set -euo pipefail
cd "$(dirname "$0")/.."

pkcs12="${ALMANORIA_SIGN_PKCS12:-}"
timestamp="${ALMANORIA_SIGN_TIMESTAMP:-}"
while [ $# -gt 0 ]; do
    case "$1" in
    --pkcs12) pkcs12="$2"; shift 2 ;;
    --timestamp) timestamp="$2"; shift 2 ;;
    --*) echo "sign-windows-program: unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
archive="${1:-}"
if [ -z "$archive" ]; then
    archives=(build/windows-i686/AlmanoriaYear"${ALMANORIA_YEAR:-2012}"-*-win32.zip)
    archive="${archives[0]}"
fi
signed_dir="${2:-build/windows-i686/signed}"
[ -f "$archive" ] || {
    echo "sign-windows-program: no archive at $archive: build the windows-i686 preset's package target first" >&2
    exit 1
}
[ -n "$pkcs12" ] && [ -f "$pkcs12" ] || {
    echo "sign-windows-program: no PKCS#12 file (--pkcs12 or ALMANORIA_SIGN_PKCS12)" >&2
    exit 1
}
[ -n "${ALMANORIA_SIGN_PASSWORD+set}" ] || {
    echo "sign-windows-program: ALMANORIA_SIGN_PASSWORD is not set" >&2
    exit 1
}

tools/install-deps.sh windows
archive="$(realpath "$archive")"
pkcs12="$(realpath "$pkcs12")"
mkdir -p "$signed_dir"
signed_dir="$(realpath "$signed_dir")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The password reaches osslsigncode through a file only this user can read.
(umask 077 && printf '%s' "$ALMANORIA_SIGN_PASSWORD" >"$work/password")

mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$archive")
programs=("$work"/unpacked/*/AlmanoriaYear[0-9][0-9][0-9][0-9].exe)
program="${programs[0]}"
[ -f "$program" ] || { echo "sign-windows-program: $archive holds no AlmanoriaYear<year>.exe" >&2; exit 1; }
folder="$(basename "$(dirname "$program")")"
year="$(basename "$program" .exe)"
year="${year#AlmanoriaYear}"

options=(-pkcs12 "$pkcs12" -readpass "$work/password" -h sha256
    -n "Almanoria Calendar: the $year liturgical year")
[ -z "$timestamp" ] || options+=(-ts "$timestamp")
osslsigncode sign "${options[@]}" -in "$program" -out "$work/signed.exe" >/dev/null
mv "$work/signed.exe" "$program"

# The same folder, files and times as the unsigned archive, the program signed.
rm -f "$signed_dir/$(basename "$archive")"
(cd "$work/unpacked" && cmake -E tar cf "$signed_dir/$(basename "$archive")" --format=zip \
    "$folder")
echo "sign-windows-program: $signed_dir/$(basename "$archive")"
(cd "$signed_dir" && sha256sum "$(basename "$archive")")
