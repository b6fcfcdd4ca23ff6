#!/usr/bin/env bash
# Builds the Debian package of the Qt wizard and checks it: lintian without errors, the desktop
# entry and the AppStream metainfo valid, the same layout as `cmake --install`. Then installs it
# with apt, starts the wizard from the desktop entry's Exec line on a virtual X display until its
# window maps, ends it and removes the package again.
#   tools/check-deb.sh            after tools/setup-and-test.sh (it needs makecalendar)
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 -y -qq "$@"
}

tools/install-deps.sh deb-checks

package=almanoria-year2012
app_id=org.almanoria.year2012
cmake --preset default >/dev/null
cmake --build --preset default --target package makecalendar
debs=(build/default/"${package}"_*.deb)
deb="$(realpath "${debs[-1]}")"
echo "check-deb: $deb"

work="$(mktemp -d)"
xvfb_pid=""
wizard_pid=""
installed=no
cleanup() {
    [ -z "$wizard_pid" ] || kill "$wizard_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    [ -z "$wizard_pid" ] || wait "$wizard_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || wait "$xvfb_pid" 2>/dev/null || true
    [ "$installed" = no ] || apt_get purge "$package" >/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# lintian's warnings are shown; an error fails the check.
lintian --fail-on error --tag-display-limit 0 "$deb"

dpkg-deb -x "$deb" "$work/deb"
desktop-file-validate "$work/deb/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$work/deb/usr/share/metainfo/$app_id.metainfo.xml"

# cmake --install puts the same files in the same places under its prefix.
DESTDIR="$work/install" cmake --install build/default --prefix /usr >/dev/null
layout() { (cd "$1" && find . ! -type d -printf '%P %m\n' | sort); }
if ! diff -u <(layout "$work/deb") <(layout "$work/install"); then
    echo "check-deb: the package and cmake --install lay out different files" >&2
    exit 1
fi
echo "check-deb: the package's layout:"
layout "$work/deb" | sed 's/^/    /'

apt_get install --reinstall "$deb"
installed=yes
dpkg -s "$package" | grep '^Depends:'

# The wizard's own database folder, holding an empty calendar, so that it opens ready.
export HOME="$work/home"
export XDG_DATA_HOME="$HOME/.local/share"
# The product's folder, a copy of kProductName in platform/Folders.hpp.
product_folder="Almanoria Desktop Calendar"
mkdir -p "$XDG_DATA_HOME/$product_folder"
build/default/tools/makecalendar "$XDG_DATA_HOME/$product_folder/dbcalndr.mdb"

# The installed wizard logs beside itself, or in the user's state folder where it may not write
# beside itself; a report in either now would be one from this start.
log=/usr/bin/error.log
log_before=no
[ ! -e "$log" ] || log_before=yes

# Xvfb picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "check-deb: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(cat "$work/display")"
export DISPLAY

# The Exec line without its field codes, run as the menu would run it.
exec_line="$(sed -n 's/^Exec=//p' /usr/share/applications/$app_id.desktop | sed 's/ %[fFuUick]//g')"
echo "check-deb: starting '$exec_line' on $DISPLAY"
read -r -a command <<<"$exec_line"
QT_QPA_PLATFORM=xcb "${command[@]}" >"$work/wizard.log" 2>&1 &
wizard_pid=$!
if ! window="$(timeout 60 xdotool search --sync --onlyvisible --pid "$wizard_pid" --name 'Almanoria Calendar Update')"; then
    cat "$work/wizard.log" >&2
    echo "check-deb: the wizard's window did not map within 60 s" >&2
    exit 1
fi
echo "check-deb: the wizard's window $window mapped: $(xdotool getwindowname "${window%%$'\n'*}")"
kill "$wizard_pid"
wait "$wizard_pid" 2>/dev/null || true
wizard_pid=""
state_log="$HOME/.local/state/$product_folder/error.log"
if [ -e "$state_log" ]; then
    cat "$state_log" >&2
    echo "check-deb: the wizard reported an error at its start" >&2
    exit 1
fi
if [ "$log_before" = no ] && [ -e "$log" ]; then
    cat "$log" >&2
    $sudo rm -f "$log"
    echo "check-deb: the wizard reported an error at its start" >&2
    exit 1
fi

apt_get purge "$package" >/dev/null
installed=no
if [ -e /usr/bin/AlmanoriaYear2012 ]; then
    echo "check-deb: the program is still there after removing the package" >&2
    exit 1
fi
echo "check-deb: installed, started and removed $package"
