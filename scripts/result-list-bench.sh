#!/usr/bin/env bash
# The result-list benchmark in the Wine test bed: OK in the translation search to the filled
# result list of the real reader, for a word with thousands of hits, with the list's
# redrawing switched off while it fills and with a repaint per line, each as a ratio to a
# search with a handful of hits in the same reader. A measurement: it prints figures and
# fails nothing.
#   scripts/result-list-bench.sh [rounds]     (after scripts/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
cmake --build "$build/win" --target result_list_bench >/dev/null

if ! { [ -f "$build/wine/xvfb.pid" ] && kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null; }; then
    trap '"$root/scripts/testbed.sh" stop' EXIT
fi
"$root/scripts/testbed.sh" start
"$root/cmake/wine-run.sh" "$build/win/bench/result_list_bench.exe" "$build/dist/Noravel.exe" \
    "${1:-3}" || true
