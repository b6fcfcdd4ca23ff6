#!/usr/bin/python3
"""The Qt wizard as a screen reader meets it: read through the accessibility bus (AT-SPI, as Orca
reads it) and driven by keys, on a virtual display with a session bus of its own.

  testing/accessibility/check-atspi.py [build folder, default build/default]

Needs Xvfb, dbus-daemon, at-spi2-core, python3-pyatspi, xdotool and Qt's GTK 3 platform theme
(qt6-gtk-platformtheme); the program and makecalendar built. Every process it starts is ended by
its own id; every wait is bounded."""

import os
import sqlite3
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from virtual_display import (descendants, end, end_all, makecalendar,  # noqa: E402
                             program, start, start_display, start_session_bus, wait_for)

title = "Almanoria Calendar Update"
completed = "Update completed!  Please click Finish to end the update."
failures = []


def fail(what):
    print("FAIL:", what, file=sys.stderr)
    failures.append(what)


scratch = tempfile.TemporaryDirectory(prefix="almanoria-atspi-")
start_display("check-atspi")
start_session_bus(scratch.name)

import pyatspi  # noqa: E402  (it connects to the bus named above)


def run_wizard(name, font_points, with_calendar):
    """Starts the wizard with its own data and configuration folders; its process and the
    calendar it would update."""
    home = os.path.join(scratch.name, name)
    data = os.path.join(home, "data")
    config = os.path.join(home, "config")
    os.makedirs(os.path.join(config, "gtk-3.0"))
    with open(os.path.join(config, "gtk-3.0", "settings.ini"), "w") as settings:
        settings.write(f"[Settings]\ngtk-font-name=DejaVu Sans {font_points}\n")
    # The default path written out as the test expects it, apart from the program's rule; the
    # folder is the product's name, kProductName in platform/Folders.hpp.
    calendar = os.path.join(data, "Almanoria Desktop Calendar", "dbcalndr.mdb")
    if with_calendar:
        os.makedirs(os.path.dirname(calendar))
        subprocess.run([makecalendar, calendar], check=True, timeout=60)
    environment = dict(os.environ, HOME=home, XDG_DATA_HOME=data, XDG_CONFIG_HOME=config,
                       XDG_STATE_HOME=os.path.join(home, "state"))
    return start([program], env=environment), calendar


def wizard_dialog(process):
    """The wizard's window once it is on the bus, given the keyboard as a window manager would:
    the display has none."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.get_process_id() != process.pid:
            continue
        for window in app:
            if window is not None and window.name == title and window.getState().contains(
                    pyatspi.STATE_SHOWING):
                subprocess.run(["xdotool", "search", "--name", f"^{title}$", "windowfocus"],
                               timeout=10,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                if window.getState().contains(pyatspi.STATE_ACTIVE):
                    return window
                return None
    return None


def named(dialog, role, name):
    return next((node for node in descendants(dialog)
                 if node.getRole() == role and node.name == name), None)


def focused(dialog):
    return next((node for node in descendants(dialog)
                 if node.getState().contains(pyatspi.STATE_FOCUSED)), None)


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True, timeout=10)


def key_ends_wizard(name, wizard, what):
    key(name)
    try:
        wizard.wait(20)
    except subprocess.TimeoutExpired:
        fail(f"{what} did not end the program")


def size(dialog):
    extents = dialog.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return extents.width, extents.height


def check():
    # Ready: a dialog, nothing unnamed, a box that takes no typing, Next the default with the focus,
    # and Return runs the update; then the focus is on Finish, which tells the completion.
    wizard, calendar = run_wizard("ready", 10, True)
    dialog = wait_for(lambda: wizard_dialog(wizard))
    if dialog is None:
        fail("no window of the wizard on the accessibility bus")
    else:
        if dialog.getRole() != pyatspi.ROLE_DIALOG:
            fail(f"the window's role is {dialog.getRoleName()}, not dialog")
        for node in descendants(dialog):
            if node.getRole() in (pyatspi.ROLE_IMAGE, pyatspi.ROLE_ICON) and not node.name:
                fail("an image without a name")
        box = next((node for node in descendants(dialog) if node.getRole() == pyatspi.ROLE_TEXT), None)
        if box is None:
            fail("no path box")
        else:
            # Qt 6.4 calls a line edit editable whatever it takes; read-only is what tells.
            states = box.getState()
            if not states.contains(pyatspi.STATE_READ_ONLY):
                fail("the path box takes typing")
            if not states.contains(pyatspi.STATE_FOCUSABLE):
                fail("the path box takes no focus")
        next_button = wait_for(lambda: named(dialog, pyatspi.ROLE_PUSH_BUTTON, "Next >"))
        if next_button is None:
            fail("no Next > button")
        else:
            if not next_button.getState().contains(pyatspi.STATE_IS_DEFAULT):
                fail("Next > is not the default button")
            if not wait_for(lambda: next_button.getState().contains(pyatspi.STATE_FOCUSED)):
                fail(f"the focus starts on {getattr(focused(dialog), 'name', None)!r}, not on Next >")
        key("Return")
        finish = wait_for(lambda: named(dialog, pyatspi.ROLE_PUSH_BUTTON, "Finish"), 120)
        if finish is None:
            fail("Return did not run the update to Finish")
        else:
            if not wait_for(lambda: finish.getState().contains(pyatspi.STATE_FOCUSED)):
                fail(f"after the run the focus is on {getattr(focused(dialog), 'name', None)!r}")
            if finish.description != completed:
                fail(f"Finish tells {finish.description!r}, not the completion")
            if not finish.getState().contains(pyatspi.STATE_IS_DEFAULT):
                fail("Finish is not the default button")
            days = sqlite3.connect(calendar).execute("SELECT COUNT(*) FROM Dates").fetchone()[0]
            if days != 366:
                fail(f"the calendar holds {days} days after the run")
            key_ends_wizard("Return", wizard, "Return on Finish")
    end(wizard)

    # Not found: the focus on Browse, and Escape ends the program.
    wizard, _ = run_wizard("not-found", 10, False)
    dialog = wait_for(lambda: wizard_dialog(wizard))
    if dialog is None:
        fail("no window of the wizard without a calendar")
    else:
        browse = wait_for(lambda: named(dialog, pyatspi.ROLE_PUSH_BUTTON, "Browse..."))
        if not browse or not wait_for(lambda: browse.getState().contains(pyatspi.STATE_FOCUSED)):
            fail(f"without a calendar the focus is on {getattr(focused(dialog), 'name', None)!r}")
        key_ends_wizard("Escape", wizard, "Escape")
    end(wizard)

    # A 16-point desktop font grows the window past its size at 10 points.
    sizes = {}
    for points in (10, 16):
        wizard, _ = run_wizard(f"font-{points}", points, True)
        dialog = wait_for(lambda: wizard_dialog(wizard))
        sizes[points] = size(dialog) if dialog else None
        end(wizard)
    print("window at 10 and 16 points:", sizes[10], sizes[16])
    if not sizes[10] or not sizes[16]:
        fail("no window to measure")
    elif not (sizes[16][0] > sizes[10][0] and sizes[16][1] > sizes[10][1]):
        fail(f"at 16 points the window is {sizes[16]}, at 10 points {sizes[10]}")


try:
    check()
finally:
    end_all()
    scratch.cleanup()
if failures:
    print(f"{len(failures)} problem(s)", file=sys.stderr)
    sys.exit(1)
print("the wizard on the accessibility bus: dialog, named picture, read-only box, keys, focus, "
      "completion and large text as expected")
