#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset default
cmake --build --preset default
ctest --preset default
