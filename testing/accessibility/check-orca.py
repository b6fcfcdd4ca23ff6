#!/usr/bin/python3
"""What Debian's screen reader, Orca, says of the Qt wizard, on a virtual display with a session
bus and an accessibility bus of its own, the wizard driven by xdotool.

  testing/accessibility/check-orca.py [build folder, default build/default]

Orca runs without a speech server: its debug log's "SPEECH OUTPUT:" lines are what it would say,
and they are all this check judges. Needs Xvfb, dbus-daemon, at-spi2-core, python3-pyatspi (for
the place of a button to click), xdotool, orca and Qt's GTK 3 platform theme; the program and
makecalendar built. Orca replaces any other Orca of this user, so the check refuses to run beside
one. Every process it starts is ended by its own id; every wait is bounded."""

import os
import pty
import re
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from virtual_display import (descendants, end, end_all, makecalendar,  # noqa: E402
                             program, start, start_display, start_session_bus, wait_for)

title = "Almanoria Calendar Update"
# The texts as the label shows them, each line break a blank once spoken.
first = "The Almanoria Calendar Update will update your Almanoria Calendar database."
ready = (first + " Please click Next to begin the update. To update a different database file "
         "than the one displayed below, click the Browse and select the file to update.")
not_found = (first + " The Almanoria database file is not installed in the default directory. "
             "Click the Browse button to find the database file yourself.")
completed = "Update completed! Please click Finish to end the update."
failures = []


def fail(what):
    print("FAIL:", what, file=sys.stderr)
    failures.append(what)


def spoken(text):
    """Speech as it is compared: every run of blanks, tabs and line breaks one blank."""
    return " ".join(text.split())


class SpeechLog:
    """Orca's debug log, read as Orca writes it. Orca writes its log line by line only to a
    terminal, so it is given one; the lines come in through the terminal's other end."""

    entry = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - ", re.M)
    speech = "SPEECH OUTPUT: '"
    voice = re.compile(r"(.*)'(?: voice=\w+)? ?\{.*\}\s*$", re.S)

    def __init__(self, path):
        # Orca opens the device itself; the end kept open here keeps the terminal alive, and
        # the reading waiting, until Orca has opened it.
        self.master, self.slave = pty.openpty()
        self.device = os.ttyname(self.slave)
        self.copy = open(path, "w")
        self.pending = ""  # the entry still being written
        self.said = []
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while True:
            try:
                chunk = os.read(self.master, 65536)
            except OSError:  # every writer has closed the terminal
                return
            if not chunk:
                return
            text = chunk.decode("utf-8", "replace").replace("\r", "")
            self.copy.write(text)
            self.pending += text
            # Every entry but the last is whole.
            starts = [match.start() for match in self.entry.finditer(self.pending)]
            if len(starts) < 2:
                continue
            whole, self.pending = self.pending[:starts[-1]], self.pending[starts[-1]:]
            said = []
            for body in self.entry.split(whole):
                if body.startswith(self.speech):
                    # What is said stands in quotes, followed by the voice it is said in.
                    utterance = self.voice.match(body[len(self.speech):])
                    if utterance:
                        said.append(spoken(utterance.group(1)))
            with self.lock:
                self.said += said

    def utterances(self):
        """Everything Orca has said so far, in order."""
        with self.lock:
            return list(self.said)

    def close(self):
        os.close(self.slave)
        self.reader.join(10)
        os.close(self.master)
        self.copy.close()


scratch = tempfile.TemporaryDirectory(prefix="almanoria-orca-")


others = subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], capture_output=True,
                        text=True, timeout=10).stdout.split()
if others:
    sys.exit(f"another Orca of this user runs ({', '.join(others)}); this check would replace it")

start_display("check-orca")
start_session_bus(scratch.name)
# The accessibility bus, on the session bus above.
launcher = start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

import pyatspi  # noqa: E402  (it connects to the buses named above)

