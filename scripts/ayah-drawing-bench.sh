#!/usr/bin/env bash
# The drawing benchmark in the Wine test bed: 2:255 at 192 DPI drawn from the glyph runs and
# the font, as a ratio to decoding and scaling a picture drawn at twice the size, both in
# one process. A measurement: it prints figures and fails nothing.
#   scripts/ayah-drawing-bench.sh [rounds]     (after scripts/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
cmake --build "$build/win" --target ayah_drawing_bench >/dev/null

if ! { [ -f "$build/wine/xvfb.pid" ] && kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null; }; then
    trap '"$root/scripts/testbed.sh" stop' EXIT
fi
"$root/scripts/testbed.sh" start
"$root/cmake/wine-run.sh" "$build/win/bench/ayah_drawing_bench.exe" "Z:$build/dist" "${1:-5}" || true
