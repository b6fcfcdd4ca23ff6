"""What the checks that drive the real Qt wizard share: the program and makecalendar of the build
folder they are given, every process they start ended by its own id on any way out (a time
limit's TERM among them), bounded waits, and a virtual display and session bus of their own."""

import atexit
import os
import signal
import subprocess
import sys
import time

started = []  # every process started here, ended last first
build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/default")
program = os.path.join(build, "window/qt/AlmanoriaYear2012")
makecalendar = os.path.join(build, "tools/makecalendar")


def start(argv, **kwargs):
    process = subprocess.Popen(argv, **kwargs)
    started.append(process)
    return process


def end(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(10)


def end_all():
    for process in reversed(started):
        end(process)


def wait_for(condition, seconds=20):
    """The condition's first true value, or None after that many seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = condition()
        except Exception:  # an accessibility tree changes while it is read
            found = None
        if found:
            return found
        time.sleep(0.05)
    return None


def descendants(node):
    """Every node of an accessibility tree below node, depth first."""
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def start_display(check):
    """Xvfb on a free display number, which DISPLAY then names; from here on whatever ends the
    check ends what it started."""
    atexit.register(end_all)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(f"{check}: ended by SIGTERM"))
    number = next((n for n in range(90, 250) if not os.path.exists(f"/tmp/.X11-unix/X{n}")
                   and not os.path.exists(f"/tmp/.X{n}-lock")), None)
    if number is None:
        sys.exit(f"{check}: no free X display number")
    server = start(["Xvfb", f":{number}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not wait_for(lambda: server.poll() is None and os.path.exists(f"/tmp/.X11-unix/X{number}")):
        sys.exit(f"{check}: Xvfb did not start on :{number}")
    os.environ["DISPLAY"] = f":{number}"


def start_session_bus(runtime):
    """A session bus of the check's own, with Qt's accessibility on as a screen reader needs it;
    runtime is the XDG runtime folder."""
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                stdout=subprocess.PIPE, text=True)
    os.environ.update({"DBUS_SESSION_BUS_ADDRESS": bus.stdout.readline().strip(),
                       "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_QPA_PLATFORM": "xcb",
                       "QT_QPA_PLATFORMTHEME": "gtk3", "GTK_A11Y": "none",
                       "XDG_RUNTIME_DIR": runtime, "GSETTINGS_BACKEND": "memory"})
    os.environ.pop("XDG_SESSION_TYPE", None)
