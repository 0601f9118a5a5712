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

# The pages bring their Arabic font: a machine without any Amiri font shows them the same.
# A private fontconfig setup hides the Amiri fonts from Chromium for the second picture.
cat >"$work/no-amiri.conf" <<'XML'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><pattern><patelt name="family"><string>Amiri</string></patelt></pattern>
    <pattern><patelt name="family"><string>Amiri Quran</string></patelt></pattern>
    <pattern><patelt name="family"><string>Amiri Quran Colored</string></patelt></pattern>
  </rejectfont></selectfont>
  <cachedir>CACHE</cachedir>
</fontconfig>
XML
sed -i "s|CACHE|$work/fontcache|" "$work/no-amiri.conf"
font_check=ok
if FONTCONFIG_FILE="$work/no-amiri.conf" fc-list | grep -qi amiri; then
    echo "FAIL the private fontconfig setup still shows an Amiri font"
    font_check=failed
fi
shot() { # name, extra environment...
    local name=$1
    shift
    env "$@" "$chromium" "${flags[@]/--user-data-dir=*/--user-data-dir=$work/profile-$name}" \
        --window-size=900,1200 --virtual-time-budget=5000 --hide-scrollbars \
        --screenshot="$work/font-$name.png" "file://$dist/html/qs2/260.html" >/dev/null 2>&1
}
shot with-amiri && shot without-amiri FONTCONFIG_FILE="$work/no-amiri.conf" || font_check=failed
if [ $font_check = ok ]; then
    differing=$(compare -metric AE "$work/font-with-amiri.png" "$work/font-without-amiri.png" \
        null: 2>&1 || true)
    if [ "$differing" = 0 ]; then
        echo "FONT-OK commentary page 2:251-260 is the same with and without Amiri installed"
    else
        echo "FAIL commentary page 2:251-260 differs without Amiri installed ($differing pixels):" \
            "$work/font-with-amiri.png $work/font-without-amiri.png"
        font_check=failed
    fi
fi
case "$result" in PAGES-OK*) [ $font_check = ok ] ;; *) exit 1 ;; esac
