#!/usr/bin/env bash
# Makes sure this machine can run 32-bit x86 programs, which Wine's win32 prefix needs.
# Where the kernel runs them itself nothing is changed. Where it cannot (a kernel with its
# 32-bit emulation turned off gives "Exec format error"), 32-bit programs are handed to
# qemu-i386 through binfmt_misc. Debian 12's own qemu 7.2 cannot run Wine (it ignores
# MAP_FIXED_NOREPLACE and Wine stops with "failed to map the shared user data"), so qemu
# comes from bookworm-backports. Safe to run again: each step happens only when missing.
#
#   tools/i386-support.sh
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
loader=/lib/ld-linux.so.2
binfmt=/proc/sys/fs/binfmt_misc

say() { echo "i386-support: $*"; }

runs_32bit() {
    "$loader" --version >/dev/null 2>&1
}

apt_updated=no
apt_update() {
    [ "$apt_updated" = yes ] && return 0
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    apt_updated=yes
}

# The 32-bit loader is what the test runs, so it has to be there first.
if [ ! -e "$loader" ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture to dpkg"
        $sudo dpkg --add-architecture i386
    fi
    say "installing libc6:i386"
    apt_update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq libc6:i386
fi

if runs_32bit; then
    say "32-bit programs run"
    exit 0
fi

say "32-bit programs do not run here: $("$loader" --version 2>&1 | head -n 1 || true)"
if command -v dmesg >/dev/null && dmesg 2>/dev/null | grep -q "32-bit emulation disabled"; then
    say "the kernel has its 32-bit emulation turned off (ia32_emulation=off); using qemu-i386"
fi

qemu_major() {
    local version
    version="$(/usr/bin/qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')"
    echo "${version:-0}"
}

if [ "$(qemu_major)" -lt 8 ]; then
    . /etc/os-release
    if [ "${VERSION_CODENAME:-}" = bookworm ]; then
        if ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
            say "adding bookworm-backports to apt's sources"
            printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
                $sudo tee /etc/apt/sources.list.d/backports.sources >/dev/null
            apt_updated=no
        fi
        say "installing qemu-user-static from bookworm-backports"
        apt_update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq -t bookworm-backports qemu-user-static
    else
        say "installing qemu-user-static"
        apt_update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq qemu-user-static
    fi
fi
[ -x /usr/bin/qemu-i386 ] || { say "no /usr/bin/qemu-i386 after installing qemu-user-static" >&2; exit 1; }
say "qemu-i386 $(qemu_major).x"

if [ ! -e "$binfmt/register" ]; then
    say "mounting binfmt_misc"
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
fi

if [ -e "$binfmt/qemu-i386" ]; then
    # Someone registered it already (the package may have); it is left as it is.
    say "qemu-i386 is registered already: $(tr '\n' ' ' <"$binfmt/qemu-i386")"
    if ! grep -qx enabled "$binfmt/qemu-i386"; then
        say "enabling the qemu-i386 entry"
        echo 1 | $sudo tee "$binfmt/qemu-i386" >/dev/null
    fi
else
    # F: the kernel opens the interpreter now, so it works inside chroots and containers too.
    say "registering qemu-i386 for 32-bit x86 programs"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' |
        $sudo tee "$binfmt/register" >/dev/null
fi

if runs_32bit; then
    say "32-bit programs now run through qemu-i386"
else
    say "32-bit programs still do not run: $("$loader" --version 2>&1 | head -n 1 || true)" >&2
    exit 1
fi
