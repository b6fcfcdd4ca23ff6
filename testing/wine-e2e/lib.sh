# Helpers of testing/wine-e2e/run-cases.sh, sourced by it: driving the wizard on the virtual display, reading
# its controls through the inspector, and judging a calendar database and error.log.
# shellcheck shell=bash

# --- Waiting -------------------------------------------------------------------------------

# Runs a command every half second until it succeeds, for at most the seconds given.
wait_until() {  # seconds, command...
    local tries=$(($1 * 2))
    shift
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.5
    done
}

# --- Driving the program ------------------------------------------------------------------

# The window's texts and controls as the program builds them ($work/design.txt, from
# form_design), line breaks escaped as the inspector prints them.
design_value() { grep "^$1|" "$work/design.txt" | head -n 1 | cut -d'|' -f"$2"-; }
window_title="$(design_value title 2)"
dialog_title="$(design_value 'dialog|title' 3)"
# The filter's first name, as the dialog's type box shows it ("name|pattern|...").
dialog_filter_name="$(design_value 'dialog|filter' 3 | cut -d'|' -f1)"
ready_text="$(design_value 'text|ready' 3)"
not_found_text="$(design_value 'text|notfound' 3)"
wait_text="$(design_value 'text|wait' 3)"
finished_text="$(design_value 'text|finished' 3)"
finish_caption="$(design_value 'text|finish' 3)"
tooltip_text="$(design_value tooltip 2)"
picture_name="$(design_value picturename 2)"
read -r client_twips_w client_twips_h <<<"$(design_value client 2 | tr '|' ' ')"
# Each control by name: its number, kind, twips rectangle and design caption.
declare -A control_ids control_kinds control_twips control_captions
while IFS='|' read -r _ id name kind left top width height caption; do
    control_ids[$name]="$id" control_kinds[$id]="$kind"
    control_twips[$name]="$left $top $width $height" control_captions[$name]="$caption"
done < <(grep '^control|' "$work/design.txt")
[ "${#control_ids[@]}" = 7 ] || fail "the form's design does not list seven controls"
[ -n "$ready_text" ] && [ -n "$not_found_text" ] && [ -n "$window_title" ] && [ -n "$tooltip_text" ] &&
    [ -n "$picture_name" ] && [ -n "$dialog_title" ] && [ -n "$dialog_filter_name" ] ||
    fail "the form's design lacks its texts"
next_caption="${control_captions[cmdButton1]}"

# One value of a line of the inspector's report, by its key: the lines are a kind and key=value
# pairs, with the text last, running to the line's end.
report_value() {  # line, key
    local line="$1" head
    if [ "$2" = text ]; then
        [[ "$line" != *" text="* ]] || printf '%s\n' "${line#* text=}"
        return 0
    fi
    head=" ${line%% text=*} "
    [[ "$head" == *" $2="* ]] || return 0
    head="${head#* "$2"=}"
    printf '%s\n' "${head%% *}"
}
# The values of several keys of a line, on one line with a space between.
report_values() {  # line, key...
    local line="$1" key values=()
    shift
    for key in "$@"; do values+=("$(report_value "$line" "$key")"); done
    echo "${values[*]}"
}

# Runs the inspector; its report lands in $work/inspect.txt.
inspect() {
    timeout 60 wine 'C:\e2e\inspect.exe' 2>/dev/null | tr -d '\r' >"$work/inspect.txt" ||
        fail "the inspector did not run"
    grep -q '^dpi ' "$work/inspect.txt" || fail "the inspector reported nothing"
}
# One control's line, by the control's name: id, class, enabled, visible, its place (left top
# width height), the room its text needs (needw needh), the ink's box when the text is drawn
# unclipped (inkx0 inky0 inkx1 inky1, -1 for none), readonly, default, the path box's text area
# width (textareaw), text.
control() { grep "^child id=${control_ids[$1]:?no control named $1} " "$work/inspect.txt" | head -n 1; }
control_field() { report_value "$(control "$1")" "$2"; }
control_text() { control_field "$1" text; }
control_rect() { report_values "$(control "$1")" left top width height; }
window_line() { grep '^window ' "$work/inspect.txt" || true; }

# The name of the control that has the focus, or its number when it is none of the wizard's.
window_focus() {
    local id name
    id="$(report_value "$(grep '^focus ' "$work/inspect.txt")" id)"
    for name in "${!control_ids[@]}"; do
        [ "${control_ids[$name]}" = "$id" ] && { echo "$name"; return; }
    done
    echo "$id"
}

# Where the program lies (a Windows path and the Linux folder it maps to), and its error.log.
place_program() {  # Windows folder, Linux folder
    program_win="$1" program_dir="$2" log="$2/error.log"
    mkdir -p "$program_dir"
    cp "$exe" "$program_dir/AlmanoriaYear2012.exe"
}

