# The cases of tools/wine-e2e.sh, sourced by it once the prefix and the display stand.
# shellcheck shell=bash

# --- The cases ----------------------------------------------------------------------------

db_reset() { rm -rf "$database_dir"; mkdir -p "$database_dir"; }

# "N. what": names the case in failures and its number in the files it leaves.
begin_case() {
    step="$1"
    step_tag="${1%%.*}"
    say "$step (at $((SECONDS - started_at)) s)"
}

begin_case "1. no database at the default path"
rm -rf "$database_dir"
start_program
[ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = 96 ] ||
    fail "a fresh prefix runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not 96"
expect_state "not found" "$not_found_text" 0 1 "$next_caption"
[ -z "$(control_text txtDatabaseFile)" ] || fail "the path box holds '$(control_text txtDatabaseFile)'"
shoot 1-not-found.png
cp "$work/root.png" "$work/root-96-not-found.png"
check_layout "$work/root-96-not-found.png" "96 dpi, not found"
# A click on the disabled Next must change nothing: no run, no box, no log.
click_control cmdButton1
for _ in $(seq 1 6); do
    sleep 0.5
    if xdotool search --onlyvisible --name '^Application Error$' >/dev/null 2>&1; then
        fail "a click on the disabled Next showed a box"
    fi
done
inspect
expect_state "not found, after a click on Next" "$not_found_text" 0 1 "$next_caption"
[ ! -e "$log" ] || fail "the start or the click reported a failure: $(cat "$log")"
[ ! -e "$default_db" ] || fail "a database appeared at the default path"
click_control cmdCancel
wait_program_end "Cancel"

passed+=("1. not found: the not-found text, empty path box, Next disabled and a click on it does nothing; Cancel ends the program")

begin_case "2. a fresh calendar at the default path"
db_reset
"$makecalendar" "$default_db"
start_program
expect_state "ready" "$ready_text" 1 1 "$next_caption"
default_path='C:\Program Files\Almanoria Desktop Calendar\dbcalndr.mdb'
[ "$(control_text txtDatabaseFile)" = "$default_path" ] || fail "the path box holds '$(control_text txtDatabaseFile)'"
shoot 2-ready.png
cp "$work/root.png" "$work/root-before.png"
cp "$work/root.png" "$work/root-96-ready.png"
check_layout "$work/root-96-ready.png" "96 dpi, ready"
run_update 2
expect_finished "the first run"
shoot 2-finished.png
cp "$work/root.png" "$work/root-after.png"
check_layout "$work/root-after.png" "96 dpi, finished"
running_shot="no screenshot caught the wait text"
keep_running_frame "$shots/2-running.png" && running_shot="screenshot 2-running.png"
say "  the run took about ${run_seconds} s; $running_shot"
check_year "$default_db" "the first run"
dump "$default_db" >"$work/after-first-run.txt"
cp "$default_db" "$work/month-first.mdb"
click_finish
passed+=("2. a fresh calendar: ready, the wait text with Next disabled, finished (Finish enabled, Cancel disabled); every day of 2012 with the year's colour counts and runs and its notes' lengths, the $expected_links named days' names as all-day events; Finish ends the program")

begin_case "3. the keyboard alone, on a second run"
start_program
expect_state "ready again" "$ready_text" 1 1 "$next_caption"
activate_window
# Alt+B opens the file dialog; Escape cancels it and nothing changes.
press alt+b
expect_dialog
/usr/bin/import -window root "$shots/3-file-dialog-by-alt-b.png"
press Escape
dialog_closed Escape
expect_state "ready after a cancelled dialog" "$ready_text" 1 1 "$next_caption"
[ "$(control_text txtDatabaseFile)" = "$default_path" ] ||
    fail "after the cancelled dialog the path box holds '$(control_text txtDatabaseFile)'"
# Alt+D puts the focus in the path box; Tab walks Browse, Cancel, Next.
press_expect_focus txtDatabaseFile alt+d
press_expect_focus cmdBrowse Tab
press_expect_focus cmdCancel Tab
press_expect_focus cmdButton1 Tab
shoot 3-focus-on-next.png
run_update 3 Return
expect_finished "the second run, by Enter"
dump "$default_db" >"$work/after-second-run.txt"
diff "$work/after-first-run.txt" "$work/after-second-run.txt" >"$work/second.diff" ||
    fail "the second run changed the database: $(head -c 1500 "$work/second.diff")"
