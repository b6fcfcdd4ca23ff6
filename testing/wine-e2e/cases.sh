# The cases of testing/wine-e2e/run-cases.sh, sourced by it once the prefix and the display stand.
# shellcheck shell=bash
#
# A case is a function case_NAME; run-cases.sh finds every one, and a whole run takes them in
# the order they stand in this file. Each runs in a subshell of its own (run_case in lib.sh),
# within an overall time limit: begin_case gives it the program in its usual folder, no
# database at the default path and the dots per inch of case_dpi (96 unless listed), and
# end_case ends whatever it left running. A case makes its own calendar; one that needs a
# calendar the program has already updated takes reference_calendar, which runs the program on
# a fresh calendar the first time any case asks for it. To add a case: write the function where
# it should run, with a comment saying what it shows, and end it with `passed "what it showed"`.
declare -A case_dpi=([dpi_120]=120 [dpi_144]=144 [dpi_192]=192)

db_reset() { rm -rf "$database_dir"; mkdir -p "$database_dir"; }

# No database at the default path: the not-found state, the path box's tooltip, Next does
# nothing, Cancel ends it.
case_not_found() {
    start_program
    [ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = 96 ] ||
        fail "a fresh prefix runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not 96"
    expect_state "not found" "$not_found_text" 0 1 "$next_caption"
    [ -z "$(control_text txtDatabaseFile)" ] || fail "the path box holds '$(control_text txtDatabaseFile)'"
    shoot not-found.png
    check_layout "$work/root.png" "96 dpi, not found"
    expect_tooltip
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
    passed "the not-found text, empty path box, its tooltip '$tooltip_text' under the mouse; Next disabled and a click on it does nothing; Cancel ends the program"
}

# The mouse over the path box shows its tooltip, with the text of the design.
tooltip_shown() { inspect && grep -qxF "tooltip $tooltip_text" "$work/inspect.txt"; }
expect_tooltip() {
    local left top width height
    read -r left top width height <<<"$(control_rect txtDatabaseFile)"
    xdotool mousemove $((client_x + left + width / 2)) $((client_y + top + height / 2))
    sleep 0.2
    xdotool mousemove_relative 3 1
    wait_until 10 tooltip_shown ||
        fail "no tooltip '$tooltip_text' over the path box: $(grep '^tooltip' "$work/inspect.txt" || echo none)"
    shoot tooltip.png
}

# A fresh calendar at the default path: ready, Next, the wait text, the finished state, the
# whole year in the database, Finish ends the program.
case_fresh_calendar() {
    db_reset
    "$makecalendar" "$default_db"
    start_program
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    [ "$(control_text txtDatabaseFile)" = "$default_path" ] || fail "the path box holds '$(control_text txtDatabaseFile)'"
    shoot ready.png
    check_layout "$work/root.png" "96 dpi, ready"
    run_update fresh
    expect_finished "the first run"
    shoot finished.png
    check_layout "$work/root.png" "96 dpi, finished"
    say "  the run took about ${run_seconds} s"
    check_year "$default_db" "the first run"
    click_finish
    passed "ready, the wait text with Next disabled, finished (Finish enabled, Cancel disabled); every day of 2012 with the year's colour counts and runs and its notes' lengths, the $expected_links named days' names as all-day events; Finish ends the program"
}

# The keyboard alone, on a calendar updated before: Alt+B opens the file dialog, Escape leaves
# ready and path as they were; Alt+D focuses the path box, Tab walks Browse, Cancel, Next; Enter
# on Next runs the update, which adds nothing, and the focus lands on Finish.
case_keyboard() {
    reference_calendar
    db_reset
    cp "$work/reference.mdb" "$default_db"
    dump "$default_db" >"$work/before-run.txt"
    start_program
    expect_state "ready again" "$ready_text" 1 1 "$next_caption"
    activate_window
    # Alt+B opens the file dialog; Escape cancels it and nothing changes.
    press alt+b
    expect_dialog
    /usr/bin/import -window root "$shots/keyboard-file-dialog-by-alt-b.png"
    press Escape
    dialog_closed Escape
    expect_state "ready after a cancelled dialog" "$ready_text" 1 1 "$next_caption"
    [ "$(control_text txtDatabaseFile)" = "$default_path" ] ||
        fail "after the cancelled dialog the path box holds '$(control_text txtDatabaseFile)'"
    tab_to_next
    shoot focus-on-next.png
    run_update keyboard Return
    expect_finished "the second run, by Enter"
    # Past the disabled Cancel, Tab goes round to the path box.
    press_expect_focus txtDatabaseFile Tab
    press_expect_focus cmdBrowse Tab
    dump "$default_db" >"$work/after-run.txt"
    diff "$work/before-run.txt" "$work/after-run.txt" >"$work/second.diff" ||
        fail "the second run changed the database: $(head -c 1500 "$work/second.diff")"
    shoot finished-again.png
    click_finish
    passed "Alt+B opens the dialog and Escape leaves ready and path as they were; Alt+D focuses the path box, Tab walks Browse, Cancel, Next; Enter there runs the update, which changes no row of an updated calendar; the focus lands on Finish, and Tab goes on round"
}

