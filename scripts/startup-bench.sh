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

# Windows programs under Wine do not see their own private memory, so it is read from the
# host while the benchmark holds each program open after start-up: the private pages
# (clean and dirty) of the Wine process, which include Wine's own share for both programs.
out=$(mktemp)
"$root/cmake/wine-run.sh" "$build/win/tests/e2e/startup_bench.exe" \
    "$build/dist/Noravel.exe" "$build/win/tests/e2e/minimal_window.exe" "${1:-10}" 4000 >"$out" 2>&1 &
bench=$!
private_kb() { # pattern of the program's path
    local pid
    pid=$(pgrep -n -f "$1" || true)
    [ -n "$pid" ] && awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { print kb }' "/proc/$pid/smaps_rollup"
}
declare -A memory
for name in minimal reader; do
    until grep -q "holding $name" "$out" || ! kill -0 $bench 2>/dev/null; do sleep 0.2; done
    sleep 1
    case $name in
    minimal) memory[$name]=$(private_kb 'tests.e2e.minimal_window\.exe') ;;
    reader) memory[$name]=$(private_kb "$(basename "$root").build.dist.Noravel\.exe") ;;
    esac
done
wait $bench || true
grep -v '^holding' "$out"
rm -f "$out"
echo "private memory after start-up (host view): minimal ${memory[minimal]:-?} kB, reader ${memory[reader]:-?} kB"