shoot 3-finished-again.png
click_finish
passed+=("3. the keyboard: Alt+B opens the dialog and Escape leaves ready and path as they were; Alt+D focuses the path box, Tab walks Browse, Cancel, Next; Enter there runs the update, which changes no row the second time")

begin_case "4. Cancel and the close box in the ready state"
before="$(md5sum <"$default_db")"
start_program
expect_state "ready" "$ready_text" 1 1 "$next_caption"
click_control cmdCancel
wait_program_end "Cancel in the ready state"
expect_unchanged "$default_db" "$before" "Cancel in the ready state"
start_program
expect_state "ready" "$ready_text" 1 1 "$next_caption"
timeout 120 wine 'C:\e2e\inspect.exe' closebox 2>/dev/null | tr -d '\r' >"$work/closebox.txt" || true
read -r _ close_x close_y <<<"$(grep '^closebox ' "$work/closebox.txt" || true)"
[ -n "${close_y:-}" ] || fail "the window has no close box: $(cat "$work/closebox.txt")"
xdotool mousemove "$close_x" "$close_y" click 1
wait_program_end "the close box"
expect_unchanged "$default_db" "$before" "the close box"
[ ! -e "$log" ] || fail "closing reported a failure: $(cat "$log")"
passed+=("4. Cancel in the ready state and the title bar's close box end the program; not a byte of the database changes")

begin_case "5. a calendar used before, and a path typed into the path box"
db_reset
make_stale_calendar "$default_db"
q "$default_db" "SELECT * FROM Events ORDER BY EventID" >"$work/stale-events.txt"
q "$default_db" "SELECT DateKey, DateNotes FROM Dates ORDER BY DateKey" >"$work/stale-notes.txt"
q "$default_db" "SELECT * FROM Dates WHERE DateKey NOT LIKE '2012-%'" >"$work/stale-other-year.txt"
mkdir -p "$drive_c/Calendars"
typed_db="$drive_c/Calendars/typed.mdb"
"$makecalendar" "$typed_db"
typed_sum="$(md5sum <"$typed_db")"
start_program
expect_state "ready" "$ready_text" 1 1 "$next_caption"
# The user replaces the path in the box by another calendar's.
activate_window
click_control txtDatabaseFile
press End shift+Home BackSpace
xdotool type --delay 40 'C:\Calendars\typed.mdb'
sleep 0.5
inspect
[ "$(control_text txtDatabaseFile)" = 'C:\Calendars\typed.mdb' ] ||
    fail "typing did not reach the path box: it holds '$(control_text txtDatabaseFile)'"
shoot 5-typed.png
run_update 5
expect_finished "the run after typing"
expect_unchanged "$typed_db" "$typed_sum" "the typed path"
# The year exactly: the same days as the fresh calendar's first run, the user's notes kept,
# the year's names once each as all-day events beside the events that were there.
check_dates "$default_db" "the calendar used before"
days="SELECT DateKey, DateColor, DateText FROM Dates WHERE DateKey LIKE '2012-%' ORDER BY DateKey"
diff <(q "$work/month-first.mdb" "$days") <(q "$default_db" "$days") >"$work/stale.diff" ||
    fail "the days differ from the fresh calendar's: $(head -c 1500 "$work/stale.diff")"
diff "$work/stale-notes.txt" <(q "$default_db" "SELECT DateKey, DateNotes FROM Dates WHERE NOT ($stale_missing_days) ORDER BY DateKey") \
    >"$work/notes-kept.diff" || fail "the user's notes changed: $(head -c 1500 "$work/notes-kept.diff")"
[ "$(q "$default_db" "SELECT COUNT(*) FROM Dates WHERE ($stale_missing_days) AND DateNotes = ''")" = "$stale_missing_count" ] ||
    fail "the missing days were not added with empty DateNotes"
diff "$work/stale-other-year.txt" <(q "$default_db" "SELECT * FROM Dates WHERE DateKey NOT LIKE '2012-%'") >/dev/null ||
    fail "the day of another year changed"
