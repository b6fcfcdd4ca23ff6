#!/usr/bin/env bash
# Builds the Windows release archive of one commit twice, from clones in two different folders,
# and compares the program and the archive byte for byte. Prints their SHA-256 when they agree.
#   tools/check-reproducible.sh [commit]        the commit defaults to HEAD
# ALMANORIA_YEAR builds another year's release, AlmanoriaYear2027.exe in its archive for 2027.
# Installs what the windows-i686 preset's package target needs. Each build is bounded to 25
# minutes.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
"$repo/tools/install-deps.sh" windows
commit="$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")"
year="${ALMANORIA_YEAR:-2012}"
SOURCE_DATE_EPOCH="$(git -C "$repo" log -1 --format=%ct "$commit")"
export SOURCE_DATE_EPOCH

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

build() {
    local src="$1"
    mkdir -p "$(dirname "$src")"
    git clone -q --no-checkout "$repo" "$src"
    git -C "$src" checkout -q --detach "$commit"
    echo "check-reproducible: building $commit in $src"
    (cd "$src" && timeout 300 cmake --preset windows-i686 -DALMANORIA_YEAR="$year" >"$src.log" 2>&1 &&
        timeout 1500 cmake --build --preset windows-i686 --target package >>"$src.log" 2>&1) || {
        tail -n 30 "$src.log" >&2
        echo "check-reproducible: the build in $src failed" >&2
        return 1
    }
}

# Folders of different names and depths, so that no path can slip into the output unnoticed.
first="$work/a/src"
second="$work/second-build/deeper/src"
build "$first"
build "$second"

archives=("$first"/build/windows-i686/AlmanoriaYear"$year"-*-win32.zip)
status=0
for name in "build/windows-i686/window/win32/AlmanoriaYear$year.exe" \
    "build/windows-i686/$(basename "${archives[0]}")"; do
    [ -f "$first/$name" ] || {
        echo "check-reproducible: no $name" >&2
        exit 1
    }
    if cmp -s "$first/$name" "$second/$name"; then
        echo "same: $(cd "$first" && sha256sum "$name")"
    else
        echo "DIFFERENT: $name ($(cmp -l "$first/$name" "$second/$name" 2>/dev/null | wc -l) bytes)" >&2
        cmp -l "$first/$name" "$second/$name" 2>/dev/null | head -n 20 >&2 || true
        status=1
    fi
done
if [ "$status" -ne 0 ]; then
    # Kept for a look with diffoscope or zipinfo.
    trap - EXIT
    echo "check-reproducible: the two builds differ; they are kept in $work" >&2
fi
exit "$status"
