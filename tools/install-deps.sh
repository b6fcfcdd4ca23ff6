#!/usr/bin/env bash
# Installs from Debian's packages whatever of the build's needs is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libsqlite3-dev sqlite3
    unixodbc-dev libsqliteodbc
    googletest libgtest-dev libgmock-dev
    qt6-base-dev libgl-dev
    libbenchmark-dev
    locales-all
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