diff "$work/stale-events.txt" <(q "$default_db" "SELECT * FROM Events WHERE EventID <= 3 ORDER BY EventID") >/dev/null ||
    fail "the events that were there changed"
{
    cat "$work/expected-links.txt"
    echo 'link|2012-04-06|Good Friday|0'
    echo 'link|2012-04-05|Good Friday|1'
} | sort >"$work/stale-links.txt"
check_links "$default_db" "the calendar used before" "$work/stale-links.txt"
[ "$(q "$default_db" "SELECT COUNT(*) FROM Events")" = $((expected_links + 2)) ] ||
    fail "$(q "$default_db" "SELECT COUNT(*) FROM Events") events, not the $expected_links of the year and the 2 others"
click_finish
passed+=("5. a calendar used before: a path typed into the box is ignored (that file untouched); the days become the year's exactly, missing ones added, the user's notes, the timed and the other day's event kept, the all-day event there not doubled")

# Presses Next on a file the run fails on: one Application Error box and its entry at the end
# of error.log, then, the box dismissed, the failed state.
expect_report() {  # module, line, [entries error.log then holds; 1]
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    click_control cmdButton1
    wait_for_window "Application Error" 240 || fail "no Application Error box after Next"
    check_log "$1" "$2" "${3:-1}"
    check_box "$1" "$2"
    /usr/bin/import -window root "$shots/$step_tag-application-error.png"
    dismiss_box
    sleep 2  # time for a second box, were one to follow
    inspect
    [ "$(sed -n 's/^boxes //p' "$work/inspect.txt")" = 0 ] || fail "a second box followed the first"
    expect_state "failed" "$wait_text" 0 1 "$next_caption"
    [ "$(wc -l <"$log")" = $((8 * ${3:-1})) ] || fail "error.log has another entry: $(tr -d '\r' <"$log")"
    say "  error.log: ${log_number}; ${log_description}"
    shoot "$step_tag-failed.png"
}
# The same, and then Cancel ends the program.
expect_one_report() {  # module, line
    expect_report "$1" "$2"
    click_control cmdCancel
    wait_program_end "Cancel after the failure"
}

begin_case "6. a calendar without a Dates table"
db_reset
"$makecalendar" "$default_db"
sqlite3 "$default_db" 'DROP TABLE Dates'
start_program
expect_one_report frmMain.InitDates 140
[ "$(q "$default_db" 'SELECT COUNT(*) FROM Events')" = 0 ] || fail "events were added"
passed+=("6. no Dates table: one Application Error box, error.log under frmMain.InitDates at line 140")

# On a French Windows, so that the log's month is the user's, in the log's code page.
begin_case "7. a file at the default path that is no database, on a French Windows"
db_reset
printf 'not an Access database\n' >"$default_db"
start_program LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
mapfile -t log_months < <(printf '%s\n' "${french_months[@]}" | iconv -f UTF-8 -t CP1252)
expect_one_report frmMain.OpenDatabase 40
log_months=("${english_months[@]}")
say "  error.log's date, in Windows-1252: $(head -n 1 "$shots/7-error.log" | tr -d '\r' | iconv -f CP1252 -t UTF-8)"
[ "$(cat "$default_db")" = 'not an Access database' ] || fail "the file was changed"
passed+=("7. no database: one Application Error box, error.log under frmMain.OpenDatabase at line 40, the month in French")

# A path longer than the box, picked in the dialog; shortened in the box, whole for the run.
long_name='Calendar 2012 for the parish office.mdb'
long_win="C:\\Calendars\\The parish of Saint Margaret and All Saints\\Calendars of the liturgical year\\$long_name"
long_db="$drive_c/Calendars/The parish of Saint Margaret and All Saints/Calendars of the liturgical year/$long_name"
expect_shortened() {  # what
    local shown
    shown="$(control_text txtDatabaseFile)"
    case "$shown" in
        'C:\'*...*"\\$long_name") ;;
        *) fail "$1: the path box shows '$shown', not the long path shortened with an ellipsis" ;;
    esac
    [ "${#shown}" -lt "${#long_win}" ] || fail "$1: the path box shows '$shown' whole"
    # Measured in the box's font, the text must fit where the box draws it (EM_GETRECT).
    local area need_w
    area="$(sed -n 's/^textarea ${control_ids[txtDatabaseFile]} [-0-9]* [-0-9]* \([0-9]*\) .*/\1/p' "$work/inspect.txt")"
    [ -n "$area" ] || fail "$1: the inspector gives no text area for the path box"
    need_w="$(control_field txtDatabaseFile 9)"
    [ "$need_w" -le "$area" ] || fail "$1: '$shown' needs $need_w pixels in a text area of $area"
    say "  $1: the box shows '$shown', $need_w pixels in a text area of $area"
}

