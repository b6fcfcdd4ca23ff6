#!/usr/bin/env bash
# End-to-end test of the Windows program under Wine, driven with the mouse and keyboard on a
# virtual X display, over the test ODBC driver (the Access dialect on SQLite) registered under
# the Access driver's name. Each case is judged by what the database, error.log and the
# window's controls then hold; the year by the tests' own record of it (year_rows), the
# window's texts and places by the program's own design (form_design), the box's product name
# by the version resource of the program file.
#
#   testing/wine-e2e/run-cases.sh [--case NAME]... [--list] [path/to/AlmanoriaYear2012.exe] [screenshot folder]
#
# Without --case every case runs: each function case_NAME of testing/wine-e2e/cases.sh, in the
# order they stand there, each with a comment saying what it shows. Each case stands alone: it
# makes its own calendars and its own starts of the program, and a failing case is reported
# (with a screenshot) while the others still run; the run fails at the end, after a last line
# "N passed, M failed". A case that runs past its time limit (900 s, or
# ALMANORIA_WINE_E2E_CASE_SECONDS) fails. One prefix, one Xvfb and, but for the cases that
# change the resolution or the time zone, one Wine server serve the whole run. The helpers are
# in testing/wine-e2e/lib.sh. Screenshots go to the folder given as the second argument
# (default build/wine-e2e), each named after its case, and with them junit.xml, one testcase a
# case with its failure's message and screenshot.
#
# ALMANORIA_WINE_E2E_KEEP=1 keeps the working folder (prefix, inspector reports) for a look.
# Needs the default preset built (makecalendar, year_rows, form_design) and the program built
# with its inspector (windows-i686); builds the 32-bit driver (odbc-driver-i686) when it is
# missing. Installs what is missing from Debian's packages, and where the kernel cannot run
# 32-bit programs, sets up qemu-i386.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo="$PWD"

selected=()
list_only=""
positional=()
while [ $# -gt 0 ]; do
    case "$1" in
        --case) [ $# -ge 2 ] || { echo "wine-e2e: --case needs a name" >&2; exit 2; }
            selected+=("$2"); shift 2 ;;
        --case=*) selected+=("${1#--case=}"); shift ;;
        --list) list_only=1; shift ;;
        -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d'; exit 0 ;;
        *) positional+=("$1"); shift ;;
    esac
done
exe="$(realpath -m "${positional[0]:-build/windows-i686/window/win32/AlmanoriaYear2012.exe}")"
shots="$(realpath -m "${positional[1]:-build/wine-e2e}")"
driver="$repo/build/odbc-driver-i686/testing/odbcdriver/libalmanoria_access_odbc.so"
makecalendar="$repo/build/default/tools/makecalendar"
year_rows="$repo/build/default/testing/wine-e2e/year_rows"
form_design="$repo/build/default/testing/wine-e2e/form_design"
inspector="$repo/build/windows-i686/testing/wine-e2e/inspect.exe"
started_at=$SECONDS

say() { echo "wine-e2e: $*"; }

