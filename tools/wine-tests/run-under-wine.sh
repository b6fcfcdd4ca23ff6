#!/usr/bin/env bash
# Runs a cross-compiled test suite under Wine for ctest: the emulator of the windows-i686-tests
# preset. All suites of a run share the prefix that WINEPREFIX names and one server.
#   run-under-wine.sh --start              makes the prefix when missing; starts its server
#   run-under-wine.sh --end                ends that server
#   run-under-wine.sh suite.exe [args...]  runs the suite, for at most 600 s
set -euo pipefail

: "${WINEPREFIX:?WINEPREFIX names the prefix of the run}"
export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers on a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# No window is ever opened; the suites are console programs.
unset DISPLAY

case "${1:-}" in
--start)
    mkdir -p "$WINEPREFIX"
    # Kept up for the whole run, so that each suite starts in an initialised prefix.
    timeout 60 wineserver -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "making the Wine prefix $WINEPREFIX"
        timeout 600 wineboot -i
    fi
    # The prefix is settled when its first program answers.
    timeout 300 wine cmd /c exit 0
    ;;
--end)
    timeout 60 wineserver -k || true
    ;;
*)
    exec timeout --kill-after=15 600 wine "$@"
    ;;
esac
