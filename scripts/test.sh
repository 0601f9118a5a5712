#!/usr/bin/env bash
# Sets everything up, builds everything and runs every test: the native unit tests
# (with ASan and UBSan), the Windows-side tests and the end-to-end journeys under Wine,
# the import check, and a short run of every fuzz target.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
jobs=$(nproc)

"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" || exit 1
CC=clang CXX=clang++ cmake -S "$root" -B "$build/fuzz" -DNORAVEL_FUZZ=ON \
    -DNORAVEL_BUILD_ROOT="$build" >/dev/null || exit 1
cmake --build "$build/fuzz" -j"$jobs" || exit 1

# Stop the test bed at the end only when this run started it.
bed_was_running=0
if [ -f "$build/wine/xvfb.pid" ] && kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null; then bed_was_running=1; fi
"$root/scripts/testbed.sh" start || exit 1
[ $bed_was_running = 1 ] || trap '"$root/scripts/testbed.sh" stop' EXIT

passed=0
failed=0
run_ctest() { # folder, extra ctest arguments...
    local dir=$1
    shift
    local log
    log=$(mktemp)
    (cd "$dir" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
    local line
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        echo "test.sh: no test result from $dir"
    else
        local total bad
        total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
        bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed.*/\1/')
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    fi
    rm -f "$log"
}

run_ctest "$build/native" -j"$jobs"
run_ctest "$build/win" -j2
run_ctest "$build/fuzz" -j"$jobs"

echo
echo "all tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
