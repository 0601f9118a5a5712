#!/usr/bin/env bash
# Runs a Windows program in the test bed's prefix of one screen DPI (made on first use):
#   wine-run-dpi.sh 144 program.exe [arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bed=${NORAVEL_BUILD_ROOT:-$root/build}/wine
dpi=$1
shift
if [ ! -f "$bed/env-$dpi" ] || ! kill -0 "$(cat "$bed/xvfb-dpi.pid" 2>/dev/null || echo 0)" 2>/dev/null; then
    "$root/scripts/testbed.sh" start-dpi "$dpi"
fi
. "$bed/env-$dpi"
exec /usr/lib/wine/wine64 "$@"
