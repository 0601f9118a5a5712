#!/usr/bin/env bash
# Opens the generated pages in headless Chromium (pages_check.html does the checking) and
# takes screenshots of one commentary page and of the help page for a look by eye.
#   pages_check.sh <chromium> <program folder> <work folder>
set -euo pipefail
chromium=$1 dist=$(cd "$2" && pwd) work=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mkdir -p "$work"
cp "$here/pages_check.html" "$work/"
# The ayah counts come from the scripture data, not from the pages under test.
node -e 'const q = require(process.argv[1]);
  console.log("const ayahCounts = " + JSON.stringify(q.map((s) => s.verses.length)) + ";")' \
  "${NORAVEL_NODE_MODULES:-$root/node_modules}/quran-json/dist/quran_en.json" >"$work/counts.js"
flags=(--headless --no-sandbox --disable-gpu --allow-file-access-from-files --no-first-run
       --user-data-dir="$work/profile")
result=$("$chromium" "${flags[@]}" --virtual-time-budget=120000 --dump-dom \
  "file://$work/pages_check.html?root=file://$dist" 2>/dev/null |
  awk '/<pre id="result">/ { on = 1 } on { print } on && /<\/pre>/ { exit }' |
  sed 's/<[^>]*>//g')
echo "$result"
"$chromium" "${flags[@]}" --window-size=1000,1300 --screenshot="$work/commentary_2_20.png" \
  "file://$dist/html/qs2/20.html#11" >/dev/null 2>&1 || true
"$chromium" "${flags[@]}" --window-size=1000,1600 --screenshot="$work/help.png" \
  "file://$dist/help.htm" >/dev/null 2>&1 || true
echo "screenshots: $work/commentary_2_20.png $work/help.png"
case "$result" in PAGES-OK*) exit 0 ;; *) exit 1 ;; esac
