#!/usr/bin/env bash
# Installs from Debian's packages what the 32-bit build of the test ODBC driver needs: the
# multilib compiler and the i386 SQLite and unixODBC libraries that Wine's 32-bit odbc32 loads.
set -euo pipefail

packages=(g++-multilib libsqlite3-dev:i386 unixodbc-dev:i386 libodbc2:i386)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