# Another year as a Windows user asks for it: /year:2100 is refused with the box and a log entry
# before any window opens; /year:2027 on a calendar 2012's run updated names 2027 in the title,
# writes 2027 as the Linux program prints it (testing/years/judge-calendar.py) and leaves 2012's
# rows, events and links as they were; a second run changes nothing.
case_another_year() {
    local refused='"2100" is not a year from 2007 to 2099.'
    rm -f "$log"
    (cd "$program_dir" && exec wine "$program_win\AlmanoriaYear2012.exe" /year:2100 >"$work/program.out" 2>&1) &
    program_pid=$!
    wait_for_window "Application Error" 120 || fail "no Application Error box for /year:2100"
    check_log basCommandLine.ReadCommandLine 0
    [ "$log_description" = "Error Description: $refused" ] || fail "error.log describes '$log_description'"
    check_box basCommandLine.ReadCommandLine 0
    no_window || fail "the wizard's window opened for /year:2100"
    dismiss_box
    local status=0
    wait_until 30 eval '! kill -0 "$program_pid" 2>/dev/null' || fail "the program did not end after the box"
    wait "$program_pid" || status=$?
    [ "$status" = 2 ] || fail "the refused year ended the program with status $status, not 2"

    reference_calendar
    db_reset
    cp "$work/reference.mdb" "$default_db"
    "$repo/build/default/window/qt/AlmanoriaYear2012" --print-year 2027 >"$work/2027.txt" ||
        fail "the Linux program did not print 2027"
    of_2012() {
        q "$default_db" "SELECT * FROM Dates WHERE DateKey LIKE '2012-%' ORDER BY DateKey;
                         SELECT l.EventDate, e.* FROM EventDates l JOIN Events e ON e.EventID = l.EventId
                         WHERE l.EventDate LIKE '2012-%' ORDER BY e.EventID"
    }
    of_2012 >"$work/2012-before.txt"
    program_arguments=(/year:2027)
    window_title="$window_title for 2027"
    start_program
    expect_state "ready for 2027" "$ready_text" 1 1 "$next_caption"
    shoot ready-for-2027.png
    run_update another-year
    expect_finished "the run for 2027"
    "$repo/testing/years/judge-calendar.py" "$default_db" "$work/2027.txt" >"$work/judged.txt" ||
        fail "the calendar does not hold 2027 as printed: $(head -c 1500 "$work/judged.txt")"
    of_2012 | diff -q "$work/2012-before.txt" - >/dev/null || fail "the run for 2027 changed 2012's rows, events or links"
    click_finish
    dump "$default_db" >"$work/before-second.txt"
    start_program
    run_update another-year-again
    expect_finished "the second run for 2027"
    dump "$default_db" | diff -q "$work/before-second.txt" - >/dev/null || fail "a second run for 2027 changed the calendar"
    click_finish
    passed "/year:2100 refused with the box and error.log under basCommandLine.ReadCommandLine, no window, status 2; /year:2027 titled '$window_title', every day and name of 2027 as printed, 2012's rows and events kept, a second run changing nothing"
}

# Alt+D and Tab from the path box to Next, checking the focus at each step.
tab_to_next() {
    press_expect_focus txtDatabaseFile alt+d
    press_expect_focus cmdBrowse Tab
    press_expect_focus cmdCancel Tab
    press_expect_focus cmdButton1 Tab
}

# The keys of every wizard in a dialog window: without a calendar the focus starts on Browse and
# Escape ends the program; with one it starts on Next, the default button, and Enter in the
# path box, which takes no typing, runs the update; then the focus is on Finish, Escape does
# nothing with Cancel disabled, and Enter ends the program.
case_wizard_keys() {
    db_reset
    start_program
    expect_focus cmdBrowse "without a calendar, at the start"
    expect_dialog_keys "not found"
    activate_window
    press Escape
    wait_program_end "Escape without a calendar"

    "$makecalendar" "$default_db"
    start_program
    expect_focus cmdButton1 "with a calendar, at the start"
    expect_dialog_keys "ready"
    activate_window
    press_expect_focus txtDatabaseFile alt+d
    xdotool type --delay 40 'C:\x.mdb'
    press BackSpace
    inspect
    [ "$(control_text txtDatabaseFile)" = "$default_path" ] ||
        fail "typing changed the path box: it holds '$(control_text txtDatabaseFile)'"
    expect_dialog_keys "ready, the focus in the path box"
    run_update wizard_keys Return
    expect_finished "the run by Enter in the path box"
    check_year "$default_db" "the run by Enter in the path box"
    press Escape
    for _ in $(seq 1 6); do
        sleep 0.5
        kill -0 "$program_pid" 2>/dev/null || fail "Escape ended the program with Cancel disabled"
    done
    press Return
    wait_program_end "Enter on Finish"
    passed "a dialog window (class #32770) with a read-only path box and Next the default button; the focus starts on Browse without a calendar, where Escape ends the program, and on Next with one; Enter in the path box runs the update; the completion is announced and the focus is on Finish, Escape does nothing with Cancel disabled, Enter ends the program"
}

