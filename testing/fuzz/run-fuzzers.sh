#!/usr/bin/env bash
# Builds the fuzz preset and runs each libFuzzer target for a bounded time under ASan/UBSan,
# from the seeds in testing/fuzz/corpus/<target>/. What a run finds is kept in
# build/fuzz/findings/<target>/; the script fails when a target crashes.
#   testing/fuzz/run-fuzzers.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${1:-30}"
targets=(getfields connection_string access_dialect access_date access_lexer)

# Debian's clang and its libFuzzer runtime.
tools/install-deps.sh fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=0
summary=()
for target in "${targets[@]}"; do
    binary="build/fuzz/testing/fuzz/fuzz_${target}"
    work="build/fuzz/findings/${target}"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    log="$work/fuzz.log"
    options=()
    if [[ -f "testing/fuzz/${target}.dict" ]]; then options+=(-dict="testing/fuzz/${target}.dict"); fi
    # New inputs go to the work corpus; the seeds in the repository stay as they are.
    if "$binary" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
        "${options[@]}" -artifact_prefix="$work/" "$work/corpus" "testing/fuzz/corpus/${target}" >"$log" 2>&1; then
        status=ok
    else
        status="FAILED (see $log)"
        failed=1
        tail -n 40 "$log"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    summary+=("$(printf '%-20s %12s executions  %s' "$target" "${runs:-?}" "$status")")
done

echo "fuzzing, ${seconds} s per target:"
printf '  %s\n' "${summary[@]}"
exit "$failed"
