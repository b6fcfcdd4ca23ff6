#!/usr/bin/env bash
# Smoke test of the Windows program under Wine on a virtual X display:
#  1. with no database at the default path the window "Almanoria Calendar Update" opens in its
#     not-found state;
#  2. with a file there that no ODBC driver can open, Next shows the box "Application Error"
#     and error.log beside the program holds the report under "frmMain.OpenDatabase".
# Screenshots go to the folder given as the second argument (default build/wine-smoke).
#
#   tools/wine-smoke.sh [path/to/AlmanoriaUpdate.exe] [screenshot folder]
set -euo pipefail
cd "$(dirname "$0")/.."

exe="$(realpath "${1:-build/windows-i686/window/win32/AlmanoriaUpdate.exe}")"
shots="$(realpath -m "${2:-build/wine-smoke}")"

if [ "${ALMANORIA_WINE_SMOKE_DISPLAY:-}" != "yes" ]; then
    [ -f "$exe" ] || { echo "no program at $exe: build the windows-i686 preset first" >&2; exit 1; }
    needed=()
    command -v wine >/dev/null || needed+=(wine wine32)
    command -v xvfb-run >/dev/null || needed+=(xvfb xauth)
    command -v xdotool >/dev/null || needed+=(xdotool)
    [ -x /usr/bin/import ] || needed+=(imagemagick)
    if [ ${#needed[@]} -gt 0 ]; then
        sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        echo "Installing: ${needed[*]}"
        $sudo dpkg --add-architecture i386
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${needed[@]}"
    fi
    mkdir -p "$shots"
    ALMANORIA_WINE_SMOKE_DISPLAY=yes exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$exe" "$shots"
fi

# From here on inside the virtual display.
prefix="$(mktemp -d)"
export WINEPREFIX="$prefix/wine" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers on the fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT

fail() {
    echo "wine-smoke: FAILED: $*" >&2
    /usr/bin/import -window root "$shots/failure.png" 2>/dev/null || true
    exit 1
}

# Waits for a window with exactly that title; prints its id.
wait_for_window() {
    local title="$1" id=""
    for _ in $(seq 1 120); do
        id="$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    return 1
}

echo "wine-smoke: making a Wine prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
# Wine draws the title bars itself, there being no window manager to do it.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wineserver -w

drive_c="$WINEPREFIX/drive_c"
program_dir="$drive_c/Almanoria Update"
database_dir="$drive_c/Program Files/Almanoria Desktop Calendar"
mkdir -p "$program_dir"
cp "$exe" "$program_dir/AlmanoriaUpdate.exe"
rm -rf "$database_dir"

start_program() {
    (cd "$program_dir" && wine "C:\\Almanoria Update\\AlmanoriaUpdate.exe" >/dev/null 2>&1 &)
}

echo "wine-smoke: 1. no database at the default path"
start_program
window="$(wait_for_window "Almanoria Calendar Update")" || fail "the window did not open"
sleep 2  # let it paint
/usr/bin/import -window root "$shots/1-not-found.png"
[ ! -e "$program_dir/error.log" ] || fail "the start reported a failure: $(cat "$program_dir/error.log")"
wineserver -k || true
wineserver -w

echo "wine-smoke: 2. a file at the default path that no driver can open"
mkdir -p "$database_dir"
printf 'not an Access database\n' >"$database_dir/dbcalndr.mdb"
start_program
window="$(wait_for_window "Almanoria Calendar Update")" || fail "the window did not open"
sleep 2
/usr/bin/import -window root "$shots/2-ready.png"
# Next stands 150 twips (10 pixels at 96 dots per inch) from the client area's right and
# bottom edges and is 65 x 25 pixels: its middle is 42 and 22 pixels in from the corner.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" $((WIDTH - 44)) $((HEIGHT - 24)) click 1
box="$(wait_for_window "Application Error")" || fail "no error box after Next"
sleep 1
/usr/bin/import -window root "$shots/3-application-error.png"
log="$program_dir/error.log"
[ -f "$log" ] || fail "no error.log beside the program"
grep -q $'^In module: frmMain.OpenDatabase\r$' "$log" || fail "error.log has no entry under frmMain.OpenDatabase: $(cat "$log")"
grep -q $'^At line: 40\r$' "$log" || fail "error.log does not give line 40: $(cat "$log")"
cp "$log" "$shots/error.log"
xdotool key --window "$box" Return || true
echo "wine-smoke: error.log:"
tr -d '\r' <"$log"
echo "wine-smoke: passed; screenshots in $shots"