begin_case "8. browsing for a calendar at a long path"
rm -rf "$database_dir"
mkdir -p "$(dirname "$long_db")"
"$makecalendar" "$long_db"
start_program
expect_state "not found" "$not_found_text" 0 1 "$next_caption"
click_control cmdBrowse
expect_dialog
/usr/bin/import -window root "$shots/8-file-dialog.png"
pick_file "$long_win" 8-file-dialog-typed.png
expect_state "ready after browsing" "$ready_text" 1 1 "$next_caption"
expect_shortened "96 dpi"
shoot 8-ready.png
run_update 8
expect_finished "the run on the long path"
check_year "$long_db" "the file at the long path"
[ ! -e "$default_db" ] || fail "something was written at the default path"
shoot 8-finished.png
click_finish
passed+=("8. the file dialog: a typed long path is taken, shown shortened with an ellipsis at 96 dpi, and that file is updated")

begin_case "9. a program folder and a calendar folder of non-ASCII names; a read-only calendar; the log appended"
nonascii_win='C:\users\Zoë\Téléchargements\Ωμέγα 日本'
nonascii_dir="$drive_c/users/Zoë/Téléchargements/Ωμέγα 日本"
place_program "$nonascii_win" "$nonascii_dir"
db_reset
"$makecalendar" "$default_db"
make_read_only "$default_db"
read_only_sum="$(md5sum <"$default_db")"
printf 'not an Access database\n' >"$nonascii_dir/not a calendar.mdb"
"$makecalendar" "$nonascii_dir/calendar.mdb"
start_program
# A write-protected calendar: one box, the entry beside the program, not a byte changed.
expect_report frmMain.InitDates 260
expect_unchanged "$default_db" "$read_only_sum" "the read-only calendar"
cp "$log" "$work/first-entry.log"
# A second failure, after browsing: the log gains a second entry after the first.
activate_window
click_control cmdBrowse
expect_dialog
pick_file 'not a calendar.mdb' 9-file-dialog-not-a-calendar.png
expect_report frmMain.OpenDatabase 40 2
head -n 8 "$log" | cmp -s - "$work/first-entry.log" || fail "the first entry of error.log changed"
[ "$(cat "$nonascii_dir/not a calendar.mdb")" = 'not an Access database' ] || fail "the file was changed"
# Then the calendar beside the program, picked in the dialog: its path shown as it is.
activate_window
click_control cmdBrowse
expect_dialog
pick_file 'calendar.mdb' 9-file-dialog-calendar.png
expect_state "ready after browsing" "$ready_text" 1 1 "$next_caption"
shown="$(control_text txtDatabaseFile)"
# Wine may name the profiles' folder in either case; every other character as it is.
case "$shown" in 'C:\Users\'* | 'C:\users\'*) ;; *) fail "the path box shows '$shown'" ;; esac
[ "${shown:9}" = "${nonascii_win:9}\calendar.mdb" ] ||
    fail "the path box shows '$shown', not '$nonascii_win\calendar.mdb'"
shoot 9-ready-non-ascii.png
cp "$log" "$work/log-before-run.txt"
run_update 9
# The run reports nothing: the log holds the two entries it had.
sleep 0.5
inspect
expect_state "finished in the non-ASCII folder" "$finished_text" 1 0 "$finish_caption"
expect_run_states
cmp -s "$log" "$work/log-before-run.txt" || fail "the run wrote to error.log: $(tail -n 8 "$log")"
check_year "$nonascii_dir/calendar.mdb" "the calendar in the non-ASCII folder"
expect_unchanged "$default_db" "$read_only_sum" "the read-only calendar"
click_finish
make_writable "$default_db"
place_program 'C:\Almanoria Year 2012' "$drive_c/Almanoria Year 2012"
passed+=("9. from $nonascii_win: a read-only calendar gives one box and error.log beside the program under frmMain.InitDates at line 260, not a byte changed; a second failure gives 16 lines, the first 8 unchanged; a calendar there, picked in the dialog, shows as it is and is updated")

