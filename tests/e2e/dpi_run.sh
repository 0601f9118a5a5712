#!/usr/bin/env bash
# Runs the DPI journeys in the test-bed prefix of one screen DPI and turns the screenshot
# into a PNG:  dpi_run.sh DPI e2e_dpi_test.exe OUTPUT_FOLDER
# The run at 96 DPI (the main prefix) writes the baseline the other runs compare with.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
dpi=$1 exe=$2 out=$3
mkdir -p "$out"
percent=$((dpi * 100 / 96))
windows() { echo "Z:${1//\//\\}"; }
args=(--dpi="$dpi" --baseline="$(windows "$out/dpi-96.txt")" --shot="$(windows "$out/reader-$percent.bmp")")
status=0
if [ "$dpi" = 96 ]; then
    "$root/cmake/wine-run.sh" "$exe" "${args[@]}" || status=$?
else
    "$root/cmake/wine-run-dpi.sh" "$dpi" "$exe" "${args[@]}" || status=$?
fi
for shot in reader arabic-reader; do
    if [ -f "$out/$shot-$percent.bmp" ] && command -v convert >/dev/null; then
        convert "$out/$shot-$percent.bmp" "$out/$shot-$percent.png" && echo "screenshot: $out/$shot-$percent.png"
    fi
done
exit $status
