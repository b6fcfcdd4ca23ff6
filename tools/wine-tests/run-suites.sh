#!/usr/bin/env bash
# The unit suites cross-compiled for 32-bit Windows and run by ctest under Wine, as CI runs
# them: installs what they need, builds the windows-i686-tests preset, runs it, and fails unless
# at least 100 cases passed and none failed.
#   tools/wine-tests/run-suites.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

started=$SECONDS
tools/install-deps.sh windows-tests
cmake --preset windows-i686-tests >/dev/null
timeout 3600 cmake --build --preset windows-i686-tests
log=build/windows-i686-tests/wine-suites.log
timeout 2400 ctest --preset windows-i686-tests --output-log "$log"

# ctest counts suites; GoogleTest's own summary lines count the cases.
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | paste -sd+ | bc)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?,.*/\1/p' "$log" | paste -sd+ | bc)
echo "windows suites: ${passed:-0} cases passed, ${skipped:-0} skipped under Wine in $((SECONDS - started)) s"
[ "${passed:-0}" -ge 100 ] || { echo "windows suites: fewer than 100 cases passed" >&2; exit 1; }
