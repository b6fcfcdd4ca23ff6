#!/usr/bin/env bash
# Installs from Debian's packages whatever of the build's needs is missing.
#   tools/install-deps.sh        the default, asan and fuzz presets
#   tools/install-deps.sh i386   the odbc-driver-i686 preset: the multilib compiler and the i386
#                                SQLite and unixODBC that Wine's 32-bit odbc32 loads
set -euo pipefail

if [ "${1:-}" = i386 ]; then
    packages=(g++-multilib libsqlite3-dev:i386 unixodbc-dev:i386 libodbc2:i386)
else
    packages=(
        cmake ninja-build g++ pkg-config
        libsqlite3-dev sqlite3
        unixodbc-dev libsqliteodbc
        googletest libgtest-dev libgmock-dev
        qt6-base-dev libgl-dev
        libbenchmark-dev
        locales-all
    )
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
[ "${1:-}" = i386 ] && $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