# Cancel and the title bar's close box in the ready state end it; not a byte changes.
case_cancel_and_close_box() {
    db_reset
    "$makecalendar" "$default_db"
    local before
    before="$(md5sum <"$default_db")"
    start_program
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    click_control cmdCancel
    wait_program_end "Cancel in the ready state"
    expect_unchanged "$default_db" "$before" "Cancel in the ready state"
    start_program
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    click_close_box
    wait_program_end "the close box"
    expect_unchanged "$default_db" "$before" "the close box"
    [ ! -e "$log" ] || fail "closing reported a failure: $(cat "$log")"
    passed "Cancel in the ready state and the title bar's close box end the program; not a byte of the database changes"
}

# Where the window itself says its close box is; sets close_x and close_y.
find_close_box() {
    timeout 120 wine 'C:\e2e\inspect.exe' closebox 2>/dev/null | tr -d '\r' >"$work/closebox.txt" || true
    read -r close_x close_y <<<"$(report_values "$(grep '^closebox ' "$work/closebox.txt" || true)" x y)"
    [ -n "${close_y:-}" ] || fail "the window has no close box: $(cat "$work/closebox.txt")"
}
click_close_box() {
    find_close_box
    xdotool mousemove "$close_x" "$close_y" click 1
}

# A calendar used before (other colours and texts, days missing, events there) with a path
# typed at the path box, which takes no typing: the typed file untouched, the calendar the year
# exactly.
case_used_calendar() {
    reference_calendar
    db_reset
    make_stale_calendar "$default_db"
    q "$default_db" "SELECT * FROM Events ORDER BY EventID" >"$work/stale-events.txt"
    q "$default_db" "SELECT DateKey, DateNotes FROM Dates ORDER BY DateKey" >"$work/stale-notes.txt"
    q "$default_db" "SELECT * FROM Dates WHERE DateKey NOT LIKE '2012-%'" >"$work/stale-other-year.txt"
    mkdir -p "$drive_c/Calendars"
    local typed_db="$drive_c/Calendars/typed.mdb" typed_sum
    "$makecalendar" "$typed_db"
    typed_sum="$(md5sum <"$typed_db")"
    start_program
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    # The user tries to replace the path in the box by another calendar's.
    activate_window
    click_control txtDatabaseFile
    press End shift+Home BackSpace
    xdotool type --delay 40 'C:\Calendars\typed.mdb'
    inspect
    path_box_holds "$default_path" ||
        fail "typing reached the path box: it holds '$(control_text txtDatabaseFile)'"
    shoot typed.png
    run_update used
    expect_finished "the run after typing"
    expect_unchanged "$typed_db" "$typed_sum" "the typed path"
    # The year exactly: the same days as a fresh calendar's, the user's notes kept, the year's
    # names once each as all-day events beside the events that were there.
    check_dates "$default_db" "the calendar used before"
    local days="SELECT DateKey, DateColor, DateText FROM Dates WHERE DateKey LIKE '2012-%' ORDER BY DateKey"
    diff <(q "$work/reference.mdb" "$days") <(q "$default_db" "$days") >"$work/stale.diff" ||
        fail "the days differ from a fresh calendar's: $(head -c 1500 "$work/stale.diff")"
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
    passed "the box takes no typed path (that file untouched); the days become the year's exactly, missing ones added, the user's notes, the timed and the other day's event kept, the all-day event there not doubled"
}
path_box_holds() { inspect && [ "$(control_text txtDatabaseFile)" = "$1" ]; }

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
    shoot "failed.png"
}
# The same, and then Cancel ends the program.
expect_one_report() {  # module, line
    expect_report "$1" "$2"
    click_control cmdCancel
    wait_program_end "Cancel after the failure"
}

# A calendar without a Dates table: one "Application Error" box, error.log under
# frmMain.InitDates at line 140.
case_no_dates_table() {
    db_reset
    "$makecalendar" "$default_db"
    sqlite3 "$default_db" 'DROP TABLE Dates'
    start_program
    expect_one_report frmMain.InitDates 140
    [ "$(q "$default_db" 'SELECT COUNT(*) FROM Events')" = 0 ] || fail "events were added"
    passed "one Application Error box (product name '$product_name' from the version resource, the information icon, one OK), error.log under frmMain.InitDates at line 140"
}

# A file that is no database, on a French Windows: the box, error.log under
# frmMain.OpenDatabase at line 40 with the month named in French, in the log's code page.
case_french_log() {
    db_reset
    printf 'not an Access database\n' >"$default_db"
    use_locale fr_FR.UTF-8
    start_program
    mapfile -t log_months < <(printf '%s\n' "${french_months[@]}" | iconv -f UTF-8 -t CP1252)
    expect_one_report frmMain.OpenDatabase 40
    say "  error.log's date, in Windows-1252: $(head -n 1 "$shots/$step_tag-error.log" | tr -d '\r' | iconv -f CP1252 -t UTF-8)"
    [ "$(cat "$default_db")" = 'not an Access database' ] || fail "the file was changed"
    passed "one Application Error box, error.log under frmMain.OpenDatabase at line 40, the month in French"
}