# The cases: every function case_NAME of cases.sh, in the order they stand there, and which
# of them this run takes.
# shellcheck source=testing/wine-e2e/cases.sh
. "$repo/testing/wine-e2e/cases.sh"
mapfile -t all_cases < <(
    shopt -s extdebug  # declare -F then gives each function's line
    for function in $(declare -F | sed -n 's/^declare -f \(case_.*\)/\1/p'); do
        declare -F "$function"
    done | sort -k2,2n | sed 's/^case_\([^ ]*\) .*/\1/'
)
[ ${#all_cases[@]} -gt 0 ] || { say "cases.sh defines no case" >&2; exit 2; }
case_seconds="${ALMANORIA_WINE_E2E_CASE_SECONDS:-900}"
if [ -n "$list_only" ]; then printf '%s\n' "${all_cases[@]}"; exit 0; fi
[ ${#selected[@]} -gt 0 ] || selected=("${all_cases[@]}")
for name in "${selected[@]}"; do
    declare -F "case_$name" >/dev/null ||
        { say "no case named '$name'; the cases are: ${all_cases[*]}" >&2; exit 2; }
done

# --- What the machine needs ---------------------------------------------------------------

[ -f "$exe" ] || { say "no program at $exe: build the windows-i686 preset first" >&2; exit 1; }
[ -f "$inspector" ] || { say "no inspector at $inspector: build the windows-i686 preset" >&2; exit 1; }
for tool in "$makecalendar" "$year_rows" "$form_design"; do
    [ -x "$tool" ] || {
        say "no $tool: build the default preset first (tools/setup-and-test.sh)" >&2
        exit 1
    }
done

tools/install-deps.sh wine-e2e
if [ ! -f "$driver" ]; then
    say "building the 32-bit ODBC driver"
    tools/install-deps.sh i386
    cmake --preset odbc-driver-i686 >/dev/null
    cmake --build --preset odbc-driver-i686
fi
# Without the locale the driver would quietly read dates month first, and case 7 would prove
# nothing.
[ "$(LC_ALL=en_GB.UTF-8 locale d_fmt 2>/dev/null)" = "%d/%m/%y" ] ||
    { say "the locale en_GB.UTF-8 is missing (locales-all)" >&2; exit 1; }
[ "$(LC_ALL=en_US.UTF-8 locale d_fmt 2>/dev/null)" = "%m/%d/%Y" ] ||
    { say "the locale en_US.UTF-8 is missing (locales-all)" >&2; exit 1; }

# The product name the box must give: the one the program file's version resource holds.
product_name="$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
    tr -c '[:print:]' '\n' | grep -v '^$' | grep -A1 -x 'ProductName' | sed -n 2p || true)"
[ -n "$product_name" ] || { say "no ProductName in the version resource of $exe" >&2; exit 1; }

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.log "$shots"/*.txt "$shots"/junit.xml

# --- Working folder, display, cleanup -----------------------------------------------------

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
watch_pid=""
export WINEPREFIX="$work/wine" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers on the fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The test driver under the Access driver's name, in an odbcinst.ini of our own.
export ODBCSYSINI="$work/odbc" ODBCINSTINI=odbcinst.ini
# Month first unless a case says otherwise, whatever the machine's own locale.
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8

read_only_files=()
cleanup() {
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
    # Once per case: a failure inside a command substitution is reported there first.
    [ ! -e "$work/failed-$step" ] || exit 1
    printf '%s\n' "$*" >"$work/failed-$step"
    if [ -n "${DISPLAY:-}" ]; then
        local name
        name="failure-$(echo "$step" | tr -c 'A-Za-z0-9\n' '-' | cut -c1-40).png"
        /usr/bin/import -window root "$shots/$name" 2>/dev/null &&
            echo "wine-e2e: screenshot of the failure: $shots/$name" >&2 &&
            echo "$shots/$name" >"$work/screenshot-$step"
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
# The calendar's folder is named after the product, as form_design gives it.
product_folder="$(sed -n 's/^product|//p' "$work/design.txt")"
[ -n "$product_folder" ] || fail "the form's design names no product"
database_dir="$drive_c/Program Files/$product_folder"
# Where the program looks first.
default_path="C:\\Program Files\\$product_folder\\dbcalndr.mdb"
default_db="$database_dir/dbcalndr.mdb"
mkdir -p "$drive_c/e2e"
# xdotool sees only the top-level windows, so a small Win32 program reports what the window
# system knows of the wizard's controls: place, state, text, and the room each text needs.
cp "$inspector" "$drive_c/e2e/inspect.exe"

# shellcheck source=testing/wine-e2e/lib.sh
. "$repo/testing/wine-e2e/lib.sh"
echo 96 >"$work/dpi"
start_wine_server
# The standard box icons as this prefix draws them, for the box's icon to be compared with; a
# second try when Wine's desktop was slow to come up for the first.
for _ in 1 2; do
    timeout 120 wine 'C:\e2e\inspect.exe' icons >/dev/null 2>&1 && break
done
[ -f "$drive_c/e2e/icon-information.bmp" ] || fail "the inspector did not draw the box icons"

for name in "${selected[@]}"; do run_case "$name"; done

step="ending"
say "${#passed_cases[@]} of ${#selected[@]} cases passed in $((SECONDS - started_at)) s; screenshots in $shots"
[ ${#failed_cases[@]} = 0 ] || say "failed: ${failed_cases[*]}"
write_junit "$shots/junit.xml" $((SECONDS - started_at))
echo "${#passed_cases[@]} passed, ${#failed_cases[@]} failed"
[ ${#failed_cases[@]} = 0 ]
