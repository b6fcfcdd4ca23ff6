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
    # The server and the prefix's services outlive this script; were they to hold ctest's
    # output open, ctest would wait for them. Their output goes to a log of the prefix.
    log="$WINEPREFIX/../wine-prefix-start.log"
    status=0
    {
        # Kept up for the whole run, so that each suite starts in an initialised prefix.
        timeout 60 wineserver -p &&
            { [ -f "$WINEPREFIX/system.reg" ] || timeout 600 wineboot -i; } &&
            timeout 300 wine cmd /c exit 0
    } </dev/null >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || { cat "$log"; echo "the Wine prefix did not start ($status)"; }
    exit "$status"
    ;;
--end)
    timeout 60 wineserver -k || true
    ;;
*)
    exec timeout --kill-after=15 600 wine "$@"
    ;;
esac