# On a Finnish Windows, which separates the time with ".": the log's first line reads
# "DD-MMM-YYYY  HH.MM.SS" with the Finnish month.
case_finnish_log() {
    use_locale fi_FI.UTF-8
    inspect
    [ "$(sed -n 's/^timesep //p' "$work/inspect.txt")" = . ] && [ "$(sed -n 's/^timesep_ex //p' "$work/inspect.txt")" = . ] ||
        fail "Wine does not separate the time with '.' under fi_FI: $(grep '^timesep' "$work/inspect.txt" | tr '\n' ' ')"
    [ "$(sed -n 's/^months //p' "$work/inspect.txt")" = "${finnish_months[*]}" ] ||
        fail "Wine names the months under fi_FI '$(sed -n 's/^months //p' "$work/inspect.txt")', not '${finnish_months[*]}'"
    db_reset
    "$makecalendar" "$default_db"
    sqlite3 "$default_db" 'DROP TABLE Dates'
    start_program
    mapfile -t log_months < <(printf '%s\n' "${finnish_months[@]}" | iconv -f UTF-8 -t CP1252)
    log_time_separator="."
    expect_one_report frmMain.InitDates 140
    say "  error.log's date, in Windows-1252: $(head -n 1 "$shots/$step_tag-error.log" | tr -d '\r' | iconv -f CP1252 -t UTF-8)"
    passed "error.log's first line is 'DD-MMM-YYYY  HH.MM.SS' with the Finnish month"
}

# Local time, not UTC: the program and its Wine server in a mount namespace where
# /etc/localtime is the zone of Kiritimati (UTC+14); the log's date and hour are that zone's.
# (A TZ variable would reach the Windows side, which reads it in its own form.)
case_local_time() {
    local zone=/usr/share/zoneinfo/Pacific/Kiritimati
    [ "$(TZ="$zone" date +%H)" != "$(TZ=UTC date +%H)" ] || fail "Kiritimati keeps UTC's hour here"
    own_server=1
    end_wine_server
    # shellcheck disable=SC2016
    launcher=(unshare -m sh -c 'mount --bind "$0" /etc/localtime && wineserver -p && exec "$@"' "$zone")
    log_zone="$zone"
    db_reset
    "$makecalendar" "$default_db"
    sqlite3 "$default_db" 'DROP TABLE Dates'
    start_program
    expect_one_report frmMain.InitDates 140
    say "  error.log's time: $(head -n 1 "$shots/$step_tag-error.log" | tr -d '\r'), UTC $(TZ=UTC date '+%H:%M')"
    passed "error.log's date and hour are those of the zone the program runs in (Kiritimati, UTC+14), not UTC's"
}

# The existence test counts plain files only: a hidden dbcalndr.mdb at the default path gives
# the not-found state.
case_hidden_calendar() {
    db_reset
    "$makecalendar" "$default_db"
    timeout 120 wine attrib +h "$default_path" >/dev/null 2>&1 || fail "attrib +h did not run"
    python3 -c 'import os, sys; sys.exit(0 if int(os.getxattr(sys.argv[1], "user.DOSATTRIB").split(b"\0")[0], 16) & 2 else 1)' \
        "$default_db" 2>/dev/null || fail "the calendar at the default path is not hidden for Wine"
    expect_not_found_at_start "a hidden calendar at the default path"
    passed "a hidden dbcalndr.mdb at the default path gives the not-found state"
}

# Nor does a folder named dbcalndr.mdb at the default path count.
case_calendar_folder() {
    db_reset
    mkdir -p "$default_db"
    "$makecalendar" "$default_db/dbcalndr.mdb"
    expect_not_found_at_start "a folder named dbcalndr.mdb at the default path"
    passed "a folder named dbcalndr.mdb at the default path gives the not-found state"
}
expect_not_found_at_start() {  # what
    start_program
    expect_state "$1" "$not_found_text" 0 1 "$next_caption"
    [ -z "$(control_text txtDatabaseFile)" ] || fail "$1: the path box holds '$(control_text txtDatabaseFile)'"
    click_control cmdCancel
    wait_program_end "Cancel"
    [ ! -e "$log" ] || fail "$1: the start reported a failure: $(cat "$log")"
}

# A path longer than the box, picked in the dialog; shortened in the box, whole for the run.
long_name='Calendar 2012 for the parish office.mdb'
long_win="C:\\Calendars\\The parish of Saint Margaret and All Saints\\Calendars of the liturgical year\\$long_name"
long_db_in_c="Calendars/The parish of Saint Margaret and All Saints/Calendars of the liturgical year/$long_name"
long_db() { echo "$drive_c/$long_db_in_c"; }
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
    area="$(control_field txtDatabaseFile textareaw)"
    [ "${area:-0}" -gt 0 ] || fail "$1: the inspector gives no text area for the path box"
    need_w="$(control_field txtDatabaseFile needw)"
    [ "$need_w" -le "$area" ] || fail "$1: '$shown' needs $need_w pixels in a text area of $area"
    say "  $1: the box shows '$shown', $need_w pixels in a text area of $area"
}