begin_case "10. a day-first Windows (en_GB)"
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
expect_state "ready" "$ready_text" 1 1 "$next_caption"
run_update 10
expect_finished "day first"
shoot 10-finished-en-GB.png
check_year "$default_db" "day first"
# Row by row the same as the month-first run's; 5/6/2012 is May 6 in both.
for table in "DateKey, DateColor, EventCount, DateNotes, DateText FROM Dates ORDER BY DateKey" \
    "e.EventName, l.EventDate FROM Events e JOIN EventDates l ON l.EventId = e.EventID ORDER BY l.EventDate, e.EventName"; do
    [ "$(q "$default_db" "SELECT $table" | md5sum)" = "$(q "$work/month-first.mdb" "SELECT $table" | md5sum)" ] ||
        fail "the day-first database differs from the month-first one ($table)"
done
# May 6 is the 5th Sunday of Easter, whose note is one of the 78-character ones.
[ "$(q "$default_db" "SELECT l.EventDate || '|' || length(d.DateText) FROM Events e JOIN EventDates l ON l.EventId = e.EventID JOIN Dates d ON d.DateKey = l.EventDate WHERE e.EventName = '5th Sunday Of Easter'")" = '2012-05-06|78' ] ||
    fail "May 6 does not hold its own name and note"
click_finish
passed+=("10. en_GB: the same rows as month first, every day on its own date")

begin_case "11. 120 dpi"
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
default_sum="$(md5sum <"$default_db")"
rm -f "$long_db"
"$makecalendar" "$long_db"
start_program
[ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = 120 ] ||
    fail "Wine runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not 120"
expect_state "ready at 120 dpi" "$ready_text" 1 1 "$next_caption"
shoot 11-120dpi-ready.png
check_layout "$work/root.png" "120 dpi, ready"
click_control cmdBrowse
expect_dialog
pick_file "$long_win" 11-file-dialog-typed.png
expect_state "ready at 120 dpi after browsing" "$ready_text" 1 1 "$next_caption"
expect_shortened "120 dpi"
# Space on the focused Next starts the run.
press_expect_focus txtDatabaseFile alt+d
press_expect_focus cmdBrowse Tab
press_expect_focus cmdCancel Tab
press_expect_focus cmdButton1 Tab
run_update 11 space
expect_finished "the run at 120 dpi, by Space"
shoot 11-120dpi-finished.png
check_layout "$work/root.png" "120 dpi, finished"
check_year "$long_db" "at 120 dpi"
expect_unchanged "$default_db" "$default_sum" "the default calendar, another one having been picked"
click_finish
rm -rf "$database_dir"
start_program
expect_state "not found at 120 dpi" "$not_found_text" 0 1 "$next_caption"
shoot 11-120dpi-not-found.png
check_layout "$work/root.png" "120 dpi, not found"
click_control cmdCancel
wait_program_end "Cancel"
passed+=("11. 120 dpi: client area and every control at its twips place, drawn there, texts inside; the long path shortened to fit the box at this resolution; Space on the focused Next runs the update on that file")

# What the shell names for a folder the program looks in (programfilesx86, programfiles,
# localappdata), as a program in the prefix sees it.
shell_folder() {
    timeout 60 wine 'C:\e2e\inspect.exe' folders 2>/dev/null | tr -d '\r' >"$work/folders.txt" || true
    sed -n "s/^folder $1 ok //p" "$work/folders.txt"
}
current_version='HKLM\Software\Microsoft\Windows\CurrentVersion'
registry_value() {  # name; empty when there is none
    { timeout 60 wine reg query "$current_version" /v "$1" 2>/dev/null || true; } | tr -d '\r' |
        sed -n "s/^ *$1 *REG_SZ *//p"
}
set_registry_value() {  # name, value; none removes it
    if [ -n "$2" ]; then
        timeout 60 wine reg add "$current_version" /v "$1" /d "$2" /f >/dev/null 2>&1
    else
        timeout 60 wine reg delete "$current_version" /v "$1" /f >/dev/null 2>&1
    fi || fail "the registry value $1 could not be set"
}

# The calendar where a Program Files folder of the shell's holds it, the default path holding
# nothing: ready with its path, and Next updates that file.
expect_installed_at() {  # Windows path, Linux path
    rm -rf "$database_dir"
    start_program
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    [ "$(control_text txtDatabaseFile)" = "$1" ] || fail "the path box holds '$(control_text txtDatabaseFile)', not '$1'"
    shoot "$step_tag-ready.png"
    run_update "$step_tag"
    expect_finished "the run on $1"
    check_year "$2" "the calendar at $1"
    [ ! -e "$default_db" ] || fail "something was written at the default path"
    click_finish
}

