#!/usr/bin/env bash
# End-to-end test of the Windows program under Wine, driven with the mouse and keyboard on a
# virtual X display, over the test ODBC driver (the Access dialect on SQLite) registered under
# the Access driver's name. Each case is judged by what the database, error.log and the
# window's controls then hold; the year by the tests' own record of it (year_rows):
#  1. no database at the default path: the not-found state, Next does nothing, Cancel ends it;
#  2. a fresh calendar at the default path: ready, Next, the wait text, the finished state,
#     the whole year in the database, Finish ends the program;
#  3. the keyboard alone, on a second run: Alt+B opens the file dialog, Escape leaves ready and
#     path as they were; Alt+D focuses the path box, Tab walks Browse, Cancel, Next; Enter on
#     Next runs the update, which adds nothing;
#  4. Cancel in the ready state and the title bar's close box end it; not a byte changes;
#  5. a calendar used before (other colours and texts, days missing, events there) with a path
#     typed into the path box: the typed file untouched, the calendar the year exactly;
#  6. a calendar without a Dates table: one "Application Error" box, error.log under
#     frmMain.InitDates at line 140;
#  7. a file that is no database, on a French Windows: the box, error.log under
#     frmMain.OpenDatabase at line 40 with the month named in French;
#  8. the browse button: a calendar at a long path, picked in the file dialog, shown shortened
#     with an ellipsis, is updated;
#  9. from a program folder of non-ASCII names: a read-only calendar (one box, error.log beside
#     the program, not a byte changed), a second failure appended to the log, then a calendar
#     in that folder picked in the dialog, shown as it is and updated;
# 10. a day-first Windows (en_GB): every day stays on its own date;
# 11. 120 dots per inch (96 in cases 1 and 2): every control at its place in twips, no text cut
#     off; the long path shortened to the wider box; Space on the focused Next runs the update;
# 12. the calendar only under C:\Program Files (x86), which the shell names for 32-bit programs
#     ("ProgramFilesDir (x86)"): ready with that path, Next updates that file;
# 13. the same under C:\Programme, a German Windows XP's ProgramFilesDir; the registry restored;
# 14. a folder named error.log beside the program: one box, the entry in local application data;
# 15, 16. 144 and 192 dots per inch: the long path shortened inside the box's text area;
# 17. a version.dll and an odbc32.dll in the program's folder, named native first: that
#     odbc32.dll is never loaded (a probe that imports both loads them), and the update writes
#     the whole year.
# The helpers are in tools/wine-e2e/lib.sh, the cases in tools/wine-e2e/cases.sh.
# Screenshots go to the folder given as the second argument (default build/wine-e2e).
#
#   tools/wine-e2e.sh [path/to/AlmanoriaYear2012.exe] [screenshot folder]
#
# ALMANORIA_WINE_E2E_KEEP=1 keeps the working folder (prefix, inspector reports) for a look.
# Needs the default preset built (makecalendar, year_rows, form_design) and the program built
# with its inspector (windows-i686); builds the 32-bit driver (odbc-driver-i686) when it is missing. Installs what is missing from
# Debian's packages, and where the kernel cannot run 32-bit programs, sets up qemu-i386.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

exe="$(realpath -m "${1:-build/windows-i686/window/win32/AlmanoriaYear2012.exe}")"
shots="$(realpath -m "${2:-build/wine-e2e}")"
driver="$repo/build/odbc-driver-i686/tools/odbcdriver/libalmanoria_access_odbc.so"
makecalendar="$repo/build/default/tools/makecalendar"
year_rows="$repo/build/default/tools/wine-e2e/year_rows"
form_design="$repo/build/default/tools/wine-e2e/form_design"
inspector="$repo/build/windows-i686/tools/wine-e2e/inspect.exe"
started_at=$SECONDS

say() { echo "wine-e2e: $*"; }

# --- What the machine needs ---------------------------------------------------------------

[ -f "$exe" ] || { say "no program at $exe: build the windows-i686 preset first" >&2; exit 1; }
[ -f "$inspector" ] || { say "no inspector at $inspector: build the windows-i686 preset" >&2; exit 1; }
for tool in "$makecalendar" "$year_rows" "$form_design"; do
    [ -x "$tool" ] || {
        say "no $tool: build the default preset first (tools/setup-and-test.sh)" >&2
        exit 1
    }
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
needed=()
for package in wine wine32:i386 fonts-wine xvfb xdotool imagemagick sqlite3 locales-all \
    libodbc2:i386 libsqlite3-0:i386 libstdc++6:i386 gcc-mingw-w64-i686 g++; do
    installed "$package" || needed+=("$package")
done
if [ ! -f "$driver" ]; then
    # What the driver's 32-bit build needs.
    for package in cmake ninja-build g++-multilib unixodbc-dev:i386 libsqlite3-dev:i386; do
        installed "$package" || needed+=("$package")
    done