log = SpeechLog(os.path.join(scratch.name, "orca-debug.log"))
orca_home = os.path.join(scratch.name, "orca-home")
os.makedirs(orca_home)
# No speech server: the speech client is pointed at a socket nobody serves and may start none.
orca = start(["orca", "--replace", "--disable", "braille", "--user-prefs",
              os.path.join(orca_home, "prefs"), f"--debug-file={log.device}"],
             env=dict(os.environ, HOME=orca_home,
                      SPEECHD_ADDRESS=f"unix_socket:{scratch.name}/no-speech-server",
                      SPEECHD_CMD="/bin/false"),
             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def said_since(mark, predicate, seconds=15):
    """The first utterance after the first mark ones that predicate accepts, waited for."""
    return wait_for(lambda: next((text for text in log.utterances()[mark:] if predicate(text)),
                                 None), seconds)


def said_all_since(mark):
    return log.utterances()[mark:]


def run_wizard(name, prepare=None):
    """Starts the wizard with folders of its own, its default calendar made and then prepared;
    the process once its window has the keyboard."""
    home = os.path.join(scratch.name, name)
    data = os.path.join(home, "data")
    config = os.path.join(home, "config")
    os.makedirs(os.path.join(config, "gtk-3.0"))
    with open(os.path.join(config, "gtk-3.0", "settings.ini"), "w") as settings:
        settings.write("[Settings]\ngtk-font-name=DejaVu Sans 10\n")
    # The default path as the test expects it; the folder is kProductName.
    calendar = os.path.join(data, "Almanoria Desktop Calendar", "dbcalndr.mdb")
    if prepare is not None:
        os.makedirs(os.path.dirname(calendar))
        subprocess.run([makecalendar, calendar], check=True, timeout=60)
        prepare(calendar)
    environment = dict(os.environ, HOME=home, XDG_DATA_HOME=data, XDG_CONFIG_HOME=config,
                       XDG_STATE_HOME=os.path.join(home, "state"))
    # Qt's notes on the bus's replies go to the wizard's folder, not into the check's output.
    with open(os.path.join(home, "wizard.out"), "w") as output:
        wizard = start([program], env=environment, stdout=output, stderr=subprocess.STDOUT)
    if not give_keyboard(wizard):
        fail(f"{name}: no window of the wizard")
    return wizard


def give_keyboard(wizard):
    """Gives the wizard's window the keyboard, as a window manager would on start and once a
    box has gone; the display has none. Qt then marks the window active."""
    return wait_for(lambda: subprocess.run(
        ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(wizard.pid), "--name",
         f"^{title}$", "windowfocus"],
        timeout=10, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0)


def key(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=True, timeout=10)


def click_next(wizard):
    """Clicks Next > where the accessibility bus places it."""
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == wizard.pid:
                for node in descendants(app):
                    if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == "Next >":
                        return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return None
    box = wait_for(find)
    if box is None:
        fail("no Next > to click")
        return
    subprocess.run(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True, timeout=10)


def starts(prefix):
    return lambda text: text.startswith(prefix)


def expect_start(name, mark, message, button):
    """On start Orca names the dialog, reads its message and the focused button; whether it
    named the button."""
    if not said_since(mark, lambda text: text.startswith(f"{title} dialog") and message in text):
        fail(f"{name}: on start Orca did not read the dialog and its message; it said "
             f"{said_all_since(mark)}")
    if said_since(mark, starts(f"{button} push button")):
        return True
    fail(f"{name}: on start Orca did not name {button}; it said {said_all_since(mark)}")
    return False


def expect_completion(name, mark):
    if not said_since(mark, lambda text: completed in text, 30):
        fail(f"{name}: Orca did not speak the completion; it said {said_all_since(mark)}")


report = re.compile(r"Module: (\S+) Line Number: (\d+) Error Number: (-?\d+) Error Description: \S")


def expect_boxes(name, mark, where):
    """Each box of the run read whole as an alert, its report's module and line as given,
    then dismissed with Return; the path box never read. Where Orca is once they are gone."""
    run = mark
    for module, line in where:
        box = said_since(mark, lambda text: report.search(text) is not None, 30)
        if box is None:
            fail(f"{name}: Orca read no box from {module}; it said {said_all_since(mark)}")
            return None
        at = log.utterances().index(box, mark)
        if not any(text.startswith("alert Application Error") for text in log.utterances()[mark:at]):
            fail(f"{name}: the box from {module} was not announced as an alert")
        if report.search(box).groups()[:2] != (module, str(line)):
            fail(f"{name}: Orca read a box other than {module}'s at line {line}: {box}")
        if not said_since(at, starts("OK push button")):
            fail(f"{name}: Orca did not name the box's OK button")
        mark = at + 1
        key("Return")
    for text in said_all_since(run):
        if "selected" in text or "database file:" in text:
            fail(f"{name}: Orca read the path box: {text!r}")
    return mark


def not_a_calendar(calendar):
    with open(calendar, "w") as notes:
        notes.write("notes, not a calendar")


def no_events_table(calendar):
    """Two events linked to the year's first day and one to Epiphany, and no Events table: a
    box for each link the event pass looks up, and one for the event it cannot add."""
    with sqlite3.connect(calendar) as database:
        database.execute("DROP TABLE Events")
        database.executemany("INSERT INTO EventDates VALUES (?, ?)",
                             [(7, "2012-01-01"), (8, "2012-01-01"), (9, "2012-01-06")])


def check():
    if not wait_for(lambda: "Screen reader on." in log.utterances(), 20):
        fail(f"Orca did not start ({orca.poll()}); it said {log.utterances()}")
        return

    mark = len(log.utterances())
    wizard = run_wizard("not-found")
    expect_start("not found", mark, not_found, "Browse...")
    end(wizard)

    # Each run on a calendar, once Orca has read the ready window: the completion however the
    # run is started, Return pressed twice in quick succession too (the second comes while the
    # run holds the thread and must not press Finish unheard); a file that is not a calendar,
    # its box, and back in the wizard the focus on Browse; a calendar without an Events table,
    # three boxes in one run and then the completion.
    keep = lambda calendar: None  # noqa: E731
    for name, prepare, press, boxes in (
            ("Return", keep, lambda wizard: key("Return"), None),
            ("Space", keep, lambda wizard: key("space"), None),
            ("a click", keep, click_next, None),
            ("Return twice", keep, lambda wizard: key("Return", "Return"), None),
            ("not a calendar", not_a_calendar, lambda wizard: key("Return"),
             [("frmMain.OpenDatabase", 40)]),
            ("no Events table", no_events_table, lambda wizard: key("Return"),
             [("basDatabase.GetEventData", 70), ("basDatabase.GetEventData", 70),
              ("basDatabase.AddEventToDatabase", 100)])):
        mark = len(log.utterances())
        wizard = run_wizard(name.replace(" ", "-"), prepare)
        if expect_start(name, mark, ready, "Next >"):
            mark = len(log.utterances())
            press(wizard)
            if boxes:
                mark = expect_boxes(name, mark, boxes)
            if prepare is not_a_calendar and mark is not None:
                give_keyboard(wizard)
                if not said_since(mark, starts("Browse... push button")):
                    fail(f"{name}: after the box Orca did not name Browse...; it said "
                         f"{said_all_since(mark)}")
            elif mark is not None:
                expect_completion(name, mark)
        end(wizard)


started_at = time.monotonic()
try:
    check()
finally:
    end_all()
    log.close()
    if failures:
        print("Orca's debug log:", os.path.join(scratch.name, "orca-debug.log"), "(removed)",
              file=sys.stderr)
        print("".join(open(os.path.join(scratch.name, "orca-debug.log")).readlines()[-60:]),
              file=sys.stderr)
    scratch.cleanup()
if failures:
    print(f"{len(failures)} problem(s)", file=sys.stderr)
    sys.exit(1)
print(f"Orca spoke the start, the completion after Return, Space, a click and two quick Returns, "
      f"and every box of two failed runs, in {time.monotonic() - started_at:.0f} s")
