#!/usr/bin/env bash
# The reading view benchmark in the Wine test bed: each frame of surah 2 scrolled top to
# bottom at 96 and 192 DPI, median and worst, in one process.
# A measurement: it prints figures and fails nothing.
#   scripts/reading-view-bench.sh      (after scripts/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
cmake --build "$build/win" --target reading_view_bench >/dev/null

if ! { [ -f "$build/wine/xvfb.pid" ] && kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null; }; then
    trap '"$root/scripts/testbed.sh" stop' EXIT
fi
"$root/scripts/testbed.sh" start
"$root/cmake/wine-run.sh" "$build/win/bench/reading_view_bench.exe" "Z:$build/dist" || true
