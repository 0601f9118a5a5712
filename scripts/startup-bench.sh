#!/usr/bin/env bash
# The start-up benchmark in the Wine test bed: process start to the first ayah on screen,
# beside a minimal program that opens a window and paints one bitmap, and the private
# memory of both after start-up. A measurement: it prints figures and fails nothing.
#   scripts/startup-bench.sh [runs]     (after scripts/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
cmake --build "$build/win" --target startup_bench >/dev/null

bed_was_running=0
if [ -f "$build/wine/xvfb.pid" ] && kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null; then bed_was_running=1; fi
"$root/scripts/testbed.sh" start
[ $bed_was_running = 1 ] || trap '"$root/scripts/testbed.sh" stop' EXIT
"$root/cmake/wine-run.sh" "$build/win/tests/e2e/startup_bench.exe" \
    "$build/dist/Noravel.exe" "$build/win/tests/e2e/minimal_window.exe" "${1:-10}"