# Starts the program as a user would, from its own folder, with no error.log yet; extra
# VAR=value pairs go to its environment. A case may set the array launcher to a command that
# runs the program (and with it a new Wine server) in a setting of its own, and the array
# program_arguments to its command line.
launcher=()
program_arguments=()
start_program() {
    rm -f "$log"
    local id="" status attempt
    for attempt in 1 2 3; do
        # Wine's own errors go to program.out, for the failure that ends the program early.
        (cd "$program_dir" && exec "${launcher[@]}" env WINEDEBUG=err+all "$@" wine "$program_win\AlmanoriaYear2012.exe" "${program_arguments[@]}" \
            >"$work/program.out" 2>&1) &
        program_pid=$!
        status=""
        for _ in $(seq 1 240); do
            id="$(xdotool search --onlyvisible --name "^$window_title\$" 2>/dev/null | head -n 1 || true)"
            [ -n "$id" ] && break 2
            if ! kill -0 "$program_pid" 2>/dev/null; then
                status=0
                wait "$program_pid" 2>/dev/null || status=$?
                break
            fi
            sleep 0.5
        done
        [ -n "$status" ] || break
        # On a machine loaded hard Wine's desktop process may not start in the time Wine gives
        # it, and a program then gets no window, or is killed (SIGKILL) before its window
        # opens: no fault of the program's, so it starts again, twice at most.
        if [ "$attempt" = 3 ] || ! { [ "$status" = 137 ] || grep -q 'The explorer process failed to start' "$work/program.out"; }; then
            fail "the program ended with status $status before its window opened: $(grep -v ':fixme:' "$work/program.out" | tail -c 600)"
        fi
        say "  Wine's desktop was not there for the program (status $status); starting it again"
    done
    [ -n "$id" ] || fail "the window did not open within 120 s"
    window_id="$id"
    # The window is mapped; wait until its controls stand too.
    wait_until 10 has_controls || true
    [ "$(grep -c '^child ' "$work/inspect.txt")" = 7 ] ||
        fail "the window does not have its seven controls: $(cat "$work/inspect.txt")"
    read -r win_left win_top win_width win_height client_x client_y client_w client_h \
        <<<"$(report_values "$(window_line)" left top width height clientx clienty clientw clienth)"
    sleep 1  # let it paint
}

has_controls() { inspect && [ "$(grep -c '^child ' "$work/inspect.txt")" -ge 7 ]; }

# Clicks the middle of a control of the wizard, by its place on the screen.
click_control() {
    local left top width height
    read -r left top width height <<<"$(control_rect "$1")"
    [ -n "$height" ] || fail "no control $1 to click"
    xdotool mousemove $((client_x + left + width / 2)) $((client_y + top + height / 2)) click 1
}

# Without a window manager a click on the wizard after the file dialog or a box may only
# activate it, and the keyboard's X focus stays where it was: a click on the bare window, away
# from every control, and the X focus handed over make it the window the user works in.
activate_window() {
    xdotool mousemove $((client_x + 8)) $((client_y + client_h - 8)) click 1
    xdotool windowfocus "$window_id" 2>/dev/null || true
    sleep 0.5
}

# Keys as a user presses them, to the window that has the X focus.
press() {
    xdotool key --delay 150 "$@"
    sleep 0.7
}

# Presses keys on the wizard and checks which control then has the focus.
press_expect_focus() {  # control name, keys...
    local name="$1"
    shift
    xdotool key --delay 150 "$@"
    expect_focus "$name" "after $*"
}
focus_is() { inspect && [ "$(window_focus)" = "$1" ]; }
expect_focus() {  # control name, when
    wait_until 5 focus_is "$1" || fail "$2 the focus is on control '$(window_focus)', not $1"
}

# Waits until the program's process has ended (the window gone with it).
wait_program_end() {  # what, [seconds; 60]
    for _ in $(seq 1 $((${2:-60} * 2))); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            local status=0
            wait "$program_pid" 2>/dev/null || status=$?
            program_pid=""
            [ "$status" = 0 ] || fail "$1: the program ended with status $status"
            if xdotool search --onlyvisible --name "^$window_title\$" >/dev/null 2>&1; then
                fail "$1: the process ended but its window is still there"
            fi
            return 0
        fi
        sleep 0.5
    done
    fail "$1: the program did not end within ${2:-60} s"
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
        "$shots/$step_tag-$1"
}

expect_state() {  # what, label text, Next enabled, Cancel enabled, Next caption
    local what="$1" name
    [ "$(control_text lblUpdate)" = "$2" ] || fail "$what: the message reads '$(control_text lblUpdate)'"
    [ "$(control_text cmdButton1)" = "$5" ] || fail "$what: the next button reads '$(control_text cmdButton1)'"
    [ "$(control_field cmdButton1 enabled)" = "$3" ] || fail "$what: the next button's enabled state is not $3"
    [ "$(control_field cmdCancel enabled)" = "$4" ] || fail "$what: Cancel's enabled state is not $4"
    [ "$(control_field cmdBrowse enabled)" = 1 ] || fail "$what: Browse is disabled"
    for name in cmdBrowse cmdCancel lblDatabaseFile; do
        [ "$(control_text "$name")" = "${control_captions[$name]}" ] ||
            fail "$what: $name reads '$(control_text "$name")', not '${control_captions[$name]}'"
    done
}