# The browse button: a calendar at a long path, picked in the file dialog, shown shortened
# with an ellipsis, is updated.
case_browse_long_path() {
    mkdir -p "$(dirname "$(long_db)")"
    "$makecalendar" "$(long_db)"
    start_program
    expect_state "not found" "$not_found_text" 0 1 "$next_caption"
    click_control cmdBrowse
    expect_dialog
    /usr/bin/import -window root "$shots/browse_long_path-file-dialog.png"
    pick_file "$long_win" browse_long_path-file-dialog-typed.png
    expect_state "ready after browsing" "$ready_text" 1 1 "$next_caption"
    expect_shortened "96 dpi"
    shoot ready.png
    run_update browse
    expect_finished "the run on the long path"
    check_year "$(long_db)" "the file at the long path"
    [ ! -e "$default_db" ] || fail "something was written at the default path"
    shoot finished.png
    click_finish
    passed "a typed long path is taken, shown shortened with an ellipsis at 96 dpi, and that file is updated"
}

# From a program folder of non-ASCII names: a read-only calendar (one box, error.log beside
# the program, not a byte changed), a second failure appended to the log, then a calendar in
# that folder picked in the dialog, shown as it is and updated.
case_non_ascii_folder() {
    local nonascii_win='C:\users\Zoë\Téléchargements\Ωμέγα 日本'
    local nonascii_dir="$drive_c/users/Zoë/Téléchargements/Ωμέγα 日本"
    rm -rf "$nonascii_dir"
    place_program "$nonascii_win" "$nonascii_dir"
    db_reset
    "$makecalendar" "$default_db"
    make_read_only "$default_db"
    local read_only_sum
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
    pick_file 'not a calendar.mdb' non_ascii_folder-file-dialog-not-a-calendar.png
    expect_report frmMain.OpenDatabase 40 2
    head -n 8 "$log" | cmp -s - "$work/first-entry.log" || fail "the first entry of error.log changed"
    [ "$(cat "$nonascii_dir/not a calendar.mdb")" = 'not an Access database' ] || fail "the file was changed"
    # Then the calendar beside the program, picked in the dialog: its path shown as it is.
    activate_window
    click_control cmdBrowse
    expect_dialog
    pick_file 'calendar.mdb' non_ascii_folder-file-dialog-calendar.png
    expect_state "ready after browsing" "$ready_text" 1 1 "$next_caption"
    local shown
    shown="$(control_text txtDatabaseFile)"
    # Wine may name the profiles' folder in either case; every other character as it is.
    case "$shown" in 'C:\Users\'* | 'C:\users\'*) ;; *) fail "the path box shows '$shown'" ;; esac
    [ "${shown:9}" = "${nonascii_win:9}\calendar.mdb" ] ||
        fail "the path box shows '$shown', not '$nonascii_win\calendar.mdb'"
    shoot ready-non-ascii.png
    cp "$log" "$work/log-before-run.txt"
    run_update non_ascii
    # The run reports nothing: the log holds the two entries it had.
    sleep 0.5
    inspect
    expect_state "finished in the non-ASCII folder" "$finished_text" 1 0 "$finish_caption"
    expect_run_states
    cmp -s "$log" "$work/log-before-run.txt" || fail "the run wrote to error.log: $(tail -n 8 "$log")"
    check_year "$nonascii_dir/calendar.mdb" "the calendar in the non-ASCII folder"
    expect_unchanged "$default_db" "$read_only_sum" "the read-only calendar"
    click_finish
    passed "from $nonascii_win: a read-only calendar gives one box and error.log beside the program under frmMain.InitDates at line 260, not a byte changed; a second failure gives 16 lines, the first 8 unchanged; a calendar there, picked in the dialog, shows as it is and is updated"
}