begin_case "12. a 32-bit calendar on 64-bit Windows, under Program Files (x86)"
saved_x86="$(registry_value 'ProgramFilesDir (x86)')"
saved_program_files="$(registry_value ProgramFilesDir)"
[ "$saved_program_files" = 'C:\Program Files' ] ||
    fail "the prefix's ProgramFilesDir is '$saved_program_files'"
x86_dir="$drive_c/Program Files (x86)"
mkdir -p "$x86_dir/Almanoria Desktop Calendar"
"$makecalendar" "$x86_dir/Almanoria Desktop Calendar/dbcalndr.mdb"
set_registry_value 'ProgramFilesDir (x86)' 'C:\Program Files (x86)'
# Wine answers CSIDL_PROGRAM_FILESX86 from that value even in a 32-bit prefix, and
# CSIDL_PROGRAM_FILES still names the default path's folder: only the first finds the calendar.
[ "$(shell_folder programfilesx86)" = 'C:\Program Files (x86)' ] ||
    fail "the shell names '$(shell_folder programfilesx86)' for 32-bit programs"
[ "$(shell_folder programfiles)" = 'C:\Program Files' ] ||
    fail "the shell names '$(shell_folder programfiles)' for programs"
expect_installed_at 'C:\Program Files (x86)\Almanoria Desktop Calendar\dbcalndr.mdb' \
    "$x86_dir/Almanoria Desktop Calendar/dbcalndr.mdb"
set_registry_value 'ProgramFilesDir (x86)' "$saved_x86"
rm -rf "$x86_dir"
passed+=("12. the calendar only under C:\Program Files (x86), which the shell names for 32-bit programs: ready with that path, and Next updates that file")

begin_case "13. a German Windows XP, whose Program Files is C:\Programme"
programme_dir="$drive_c/Programme"
mkdir -p "$programme_dir/Almanoria Desktop Calendar"
"$makecalendar" "$programme_dir/Almanoria Desktop Calendar/dbcalndr.mdb"
set_registry_value ProgramFilesDir 'C:\Programme'
[ "$(shell_folder programfiles)" = 'C:\Programme' ] ||
    fail "the shell names '$(shell_folder programfiles)' for programs"
expect_installed_at 'C:\Programme\Almanoria Desktop Calendar\dbcalndr.mdb' \
    "$programme_dir/Almanoria Desktop Calendar/dbcalndr.mdb"
set_registry_value ProgramFilesDir "$saved_program_files"
[ "$(shell_folder programfiles)" = 'C:\Program Files' ] || fail "ProgramFilesDir was not restored"
rm -rf "$programme_dir"
passed+=("13. the calendar under C:\Programme, the shell's ProgramFilesDir: ready with that path, and Next updates that file; the registry restored")

