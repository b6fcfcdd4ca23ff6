#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the wizard and starts it on the calendar database at the
# default path, first making an empty one there when there is none. An existing database is
# never touched: the wizard itself updates it only when you press "Next >".
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset default
cmake --build --preset default --target AlmanoriaYear2012 makecalendar

# Where the wizard looks, by the program's own rule ($XDG_DATA_HOME, or ~/.local/share when
# that is unset or relative).
database="$(build/default/tools/makecalendar --default-path)"
if [ ! -e "$database" ]; then
    mkdir -p "$(dirname "$database")"
    build/default/tools/makecalendar "$database"
    echo "Made an empty calendar database: $database"
fi

if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display to show the wizard on: run this from a desktop session (or under xvfb-run)." >&2
    exit 1
fi
exec build/default/window/qt/AlmanoriaYear2012
