#!/usr/bin/env bash
# Sets everything up, builds the reader and opens its window. Without a display (no
# DISPLAY set) it runs under Xvfb, saves a screenshot, prints its path and closes the
# reader again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" app

exe=$build/dist/Noravel.exe
if [ -n "${DISPLAY:-}" ] && [ "${NORAVEL_HEADLESS:-0}" != 1 ]; then
    export WINEDEBUG=-all
    exec wine "$exe"
fi

# Stop the test bed at the end only when this run started it.
bed_was_running=0
if [ -f "$build/wine/xvfb.pid" ] && kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null; then bed_was_running=1; fi
"$root/scripts/testbed.sh" start || exit 1
[ $bed_was_running = 1 ] || trap '"$root/scripts/testbed.sh" stop' EXIT
shots=$build/screenshots
mkdir -p "$shots"
"$root/cmake/wine-run.sh" "$build/win/tests/e2e/shoot.exe" "$shots/reader.bmp" 900 700
convert "$shots/reader.bmp" "$shots/reader.png"
rm -f "$shots/reader.bmp"
echo "The reader ran under Xvfb; its window: $shots/reader.png"