# Presses Next (a click, or the keys given) and follows the run until it finishes; the states
# the watcher saw are kept as NAME-states.txt.
run_update() {  # name, [keys...]
    local name="$1"
    shift
    start_watch
    local clicked=$SECONDS
    if [ $# -gt 0 ]; then xdotool key "$@"; else click_control cmdButton1; fi
    wait "$watch_pid" || true
    watch_pid=""
    run_seconds=$((SECONDS - clicked))
    tr -d '\r' <"$work/watch-raw.txt" >"$work/watch.txt"
    cp "$work/watch.txt" "$shots/$name-states.txt"
    if grep -q '^timeout' "$work/watch.txt"; then fail "the run did not end within 240 s"; fi
    if grep -q '^gone' "$work/watch.txt"; then fail "the window went away during the run"; fi
}

# The inspector watching the window's states into $work/watch-raw.txt, until the run ends.
start_watch() {
    rm -f "$work/watch-raw.txt"
    timeout 300 wine 'C:\e2e\inspect.exe' watch 240 >"$work/watch-raw.txt" 2>/dev/null &
    watch_pid=$!
    wait_until 30 grep -q '^state ' "$work/watch-raw.txt" || fail "the watcher did not start"
}

# After a run: the finished state, reached through the wait text alone, and no failure logged;
# the completion announced as an alert of the message area, and the focus on Finish.
expect_finished() {  # what
    sleep 0.5
    inspect
    expect_state "$1" "$finished_text" 1 0 "$finish_caption"
    expect_run_states
    [ ! -e "$log" ] || fail "$1: the run reported a failure: $(cat "$log")"
    grep -qxF "alert id=${control_ids[lblUpdate]} text=$finished_text" "$work/watch.txt" ||
        fail "$1: no alert told the completion: $(grep '^alert' "$work/watch.txt" || echo none)"
    expect_focus cmdButton1 "$1: after the run"
}

# What the keyboard and assistive technology meet in the window: a dialog (its class, and its
# role where Wine's oleacc answers), the picture named, a path box that takes no typing, Next
# the default button of the dialog and, while the focus is on no other button, the one drawn as
# the default.
keys_of() { echo "readonly $(control_field "$1" readonly) default $(control_field "$1" default)"; }
expect_dialog_keys() {  # what
    local class role
    read -r class role <<<"$(report_values "$(grep '^class ' "$work/inspect.txt")" name role)"
    [ "$class" = '#32770' ] || fail "$1: the window's class is '$class', not a dialog's"
    # Wine's oleacc answers a plain client's role (10) for every window, dialogs too: there the
    # dialog's class stands for its role.
    case "$role" in
        18 | 10 | none) ;;
        *) fail "$1: the window's role is $role, not a dialog's (18)" ;;
    esac
    [ "$(control_text Picture1)" = "$picture_name" ] ||
        fail "$1: the picture is named '$(control_text Picture1)', not '$picture_name'"
    [ "$(keys_of txtDatabaseFile)" = 'readonly 1 default 0' ] ||
        fail "$1: the path box is not read-only: $(keys_of txtDatabaseFile)"
    [ "$(sed -n 's/^defid //p' "$work/inspect.txt")" = "${control_ids[cmdButton1]}" ] ||
        fail "$1: the default button is $(sed -n 's/^defid //p' "$work/inspect.txt"), not Next"
    case "$(window_focus)" in
        cmdBrowse | cmdCancel) ;;
        *) [ "$(keys_of cmdButton1)" = 'readonly 0 default 1' ] ||
            fail "$1: Next is not drawn as the default button: $(keys_of cmdButton1)" ;;
    esac
}

# Finish, clicked, ends the program.
click_finish() {
    click_control cmdButton1
    wait_program_end "Finish"
}

# The run's states as the watcher saw them: ready, then the wait text with Next disabled,
# then the finished state.
expect_run_states() {
    local states="$work/watch.txt"
    grep -qxF "state next=$next_caption|0 cancel=1 boxes=0 label=$wait_text" "$states" ||
        fail "the wait text with Next disabled and Cancel enabled never showed: $(cat "$states")"
    grep -qxF "state next=$finish_caption|1 cancel=0 boxes=0 label=$finished_text" "$states" ||
        fail "the run did not end in the finished state: $(tail -n 3 "$states")"
    # Nothing else in between: no box, no other text.
    local other
    other="$(grep '^state ' "$states" | grep -vxF "state next=$next_caption|1 cancel=1 boxes=0 label=$ready_text" |
        grep -vxF "state next=$next_caption|0 cancel=1 boxes=0 label=$ready_text" |
        grep -vxF "state next=$next_caption|0 cancel=1 boxes=0 label=$wait_text" |
        grep -vxF "state next=$finish_caption|0 cancel=1 boxes=0 label=$finished_text" |
        grep -vxF "state next=$finish_caption|1 cancel=1 boxes=0 label=$finished_text" |
        grep -vxF "state next=$finish_caption|1 cancel=0 boxes=0 label=$finished_text" |
        grep -vxF "state next=$next_caption|0 cancel=1 boxes=0 label=$finished_text" || true)"
    [ -z "$other" ] || fail "the run went through an unexpected state: $other"
}