# The close box during a run: Next and then the close box clicked while the program is held
# still, so that the close waits in its queue when the run lets the window's messages through
# as it shows its wait text. The run goes on to its end and the window closes when it returns:
# when the window goes, the calendar holds the whole year.
case_close_box_during_run() {
    db_reset
    "$makecalendar" "$default_db"
    start_program
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    find_close_box
    local left top width height links pids
    read -r left top width height <<<"$(control_rect cmdButton1)"
    local pid
    pids=""
    # This run's program only: other runs on the machine have prefixes of their own.
    for pid in $(pgrep -f 'AlmanoriaYear2012\.exe'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            pids+="$pid "
    done
    [ -n "$pids" ] || fail "the program's process was not found"
    # shellcheck disable=SC2086
    kill -STOP $pids
    xdotool mousemove $((client_x + left + width / 2)) $((client_y + top + height / 2)) click 1 \
        mousemove "$close_x" "$close_y" click 1
    sleep 0.5
    # shellcheck disable=SC2086
    kill -CONT $pids
    wait_until 240 no_window || fail "the window did not close"
    links="$(q "$default_db" 'SELECT COUNT(*) FROM EventDates')"
    [ "$links" = "$expected_links" ] ||
        fail "the window closed while the run was still writing: $links of $expected_links links there when it went"
    wait_program_end "the close box during the run" 240
    [ ! -e "$log" ] || fail "the run or the close reported a failure: $(cat "$log")"
    check_year "$default_db" "the run closed during its work"
    passed "the close box clicked as the run starts: the run goes on to the whole year, and only then the window closes and the program ends"
}

# Return twice in quick succession on Next, with a click on the button: the second Return and
# the click come while the run holds the thread (the program held still while they are sent, its
# first days written). They are dropped when the run returns, so the window stays on its
# completion, announced, with Finish focused; a Return pressed then ends the program.
case_type_ahead() {
    db_reset
    "$makecalendar" "$default_db"
    start_program
    expect_focus cmdButton1 "at the start"
    activate_window
    local pids="" pid left top width height links
    # This run's program only: other runs on the machine have prefixes of their own.
    for pid in $(pgrep -f 'AlmanoriaYear2012\.exe'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            pids+="$pid "
    done
    [ -n "$pids" ] || fail "the program's process was not found"
    read -r left top width height <<<"$(control_rect cmdButton1)"
    start_watch
    xdotool key Return
    wait_until 120 days_written || fail "the run wrote no day within 120 s"
    # shellcheck disable=SC2086
    kill -STOP $pids
    # A lock the run holds means it is still writing.
    links="$(q "$default_db" 'SELECT COUNT(*) FROM EventDates' 2>/dev/null || echo 0)"
    xdotool key Return mousemove $((client_x + left + width / 2)) $((client_y + top + height / 2)) click 1
    sleep 0.5
    # shellcheck disable=SC2086
    kill -CONT $pids
    [ "$links" -lt "$expected_links" ] ||
        fail "the run had ended before the second Return and the click came"
    wait "$watch_pid" || true
    watch_pid=""
    tr -d '\r' <"$work/watch-raw.txt" >"$work/watch.txt"
    cp "$work/watch.txt" "$shots/type_ahead-states.txt"
    if grep -q '^timeout' "$work/watch.txt"; then fail "the run did not end within 240 s"; fi
    # Were they not dropped, the window would close within moments of the run's end.
    if grep -q '^gone' "$work/watch.txt" || wait_until 3 no_window; then
        fail "the second Return or the click ended the program"
    fi
    expect_finished "Return twice and a click"
    check_year "$default_db" "Return twice and a click"
    press Return
    wait_program_end "Enter on Finish after the run"
    passed "a second Return and a click sent while the run held the thread are dropped: the completion stays, announced, with Finish focused, and a Return afterwards ends the program"
}
days_written() { [ "$(q "$default_db" 'SELECT COUNT(*) FROM Dates' 2>/dev/null)" -gt 0 ] 2>/dev/null; }

# A day-first Windows (en_GB): every day stays on its own date.
case_day_first() {
    reference_calendar
    # First that the driver here really reads quoted dates day first under en_GB, and month
    # first otherwise; else this case could not tell a wrong date from a right one.
    local locale stored
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
    use_locale en_GB.UTF-8
    start_program
    # The regional settings as a program under that locale sees them.
    inspect
    [ "$(sed -n 's/^shortdate //p' "$work/inspect.txt")" = "dd/MM/yyyy" ] ||
        fail "Wine does not put the day first under en_GB: $(sed -n 's/^shortdate //p' "$work/inspect.txt")"
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    run_update day_first
    expect_finished "day first"
    shoot finished-en-GB.png
    check_year "$default_db" "day first"
    # Row by row the same as a month-first run's; 5/6/2012 is May 6 in both.
    local table
    for table in "DateKey, DateColor, EventCount, DateNotes, DateText FROM Dates ORDER BY DateKey" \
        "e.EventName, l.EventDate FROM Events e JOIN EventDates l ON l.EventId = e.EventID ORDER BY l.EventDate, e.EventName"; do
        [ "$(q "$default_db" "SELECT $table" | md5sum)" = "$(q "$work/reference.mdb" "SELECT $table" | md5sum)" ] ||
            fail "the day-first database differs from the month-first one ($table)"
    done
    # May 6 is the 5th Sunday of Easter, whose note is one of the 78-character ones.
    [ "$(q "$default_db" "SELECT l.EventDate || '|' || length(d.DateText) FROM Events e JOIN EventDates l ON l.EventId = e.EventID JOIN Dates d ON d.DateKey = l.EventDate WHERE e.EventName = '5th Sunday Of Easter'")" = '2012-05-06|78' ] ||
        fail "May 6 does not hold its own name and note"
    click_finish
    passed "en_GB: the same rows as month first, every day on its own date"
}

# 120 dots per inch: every control at its place in twips, no text cut off; the long path
# shortened to the wider box; Space on the focused Next runs the update.
case_dpi_120() {
    db_reset
    "$makecalendar" "$default_db"
    local default_sum
    default_sum="$(md5sum <"$default_db")"
    mkdir -p "$(dirname "$(long_db)")"
    "$makecalendar" "$(long_db)"
    start_program
    [ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = 120 ] ||
        fail "Wine runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not 120"
    expect_state "ready at 120 dpi" "$ready_text" 1 1 "$next_caption"
    shoot 120dpi-ready.png
    check_layout "$work/root.png" "120 dpi, ready"
    click_control cmdBrowse
    expect_dialog
    pick_file "$long_win" dpi_120-file-dialog-typed.png
    expect_state "ready at 120 dpi after browsing" "$ready_text" 1 1 "$next_caption"
    expect_shortened "120 dpi"
    # Space on the focused Next starts the run.
    tab_to_next
    run_update dpi_120 space
    expect_finished "the run at 120 dpi, by Space"
    shoot 120dpi-finished.png
    check_layout "$work/root.png" "120 dpi, finished"
    check_year "$(long_db)" "at 120 dpi"
    expect_unchanged "$default_db" "$default_sum" "the default calendar, another one having been picked"
    click_finish
    rm -rf "$database_dir"
    start_program
    expect_state "not found at 120 dpi" "$not_found_text" 0 1 "$next_caption"
    shoot 120dpi-not-found.png
    check_layout "$work/root.png" "120 dpi, not found"
    click_control cmdCancel
    wait_program_end "Cancel"
    passed "client area and every control at its twips place, drawn there, texts inside; the long path shortened to fit the box at this resolution; Space on the focused Next runs the update on that file"
}

# A fresh calendar as the program updates it under en_US, checked against the year's record:
# $work/reference.mdb, made by the first case of the run that asks for it.
reference_calendar() {
    [ -f "$work/reference.mdb" ] && return 0
    say "  making the reference calendar"
    db_reset
    "$makecalendar" "$default_db"
    start_program
    expect_state "ready, for the reference calendar" "$ready_text" 1 1 "$next_caption"
    run_update reference
    expect_finished "the reference calendar's run"
    check_year "$default_db" "the reference calendar"
    click_finish
    cp "$default_db" "$work/reference.mdb.part"
    mv "$work/reference.mdb.part" "$work/reference.mdb"
}

# What the shell names for a folder the program looks in (programfilesx86, programfiles,
# localappdata), as a program in the prefix sees it.
shell_folder() {
    timeout 60 wine 'C:\e2e\inspect.exe' folders 2>/dev/null | tr -d '\r' >"$work/folders.txt" || true
    sed -n "s/^folder name=$1 found=1 text=//p" "$work/folders.txt"
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
# Sets a value for the case alone: it is put back when the case ends, passed or failed.
set_registry_value_for_case() {  # name, value
    case_cleanups+=("set_registry_value '$1' '$(registry_value "$1")'")
    set_registry_value "$1" "$2"
}

# The calendar where a Program Files folder of the shell's holds it, the default path holding
# nothing: ready with its path, and Next updates that file.
expect_installed_at() {  # Windows path, Linux path
    start_program
    expect_state "ready" "$ready_text" 1 1 "$next_caption"
    [ "$(control_text txtDatabaseFile)" = "$1" ] || fail "the path box holds '$(control_text txtDatabaseFile)', not '$1'"
    shoot ready.png
    run_update "$step_tag"
    expect_finished "the run on $1"
    check_year "$2" "the calendar at $1"
    [ ! -e "$default_db" ] || fail "something was written at the default path"
    click_finish
}

# A 32-bit calendar on 64-bit Windows, only under C:\Program Files (x86), which the shell names
# for 32-bit programs ("ProgramFilesDir (x86)"): ready with that path, Next updates that file.
case_program_files_x86() {
    [ "$(registry_value ProgramFilesDir)" = 'C:\Program Files' ] ||
        fail "the prefix's ProgramFilesDir is '$(registry_value ProgramFilesDir)'"
    local x86_dir="$drive_c/Program Files (x86)"
    case_cleanups+=("rm -rf '$x86_dir'")
    mkdir -p "$x86_dir/$product_folder"
    "$makecalendar" "$x86_dir/$product_folder/dbcalndr.mdb"
    set_registry_value_for_case 'ProgramFilesDir (x86)' 'C:\Program Files (x86)'
    # Wine answers CSIDL_PROGRAM_FILESX86 from that value even in a 32-bit prefix, and
    # CSIDL_PROGRAM_FILES still names the default path's folder: only the first finds it.
    [ "$(shell_folder programfilesx86)" = 'C:\Program Files (x86)' ] ||
        fail "the shell names '$(shell_folder programfilesx86)' for 32-bit programs"
    [ "$(shell_folder programfiles)" = 'C:\Program Files' ] ||
        fail "the shell names '$(shell_folder programfiles)' for programs"
    expect_installed_at "C:\\Program Files (x86)\\$product_folder\\dbcalndr.mdb" \
        "$x86_dir/$product_folder/dbcalndr.mdb"
    passed "the calendar only under C:\\Program Files (x86), which the shell names for 32-bit programs: ready with that path, and Next updates that file"
}

# A German Windows XP, whose Program Files is C:\Programme (its "ProgramFilesDir").
case_programme() {
    local programme_dir="$drive_c/Programme"
    case_cleanups+=("rm -rf '$programme_dir'")
    mkdir -p "$programme_dir/$product_folder"
    "$makecalendar" "$programme_dir/$product_folder/dbcalndr.mdb"
    set_registry_value_for_case ProgramFilesDir 'C:\Programme'
    [ "$(shell_folder programfiles)" = 'C:\Programme' ] ||
        fail "the shell names '$(shell_folder programfiles)' for programs"
    expect_installed_at "C:\\Programme\\$product_folder\\dbcalndr.mdb" \
        "$programme_dir/$product_folder/dbcalndr.mdb"
    passed "the calendar under C:\\Programme, the shell's ProgramFilesDir: ready with that path, and Next updates that file"
}

# A program folder that refuses error.log (a folder of that name: as root, write bits would be
# no obstacle): one box, and the entry in the user's local application data.
case_log_in_local_appdata() {
    mkdir "$program_dir/error.log"
    case_cleanups+=("rm -rf '$program_dir/error.log'")
    local local_appdata local_appdata_dir log_dir
    local_appdata="$(shell_folder localappdata)"
    [[ "$local_appdata" == 'C:\'* ]] || fail "the shell names no local application data: $(cat "$work/folders.txt")"
    local_appdata_dir="$drive_c/$(printf '%s' "${local_appdata#C:\\}" | tr '\\' /)"
    [ -d "$local_appdata_dir" ] || fail "$local_appdata_dir, the local application data, is missing"
    log_dir="$local_appdata_dir/$product_folder"
    rm -rf "$log_dir"
    case_cleanups+=("rm -rf '$log_dir'")
    db_reset
    printf 'not an Access database\n' >"$default_db"
    log="$log_dir/error.log"
    start_program
    [ ! -e "$log_dir" ] || fail "the program made $log_dir before any failure"
    expect_one_report frmMain.OpenDatabase 40
    [ -d "$program_dir/error.log" ] && [ -z "$(ls -A "$program_dir/error.log")" ] ||
        fail "the folder error.log beside the program changed"
    passed "a folder named error.log beside the program: one Application Error box, the entry under frmMain.OpenDatabase at line 40 in $local_appdata\\$product_folder\\error.log"
}

# The long path at a resolution of the user's: the box's text area is what the path must fit.
expect_shortened_at() {  # dpi
    mkdir -p "$(dirname "$(long_db)")"
    "$makecalendar" "$(long_db)"
    start_program
    [ "$(sed -n 's/^dpi //p' "$work/inspect.txt")" = "$1" ] ||
        fail "Wine runs at $(sed -n 's/^dpi //p' "$work/inspect.txt") dpi, not $1"
    click_control cmdBrowse
    expect_dialog
    pick_file "$long_win" "$step_tag-file-dialog-typed.png"
    expect_state "ready at $1 dpi after browsing" "$ready_text" 1 1 "$next_caption"
    expect_shortened "$1 dpi"
    shoot ready.png
    click_control cmdCancel
    wait_program_end "Cancel"
    passed "$1 dpi: the long path shortened with an ellipsis, ending with the file name, inside the box's text area"
}
case_dpi_144() { expect_shortened_at 144; }
case_dpi_192() { expect_shortened_at 192; }

# A version.dll and an odbc32.dll in a download folder beside the program, which Windows would
# take before its own, each leaving "<dll>.loaded" beside itself when loaded and "<dll>.called"
# when called; Windows' order, native first. Wine's own user32 imports version.dll and calls it,
# which Windows' user32 does not (and a KnownDLL's dependents come from the system there), so
# under Wine the planted version.dll is loaded and called whatever the program does: here the
# program must start and update beside it, and tools/check-windows-program.sh sees that it
# imports no version.dll.
planted_marked() { find "$program_dir" -maxdepth 1 -iname "$1.dll.$2" | grep -q .; }
expect_planted_unused() {  # when
    ! planted_marked odbc32 loaded || fail "the program loaded the odbc32.dll beside it $1"
    ! planted_marked odbc32 called || fail "the program called the odbc32.dll beside it $1"
}
case_planted_dlls() {
    place_program 'C:\Downloads' "$drive_c/Downloads"
    local dll mark native_first="$WINEDLLOVERRIDES;version,odbc32=n,b"
    for dll in version odbc32; do
        i686-w64-mingw32-gcc -O2 -Wall -shared -DPLANTED_${dll^^} -Wl,--kill-at \
            -o "$program_dir/$dll.dll" "$repo/testing/wine-e2e/planted.c" || fail "$dll.dll could not be built"
    done
    i686-w64-mingw32-gcc -O2 -Wall -mwindows -DPLANTED_PROBE -o "$program_dir/probe.exe" \
        "$repo/testing/wine-e2e/planted.c" -lversion -lodbc32 || fail "the probe could not be built"
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
    run_update planted
    expect_finished "the run beside the planted DLLs"
    check_year "$default_db" "the run beside the planted DLLs"
    shoot finished.png
    click_finish
    expect_planted_unused "for the update"
    rm -rf "$drive_c/Downloads"
    passed "a version.dll and an odbc32.dll beside the program, native first: a program importing them loads and calls them; this one never loads that odbc32.dll, and the update writes the whole year"
}
