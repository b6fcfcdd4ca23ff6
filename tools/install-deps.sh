#!/usr/bin/env bash
# Installs from Debian's packages whatever of the build's needs is missing.
#   tools/install-deps.sh        the default, asan and fuzz presets (dpkg-dev: the package target's
#                                dpkg-shlibdeps)
#   tools/install-deps.sh i386   the odbc-driver-i686 preset: the multilib compiler and the i386
#                                SQLite and unixODBC that Wine's 32-bit odbc32 loads, and the
#                                i386 unixODBC headers unpacked into build/i386-sysroot
#   tools/install-deps.sh windows      the windows-i686 preset and its package target, what
#                                      tools/check-windows-program.sh reads the program with, and
#                                      what tools/sign-windows-program.sh signs it with
#   tools/install-deps.sh deb-checks   what tools/check-deb.sh checks and starts the package with
#   tools/install-deps.sh wine-e2e     what testing/wine-e2e/run-cases.sh drives and judges the Windows program
#                                      with: the 32-bit Wine and the i386 runtime the test driver
#                                      needs, a virtual display, xdotool, ImageMagick, sqlite3
#   tools/install-deps.sh fuzz         the fuzz preset: Debian's clang and its libFuzzer runtime
#   tools/install-deps.sh windows-tests  the windows-i686-tests preset: the posix MinGW compiler,
#                                      GoogleTest's sources, the 32-bit Wine that runs the
#                                      suites
# The last two also install qemu-i386 where the kernel runs no 32-bit programs, and have
# tools/i386-support.sh hand those programs to it.
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# unixodbc-dev:i386 would replace the host's unixodbc-dev, so its headers are unpacked into a
# folder of the build's own, which cmake/linux-i686.cmake reads, beside the installed runtime.
unpack_i386_odbc_headers() {
    local root sysroot version stamp work
    root="$(cd "$(dirname "$0")/.." && pwd)"
    sysroot="$root/build/i386-sysroot"
    version="$(dpkg-query -W -f='${Version}' libodbc2:i386)"
    stamp="$sysroot/unixodbc-dev.version"
    [ "$(cat "$stamp" 2>/dev/null)" = "$version" ] && return 0
    echo "Unpacking unixodbc-dev:i386 $version into $sysroot"
    work="$(mktemp -d)"
    # apt's download user must be able to write there.
    chmod 755 "$work"
    [ "$(id -u)" -ne 0 ] || chown _apt "$work" 2>/dev/null || true
    (cd "$work" && apt-get download -q "unixodbc-dev:i386=$version" "libodbc2:i386=$version")
    rm -rf "$sysroot"
    mkdir -p "$sysroot"
    for deb in "$work"/*.deb; do
        dpkg-deb -x "$deb" "$sysroot"
    done
    rm -rf "$work"
    echo "$version" >"$stamp"
}

case "${1:-}" in
i386)
    packages=(g++-multilib libsqlite3-dev:i386 libodbc2:i386)
    ;;
windows)
    packages=(cmake ninja-build g++-mingw-w64-i686 mingw-w64-tools strip-nondeterminism icoutils
        osslsigncode openssl)
    ;;
deb-checks)
    packages=(lintian desktop-file-utils appstream xvfb xdotool)
    ;;
wine-e2e)
    packages=(libc6:i386 wine wine32:i386 fonts-wine xvfb xdotool imagemagick sqlite3 locales-all icoutils
        libodbc2:i386 libsqlite3-0:i386 libstdc++6:i386 gcc-mingw-w64-i686)
    ;;
fuzz)
    packages=(cmake ninja-build clang libclang-rt-14-dev)
    ;;
windows-tests)
    packages=(cmake ninja-build g++-mingw-w64-i686-posix googletest libc6:i386 wine wine32:i386
        locales-all)
    ;;
*)
    packages=(
        cmake ninja-build g++ pkg-config
        libsqlite3-dev sqlite3
        unixodbc-dev libsqliteodbc
        googletest libgtest-dev
        qt6-base-dev libgl-dev
        locales-all
        dpkg-dev
    )
    ;;
esac

# Installs those of the packages that are missing; apt options may come first, up to "--".
install_missing() {
    local options=() missing=() package
    while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    # Another apt may hold the lock for a while; wait for it rather than fail.
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
        "${options[@]}" "${missing[@]}"
}

# Where the kernel runs no 32-bit programs, Wine's go through qemu-i386. Debian 12's own qemu 7.2
# cannot run Wine (it ignores MAP_FIXED_NOREPLACE and Wine stops with "failed to map the shared
# user data"), so there it comes from bookworm-backports.
install_qemu_for_i386() {
    local version
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 && return 0
    version="$(/usr/bin/qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')"
    [ "${version:-0}" -ge 8 ] && return 0
    . /etc/os-release
    if [ "${VERSION_CODENAME:-}" != bookworm ]; then
        install_missing -- qemu-user-static
        return 0
    fi
    if ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
        echo "Adding bookworm-backports to apt's sources"
        printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
            $sudo tee /etc/apt/sources.list.d/backports.sources >/dev/null
    fi
    echo "Installing qemu-user-static from bookworm-backports"
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
        -t bookworm-backports qemu-user-static
}

# Wine and its display come with what they recommend (fonts among it), as a user has them.
options=(--no-install-recommends)
case "${1:-}" in
i386)
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    ;;
windows-tests | wine-e2e)
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    options=()
    ;;
esac
install_missing "${options[@]}" -- "${packages[@]}"
if [ "${1:-}" = i386 ]; then
    unpack_i386_odbc_headers
fi
if [ "${1:-}" = windows-tests ] || [ "${1:-}" = wine-e2e ]; then
    install_qemu_for_i386
    "$(dirname "$0")/i386-support.sh"
fi
