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
#   tools/install-deps.sh accessibility  what testing/accessibility/check-atspi.py reads the Qt
#                                      wizard with: the accessibility bus, pyatspi, a session bus,
#                                      a virtual display, xdotool, Qt's GTK 3 theme; and Orca, the
#                                      screen reader testing/accessibility/check-orca.py listens to
#   tools/install-deps.sh wine-e2e     what testing/wine-e2e/run-cases.sh drives and judges the
#                                      Windows program with: the 32-bit Wine, the fonts its text is
#                                      measured against, the i386 runtime the test driver needs,
#                                      a virtual display, xdotool, ImageMagick, sqlite3
#   tools/install-deps.sh fuzz         the fuzz preset: Debian's clang and its libFuzzer runtime
#   tools/install-deps.sh windows-tests  the windows-i686-tests preset: the posix MinGW compiler,
#                                      GoogleTest's sources, the 32-bit Wine that runs the
#                                      suites
# The last two also install qemu-i386 where the kernel runs no 32-bit programs, and have
# tools/i386-support.sh hand those programs to it. The modes that add i386 hold packages at a
# version both architectures offer when the archive is out of step (install_missing).
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
preferences="$(mktemp)"
trap 'rm -f "$preferences"' EXIT

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
accessibility)
    packages=(at-spi2-core python3-pyatspi dbus xvfb xdotool qt6-gtk-platformtheme fonts-dejavu-core orca)
    ;;
wine-e2e)
    packages=(libc6:i386 wine wine32:i386 fonts-wine fonts-liberation xvfb xdotool imagemagick sqlite3
        locales-all icoutils libodbc2:i386 libsqlite3-0:i386 libstdc++6:i386 gcc-mingw-w64-i686)
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
        # The references testing/years/check-years.py judges every year by.
        python3-dateutil hebcal python3-ephem python3-holidays tzdata
    )
    ;;
esac

say() { echo "install-deps: $*"; }

# Another apt may hold the lock for a while: every call waits for it rather than fail.
apt_get() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 "$@"
}

# Refreshes apt's indexes, a few times with a pause when one fails to fetch (a mirror caught
# mid-sync serves an index that does not match its Release file). If one still fails, says which
# and goes on with the indexes apt has.
update_indexes() {
    local try log
    log="$(mktemp)"
    for try in 1 2 3; do
        if timeout 1200 $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq >"$log" 2>&1; then
            rm -f "$log"
            return 0
        fi
        [ "$try" -eq 3 ] || sleep 20
    done
    say "after 3 tries these indexes could not be fetched; going on with the ones apt has:" \
        "$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log" | tr '\n' ' ')" >&2
    rm -f "$log"
}

