#!/usr/bin/python3
"""The Qt wizard writing another year, driven by keys on a virtual display: a calendar that 2012's
run updated is run for 2027 (--year 2027), judged by 2027's printed records
(testing/years/judge-calendar.py; the records themselves are judged by check-years.py), with
2012's rows, events and links as they were; a second run for 2027 changes nothing.

  testing/years/check-qt-year.py [build folder, default build/default]

Needs Xvfb and xdotool; the program and makecalendar built. Every process it starts is ended by
its own id; every wait is bounded."""

import os
import sqlite3
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "support")]
from virtual_display import end, makecalendar, program, start, start_display, wait_for  # noqa: E402,E501

judge = __import__("judge-calendar").judge

title = "Almanoria Calendar Update"


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], capture_output=True, text=True, timeout=10)


def run(environment, arguments, window_title):
    """Starts the wizard, presses Return until Finish has ended it: a run that never reaches
    its completion never ends. Fails unless it ended by itself with status 0."""
    wizard = start([program, *arguments], env=environment)
    window = []
    def find():
        found = xdotool("search", "--name", f"^{window_title}$").stdout.split()
        window[:] = found[:1]
        return bool(found)
    if not wait_for(find, 20):
        end(wizard)
        sys.exit(f"no window titled {window_title!r}")
    xdotool("windowfocus", "--sync", window[0])
    deadline = time.monotonic() + 120
    while wizard.poll() is None and time.monotonic() < deadline:
        xdotool("key", "--window", window[0], "Return")
        time.sleep(0.5)
    end(wizard)
    if wizard.returncode != 0:
        sys.exit(f"{' '.join(arguments) or 'the 2012 run'}: the wizard did not finish (status {wizard.returncode})")


def snapshot(calendar, where):
    db = sqlite3.connect(f"file:{calendar}?mode=ro", uri=True)
    return (db.execute(f"SELECT * FROM Dates WHERE {where} ORDER BY DateKey").fetchall(),
            db.execute("SELECT l.EventDate, e.* FROM EventDates l JOIN Events e ON e.EventID = l.EventId "
                       f"WHERE {where.replace('DateKey', 'l.EventDate')} ORDER BY e.EventID").fetchall())


def check(home):
    data = os.path.join(home, "data")
    # The default path written out apart from the program's rule, as check-atspi.py does.
    calendar = os.path.join(data, "Almanoria Desktop Calendar", "dbcalndr.mdb")
    os.makedirs(os.path.dirname(calendar))
    subprocess.run([makecalendar, calendar], check=True, timeout=60)
    environment = dict(os.environ, HOME=home, XDG_DATA_HOME=data, XDG_RUNTIME_DIR=home,
                       XDG_STATE_HOME=os.path.join(home, "state"))
    records = subprocess.run([program, "--print-year", "2027"], check=True, capture_output=True,
                             timeout=60).stdout.decode("utf-8").splitlines()
    log = os.path.join(os.path.dirname(program), "error.log")
    log_before = os.path.getsize(log) if os.path.exists(log) else 0

    run(environment, [], title)
    stored = snapshot(calendar, "DateKey LIKE '2012-%'")
    run(environment, ["--year", "2027"], f"{title} for 2027")
    problems = judge(calendar, records)
    if snapshot(calendar, "DateKey LIKE '2012-%'") != stored:
        problems.append("the run for 2027 changed 2012's rows, events or links")
    everything = snapshot(calendar, "1")
    run(environment, ["--year=2027"], f"{title} for 2027")
    if snapshot(calendar, "1") != everything:
        problems.append("a second run for 2027 changed the calendar")
    if (os.path.getsize(log) if os.path.exists(log) else 0) != log_before:
        problems.append("a run wrote to error.log")
    return problems


def main():
    start_display("check-qt-year")
    os.environ["QT_QPA_PLATFORM"] = "xcb"
    with tempfile.TemporaryDirectory(prefix="almanoria-year-") as home:
        problems = check(home)
    for problem in problems:
        print("FAIL:", problem, file=sys.stderr)
    if problems:
        sys.exit(1)
    print("the Qt wizard wrote 2027 as printed beside 2012, and a second run added nothing")


main()
