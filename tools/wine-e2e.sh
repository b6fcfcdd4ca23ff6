#!/usr/bin/env bash
# End-to-end test of the Windows program under Wine, driven with the mouse and keyboard on a
# virtual X display, over the test ODBC driver (the Access dialect on SQLite) registered under
# the Access driver's name:
#  1. no database at the default path: the not-found state, Next does nothing, Cancel ends it;
#  2. a fresh calendar at the default path: ready, Next, the wait text, the finished state,
#     the whole year in the database, Finish ends the program;
#  3. a second run on that file adds nothing;
#  4. a calendar without a Dates table: one "Application Error" box, error.log under
#     frmMain.InitDates at line 140;
#  5. a file that is no database, on a French Windows: the box, error.log under
#     frmMain.OpenDatabase at line 40 with the month named in French;
#  6. the browse button: a calendar elsewhere, picked in the file dialog, is updated;
#  7. a day-first Windows (en_GB): every day stays on its own date;
#  8. 96 and 120 dots per inch: every control at its place in twips, no text cut off.
# Screenshots go to the folder given as the second argument (default build/wine-e2e).
#
#   tools/wine-e2e.sh [path/to/AlmanoriaYear2012.exe] [screenshot folder]
#
# ALMANORIA_WINE_E2E_KEEP=1 keeps the working folder (prefix, inspector reports) for a look.
# Needs the default preset built (makecalendar, year_rows) and the program built
# (windows-i686); builds the 32-bit driver (odbc-driver-i686) when it is missing. Installs what is missing from
# Debian's packages, and where the kernel cannot run 32-bit programs, sets up qemu-i386.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

exe="$(realpath -m "${1:-build/windows-i686/window/win32/AlmanoriaYear2012.exe}")"
shots="$(realpath -m "${2:-build/wine-e2e}")"
driver="$repo/build/odbc-driver-i686/tools/odbcdriver/libalmanoria_access_odbc.so"
makecalendar="$repo/build/default/tools/makecalendar"
year_rows="$repo/build/default/tools/year_rows"
started_at=$SECONDS

say() { echo "wine-e2e: $*"; }

# --- What the machine needs ---------------------------------------------------------------

[ -f "$exe" ] || { say "no program at $exe: build the windows-i686 preset first" >&2; exit 1; }
for tool in "$makecalendar" "$year_rows"; do
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

