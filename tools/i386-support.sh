#!/usr/bin/env bash
# Makes sure this machine can run 32-bit x86 programs, which Wine's win32 prefix needs.
# Where the kernel runs them itself nothing is changed. Where it cannot (a kernel with its
# 32-bit emulation turned off gives "Exec format error"), 32-bit programs are handed to
# qemu-i386 through binfmt_misc. tools/install-deps.sh (modes wine-e2e and windows-tests)
# installs the 32-bit loader and qemu-i386 first and then runs this. Safe to run again: each
# step happens only when missing.
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

[ -e "$loader" ] || { say "no $loader: run tools/install-deps.sh wine-e2e first" >&2; exit 1; }
if runs_32bit; then
    say "32-bit programs run"
    exit 0
fi

say "32-bit programs do not run here: $("$loader" --version 2>&1 | head -n 1 || true)"
if command -v dmesg >/dev/null && dmesg 2>/dev/null | grep -q "32-bit emulation disabled"; then
    say "the kernel has its 32-bit emulation turned off (ia32_emulation=off); using qemu-i386"
fi
[ -x /usr/bin/qemu-i386 ] || { say "no /usr/bin/qemu-i386: run tools/install-deps.sh wine-e2e first" >&2; exit 1; }
say "$(/usr/bin/qemu-i386 --version | head -n 1)"

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