# A Multi-Arch: same package must have one version on amd64 and i386. When the archive's i386
# index lags the amd64 one (or one of its indexes could not be fetched), the i386 candidate may be
# a version the amd64 side does not offer, and apt finds no solution. For each such package the
# i386 install may bring in, this prints apt preferences holding both architectures at the newest
# version both offer; the amd64 package goes down only when no common newer version exists.
# Prints nothing when the archive is in step.
common_version_preferences() {  # packages...
    local names=() name versions=() common v installed
    mapfile -t names < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
        --no-breaks --no-replaces --no-enhances "$@" 2>/dev/null |
        sed -n 's/^\([^ <][^ ]*\):i386$/\1:i386/p' | sort -u)
    [ ${#names[@]} -gt 0 ] || return 0
    mapfile -t names < <(apt-cache show --no-all-versions "${names[@]}" 2>/dev/null |
        awk '/^Package:/ { p = $2 } /^Multi-Arch: same/ { print p }' | sort -u)
    [ ${#names[@]} -gt 0 ] || return 0
    installed="$(mktemp)"
    dpkg-query -W -f='${binary:Package}\t${Depends}, ${Pre-Depends}\n' >"$installed"
    # One line a package: name, then for amd64 and i386 each the installed version, the candidate
    # and the versions an index offers (comma-separated); "-" for none.
    apt-cache policy "${names[@]/%/:amd64}" "${names[@]/%/:i386}" 2>/dev/null | awk '
        function flush() { if (key != "") offered[key] = list }
        /^[^ ].*:$/ {
            flush(); list = ""
            key = substr($0, 1, length($0) - 1); if (key !~ /:i386$/) key = key ":amd64"
            next
        }
        /^  Installed:/ { installed[key] = ($2 == "(none)") ? "-" : $2; next }
        /^  Candidate:/ { candidate[key] = ($2 == "(none)") ? "-" : $2; next }
        /^ (\*\*\*|   ) [^ ]+ -?[0-9]+$/ { version = $(NF - 1); next }
        /^        -?[0-9]+ / {
            if ($2 != "/var/lib/dpkg/status" && index("," list ",", "," version ",") == 0)
                list = list (list == "" ? "" : ",") version
            next
        }
        END {
            flush()
            for (k in installed) if (k ~ /:amd64$/) {
                n = substr(k, 1, length(k) - 6); i = n ":i386"
                print n, installed[k], candidate[k], (offered[k] == "" ? "-" : offered[k]),
                    installed[i], candidate[i], (offered[i] == "" ? "-" : offered[i])
            }
        }' | while read -r name a_inst a_cand a_offer i_inst i_cand i_offer; do
        # Nothing to hold when the archive is in step or the i386 one is there already.
        [ "$i_inst" = - ] && [ "$i_cand" != - ] && [ "$i_cand" != "$a_cand" ] || continue
        common=""
        IFS=, read -r -a versions <<<"$i_offer"
        for v in "${versions[@]}"; do
            [[ ",$a_offer,$a_inst," == *",$v,"* ]] || continue
            if [ -z "$common" ] || dpkg --compare-versions "$v" gt "$common"; then common="$v"; fi
        done
        if [ -z "$common" ]; then
            say "no version of $name is offered for both amd64 ($a_offer) and i386 ($i_offer)" >&2
            continue
        fi
        # An installed package that needs exactly this version goes along, so that none is removed.
        printf 'Package: %s:amd64 %s:i386%s\nPin: version %s\nPin-Priority: 1001\n\n' "$name" "$name" \
            "$(awk -F '\t' -v needs="${name} (= ${a_inst})" \
                'index(", " $2 ",", ", " needs ",") { printf " %s", $1 }' "$installed")" "$common"
    done
    rm -f "$installed"
}

# Holds what common_version_preferences prints for the install of the given packages (apt
# options, "--", packages) in $preferences and says what that moves. Fails when the archive is in
# step and nothing needs holding.
hold_common_versions() {
    local options=() plan
    while [ "$1" != -- ]; do options+=("$1"); shift; done
    shift
    common_version_preferences "$@" >"$preferences"
    [ -s "$preferences" ] || return 1
    options+=(-o "Dir::Etc::Preferences=$preferences" --allow-downgrades --no-remove)
    # The dependency walk above is wider than the install: keep what the install brings in.
    plan="$(mktemp)"
    if apt_get install -s "${options[@]}" "$@" 2>/dev/null | sed -n 's/^Inst \([^ ]*\).*/\1/p' >"$plan" &&
        [ -s "$plan" ]; then
        awk 'FNR == NR { brought[$1]; next }
            { for (i = 2; i <= NF && $i != "Pin:"; i++) if ($i in brought) { print; next } }' \
            "$plan" RS= ORS='\n\n' "$preferences" >"$plan.kept"
        mv "$plan.kept" "$preferences"
    fi
    rm -f "$plan"
    [ -s "$preferences" ] || return 1
    say "the amd64 and i386 indexes are out of step; held at a version both offer:" \
        "$(awk '/^Package:/ { p = $2; sub(/:amd64$/, "", p) }
                /^Pin:/ { printf "%s%s %s", sep, p, $3; sep = ", " }' "$preferences")"
    plan="$(apt_get install -s "${options[@]}" "$@" 2>/dev/null |
        sed -n 's/^Inst \([^ ]*\) \[\([^]]*\)\] (\([^ ]*\) .*/\1 \2 \3/p' |
        while read -r package old new; do
            if dpkg --compare-versions "$new" lt "$old"; then
                printf '%s %s -> %s; ' "$package" "$old" "$new"
            fi
        done)"
    [ -z "$plan" ] || say "no newer version is common to both, so these go down: $plan"
}

# Installs those of the packages that are missing; apt options may come first, up to "--".
# "--common-versions" first holds Multi-Arch: same packages at a version both architectures offer
# (see above); only the modes that add i386 ask for it. A package of the user's is never removed
# for it: apt stops instead.
install_missing() {
    local common=false options=() missing=() package
    [ "$1" != --common-versions ] || { common=true; shift; }
    while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    update_indexes
    if $common && hold_common_versions "${options[@]}" -- "${missing[@]}"; then
        options+=(-o "Dir::Etc::Preferences=$preferences" --allow-downgrades --no-remove)
    fi
    apt_get install -y -qq "${options[@]}" "${missing[@]}" ||
        { say "could not install: ${missing[*]} (apt's reasons above)" >&2; return 1; }
}

# Where the kernel runs no 32-bit programs, Wine's go through qemu-i386. Debian 12's own qemu 7.2
# cannot run Wine (it ignores MAP_FIXED_NOREPLACE and Wine stops with "failed to map the shared
# user data"), so there it comes from bookworm-backports.
install_qemu_for_i386() {
    local version
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 && return 0
    version="$({ /usr/bin/qemu-i386 --version 2>/dev/null || true; } | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')"
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
    update_indexes
    apt_get install -y -qq -t bookworm-backports qemu-user-static
}

# Without recommends: Wine's would bring the gstreamer plugins, which the out-of-step archive
# cannot always install together, and nothing here needs. The fonts Wine recommends are named
# instead, since the Wine cases measure text against them.
options=(--no-install-recommends)
case "${1:-}" in
i386 | windows-tests | wine-e2e)
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    options=(--common-versions "${options[@]}")
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
