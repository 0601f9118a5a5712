#!/usr/bin/env bash
# Runs a Windows program in the end-to-end journeys' own test-bed prefix, display and
# wineserver (started when not running yet):  wine-run-e2e.sh program.exe [arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bed=${NORAVEL_BUILD_ROOT:-$root/build}/wine
if [ ! -f "$bed/env-e2e" ] || ! kill -0 "$(cat "$bed/xvfb-e2e.pid" 2>/dev/null || echo 0)" 2>/dev/null; then
    "$root/scripts/testbed.sh" start-e2e
fi
. "$bed/env-e2e"
exec /usr/lib/wine/wine64 "$@"