begin_case "14. a program folder that refuses error.log"
# A folder of that name stands where the log would go; as root, write bits would be no obstacle.
mkdir "$program_dir/error.log"
local_appdata="$(shell_folder localappdata)"
[[ "$local_appdata" == 'C:\'* ]] || fail "the shell names no local application data: $(cat "$work/folders.txt")"
local_appdata_dir="$drive_c/$(printf '%s' "${local_appdata#C:\\}" | tr '\\' /)"
[ -d "$local_appdata_dir" ] || fail "$local_appdata_dir, the local application data, is missing"
log_dir="$local_appdata_dir/Almanoria Desktop Calendar"
rm -rf "$log_dir"
program_log="$log"
log="$log_dir/error.log"
db_reset
printf 'not an Access database\n' >"$default_db"
start_program
[ ! -e "$log_dir" ] || fail "the program made $log_dir before any failure"
expect_one_report frmMain.OpenDatabase 40
[ -d "$program_dir/error.log" ] && [ -z "$(ls -A "$program_dir/error.log")" ] ||
    fail "the folder error.log beside the program changed"
log="$program_log"
rmdir "$program_dir/error.log"
rm -rf "$log_dir"
passed+=("14. a folder named error.log beside the program: one Application Error box, the entry under frmMain.OpenDatabase at line 40 in $local_appdata\\Almanoria Desktop Calendar\\error.log")

# The long path at a resolution of the user's: the box's text area is what the path must fit.
shortened_at() {  # dpi
    timeout 60 wineserver -k || true
    timeout 60 wineserver -w || true
    timeout 120 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
        fail "the resolution could not be set"
    timeout 60 wineserver -w || true
    start_program
    [ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = "$1" ] ||
        fail "Wine runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not $1"
    click_control cmdBrowse
    expect_dialog
    pick_file "$long_win" "$step_tag-file-dialog-typed.png"
    expect_state "ready at $1 dpi after browsing" "$ready_text" 1 1 "$next_caption"
    expect_shortened "$1 dpi"
    shoot "$step_tag-$1dpi-ready.png"
    click_control cmdCancel
    wait_program_end "Cancel"
}

begin_case "15. 144 dpi (150 %)"
rm -rf "$database_dir"
mkdir -p "$(dirname "$long_db")"
[ -f "$long_db" ] || "$makecalendar" "$long_db"
shortened_at 144
passed+=("15. 144 dpi: the long path shortened with an ellipsis, ending with the file name, inside the box's text area")

begin_case "16. 192 dpi (200 %)"
shortened_at 192
passed+=("16. 192 dpi: the long path shortened with an ellipsis, ending with the file name, inside the box's text area")
begin_case "17. a version.dll and an odbc32.dll beside the program"
# A download folder with DLLs of those names in it, which Windows would take before its own,
# each leaving "<dll>.loaded" beside itself when loaded and "<dll>.called" when called; Windows'
# order, native first. Wine's own user32 imports version.dll and calls it, which Windows' user32
# does not (and a KnownDLL's dependents come from the system there), so under Wine the planted
# version.dll is loaded and called whatever the program does: here the program must start and
# update beside it, and tools/check-windows-program.sh sees that it imports no version.dll.
place_program 'C:\Downloads' "$drive_c/Downloads"
for dll in version odbc32; do
    i686-w64-mingw32-gcc -O2 -Wall -shared -DPLANTED_${dll^^} -Wl,--kill-at \
        -o "$program_dir/$dll.dll" "$repo/tools/wine-e2e/planted.c" || fail "$dll.dll could not be built"
done
i686-w64-mingw32-gcc -O2 -Wall -mwindows -DPLANTED_PROBE -o "$program_dir/probe.exe" \
    "$repo/tools/wine-e2e/planted.c" -lversion -lodbc32 || fail "the probe could not be built"
native_first="$WINEDLLOVERRIDES;version,odbc32=n,b"
# The marker takes the module's name as the loader spelled it ("VERSION.dll").
planted_marked() { find "$program_dir" -maxdepth 1 -iname "$1.dll.$2" | grep -q .; }
expect_planted_unused() {  # when
    ! planted_marked odbc32 loaded || fail "the program loaded the odbc32.dll beside it $1"
    ! planted_marked odbc32 called || fail "the program called the odbc32.dll beside it $1"
}
# First that a program importing both does take them from its folder and call them, or this
# case could not tell a planted DLL from one never looked for.
(cd "$program_dir" && WINEDLLOVERRIDES="$native_first" timeout 120 wine 'C:\Downloads\probe.exe' \
    >/dev/null 2>&1) || true
for dll in version odbc32; do
    for mark in loaded called; do
        planted_marked "$dll" "$mark" || fail "a program importing $dll.dll: the one beside it was not $mark"
    done
done
find "$program_dir" -maxdepth 1 \( -iname '*.dll.loaded' -o -iname '*.dll.called' \) -delete
rm -f "$program_dir/probe.exe"
say "  a program importing version and odbc32 loads and calls the ones beside it"
db_reset
"$makecalendar" "$default_db"
start_program WINEDLLOVERRIDES="$native_first"
expect_planted_unused "at its start"
expect_state "ready beside the planted DLLs" "$ready_text" 1 1 "$next_caption"
run_update 17
expect_finished "the run beside the planted DLLs"
check_year "$default_db" "the run beside the planted DLLs"
shoot 17-finished-beside-planted-dlls.png
click_finish
expect_planted_unused "for the update"
place_program 'C:\Almanoria Year 2012' "$drive_c/Almanoria Year 2012"
passed+=("17. a version.dll and an odbc32.dll beside the program, native first: a program importing them loads and calls them; this one never loads that odbc32.dll, and the update writes the whole year")