# The database as the program left it, judged by the tests' own record of the year
# ($work/year.txt, from year_rows): every day of 2012 once, the colours' counts and runs, each
# noted day's note at its length and no note elsewhere, and each name of a named day as one
# all-day event linked to its date and counted there.
q() { sqlite3 -separator '|' "$1" "$2"; }
check_dates() {  # database, what
    local db="$1" what="$2"
    q "$db" "SELECT DateKey FROM Dates WHERE DateKey LIKE '2012-%' ORDER BY DateKey" >"$work/got-keys.txt"
    diff "$work/expected-keys.txt" "$work/got-keys.txt" >"$work/keys.diff" ||
        fail "$what: Dates does not hold every day of 2012 once: $(head -c 600 "$work/keys.diff")"
    q "$db" "SELECT 'colour', DateColor, COUNT(*) FROM Dates WHERE DateKey LIKE '2012-%' GROUP BY DateColor" |
        sort >"$work/got-colours.txt"
    diff <(grep '^colour|' "$work/year.txt" | sort) "$work/got-colours.txt" >"$work/colours.diff" ||
        fail "$what: the colours' counts differ from the year's: $(cat "$work/colours.diff")"
    local runs
    runs="$(q "$db" "SELECT COUNT(*) FROM (SELECT DateColor AS c, LAG(DateColor) OVER (ORDER BY DateKey) AS p
                                          FROM Dates WHERE DateKey LIKE '2012-%') WHERE p IS NULL OR p <> c")"
    [ "runs|$runs" = "$(grep '^runs|' "$work/year.txt")" ] ||
        fail "$what: the colours change $runs times through the year, not as $(grep '^runs|' "$work/year.txt")"
    # A note's length as the year carries it, with each apostrophe doubled.
    q "$db" "SELECT 'note', DateKey, 2 * length(DateText) - length(replace(DateText, '''', ''))
             FROM Dates WHERE DateKey LIKE '2012-%' AND DateText IS NOT ''" | sort >"$work/got-notes.txt"
    diff <(grep '^note|' "$work/year.txt" | sort) "$work/got-notes.txt" >"$work/notes.diff" ||
        fail "$what: the notes differ from the year's (days or lengths): $(cat "$work/notes.diff")"
    [ "$(q "$db" "SELECT COUNT(*) FROM Dates WHERE DateText IS NULL OR DateColor IS NULL")" = 0 ] ||
        fail "$what: a day without colour or text"
}
# Every link with its event's all-day flag, and each 2012 day's count of its links.
check_links() {  # database, what, expected "link|date|name|all-day" lines (sorted file)
    local db="$1" what="$2"
    q "$db" "SELECT 'link', l.EventDate, e.EventName, e.AllDayEvent FROM Events e JOIN EventDates l ON l.EventId = e.EventID" |
        sort >"$work/got-links.txt"
    diff "$3" "$work/got-links.txt" >"$work/links.diff" ||
        fail "$what: the events' links differ from the year's names: $(head -c 1500 "$work/links.diff")"
    [ "$(q "$db" "SELECT COUNT(*) FROM Dates d WHERE DateKey LIKE '2012-%' AND EventCount <> (SELECT COUNT(*) FROM EventDates l WHERE l.EventDate = d.DateKey)")" = 0 ] ||
        fail "$what: some day's EventCount is not its number of links"
}
check_year() {  # database, what
    local db="$1" what="$2"
    check_dates "$db" "$what"
    [ "$(q "$db" 'SELECT COUNT(*) FROM Dates')" = 366 ] ||
        fail "$what: Dates has $(q "$db" 'SELECT COUNT(*) FROM Dates') rows, not 366"
    [ "$(q "$db" "SELECT COUNT(*) FROM Dates WHERE DateNotes IS NOT ''")" = 0 ] ||
        fail "$what: DateNotes was written on a fresh calendar"
    [ "$(q "$db" 'SELECT COUNT(*) FROM Events')" = "$expected_links" ] ||
        fail "$what: $(q "$db" 'SELECT COUNT(*) FROM Events') events, not $expected_links"
    [ "$(q "$db" "SELECT COUNT(*) FROM Events WHERE AllDayEvent = 1 AND StartTime = '0:00 AM' AND EndTime = '11:59 PM' AND EventColor = '' AND EventIcon = '' AND Notes = '' AND Recurring = 0")" = "$expected_links" ] ||
        fail "$what: not every event is a plain all-day event"
    [ "$(q "$db" 'SELECT COUNT(*) FROM EventDates')" = "$expected_links" ] ||
        fail "$what: $(q "$db" 'SELECT COUNT(*) FROM EventDates') links, not $expected_links"
    check_links "$db" "$what" "$work/expected-links.txt"
}
# Not a byte of the file changed.
expect_unchanged() {  # file, checksum before, what
    [ "$(md5sum <"$1")" = "$2" ] || fail "$3: the file $1 changed"
}
dump() {  # database -> every row of the three tables, in a fixed order
    q "$1" "SELECT 'D', rowid, DateKey, DateColor, EventCount, DateNotes, DateText FROM Dates ORDER BY rowid;
            SELECT 'E', * FROM Events ORDER BY EventID;
            SELECT 'L', rowid, * FROM EventDates ORDER BY rowid"
}

