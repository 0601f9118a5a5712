#!/usr/bin/env bash
# Runs a Windows program under the project's Wine test bed (ctest uses this as the
# emulator of the Windows build). Starts the test bed when it is not running yet.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bed=${NORAVEL_BUILD_ROOT:-$root/build}/wine
if [ ! -f "$bed/env" ] || ! kill -0 "$(cat "$bed/xvfb.pid" 2>/dev/null || echo 0)" 2>/dev/null; then
    "$root/scripts/testbed.sh" start
fi
. "$bed/env"
exec /usr/lib/wine/wine64 "$@"