fi
if [ ${#needed[@]} -gt 0 ]; then
    say "installing: ${needed[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${needed[@]}"
fi
tools/i386-support.sh
if [ ! -f "$driver" ]; then
    say "building the 32-bit ODBC driver"
    cmake --preset odbc-driver-i686 >/dev/null
    cmake --build --preset odbc-driver-i686
fi
# Without the locale the driver would quietly read dates month first, and case 7 would prove
# nothing.
[ "$(LC_ALL=en_GB.UTF-8 locale d_fmt 2>/dev/null)" = "%d/%m/%y" ] ||
    { say "the locale en_GB.UTF-8 is missing (locales-all)" >&2; exit 1; }
[ "$(LC_ALL=en_US.UTF-8 locale d_fmt 2>/dev/null)" = "%m/%d/%Y" ] ||
    { say "the locale en_US.UTF-8 is missing (locales-all)" >&2; exit 1; }

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.log "$shots"/*.txt

# --- Working folder, display, cleanup -----------------------------------------------------

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
watch_pid=""
burst_pid=""
export WINEPREFIX="$work/wine" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers on the fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The test driver under the Access driver's name, in an odbcinst.ini of our own.
export ODBCSYSINI="$work/odbc" ODBCINSTINI=odbcinst.ini
# Month first unless a case says otherwise, whatever the machine's own locale.
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8

read_only_files=()
cleanup() {
    local pid file
    for file in "${read_only_files[@]}"; do chattr -i "$file" 2>/dev/null || true; done
    for pid in "$burst_pid" "$watch_pid" "$program_pid"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    done
    [ -d "$WINEPREFIX" ] && timeout 60 wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if [ -n "${ALMANORIA_WINE_E2E_KEEP:-}" ]; then
        echo "wine-e2e: kept the working folder $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

step="setting up"
fail() {
    echo "wine-e2e: FAILED: $step: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        local name
        name="failure-$(echo "$step" | tr -c 'A-Za-z0-9\n' '-' | cut -c1-40).png"
        /usr/bin/import -window root "$shots/$name" 2>/dev/null &&
            echo "wine-e2e: screenshot of the failure: $shots/$name" >&2
    fi
    exit 1
}

# Our own Xvfb, so the trap can end it by its pid; it names a free display once it is ready.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/displayfd" \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
read -r -t 30 display <"$work/displayfd" || true
[ -n "$display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$display"
say "virtual display $DISPLAY (Xvfb pid $xvfb_pid)"

# --- Helpers built for the test -----------------------------------------------------------

# The year as the tests record it, apart from the program's year table: the named days' names,
# the noted days' note lengths, the colours' counts and runs. Each name is an all-day event.
"$year_rows" >"$work/year.txt" || fail "the year's record could not be listed"
# The window as the program builds it: texts, controls and their places in twips.
"$form_design" >"$work/design.txt" || fail "the form's design could not be listed"
grep '^link|' "$work/year.txt" | sed 's/$/|1/' | sort >"$work/expected-links.txt"
expected_links=$(wc -l <"$work/expected-links.txt")
[ "$expected_links" -gt 0 ] || fail "the year's record names no day"
for day in $(seq 0 365); do date -u -d "2012-01-01 + $day days" +%F; done >"$work/expected-keys.txt"
[ "$(tail -n 1 "$work/expected-keys.txt")" = 2012-12-31 ] || fail "2012 is not 366 days long here"

# --- The Wine prefix ----------------------------------------------------------------------

step="making the Wine prefix"
say "making a Wine prefix (win32)"
timeout 300 wineboot -i >/dev/null 2>&1 || fail "wineboot did not finish within 300 s"
timeout 120 wineserver -w || fail "the Wine server did not settle"
# Wine draws the title bars itself, there being no window manager to do it.
timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 ||
    fail "the registry could not be set"

mkdir -p "$ODBCSYSINI"
printf '[Microsoft Access Driver (*.mdb)]\nDriver=%s\n' "$driver" >"$ODBCSYSINI/odbcinst.ini"

drive_c="$WINEPREFIX/drive_c"
database_dir="$drive_c/Program Files/Almanoria Desktop Calendar"
default_db="$database_dir/dbcalndr.mdb"
mkdir -p "$drive_c/e2e"
# xdotool sees only the top-level windows, so a small Win32 program reports what the window
# system knows of the wizard's controls: place, state, text, and the room each text needs.
cp "$inspector" "$drive_c/e2e/inspect.exe"

# shellcheck source=tools/wine-e2e/lib.sh
. "$repo/tools/wine-e2e/lib.sh"
place_program 'C:\Almanoria Year 2012' "$drive_c/Almanoria Year 2012"
passed=()  # what each case has shown, for the summary
# shellcheck source=tools/wine-e2e/cases.sh
. "$repo/tools/wine-e2e/cases.sh"

step="ending"
say "passed in $((SECONDS - started_at)) s:"
for line in "${passed[@]}"; do say "  $line"; done
say "  screenshots in $shots"