# error.log: exactly one entry of eight lines, each ended by CR LF.
# The month names the log is expected to use: English, or French or Finnish as Wine's fr-FR and
# fi-FI name them, in Windows-1252, the code page of either Windows.
english_months=(Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
french_months=(janv. févr. mars avr. mai juin juil. août sept. oct. nov. déc.)
finnish_months=(tammi helmi maalis huhti touko kesä heinä elo syys loka marras joulu)
log_months=("${english_months[@]}")
# The log's clock: the zone the program runs in and the locale's time separator.
log_zone="$(readlink -f /etc/localtime)"
log_time_separator=":"
log_date() {  # when, as date -d takes it
    local month
    month="$(TZ="$log_zone" date -d "$1" '+%-m')"
    printf '%s-%s-%s' "$(TZ="$log_zone" date -d "$1" '+%d')" "${log_months[month - 1]}" \
        "$(TZ="$log_zone" date -d "$1" '+%Y')"
}

check_log() {  # module, line, [entries the log holds, the last one checked; 1]
    local entries="${3:-1}"
    [ -f "$log" ] || fail "no error.log beside the program"
    cp "$log" "$shots/$step_tag-error.log"
    [ "$(wc -l <"$log")" = $((8 * entries)) ] ||
        fail "error.log has $(wc -l <"$log") lines, not $((8 * entries)): $(cat -A "$log")"
    [ "$(grep -c $'\r$' "$log")" = $((8 * entries)) ] || fail "not every line of error.log ends with CR LF"
    tail -n 8 "$log" | tr -d '\r' >"$work/log.txt"
    line() { sed -n "$1p" "$work/log.txt"; }
    # Today's date with the month named as the program's locale names it, in the log's code
    # page, and the hour of the program's zone; either side of midnight or the hour is allowed.
    local stamp today yesterday sep="$log_time_separator" hour
    stamp="$(line 1)"
    today="$(log_date now)"
    yesterday="$(log_date '2 minutes ago')"
    # Bytes, not characters: the month may be in a code page other than this shell's.
    printf '%s\n' "$stamp" |
        LC_ALL=C grep -qE "^[0-9]{2}-[^ ]+-[0-9]{4}  [0-2][0-9][$sep][0-5][0-9][$sep][0-5][0-9]\$" ||
        fail "error.log's first line is not 'DD-MMM-YYYY  HH${sep}MM${sep}SS': '$stamp'"
    [ "${stamp%%  *}" = "$today" ] || [ "${stamp%%  *}" = "$yesterday" ] ||
        fail "error.log's date is $stamp, not today ($today) in $log_zone"
    hour="${stamp#*  }"
    hour="${hour:0:2}"
    [ "$hour" = "$(TZ="$log_zone" date +%H)" ] || [ "$hour" = "$(TZ="$log_zone" date -d '2 minutes ago' +%H)" ] ||
        fail "error.log's hour is $hour, not the hour in $log_zone ($(TZ="$log_zone" date +%H))"
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

# Whether a text as error.log holds it (in the log's code page, Windows-1252) is the UTF-8 text
# given: character for character where the code page has the character, any one character
# (Windows' best fit or a question mark) where it has not.
in_code_page() {  # UTF-8 text, text in Windows-1252
    local pattern="" char i logged
    logged="$(printf '%s' "$2" | iconv -f CP1252 -t UTF-8)" || return 1
    for ((i = 0; i < ${#1}; i++)); do
        char="${1:i:1}"
        if printf '%s' "$char" | iconv -f UTF-8 -t CP1252 >/dev/null 2>&1; then
            pattern+="\\$char"
        else
            pattern+="?"
        fi
    done
    # shellcheck disable=SC2053
    [[ "$logged" == $pattern ]]
}

box_shows_report() { inspect && box_lines | grep -q 'An error has occurred'; }

# The box: one, titled "Application Error", the report's text with the product name of the
# program file's version resource, the information icon and one OK button.
check_box() {  # module, line
    wait_for_window "Application Error" 240 || fail "no Application Error box"
    box_id="$found_id"
    wait_until 10 box_shows_report || true
    [ "$(grep -c '^box Application Error$' "$work/inspect.txt")" = 1 ] ||
        fail "not exactly one Application Error box: $(grep '^box' "$work/inspect.txt")"
    local message
    box_lines >"$work/box.txt"
    message="$(sed -n 's/^boxchild id=[0-9]* class=Static visible=1 text=//p' "$work/box.txt" |
        grep 'An error has occurred' || true)"
    [ -n "$message" ] || fail "the box shows no report: $(cat "$work/inspect.txt")"
    # The description as the box shows it, in UTF-16; error.log holds it in the 8-bit code page.
    local described="${message#*\\r\\nError Description: \\t}"
    described="${described%\\r\\n\\r\\n\\r\\n\\r\\n}"
    local expected="An error has occurred.\r\n\r\nProduct Name: \t$product_name\r\nApplication File:  \tAlmanoriaYear2012\r\nModule: \t\t$1\r\nLine Number: \t$2\r\n\r\n${log_number/Error Number: /Error Number: \\t}\r\nError Description: \t$described\r\n\r\n\r\n\r\n"
    [ "$message" = "$expected" ] || fail "the box reads '$message', not '$expected'"
    in_code_page "$described" "${log_description#Error Description: }" ||
        fail "error.log's description '$log_description' is not the box's '$described'"
    [ "$(grep -c '^boxchild id=[0-9]* class=Button visible=1 ' "$work/box.txt")" = 1 ] ||
        fail "the box has not exactly one button: $(cat "$work/box.txt")"
    grep -q '^boxchild id=[0-9]* class=Button visible=1 text=OK$' "$work/box.txt" || fail "the box's button is not OK"
    check_box_icon
}

# The box's icon as it is drawn, compared with each standard icon drawn on the box's colour:
# the information icon must be the one it is, pixel for pixel.
check_box_icon() {
    local x y w h kind differs best="" best_differs=""
    read -r x y w h <<<"$(report_values "$(grep '^boxicon ' "$work/box.txt" | head -n 1)" left top width height)"
    [ -n "${h:-}" ] || fail "the box has no icon: $(cat "$work/box.txt")"
    /usr/bin/import -window root "$work/box-root.png"
    convert "$work/box-root.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/box-icon.png"
    for kind in information error warning question; do
        differs="$(compare -metric AE "$work/box-icon.png" "$drive_c/e2e/icon-$kind.bmp" null: 2>&1 || true)"
        [[ "$differs" =~ ^[0-9]+$ ]] || fail "the box's icon (${w}x${h}) could not be compared: $differs"
        if [ -z "$best" ] || [ "$differs" -lt "$best_differs" ]; then best="$kind" best_differs="$differs"; fi
    done
    [ "$best" = information ] && [ "$best_differs" = 0 ] ||
        fail "the box shows the $best icon ($best_differs pixels off), not the information icon"
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

# The layout's rule (LayoutPixels in window/FormDesign.hpp) stated again by the test, as
# QtLayoutTest keeps its pixels worked out by hand: the nearest pixel, halves up.
layout_pixels() { echo $((($1 * $2 + 720) / 1440)); }

# Checks the wizard against its twips layout at the inspector's resolution, and the drawn
# screenshot against the places the window system gives: framed controls are looked for at
# their edges, texts must not reach the edge of their control.
check_layout() {  # screenshot of the root window, label for messages
    local dpi root="$1" what="$2"
    dpi="$(sed -n 's/^dpi //p' "$work/inspect.txt")"
    local expected_w expected_h
    expected_w="$(layout_pixels "$client_twips_w" "$dpi")" expected_h="$(layout_pixels "$client_twips_h" "$dpi")"
    [ "$client_w" = "$expected_w" ] && [ "$client_h" = "$expected_h" ] ||
        fail "$what: the client area is ${client_w}x${client_h} at $dpi dpi, not ${expected_w}x${expected_h}"
    # The X window is the whole Win32 window, frame included.
    local xw xh xx xy
    eval "$(xdotool getwindowgeometry --shell "$window_id" | sed 's/^/xg_/')"
    xw=$xg_WIDTH xh=$xg_HEIGHT xx=$xg_X xy=$xg_Y
    [ "$xw" = "$win_width" ] && [ "$xh" = "$win_height" ] && [ "$xx" = "$win_left" ] && [ "$xy" = "$win_top" ] ||
        fail "$what: X sees the window at ${xw}x${xh}+$xx+$xy, Win32 at ${win_width}x${win_height}+$win_left+$win_top"
    local name left top width height expected
    for name in "${!control_twips[@]}"; do
        read -r left top width height <<<"${control_twips[$name]}"
        expected="$(layout_pixels "$left" "$dpi") $(layout_pixels "$top" "$dpi") $(layout_pixels "$width" "$dpi") $(layout_pixels "$height" "$dpi")"
        # The picture control takes the size of its 48 x 48 icon at its place.
        [ "${control_kinds[${control_ids[$name]}]}" = picture ] &&
            expected="$(layout_pixels "$left" "$dpi") $(layout_pixels "$top" "$dpi") 48 48"
        [ "$(control_rect "$name")" = "$expected" ] ||
            fail "$what: $name stands at $(control_rect "$name"), not $expected (left top width height)"
    done
    # The multi-line message must have room for all its lines, one-line texts for their width
    # (a couple of pixels of the last letter's spacing may stick out without ink).
    local need_w need_h
    read -r width height need_w need_h <<<"$(report_values "$(control lblUpdate)" width height needw needh)"
    [ "$need_h" -le "$height" ] || fail "$what: the message needs $need_h pixels of height, the label has $height"
    for name in lblDatabaseFile cmdBrowse cmdCancel cmdButton1; do
        read -r width height need_w need_h <<<"$(report_values "$(control "$name")" width height needw needh)"
        [ "$need_w" -le $((width + 3)) ] ||
            fail "$what: the text of $name needs $need_w pixels, it has $width"
    done
    # The path, shortened to fit, fits the path box inside its sunken edge and margins.
    read -r width height need_w need_h <<<"$(report_values "$(control txtDatabaseFile)" width height needw needh)"
    [ "$need_w" -le $((width - 6)) ] ||
        fail "$what: the path box shows a text of $need_w pixels in its $width"

    # The screenshot: the client area as text pixels, then each control looked at.
    convert "$root" -crop "${client_w}x${client_h}+${client_x}+${client_y}" +repage -depth 8 txt:- |
        tail -n +2 | sed -E 's/^([0-9]+),([0-9]+): .* (#[0-9A-Fa-f]{6}).*/\1 \2 \3/' >"$work/pixels.txt"
    local id line
    while IFS= read -r line; do
        id="$(report_value "$line" id)"
        echo "$id ${control_kinds[$id]:-other} $(report_values "$line" left top width height inkx0 inky0 inkx1 inky1)"
    done < <(grep '^child ' "$work/inspect.txt") >"$work/rects.txt"
    awk -v what="$what" '
        function hex(h) { return index("0123456789ABCDEF", toupper(substr(h, 1, 1))) * 16 + index("0123456789ABCDEF", toupper(substr(h, 2, 1))) - 17 }
        function lum(c) { return 0.299 * hex(substr(c, 2, 2)) + 0.587 * hex(substr(c, 4, 2)) + 0.114 * hex(substr(c, 6, 2)) }
        # Inside another control: the path label overlaps the top of the path box by a pixel.
        function elsewhere(i, x, y,   j) {
            for (j = 1; j <= n; j++)
                if (j != i && x >= L[j] && x < L[j] + W[j] && y >= T[j] && y < T[j] + H[j]) return 1
            return 0
        }
        FNR == NR { id[++n] = $1; kind[n] = $2; L[n] = $3; T[n] = $4; W[n] = $5; H[n] = $6; X0[n] = $7; Y0[n] = $8; X1[n] = $9; Y1[n] = $10; next }
        { px[$1 "," $2] = $3; count[$3]++ }
        END {
            for (c in count) if (count[c] > best) { best = count[c]; bg = c }
            bad = 0
            for (i = 1; i <= n; i++) {
                l = L[i]; t = T[i]; r = l + W[i] - 1; b = t + H[i] - 1
                framed = kind[i] == "textbox" || kind[i] == "button"
                if (framed) {
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
                # Ink: the text and picture pixels inside the control, away from any frame, and
                # on a button away from the focus rectangle drawn three pixels in.
                inset = kind[i] == "button" ? 4 : framed ? 2 : 0
                minx = 1e9; maxx = -1; miny = 1e9; maxy = -1
                for (y = t + inset; y <= b - inset; y++)
                    for (x = l + inset; x <= r - inset; x++)
                        if (lum(px[x "," y]) < 200 && !elsewhere(i, x, y)) {
                            if (x < minx) minx = x; if (x > maxx) maxx = x
                            if (y < miny) miny = y; if (y > maxy) maxy = y
                        }
                if (kind[i] != "textbox" && maxx < 0) {
                    printf "%s: control %d shows nothing\n", what, id[i]; bad = 1; continue
                }
                if (maxx < 0) continue
                if (kind[i] == "label") {
                    # A label draws from its top left corner: its ink on the screen must be
                    # the whole ink of its text, inside the label.
                    if (X1[i] >= W[i] || Y1[i] >= H[i] || minx - l != X0[i] || miny - t != Y0[i] || maxx - l != X1[i] || maxy - t != Y1[i]) {
                        printf "%s: label %d shows ink at %d,%d to %d,%d of its %dx%d, its text has ink at %d,%d to %d,%d: cut off\n", what, id[i], minx - l, miny - t, maxx - l, maxy - t, W[i], H[i], X0[i], Y0[i], X1[i], Y1[i]
                        bad = 1
                    }
                }
                if (kind[i] == "button") {
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


# --- The file dialog ----------------------------------------------------------------------

# A shown combo box of the dialog, its file type box, offers the design's filter.
dialog_offers_filter() {
    grep -qxF "$dialog_filter_name" \
        <<<"$(sed -n 's/^boxchild id=[0-9]* class=ComboBox visible=1 text=//p' "$work/inspect.txt")"
}
dialog_filled() { inspect && dialog_offers_filter; }

# Waits for the file dialog that Browse opens, and checks its title and filter.
expect_dialog() {
    wait_for_window "$dialog_title" 240 || fail "the file dialog did not open"
    dialog_id="$found_id"
    wait_until 10 dialog_filled || true
    grep -qxF "box $dialog_title" "$work/inspect.txt" || fail "the file dialog is not there"
    dialog_offers_filter ||
        fail "the dialog does not offer '$dialog_filter_name': $(grep '^boxchild' "$work/inspect.txt" | head -n 40)"
    # The keyboard's X focus does not follow Wine's dialogs by itself.
    xdotool windowfocus "$dialog_id" 2>/dev/null || true
    sleep 0.5
}

# Waits until the dialog has closed; the wizard is then the window the user works in.
dialog_closed() {  # how it was closed
    for _ in $(seq 1 60); do
        xdotool search --onlyvisible --name "^$dialog_title\$" >/dev/null 2>&1 || break
        sleep 0.5
    done
    xdotool search --onlyvisible --name "^$dialog_title\$" >/dev/null 2>&1 &&
        fail "the file dialog did not close on $1"
    sleep 1
    activate_window
    inspect
}

# Types a file's path or name into the dialog's file name box, which has the focus, and
# confirms it with Enter.
pick_file() {  # typed text, screenshot name
    xdotool type --delay 40 "$1"
    sleep 0.5
    /usr/bin/import -window root "$shots/$2"
    xdotool key Return
    dialog_closed Enter
}

# --- Files the cases make -----------------------------------------------------------------

# Write-protects a file for real: permissions do not stop root, the immutable flag does.
make_read_only() {
    chmod a-w "$1"
    if [ "$(id -u)" -eq 0 ]; then
        chattr +i "$1" || fail "the file could not be made immutable (chattr +i)"
        read_only_files+=("$1")
    fi
    if (: >>"$1") 2>/dev/null; then fail "$1 stays writable"; fi
}
make_writable() {
    [ "$(id -u)" -ne 0 ] || chattr -i "$1"
    chmod u+w "$1"
}

# A calendar used before: Dates rows of other colours and texts with the user's own notes,
# some days missing (named ones among them), a day of another year, and events already there:
# an all-day "Christmas Day" on its date, a timed "Good Friday" on its date and an all-day one
# on the day before.
stale_missing_days="DateKey BETWEEN '2012-07-01' AND '2012-07-10' OR DateKey IN ('2012-01-01', '2012-02-29', '2012-12-31')"
stale_missing_count=13
make_stale_calendar() {  # file
    "$makecalendar" "$1"
    sqlite3 "$1" <<SQL
WITH RECURSIVE day(DateKey) AS (SELECT '2012-01-01' UNION ALL SELECT date(DateKey, '+1 day') FROM day WHERE DateKey < '2012-12-31')
INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText)
    SELECT DateKey, 'Blue', 0, 'Choir practice ' || DateKey, 'Last year''s text for ' || DateKey FROM day
    WHERE NOT ($stale_missing_days);
UPDATE Dates SET DateColor = 'Green', DateText = '' WHERE DateKey BETWEEN '2012-06-11' AND '2012-06-20';
INSERT INTO Dates VALUES ('2011-12-31', 'White', 0, 'Watch night', 'The old year''s last day');
INSERT INTO Events (EventID, EventName, AllDayEvent, StartTime, EndTime, EventColor, EventIcon, Notes, Recurring) VALUES
    (1, 'Christmas Day', 1, '0:00 AM', '11:59 PM', '', '', '', 0),
    (2, 'Good Friday', 0, '7:00 PM', '8:30 PM', 'Red', '', 'Evening service', 0),
    (3, 'Good Friday', 1, '0:00 AM', '11:59 PM', '', '', 'Entered a day early', 0);
INSERT INTO EventDates (EventId, EventDate) VALUES (1, '2012-12-25'), (2, '2012-04-06'), (3, '2012-04-05');
UPDATE Dates SET EventCount = (SELECT COUNT(*) FROM EventDates l WHERE l.EventDate = Dates.DateKey);
SQL
}

# --- Running the cases --------------------------------------------------------------------

# The dots per inch of the prefix. Wine 8 takes the system's resolution from the user's
# LogPixels (HKCU\Control Panel\Desktop), else from the machine's (96 in a fresh prefix), once
# per process: a new server makes sure no process of the old resolution is left.
use_dpi() {  # dots per inch
    [ "$(cat "$work/dpi" 2>/dev/null || echo 96)" = "$1" ] && return 0
    timeout 120 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1 || fail "the resolution could not be set to $1"
    start_wine_server
    echo "$1" >"$work/dpi"
}
# The run's Wine server, kept alive between the programs: one that ends on its own a moment
# after its last program may still be ending when the next one starts.
start_wine_server() {
    end_wine_server
    timeout 60 wineserver -p || fail "the Wine server did not start"
}
end_wine_server() {
    timeout 60 wineserver -k 2>/dev/null || true
    timeout 60 wineserver -w 2>/dev/null || true
}

# What every case starts from: the program in its usual folder, nothing at the default path
# nor in C:\Calendars, and its resolution.
begin_case() {  # name
    step="$1" step_tag="$1"
    rm -rf "$database_dir" "$drive_c/Calendars"
    place_program 'C:\Almanoria Year 2012' "$drive_c/Almanoria Year 2012"
    use_dpi "${case_dpi[$1]:-96}"
    [ ! -e "$work/locale-changed" ] || use_us_settings
}

# The case's Windows runs under this locale: every Wine program it starts, the inspector
# included. Wine rewrites the prefix's regional settings for each program that starts under
# another locale, so a helper under en_US would give the program en_US's time separator. The
# case's subshell takes the locale with it when it ends; the settings it left in the prefix go
# when the next case begins.
use_locale() {  # name, such as fi_FI.UTF-8
    export LANG="$1" LC_ALL="$1"
    : >"$work/locale-changed"
}

# The regional settings of en_US, which Wine takes into the prefix when a program starts under
# that locale; where the last locale's time separator or date order stays, they go, and Wine
# fills them in afresh.
us_settings() {
    inspect && [ "$(sed -n 's/^timesep //p' "$work/inspect.txt")" = : ] &&
        [ "$(sed -n 's/^shortdate //p' "$work/inspect.txt")" = M/d/yyyy ]
}
use_us_settings() {
    if ! us_settings; then
        timeout 120 wine reg delete 'HKCU\Control Panel\International' /f >/dev/null 2>&1 || true
        us_settings || fail "the prefix keeps another locale's settings: $(grep '^timesep\|^shortdate' "$work/inspect.txt")"
    fi
    rm -f "$work/locale-changed"
}
# Whatever the case left running ends with it, passed or failed.
own_server=""
case_cleanups=()  # commands that undo what a case changed in the prefix, run when it ends
end_case() {
    local status=$? pid file
    # A command that failed outside any check ends the case too.
    [ "$status" = 0 ] || [ -e "$work/failed-$step" ] || (fail "a command failed (status $status)") || true
    for pid in "$case_timer_pid" "$watch_pid" "$program_pid"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    done
    [ -z "$program_pid" ] || wait_until 20 no_window || say "  the window of $step stayed after its program was ended"
    for file in "${read_only_files[@]}"; do make_writable "$file" 2>/dev/null || true; done
    # What the case changed in the prefix for itself is put back.
    local command
    for command in "${case_cleanups[@]}"; do eval "$command" || true; done
    # A server started in a setting of the case's own (its zone) goes with the case.
    [ -z "$own_server" ] || start_wine_server
}
no_window() { ! xdotool search --onlyvisible --name "^$window_title\$" >/dev/null 2>&1; }
passed() { echo "$1" >"$work/passed-$step_tag.txt"; }

# The case's overall time limit: past it the case's subshell gets TERM, and its trap fails the
# case as soon as the command it waits for returns (each of those is bounded).
case_timer_pid=""
start_case_timer() {  # pid of the case's subshell
    (
        trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
        sleep "$case_seconds" &
        sleeper=$!
        wait "$sleeper" && kill -TERM "$1" 2>/dev/null
    ) &
    case_timer_pid=$!
}

# Runs one case in a subshell of its own, so that its failure ends it alone; records the result
# and its testcase for junit.xml.
passed_cases=()
failed_cases=()
run_case() {  # name
    local name="$1" status=0 began=$SECONDS
    say "case $name (at $((SECONDS - started_at)) s)"
    set +e
    (
        set -e
        trap end_case EXIT
        trap 'fail "the case did not end within its $case_seconds s"' TERM
        start_case_timer "$BASHPID"
        begin_case "$name"
        "case_$name"
        [ -f "$work/passed-$name.txt" ] || fail "the case ended without saying what it showed"
    )
    status=$?
    set -e
    local testcase="<testcase classname=\"wine-e2e\" name=\"$name\" time=\"$((SECONDS - began))\""
    if [ "$status" = 0 ]; then
        passed_cases+=("$name")
        say "  passed: $(cat "$work/passed-$name.txt")"
        printf '%s>\n<system-out>%s</system-out>\n</testcase>\n' "$testcase" \
            "$(xml_text <"$work/passed-$name.txt")" >"$work/junit-$name.xml"
    else
        failed_cases+=("$name")
        say "  FAILED: $name"
        local message="the case ended with status $status" screenshot="no screenshot"
        [ ! -s "$work/failed-$name" ] || message="$(cat "$work/failed-$name")"
        [ ! -s "$work/screenshot-$name" ] || screenshot="screenshot: $(cat "$work/screenshot-$name")"
        printf '%s>\n<failure message="%s">%s</failure>\n</testcase>\n' "$testcase" \
            "$(xml_text <<<"$message")" "$(xml_text <<<"$screenshot")" >"$work/junit-$name.xml"
    fi
}

# Text as XML takes it: valid UTF-8 only (error.log's code page may be another), no control
# characters, the markup characters escaped.
xml_text() {
    { iconv -f UTF-8 -t UTF-8 -c 2>/dev/null || true; } | tr -d '\000-\010\013\014\016-\037' |
        sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g; s/"/\&quot;/g' | sed -z 's/\n$//'
}

# The run's results as JUnit XML, one testcase a case run.
write_junit() {  # file, seconds the run took
    local name
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        echo "<testsuite name=\"wine-e2e\" tests=\"$((${#passed_cases[@]} + ${#failed_cases[@]}))\" failures=\"${#failed_cases[@]}\" errors=\"0\" time=\"$2\">"
        for name in "${selected[@]}"; do
            [ ! -f "$work/junit-$name.xml" ] || cat "$work/junit-$name.xml"
        done
        echo '</testsuite>'
    } >"$1"
}
