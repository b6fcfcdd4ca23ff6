#!/usr/bin/env bash
# The unit suites cross-compiled for 32-bit Windows and run by ctest under Wine, as CI runs
# them: installs what they need, builds the windows-i686-tests preset and the test ODBC
# driver's 32-bit build, runs the suites, and fails unless at least 100 cases passed and none
# failed.
#   testing/wine-tests/run-suites.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

started=$SECONDS
tools/install-deps.sh windows-tests
# The ODBC engine's cases need the test driver as a 32-bit Linux library.
tools/install-deps.sh i386
cmake --preset odbc-driver-i686 >/dev/null
timeout 2400 cmake --build --preset odbc-driver-i686
cmake --preset windows-i686-tests >/dev/null
timeout 3600 cmake --build --preset windows-i686-tests
built=$SECONDS

log=build/windows-i686-tests/wine-suites.log
if ! timeout 2400 ctest --preset windows-i686-tests -V >"$log" 2>&1; then
    tail -n 300 "$log"
    echo "windows suites: FAILED (the whole output is in $log)" >&2
    exit 1
fi
grep -E '^ *[0-9]+/[0-9]+ Test +#' "$log"

# ctest counts suites; GoogleTest's own summary lines count the cases.
sum() { sed -n "$1" "$log" | awk '{ total += $1 } END { print total + 0 }'; }
passed=$(sum 's/^[0-9]*: \[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p')
skipped=$(sum 's/^[0-9]*: \[  SKIPPED \] \([0-9]*\) tests\?,.*/\1/p')
echo "windows suites: $passed cases passed, $skipped skipped under Wine;" \
    "built in $((built - started)) s, run in $((SECONDS - built)) s"
[ "$passed" -ge 100 ] || { echo "windows suites: fewer than 100 cases passed" >&2; exit 1; }
