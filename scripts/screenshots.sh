#!/usr/bin/env bash
# Remakes the pictures in docs/screenshots: those of the reader, taken under the Wine test
# bed by tests/e2e/shoot, and a commentary page and the help page as headless Chromium
# shows them. Run it after a change that alters what the reader or the pages look like,
# look at the pictures, and commit them (the help page copies three of them).
#   scripts/screenshots.sh            # uses build/win (shoot.exe) and build/dist
#   NORAVEL_WIN_BUILD=build/h-me scripts/screenshots.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
win=${NORAVEL_WIN_BUILD:-$build/win}
dist=$build/dist
out=$root/docs/screenshots
shoot=$win/tests/e2e/shoot.exe

cmake --build "$win" --target shoot noravel morvent >/dev/null
[ -f "$dist/help.htm" ] || { echo "no pages in $dist: build the target pages first" >&2; exit 1; }
mkdir -p "$out"
work=$(mktemp -d)
bed_was_running=0
if [ -f "$build/wine/xvfb.pid" ] && kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null; then
    bed_was_running=1
fi
"$root/scripts/testbed.sh" start
cleanup() {
    rm -rf "$work"
    [ $bed_was_running = 1 ] || "$root/scripts/testbed.sh" stop
}
trap cleanup EXIT

# The reader starts in the language stored in the test bed's registry (Indonesian unless
# a test left something else), so the search word is an Indonesian one.
run() { "$root/cmake/wine-run.sh" "$shoot" "$@"; }
run "$work/reader.bmp" 900 700 2 255
run --night "$work/reader-night.bmp" 900 700 2 255
run --reading "$work/reading.bmp" 900 700 112 1
# The same reader on a screen of 192 DPI (200%), twice the size in every direction.
"$root/cmake/wine-run-dpi.sh" 192 "$shoot" "$work/reader-200.bmp" 1800 1400 2 255
run --search cahaya --line 24:35 "$work/search.bmp" 900 700
run --arabic "$work/arabic.bmp"
# The tajwid window beside the reader; the two fit the 1280-pixel display side by side.
run --tajwid "$work/tajwid-2-255.bmp" 560 760 2 255
run --tajwid "$work/tajwid-34-53.bmp" 560 760 34 53
for picture in tajwid-2-255 tajwid-34-53; do
    convert "$work/$picture.bmp" -strip "$out/$picture.png"
done
# The help page shows these three from help/ beside it (the pages target copies them
# there too); copied now so that the help page's own picture below shows the new ones.
mkdir -p "$dist/help"
for picture in reader-night reading reader-200; do
    convert "$work/$picture.bmp" -trim +repage -strip "$out/$picture.png"
done
for picture in reader search arabic; do
    # The main window's pictures lose the black frame and the caption strip that nobody
    # draws without a window manager.
    trim=()
    [ $picture = arabic ] || trim=(-trim +repage)
    convert "$work/$picture.bmp" "${trim[@]}" -strip "$out/$picture.png"
    cp "$out/$picture.png" "$dist/help/"
done

chromium=$(command -v chromium || command -v chromium-browser)
flags=(--headless --no-sandbox --disable-gpu --no-first-run --hide-scrollbars
       --user-data-dir="$work/profile")
"$chromium" "${flags[@]}" --window-size=1000,800 --screenshot="$work/commentary.png" \
    "file://$dist/html/qs2/260.html" >/dev/null 2>&1
"$chromium" "${flags[@]}" --window-size=1000,1400 --screenshot="$work/help.png" \
    "file://$dist/help.htm" >/dev/null 2>&1
for picture in commentary help; do
    convert "$work/$picture.png" -strip -colors 256 "PNG8:$out/$picture.png"
done

ls -l "$out"