cleanup() {
    local pid
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

# The year as the program carries it, in the form the database keeps it: one "day" line per
# date (key, colour, notes) and one "link" line per named day.
"$year_rows" >"$work/year.txt" || fail "the year's rows could not be listed"
grep '^day|' "$work/year.txt" | sort >"$work/expected-days.txt"
grep '^link|' "$work/year.txt" | sort >"$work/expected-links.txt"
[ "$(wc -l <"$work/expected-days.txt")" = 366 ] || fail "the year table has not 366 days"
expected_links=$(wc -l <"$work/expected-links.txt")

# xdotool sees only the top-level windows, so a small Win32 program reports what the window
# system knows of the wizard's controls: place, state, text, and the room each text needs.
i686-w64-mingw32-gcc -O2 -Wall -static -o "$work/inspect.exe" "$repo/tools/wine-e2e/inspect.c" \
    -luser32 -lgdi32 -lodbc32 ||
    fail "the inspector could not be built"

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
program_dir="$drive_c/Almanoria Year 2012"
database_dir="$drive_c/Program Files/Almanoria Desktop Calendar"
default_db="$database_dir/dbcalndr.mdb"
log="$program_dir/error.log"
mkdir -p "$program_dir" "$drive_c/e2e"
cp "$exe" "$program_dir/AlmanoriaYear2012.exe"
cp "$work/inspect.exe" "$drive_c/e2e/inspect.exe"

# --- Driving the program ------------------------------------------------------------------

# The two texts of the message label, as the inspector prints them (line breaks escaped).
first_line='The Almanoria Calendar Update will update your Almanoria Calendar database. '
ready_text="${first_line}"'\r\nPlease click Next to begin the update.\r\n\r\nTo update a different database file than the one displayed below, click the Browse and select the file to update.'
not_found_text="${first_line}"'\r\n\r\nThe Almanoria database file is not installed in the default directory.\r\nClick the Browse button to find the database file yourself.'
wait_text='Updating the database...please wait.'
finished_text='Update completed!  Please click Finish to end the update.'

# Runs the inspector; its report lands in $work/inspect.txt.
inspect() {
    timeout 60 wine 'C:\e2e\inspect.exe' 2>/dev/null | tr -d '\r' >"$work/inspect.txt" ||
        fail "the inspector did not run"
    grep -q '^dpi ' "$work/inspect.txt" || fail "the inspector reported nothing"
}
# One control's line: id class enabled visible left top width height need-w need-h, the ink's
# box when drawn unclipped (x0 y0 x1 y1, -1 for none), text.
control() { grep "^child $1 " "$work/inspect.txt" | head -n 1 | cut -d' ' -f2-; }
control_field() { control "$1" | cut -d' ' -f"$2"; }
control_text() { control "$1" | cut -d' ' -f15-; }
window_line() { grep '^window ' "$work/inspect.txt" || true; }

# Starts the program as a user would, from its own folder; extra VAR=value pairs go to its
# environment.
start_program() {
    rm -f "$log"
    (cd "$program_dir" && exec env "$@" wine 'C:\Almanoria Year 2012\AlmanoriaYear2012.exe' \
        >"$work/program.out" 2>&1) &
    program_pid=$!
    local id=""
    for _ in $(seq 1 240); do
        id="$(xdotool search --onlyvisible --name '^Almanoria Calendar Update$' 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && break
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window opened"
        sleep 0.5
    done
    [ -n "$id" ] || fail "the window did not open within 120 s"
    window_id="$id"
    # The window is mapped; wait until its controls stand too.
    for _ in $(seq 1 20); do
        inspect
        [ "$(grep -c '^child ' "$work/inspect.txt")" -ge 7 ] && break
        sleep 0.5
    done
    [ "$(grep -c '^child ' "$work/inspect.txt")" = 7 ] ||
        fail "the window does not have its seven controls: $(cat "$work/inspect.txt")"
    read -r _ win_left win_top win_width win_height _ client_x client_y client_w client_h \
        <<<"$(window_line)"
    sleep 1  # let it paint
}

# Clicks the middle of a control of the wizard, by its place on the screen.
click_control() {
    local left top width height
    read -r left top width height <<<"$(control "$1" | cut -d' ' -f5-8)"
    [ -n "$height" ] || fail "no control $1 to click"
    xdotool mousemove $((client_x + left + width / 2)) $((client_y + top + height / 2)) click 1
}

# Waits until the program's process has ended (the window gone with it).
wait_program_end() {
    for _ in $(seq 1 120); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            local status=0
            wait "$program_pid" 2>/dev/null || status=$?
            program_pid=""
            [ "$status" = 0 ] || fail "$1: the program ended with status $status"
            if xdotool search --onlyvisible --name '^Almanoria Calendar Update$' >/dev/null 2>&1; then
                fail "$1: the process ended but its window is still there"
            fi
            return 0
        fi
        sleep 0.5
    done
    fail "$1: the program did not end within 60 s"
}

# Waits for a top-level window with exactly that title; sets found_id.
wait_for_window() {
    found_id=""
    for _ in $(seq 1 "${2:-120}"); do
        found_id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
        [ -n "$found_id" ] && return 0
        sleep 0.5
    done
    return 1
}

# Screenshot of the wizard's window alone.
shoot() {
    /usr/bin/import -window root "$work/root.png"
    convert "$work/root.png" -crop "${win_width}x${win_height}+${win_left}+${win_top}" +repage \
        "$shots/$1"
}

expect_state() {  # what, label text, Next enabled, Cancel enabled, Next caption
    local what="$1"
    [ "$(control_text 101)" = "$2" ] || fail "$what: the message reads '$(control_text 101)'"
    [ "$(control_text 106)" = "$5" ] || fail "$what: the next button reads '$(control_text 106)'"
    [ "$(control_field 106 3)" = "$3" ] || fail "$what: the next button's enabled state is not $3"
    [ "$(control_field 105 3)" = "$4" ] || fail "$what: Cancel's enabled state is not $4"
    [ "$(control_field 104 3)" = 1 ] || fail "$what: Browse is disabled"
    [ "$(control_text 104)" = '&Browse...' ] || fail "$what: Browse reads '$(control_text 104)'"
    [ "$(control_text 105)" = 'Cancel' ] || fail "$what: Cancel reads '$(control_text 105)'"
    [ "$(control_text 102)" = 'Almanoria &database file:' ] ||
        fail "$what: the path label reads '$(control_text 102)'"
}

# Presses Next and follows the run until it finishes, with screenshots along the way.
run_update() {  # name for the screenshots
    local name="$1"
    rm -rf "$work/burst" "$work/stop-burst"
    mkdir -p "$work/burst"
    timeout 300 wine 'C:\e2e\inspect.exe' watch 240 >"$work/watch-raw.txt" 2>/dev/null &
    watch_pid=$!
    for _ in $(seq 1 60); do
        grep -q '^state ' "$work/watch-raw.txt" 2>/dev/null && break
        sleep 0.5
    done
    grep -q '^state ' "$work/watch-raw.txt" || fail "the watcher did not start"
    # The wait text may stand only a moment: shoot the screen as fast as we can meanwhile.
    (for i in $(seq 1 400); do
        [ -e "$work/stop-burst" ] && break
        /usr/bin/import -window root "$work/burst/$(printf '%03d' "$i").png" 2>/dev/null || true
    done) &
    burst_pid=$!
    local clicked=$SECONDS
    click_control 106
    wait "$watch_pid" || true
    watch_pid=""
    touch "$work/stop-burst"
    wait "$burst_pid" || true
    burst_pid=""
    run_seconds=$((SECONDS - clicked))
    tr -d '\r' <"$work/watch-raw.txt" >"$work/watch.txt"
    cp "$work/watch.txt" "$shots/$name-states.txt"
    if grep -q '^timeout' "$work/watch.txt"; then fail "the run did not end within 240 s"; fi
    if grep -q '^gone' "$work/watch.txt"; then fail "the window went away during the run"; fi
}

# The first burst frame whose message area is neither the one before nor the one after the
# run: that is the wait text on the screen.
keep_running_frame() {  # before.png after.png target
    local crop frame
    crop="$(control 101 | awk -v x="$client_x" -v y="$client_y" '{print $7 "x" $8 "+" x + $5 "+" y + $6}')"
    convert "$work/root-before.png" -crop "$crop" +repage "$work/label-before.png"
    convert "$work/root-after.png" -crop "$crop" +repage "$work/label-after.png"
    for frame in "$work"/burst/*.png; do
        [ -e "$frame" ] || continue
        convert "$frame" -crop "$crop" +repage "$work/label-frame.png" 2>/dev/null || continue
        if [ "$(compare -metric AE "$work/label-frame.png" "$work/label-before.png" null: 2>&1 || true)" != 0 ] &&
            [ "$(compare -metric AE "$work/label-frame.png" "$work/label-after.png" null: 2>&1 || true)" != 0 ]; then
            convert "$frame" -crop "${win_width}x${win_height}+${win_left}+${win_top}" +repage "$1"
            return 0
        fi
    done
    return 1
}

# The run's states as the watcher saw them: ready, then the wait text with Next disabled,
# then the finished state.
expect_run_states() {
    local states="$work/watch.txt"
    grep -qxF "state next=Next >|0 cancel=1 boxes=0 label=$wait_text" "$states" ||
        fail "the wait text with Next disabled and Cancel enabled never showed: $(cat "$states")"
    grep -qxF "state next=Finish|1 cancel=0 boxes=0 label=$finished_text" "$states" ||
        fail "the run did not end in the finished state: $(tail -n 3 "$states")"
    # Nothing else in between: no box, no other text.
    local other
    other="$(grep '^state ' "$states" | grep -vxF "state next=Next >|1 cancel=1 boxes=0 label=$ready_text" |
        grep -vxF "state next=Next >|0 cancel=1 boxes=0 label=$ready_text" |
        grep -vxF "state next=Next >|0 cancel=1 boxes=0 label=$wait_text" |
        grep -vxF "state next=Finish|0 cancel=1 boxes=0 label=$finished_text" |
        grep -vxF "state next=Finish|1 cancel=1 boxes=0 label=$finished_text" |
        grep -vxF "state next=Finish|1 cancel=0 boxes=0 label=$finished_text" |
        grep -vxF "state next=Next >|0 cancel=1 boxes=0 label=$finished_text" || true)"
    [ -z "$other" ] || fail "the run went through an unexpected state: $other"
}

# The database as the program left it: the whole year, each day on its own date.
q() { sqlite3 -separator '|' "$1" "$2"; }
check_year() {  # database, what
    local db="$1" what="$2"
    [ "$(q "$db" 'SELECT COUNT(*) FROM Dates')" = 366 ] ||
        fail "$what: Dates has $(q "$db" 'SELECT COUNT(*) FROM Dates') rows, not 366"
    q "$db" "SELECT 'day', DateKey, DateColor, DateText FROM Dates" | sort >"$work/got-days.txt"
    diff "$work/expected-days.txt" "$work/got-days.txt" >"$work/days.diff" ||
        fail "$what: the days differ from the year's (dates, colours or notes): $(head -c 1500 "$work/days.diff")"
    [ "$(q "$db" "SELECT COUNT(*) FROM Dates WHERE DateNotes IS NOT ''")" = 0 ] ||
        fail "$what: DateNotes was written on a fresh calendar"
    [ "$(q "$db" 'SELECT COUNT(*) FROM Events')" = "$expected_links" ] ||
        fail "$what: $(q "$db" 'SELECT COUNT(*) FROM Events') events, not $expected_links"
    [ "$(q "$db" "SELECT COUNT(*) FROM Events WHERE AllDayEvent = 1 AND StartTime = '0:00 AM' AND EndTime = '11:59 PM' AND EventColor = '' AND EventIcon = '' AND Notes = '' AND Recurring = 0")" = "$expected_links" ] ||
        fail "$what: not every event is a plain all-day event"
    [ "$(q "$db" 'SELECT COUNT(*) FROM EventDates')" = "$expected_links" ] ||
        fail "$what: $(q "$db" 'SELECT COUNT(*) FROM EventDates') links, not $expected_links"
    q "$db" "SELECT 'link', l.EventDate, e.EventName FROM Events e JOIN EventDates l ON l.EventId = e.EventID" |
        sort >"$work/got-links.txt"
    diff "$work/expected-links.txt" "$work/got-links.txt" >"$work/links.diff" ||
        fail "$what: the events' links differ from the year's names: $(head -c 1500 "$work/links.diff")"
    [ "$(q "$db" 'SELECT COUNT(*) FROM Dates d WHERE EventCount <> (SELECT COUNT(*) FROM EventDates l WHERE l.EventDate = d.DateKey)')" = 0 ] ||
        fail "$what: some day's EventCount is not its number of links"
    [ "$(q "$db" 'SELECT SUM(EventCount) FROM Dates')" = "$expected_links" ] ||
        fail "$what: the day counts add up to $(q "$db" 'SELECT SUM(EventCount) FROM Dates')"
}
dump() {  # database -> every row of the three tables, in a fixed order
    q "$1" "SELECT 'D', rowid, DateKey, DateColor, EventCount, DateNotes, DateText FROM Dates ORDER BY rowid;
            SELECT 'E', * FROM Events ORDER BY EventID;
            SELECT 'L', rowid, * FROM EventDates ORDER BY rowid"
}

# error.log: exactly one entry of eight lines, each ended by CR LF.
# The month names the log is expected to use: English, or French as Wine's fr-FR names them,
# in Windows-1252, the code page of a French Windows.
english_months=(Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
french_months=(janv. févr. mars avr. mai juin juil. août sept. oct. nov. déc.)
log_months=("${english_months[@]}")
log_date() {  # when, as date -d takes it
    local month
    month="$(date -d "$1" '+%-m')"
    printf '%s-%s-%s' "$(date -d "$1" '+%d')" "${log_months[month - 1]}" "$(date -d "$1" '+%Y')"
}

check_log() {  # module, line
    [ -f "$log" ] || fail "no error.log beside the program"
    cp "$log" "$shots/$step_tag-error.log"
    [ "$(wc -l <"$log")" = 8 ] || fail "error.log has $(wc -l <"$log") lines, not 8: $(cat -A "$log")"
    [ "$(grep -c $'\r$' "$log")" = 8 ] || fail "not every line of error.log ends with CR LF"
    tr -d '\r' <"$log" >"$work/log.txt"
    line() { sed -n "$1p" "$work/log.txt"; }
    # Today's date with the month named as the program's locale names it, in the log's code
    # page; either side of midnight is allowed.
    local stamp today yesterday
    stamp="$(line 1)"
    today="$(log_date now)"
    yesterday="$(log_date '1 minute ago')"
    # Bytes, not characters: the month may be in a code page other than this shell's.
    printf '%s\n' "$stamp" |
        LC_ALL=C grep -qE '^[0-9]{2}-[^ ]+-[0-9]{4}  [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$' ||
        fail "error.log's first line is not 'DD-MMM-YYYY  HH:MM:SS': '$stamp'"
    [ "${stamp%%  *}" = "$today" ] || [ "${stamp%%  *}" = "$yesterday" ] ||
        fail "error.log's date is $stamp, not today ($today)"
    [ "$(line 2)" = "Error logged by application: AlmanoriaYear2012" ] || fail "error.log line 2: $(line 2)"
    [ "$(line 3)" = "In module: $1" ] || fail "error.log names '$(line 3)', not $1"
    [ "$(line 4)" = "At line: $2" ] || fail "error.log gives '$(line 4)', not line $2"
    [[ "$(line 5)" =~ ^Error\ Number:\ -?[1-9][0-9]*$ ]] || fail "error.log line 5: $(line 5)"
    [[ "$(line 6)" =~ ^Error\ Description:\ .+ ]] || fail "error.log has no description: $(line 6)"
    [ "$(line 7)" = "$(printf -- '-%.0s' $(seq 1 50))" ] || fail "error.log line 7 is not 50 dashes"
    [ -z "$(line 8)" ] || fail "error.log's last line is not empty"
    log_number="$(line 5)"
    log_description="$(line 6)"
}

# The lines of the inspector's report about the Application Error box.
box_lines() {
    awk '/^box Application Error$/ { inside = 1; next } /^box |^boxes / { inside = 0 } inside' \
        "$work/inspect.txt"
}

# The box: one, titled "Application Error", the report's text and one OK button.
check_box() {  # module, line
    wait_for_window "Application Error" 240 || fail "no Application Error box"
    box_id="$found_id"
    sleep 1
    inspect
    [ "$(grep -c '^box Application Error$' "$work/inspect.txt")" = 1 ] ||
        fail "not exactly one Application Error box: $(grep '^box' "$work/inspect.txt")"
    local message
    box_lines >"$work/box.txt"
    message="$(grep '^boxchild [0-9]* Static 1 ' "$work/box.txt" | cut -d' ' -f5- |
        grep 'An error has occurred' || true)"
    [ -n "$message" ] || fail "the box shows no report: $(cat "$work/inspect.txt")"
    local expected="An error has occurred.\r\n\r\nProduct Name: \tAlmanoria Desktop Calendar\r\nApplication File:  \tAlmanoriaYear2012\r\nModule: \t\t$1\r\nLine Number: \t$2\r\n\r\n${log_number/Error Number: /Error Number: \\t}\r\n${log_description/Error Description: /Error Description: \\t}\r\n\r\n\r\n\r\n"
    [ "$message" = "$expected" ] || fail "the box reads '$message', not '$expected'"
    [ "$(grep -c '^boxchild [0-9]* Button 1 ' "$work/box.txt")" = 1 ] ||
        fail "the box has not exactly one button: $(cat "$work/box.txt")"
    grep -q '^boxchild [0-9]* Button 1 OK$' "$work/box.txt" || fail "the box's button is not OK"
}
dismiss_box() {
    xdotool key --window "$box_id" Return 2>/dev/null
    for _ in $(seq 1 40); do
        xdotool search --onlyvisible --name '^Application Error$' >/dev/null 2>&1 || return 0
        sleep 0.5
    done
    fail "the box did not go away on Enter"
}

# --- Layout at a resolution ---------------------------------------------------------------

muldiv() { echo $((($1 * $2 + 720) / 1440)); }

# Checks the wizard against its twips layout at the inspector's resolution, and the drawn
# screenshot against the places the window system gives: framed controls are looked for at
# their edges, texts must not reach the edge of their control.
check_layout() {  # screenshot of the root window, label for messages
    local dpi root="$1" what="$2"
    dpi="$(sed -n 's/^dpi //p' "$work/inspect.txt")"
    [ "$client_w" = "$(muldiv 6825 "$dpi")" ] && [ "$client_h" = "$(muldiv 2985 "$dpi")" ] ||
        fail "$what: the client area is ${client_w}x${client_h} at $dpi dpi, not $(muldiv 6825 "$dpi")x$(muldiv 2985 "$dpi")"
    # The X window is the whole Win32 window, frame included.
    local xw xh xx xy
    eval "$(xdotool getwindowgeometry --shell "$window_id" | sed 's/^/xg_/')"
    xw=$xg_WIDTH xh=$xg_HEIGHT xx=$xg_X xy=$xg_Y
    [ "$xw" = "$win_width" ] && [ "$xh" = "$win_height" ] && [ "$xx" = "$win_left" ] && [ "$xy" = "$win_top" ] ||
        fail "$what: X sees the window at ${xw}x${xh}+$xx+$xy, Win32 at ${win_width}x${win_height}+$win_left+$win_top"
    local id left top width height expected
    while read -r id left top width height; do
        expected="$(muldiv "$left" "$dpi") $(muldiv "$top" "$dpi") $(muldiv "$width" "$dpi") $(muldiv "$height" "$dpi")"
        [ "$(control "$id" | cut -d' ' -f5-8)" = "$expected" ] ||
            fail "$what: control $id stands at $(control "$id" | cut -d' ' -f5-8), not $expected (left top width height)"
    done <<'EOF'
101 960 120 5655 1155
102 120 1500 1815 255
103 120 1740 5595 315
104 5820 1700 855 375
105 4500 2460 975 375
106 5700 2460 975 375
EOF
    # The picture control takes the size of its 48 x 48 icon at its place.
    [ "$(control 100 | cut -d' ' -f5-8)" = "$(muldiv 60 "$dpi") $(muldiv 120 "$dpi") 48 48" ] ||
        fail "$what: the picture stands at $(control 100 | cut -d' ' -f5-8)"
    # The multi-line message must have room for all its lines, one-line texts for their width
    # (a couple of pixels of the last letter's spacing may stick out without ink).
    local need_w need_h id2
    read -r width height need_w need_h <<<"$(control 101 | cut -d' ' -f7-10)"
    [ "$need_h" -le "$height" ] || fail "$what: the message needs $need_h pixels of height, the label has $height"
    for id2 in 102 104 105 106; do
        read -r width height need_w need_h <<<"$(control "$id2" | cut -d' ' -f7-10)"
        [ "$need_w" -le $((width + 3)) ] ||
            fail "$what: the text of control $id2 needs $need_w pixels, it has $width"
    done
    # The path, shortened to fit, fits the path box inside its sunken edge and margins.
    read -r width height need_w need_h <<<"$(control 103 | cut -d' ' -f7-10)"
    [ "$need_w" -le $((width - 6)) ] ||
        fail "$what: the path box shows a text of $need_w pixels in its $width"

    # The screenshot: the client area as text pixels, then each control looked at.
    convert "$root" -crop "${client_w}x${client_h}+${client_x}+${client_y}" +repage -depth 8 txt:- |
        tail -n +2 | sed -E 's/^([0-9]+),([0-9]+): .* (#[0-9A-Fa-f]{6}).*/\1 \2 \3/' >"$work/pixels.txt"
    grep '^child ' "$work/inspect.txt" | cut -d' ' -f2,6-9,12-15 >"$work/rects.txt"
    awk -v what="$what" '
        function hex(h) { return index("0123456789ABCDEF", toupper(substr(h, 1, 1))) * 16 + index("0123456789ABCDEF", toupper(substr(h, 2, 1))) - 17 }
        function lum(c) { return 0.299 * hex(substr(c, 2, 2)) + 0.587 * hex(substr(c, 4, 2)) + 0.114 * hex(substr(c, 6, 2)) }
        # Inside another control: the path label overlaps the top of the path box by a pixel.
        function elsewhere(i, x, y,   j) {
            for (j = 1; j <= n; j++)
                if (j != i && x >= L[j] && x < L[j] + W[j] && y >= T[j] && y < T[j] + H[j]) return 1
            return 0
        }
        FNR == NR { id[++n] = $1; L[n] = $2; T[n] = $3; W[n] = $4; H[n] = $5; X0[n] = $6; Y0[n] = $7; X1[n] = $8; Y1[n] = $9; next }
        { px[$1 "," $2] = $3; count[$3]++ }
        END {
            for (c in count) if (count[c] > best) { best = count[c]; bg = c }
            bad = 0
            for (i = 1; i <= n; i++) {
                l = L[i]; t = T[i]; r = l + W[i] - 1; b = t + H[i] - 1
                if (id[i] >= 103) {
                    # Framed controls: the frame on the rectangle, the background just outside.
                    on = out = total = 0
                    for (y = t + 2; y <= b - 2; y++) {
                        total += 2
                        on += (px[l "," y] != bg) + (px[r "," y] != bg)
                        out += (px[l - 1 "," y] == bg) + (px[r + 1 "," y] == bg)
                    }
                    for (x = l + 2; x <= r - 2; x++) {
                        total += 2
                        on += (px[x "," t] != bg) + (px[x "," b] != bg)
                        out += (px[x "," t - 1] == bg) + (px[x "," b + 1] == bg)
                    }
                    if (on < 0.95 * total || out < 0.95 * total) {
                        printf "%s: control %d is not drawn at %d,%d %dx%d (frame %d/%d, outside %d/%d)\n", what, id[i], l, t, W[i], H[i], on, total, out, total
                        bad = 1
                    }
                }
                # Ink: the text and picture pixels inside the control, away from any frame.
                inset = (id[i] >= 103) ? 2 : 0
                minx = 1e9; maxx = -1; miny = 1e9; maxy = -1
                for (y = t + inset; y <= b - inset; y++)
                    for (x = l + inset; x <= r - inset; x++)
                        if (lum(px[x "," y]) < 200 && !elsewhere(i, x, y)) {
                            if (x < minx) minx = x; if (x > maxx) maxx = x
                            if (y < miny) miny = y; if (y > maxy) maxy = y
                        }
                if (id[i] != 103 && maxx < 0) {
                    printf "%s: control %d shows nothing\n", what, id[i]; bad = 1; continue
                }
                if (maxx < 0) continue
                if (id[i] == 101 || id[i] == 102) {
                    # A label draws from its top left corner: its ink on the screen must be
                    # the whole ink of its text, inside the label.
                    if (X1[i] >= W[i] || Y1[i] >= H[i] || minx - l != X0[i] || miny - t != Y0[i] || maxx - l != X1[i] || maxy - t != Y1[i]) {
                        printf "%s: label %d shows ink at %d,%d to %d,%d of its %dx%d, its text has ink at %d,%d to %d,%d: cut off\n", what, id[i], minx - l, miny - t, maxx - l, maxy - t, W[i], H[i], X0[i], Y0[i], X1[i], Y1[i]
                        bad = 1
                    }
                }
                if (id[i] >= 104) {
                    # A button caption whole, in the middle of its button, clear of its frame.
                    mid = (minx + maxx) / 2 - (l + r) / 2
                    if (minx <= l + 2 || maxx >= r - 2 || mid > 3 || mid < -3 || maxx - minx != X1[i] - X0[i] || maxy - miny != Y1[i] - Y0[i]) {
                        printf "%s: the caption of button %d is not whole inside it (ink %d..%d x %d..%d, button %d..%d, text ink %d wide %d high)\n", what, id[i], minx, maxx, miny, maxy, l, r, X1[i] - X0[i] + 1, Y1[i] - Y0[i] + 1
                        bad = 1
                    }
                }
                printf "  control %d at %d,%d %dx%d, ink %d,%d to %d,%d\n", id[i], l, t, W[i], H[i], minx, miny, maxx, maxy > "/dev/stderr"
            }
            exit bad
        }' "$work/rects.txt" "$work/pixels.txt" 2>"$work/ink.txt" >"$work/layout.txt" ||
        fail "$(cat "$work/layout.txt")"
    say "  $what: client ${client_w}x${client_h} at $dpi dpi; every control at its place, drawn there, texts inside"
}

# --- The cases ----------------------------------------------------------------------------

db_reset() { rm -rf "$database_dir"; mkdir -p "$database_dir"; }

step="1. no database at the default path"; step_tag=1
say "$step (at $((SECONDS - started_at)) s)"
rm -rf "$database_dir"
start_program
[ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = 96 ] ||
    fail "a fresh prefix runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not 96"
expect_state "not found" "$not_found_text" 0 1 'Next >'
[ -z "$(control_text 103)" ] || fail "the path box holds '$(control_text 103)'"
shoot 1-not-found.png
cp "$work/root.png" "$work/root-96-not-found.png"
check_layout "$work/root-96-not-found.png" "96 dpi, not found"
# A click on the disabled Next must change nothing: no run, no box, no log.
click_control 106
for _ in $(seq 1 6); do
    sleep 0.5
    if xdotool search --onlyvisible --name '^Application Error$' >/dev/null 2>&1; then
        fail "a click on the disabled Next showed a box"
    fi
done
inspect
expect_state "not found, after a click on Next" "$not_found_text" 0 1 'Next >'
[ ! -e "$log" ] || fail "the start or the click reported a failure: $(cat "$log")"
[ ! -e "$default_db" ] || fail "a database appeared at the default path"
click_control 105
wait_program_end "Cancel"

step="2. a fresh calendar at the default path"; step_tag=2
say "$step (at $((SECONDS - started_at)) s)"
db_reset
"$makecalendar" "$default_db"
start_program
expect_state "ready" "$ready_text" 1 1 'Next >'
[ "$(control_text 103)" = 'C:\Program Files\Almanoria Desktop Calendar\dbcalndr.mdb' ] ||
    fail "the path box holds '$(control_text 103)'"
shoot 2-ready.png
cp "$work/root.png" "$work/root-before.png"
cp "$work/root.png" "$work/root-96-ready.png"
check_layout "$work/root-96-ready.png" "96 dpi, ready"
run_update 2
sleep 0.5
inspect
expect_state "finished" "$finished_text" 1 0 'Finish'
shoot 2-finished.png
cp "$work/root.png" "$work/root-after.png"
check_layout "$work/root-after.png" "96 dpi, finished"
expect_run_states
running_shot="no screenshot caught the wait text"
keep_running_frame "$shots/2-running.png" && running_shot="screenshot 2-running.png"
say "  the run took about ${run_seconds} s; $running_shot"
[ ! -e "$log" ] || fail "the run reported a failure: $(cat "$log")"
check_year "$default_db" "the first run"
dump "$default_db" >"$work/after-first-run.txt"
cp "$default_db" "$work/month-first.mdb"
click_control 106
wait_program_end "Finish"

step="3. a second run on the same file"; step_tag=3
say "$step (at $((SECONDS - started_at)) s)"
start_program
expect_state "ready again" "$ready_text" 1 1 'Next >'
run_update 3
sleep 0.5
inspect
expect_state "finished again" "$finished_text" 1 0 'Finish'
expect_run_states
[ ! -e "$log" ] || fail "the second run reported a failure: $(cat "$log")"
dump "$default_db" >"$work/after-second-run.txt"
diff "$work/after-first-run.txt" "$work/after-second-run.txt" >"$work/second.diff" ||
    fail "the second run changed the database: $(head -c 1500 "$work/second.diff")"
check_year "$default_db" "the second run"
shoot 3-finished-again.png
click_control 106
wait_program_end "Finish"

# Presses Next on a file the run fails on: one Application Error box and its one entry in
# error.log, then, the box dismissed, the failed state; Cancel ends the program.
expect_one_report() {  # module, line
    expect_state "ready" "$ready_text" 1 1 'Next >'
    click_control 106
    wait_for_window "Application Error" 240 || fail "no Application Error box after Next"
    check_log "$1" "$2"
    check_box "$1" "$2"
    /usr/bin/import -window root "$shots/$step_tag-application-error.png"
    dismiss_box
    sleep 2  # time for a second box, were one to follow
    inspect
    [ "$(sed -n 's/^boxes //p' "$work/inspect.txt")" = 0 ] || fail "a second box followed the first"
    expect_state "failed" "$wait_text" 0 1 'Next >'
    [ "$(wc -l <"$log")" = 8 ] || fail "error.log has more than one entry: $(tr -d '\r' <"$log")"
    say "  error.log: ${log_number}; ${log_description}"
    shoot "$step_tag-failed.png"
    click_control 105
    wait_program_end "Cancel after the failure"
}

step="4. a calendar without a Dates table"; step_tag=4
say "$step (at $((SECONDS - started_at)) s)"
db_reset
"$makecalendar" "$default_db"
sqlite3 "$default_db" 'DROP TABLE Dates'
start_program
expect_one_report frmMain.InitDates 140
[ "$(q "$default_db" 'SELECT COUNT(*) FROM Events')" = 0 ] || fail "events were added"

# On a French Windows, so that the log's month is the user's, in the log's code page.
step="5. a file at the default path that is no database, on a French Windows"; step_tag=5
say "$step (at $((SECONDS - started_at)) s)"
db_reset
printf 'not an Access database\n' >"$default_db"
start_program LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
mapfile -t log_months < <(printf '%s\n' "${french_months[@]}" | iconv -f UTF-8 -t CP1252)
expect_one_report frmMain.OpenDatabase 40
log_months=("${english_months[@]}")
say "  error.log's date, in Windows-1252: $(head -n 1 "$shots/5-error.log" | tr -d '\r' | iconv -f CP1252 -t UTF-8)"
[ "$(cat "$default_db")" = 'not an Access database' ] || fail "the file was changed"

step="6. browsing for a calendar elsewhere"; step_tag=6
say "$step (at $((SECONDS - started_at)) s)"
rm -rf "$database_dir"
mkdir -p "$drive_c/Calendars"
other_db="$drive_c/Calendars/My calendar.mdb"
"$makecalendar" "$other_db"
start_program
expect_state "not found" "$not_found_text" 0 1 'Next >'
click_control 104
wait_for_window "Select Almanoria Database File" 240 || fail "the file dialog did not open"
dialog_id="$found_id"
sleep 2  # the dialog fills its list after it shows
inspect
grep -q '^box Select Almanoria Database File$' "$work/inspect.txt" || fail "the file dialog is not there"
grep -q '^boxchild [0-9]* ComboBox 1 Database Files (\*\.mdb)$' "$work/inspect.txt" ||
    fail "the dialog does not offer 'Database Files (*.mdb)': $(grep '^boxchild' "$work/inspect.txt" | head -n 40)"
/usr/bin/import -window root "$shots/6-file-dialog.png"
# The file name box has the focus: type the path as a user would.
xdotool type --delay 40 'C:\Calendars\My calendar.mdb'
sleep 0.5
/usr/bin/import -window root "$shots/6-file-dialog-typed.png"
xdotool key Return
for _ in $(seq 1 60); do
    xdotool search --onlyvisible --name '^Select Almanoria Database File$' >/dev/null 2>&1 || break
    sleep 0.5
done
xdotool search --onlyvisible --name '^Select Almanoria Database File$' >/dev/null 2>&1 &&
    fail "the file dialog did not close on Enter"
sleep 1
inspect
expect_state "ready after browsing" "$ready_text" 1 1 'Next >'
[ "$(control_text 103)" = 'C:\Calendars\My calendar.mdb' ] ||
    fail "the path box holds '$(control_text 103)'"
shoot 6-ready.png
run_update 6
sleep 0.5
inspect
expect_state "finished" "$finished_text" 1 0 'Finish'
expect_run_states
[ ! -e "$log" ] || fail "the run reported a failure: $(cat "$log")"
check_year "$other_db" "the browsed file"
[ ! -e "$default_db" ] || fail "something was written at the default path"
shoot 6-finished.png
click_control 106
wait_program_end "Finish"

step="7. a day-first Windows (en_GB)"; step_tag=7
say "$step (at $((SECONDS - started_at)) s)"
# First that the driver here really reads quoted dates day first under en_GB, and month first
# otherwise; else this case could not tell a wrong date from a right one.
mkdir -p "$drive_c/e2e"
for locale in en_US.UTF-8:2012-05-06 en_GB.UTF-8:2012-06-05; do
    rm -f "$drive_c/e2e/probe.mdb"
    "$makecalendar" "$drive_c/e2e/probe.mdb"
    LANG="${locale%%:*}" LC_ALL="${locale%%:*}" timeout 120 wine 'C:\e2e\inspect.exe' probe 'C:\e2e\probe.mdb' \
        >"$work/probe.txt" 2>/dev/null || fail "the driver took no quoted date: $(tr -d '\r' <"$work/probe.txt")"
    stored="$(q "$drive_c/e2e/probe.mdb" "SELECT DateKey FROM Dates WHERE DateColor = 'probe'")"
    [ "$stored" = "${locale#*:}" ] ||
        fail "under ${locale%%:*} the driver stores '5/6/2012' as '$stored', not ${locale#*:}"
done
say "  the driver reads '5/6/2012' as May 6 under en_US and as June 5 under en_GB"
db_reset
"$makecalendar" "$default_db"
start_program LANG=en_GB.UTF-8 LC_ALL=en_GB.UTF-8 LC_TIME=en_GB.UTF-8
# The regional settings as a program under that locale sees them.
LANG=en_GB.UTF-8 LC_ALL=en_GB.UTF-8 inspect
[ "$(sed -n 's/^shortdate //p' "$work/inspect.txt")" = "dd/MM/yyyy" ] ||
    fail "Wine does not put the day first under en_GB: $(sed -n 's/^shortdate //p' "$work/inspect.txt")"
expect_state "ready" "$ready_text" 1 1 'Next >'
run_update 7
sleep 0.5
inspect
expect_state "finished" "$finished_text" 1 0 'Finish'
expect_run_states
[ ! -e "$log" ] || fail "the run reported a failure: $(cat "$log")"
shoot 7-finished-en-GB.png
check_year "$default_db" "day first"
# Row by row the same as the month-first run's; 5/6/2012 is May 6 in both.
for table in "DateKey, DateColor, EventCount, DateNotes, DateText FROM Dates ORDER BY DateKey" \
    "e.EventName, l.EventDate FROM Events e JOIN EventDates l ON l.EventId = e.EventID ORDER BY l.EventDate, e.EventName"; do
    [ "$(q "$default_db" "SELECT $table" | md5sum)" = "$(q "$work/month-first.mdb" "SELECT $table" | md5sum)" ] ||
        fail "the day-first database differs from the month-first one ($table)"
done
[ "$(q "$default_db" "SELECT 'day', DateKey, DateColor, DateText FROM Dates WHERE DateKey = '2012-05-06'")" = "$(grep '^day|2012-05-06|' "$work/expected-days.txt")" ] ||
    fail "May 6 does not hold its own colour and notes"
[ "$(q "$default_db" "SELECT DateColor || ' ' || DateText FROM Dates WHERE DateKey = '2012-06-05'")" = "$(q "$work/month-first.mdb" "SELECT DateColor || ' ' || DateText FROM Dates WHERE DateKey = '2012-06-05'")" ] ||
    fail "June 5 does not hold its own colour and notes"
click_control 106
wait_program_end "Finish"

step="8. 120 dpi"; step_tag=8
say "$step (at $((SECONDS - started_at)) s)"
# Wine 8 takes the system's resolution from the user's LogPixels (HKCU\Control Panel\Desktop),
# else from the machine's (Hardware Profiles\Current\Software\Fonts, 96 in a fresh prefix),
# once per process; a new server makes sure no process of the old resolution is left.
timeout 60 wineserver -k || true
timeout 60 wineserver -w || true
timeout 120 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1 ||
    fail "the resolution could not be set"
timeout 60 wineserver -w || true
db_reset
"$makecalendar" "$default_db"
start_program
[ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = 120 ] ||
    fail "Wine runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not 120"
expect_state "ready at 120 dpi" "$ready_text" 1 1 'Next >'
shoot 8-120dpi-ready.png
check_layout "$work/root.png" "120 dpi, ready"
run_update 8
sleep 0.5
inspect
expect_state "finished at 120 dpi" "$finished_text" 1 0 'Finish'
expect_run_states
shoot 8-120dpi-finished.png
check_layout "$work/root.png" "120 dpi, finished"
check_year "$default_db" "at 120 dpi"
click_control 106
wait_program_end "Finish"
rm -rf "$database_dir"
start_program
expect_state "not found at 120 dpi" "$not_found_text" 0 1 'Next >'
shoot 8-120dpi-not-found.png
check_layout "$work/root.png" "120 dpi, not found"
click_control 105
wait_program_end "Cancel"

step="ending"
say "passed in $((SECONDS - started_at)) s:"
say "  1. not found: the not-found text, empty path box, Next disabled and a click on it does nothing; Cancel ends the program"
say "  2. a fresh calendar: ready, the wait text with Next disabled, finished (Finish enabled, Cancel disabled); 366 days, $expected_links events and links, counts, colours and notes as the year's; Finish ends the program"
say "  3. a second run changes no row"
say "  4. no Dates table: one Application Error box, error.log under frmMain.InitDates at line 140"
say "  5. no database: one Application Error box, error.log under frmMain.OpenDatabase at line 40, the month in French"
say "  6. the file dialog: a typed path is taken, that file is updated"
say "  7. en_GB: the same rows as month first, every day on its own date"
say "  8. 96 and 120 dpi: client area and every control at its twips place, drawn there, texts inside"
say "  screenshots in $shots"
