#!/usr/bin/env bash
# Checks the release as a Windows user meets it, in a fresh Wine prefix with its own
# wineserver and its own Xvfb display (nothing shared with the test bed):
#   release-test.sh install  SETUP.EXE ZIP PROBE.EXE ICON WORKDIR
#     installs SETUP.EXE silently, finds every file, the shortcut and the Add/Remove
#     Programs entry, starts the reader through the shortcut's target and sees 1:1,
#     with the reader running, finds that a silent install over it and a silent uninstall
#     both fail with exit code 2 and change nothing; then uninstalls silently with the
#     registered QuietUninstallString and finds the files and the settings keys gone and
#     nothing else in the prefix changed;
#   release-test.sh portable SETUP.EXE ZIP PROBE.EXE ICON WORKDIR
#     unpacks ZIP into a fresh folder, finds the program folder complete and starts the
#     reader from there.
# PROBE.EXE is tests/release/release_probe.cpp. WORKDIR is emptied first.
set -euo pipefail
if [ $# -ne 6 ]; then
    echo "usage: $0 install|portable SETUP.EXE ZIP PROBE.EXE ICON WORKDIR" >&2
    exit 2
fi
kind=$1
setup=$(realpath -m "$2") zip=$(realpath -m "$3") probe=$(realpath -m "$4")
icon=$(realpath -m "$5") work=$(realpath -m "$6")
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${NORAVEL_DIST_DIR:-${NORAVEL_BUILD_ROOT:-$root/build}/dist}
started=$(date +%s)

failures=0
check() { # description, command...
    local what=$1
    shift
    if "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}

for f in "$setup" "$zip" "$probe" "$icon"; do
    [ -f "$f" ] || { echo "missing: $f (build the target release first)"; exit 1; }
done

rm -rf "$work"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
export WINEPREFIX=$work/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mshtml=d;winemenubuilder.exe=d"
export XDG_RUNTIME_DIR=$work/runtime
wine=/usr/lib/wine/wine64

# An X display of this test alone: the probe reads the reader's picture off the screen.
n=120
while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$n
cleanup() {
    local status=$?
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    # A prefix takes most of a gigabyte: keep it only to look into a failure.
    if [ $status -eq 0 ]; then rm -rf "$WINEPREFIX" "$work/portable" "$work/expected"; fi
}
trap cleanup EXIT
for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${n}" ] && break
    sleep 0.1
done

winpath() { # the Windows form of a path of this machine (Wine maps / to Z:)
    printf 'Z:%s' "$1" | tr / '\\'
}

wineboot -i >"$work/wineboot.log" 2>&1 || true
wineserver -w
[ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix"; exit 1; }

# The registry as "key<TAB>value line" rows, without the times Wine writes beside keys.
# Values that go on over several lines (ending in a backslash) become one row.
registry_rows() {
    local file
    for file in system.reg user.reg; do
        awk -v hive="$file" '
            /^\[/ { key = $0; sub(/\][^]]*$/, "]", key); print hive "\t" key; next }
            /^#time=/ || /^#arch=/ || /^WINE REGISTRY/ || /^;;/ || /^$/ { next }
            { line = line $0; if (line ~ /\\$/) { sub(/\\$/, "", line); next }
              print hive "\t" key "\t" line; line = "" }
        ' "$WINEPREFIX/$file"
    done | grep -v -E "$volatile_keys" | grep -v -E "$reboot_cleanup" | LC_ALL=C sort
}
# Keys Wine itself rewrites when programs start (the hardware and session state it
# probes again, such as the display driver's date), not the program's doing.
volatile_keys='\[(Hardware\\\\|System\\\\CurrentControlSet\\\\(Enum|Control\\\\Class|Control\\\\DeviceClasses)\\\\|Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Perflib|Volatile Environment)'

# The uninstaller runs as a copy of itself in the temporary folder; a copy that cannot
# delete itself asks Windows to delete it at the next start. That request is the only
# trace it may leave (Windows clears it on that start).
reboot_cleanup='Session Manager\][[:blank:]]"PendingFileRenameOperations"=str\(7\):"(\\\\\?\?\\\\C:\\\\users\\\\[^\\]+\\\\Temp\\\\~nsu[0-9A-Za-z]*\.tmp(\\\\Un\.exe)?\\0\\0)+"$'

# The files of drive C:, without the temporary folders.
file_rows() {
    (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 \( -ipath './windows/temp' -o -ipath './users/*/Temp' \
        -o -ipath './users/*/AppData/Local/Temp' \) -prune -o -print) | LC_ALL=C sort
}

# Questions on the registry are answered from the prefix's registry files, written out
# by a stopped wineserver: snapshot takes them, reg_has and reg_value read the last one.
# (A "wine reg query" per question starts a process each time and may meet a wineserver
# that is just shutting down: a lost question would read as "not there".)
snapshot() {
    wineserver -w
    registry_rows >"$work/registry-now.txt"
}
key_row() { # HKLM\path or HKCU\path: "hive<TAB>[path" in lower case, as the rows hold it
    local root=${1%%\\*} path=${1#*\\} hive
    case "$root" in HKLM) hive=system.reg ;; HKCU) hive=user.reg ;; *) return 1 ;; esac
    printf '%s\t[%s' "$hive" "${path//\\/\\\\}" | tr '[:upper:]' '[:lower:]'
}
reg_has() { # key [value]: the key (or a key below it) is there, or the key has the value
    local row
    row=$(key_row "$1") || return 1
    # Through the environment: awk -v would read the backslashes as escapes.
    ROW=$row NAME=${2:-} awk -F '\t' '
        BEGIN { row = ENVIRON["ROW"]; name = ENVIRON["NAME"] }
        { key = tolower($1 "\t" $2) }
        name == "" && (key == row "]" || index(key, row "\\\\") == 1) { found = 1 }
        name != "" && key == row "]" && index(tolower($3), tolower("\"" name "\"=")) == 1 { found = 1 }
        END { exit found ? 0 : 1 }' "$work/registry-now.txt"
}
reg_value() { # key value: the data of a value (strings without quotes and escapes)
    local row
    row=$(key_row "$1") || return 0
    ROW=$row NAME=$2 awk -F '\t' '
        BEGIN { row = ENVIRON["ROW"]; name = ENVIRON["NAME"] }
        tolower($1 "\t" $2) == row "]" && index(tolower($3), tolower("\"" name "\"=")) == 1 {
            data = substr($3, length(name) + 4)
            if (data ~ /^".*"$/) {
                data = substr(data, 2, length(data) - 2)
                gsub(/\\"/, "\"", data); gsub(/\\\\/, "\\", data)
            }
            print data; exit
        }' "$work/registry-now.txt"
}
reg_missing() { ! reg_has "$@"; }

# The probe's output goes through a file, not a pipe: a Windows program that it starts or
# touches may inherit the pipe's end and keep a reader of it waiting for ever.
probe() {
    local code=0
    "$wine" "$probe" "$@" >"$work/probe.out" 2>&1 || code=$?
    tr -d '\r' <"$work/probe.out"
    return $code
}

expected=$work/expected
mkdir -p "$expected"
(cd "$expected" && cmake -E tar xf "$zip")
check "the zip holds one folder, Noravel" test "$(ls "$expected")" = Noravel
# Both downloads stay within 50 MB (50,000,000 bytes): the calligraphy is drawn from the
# font, so only the 1x pictures ship.
check "the setup file is at most 50 MB" test "$(stat -c %s "$setup")" -le 50000000
check "the zip is at most 50 MB" test "$(stat -c %s "$zip")" -le 50000000
# The same program, or the same program signed: without its signature it is the built one
# but for the PE checksum, which signing sets, and the zeros that align the signature.
same_program() { # built.exe, released.exe
    cmp -s "$1" "$2" && return 0
    [ -n "${NORAVEL_SIGNED_BY:-}" ] || return 1
    osslsigncode verify -in "$2" -CAfile "$NORAVEL_SIGNED_BY" >/dev/null 2>&1 || return 1
    local bare=$work/unsigned.exe checksum size
    rm -f "$bare"
    osslsigncode remove-signature -in "$2" -out "$bare" >/dev/null 2>&1 || return 1
    checksum=$(($(od -An -tu4 -j60 -N4 "$1") + 88))
    size=$(stat -c %s "$1")
    [ -z "$(tail -c +$((size + 1)) "$bare" | tr -d '\0')" ] || return 1
    cmp -s <(head -c "$checksum" "$1"; tail -c +$((checksum + 5)) "$1") \
        <(head -c "$size" "$bare" | { head -c "$checksum"; head -c 4 >/dev/null; cat; })
}
same_programs() { # built folder, released folder
    local exe stripped=$work/stripped.exe
    for exe in "$1"/*.exe; do
        # The release ships the programs without their debugging information.
        rm -f "$stripped"
        SOURCE_DATE_EPOCH=0 x86_64-w64-mingw32-strip --strip-debug -o "$stripped" "$exe" &&
            same_program "$stripped" "$2/${exe##*/}" || { echo "differs: ${exe##*/}"; return 1; }
    done
}
# What a user gets: the program folder as built, with an mp3 folder holding one note.
check "the zip holds the program folder as built" \
    diff -r -q -x mp3 -x '*.exe' "$dist" "$expected/Noravel"
check "the zip holds the programs as built" same_programs "$dist" "$expected/Noravel"
check "the zip's mp3 folder holds only README.txt" test "$(ls -A "$expected/Noravel/mp3")" = README.txt
check "the note on recitation files has Windows line ends" grep -q $'S_P.mp3.*\r$' "$expected/Noravel/mp3/README.txt"

case "$kind" in
install)
    settings='HKLM\SOFTWARE\KELVANE\QURAN\SETTING'
    user_settings='HKCU\SOFTWARE\KELVANE\QURAN\SETTING'
    # Another program of the same publisher: the uninstaller must leave it alone.
    "$wine" reg add 'HKCU\SOFTWARE\KELVANE\OTHER' /v Keep /d yes /f /reg:64 >/dev/null 2>&1
    wineserver -w
    registry_rows >"$work/registry-before.txt"
    file_rows >"$work/files-before.txt"

    echo "--- setup.exe"
    check "setup.exe carries the name, version and icon" \
        probe identity "$(winpath "$setup")" "$(winpath "$icon")"
    set +e
    "$wine" "$(winpath "$setup")" /S
    code=$?
    set -e
    snapshot
    check "setup.exe /S succeeded" test $code -eq 0

    program="$WINEPREFIX/drive_c/Program Files/Noravel"
    check "installed into C:\\Program Files\\Noravel" test -d "$program"
    check "every file installed as in the zip" \
        diff -r -q -x uninstall.exe "$expected/Noravel" "$program"
    check "the uninstaller is there" test -f "$program/uninstall.exe"
    check "all 6236 ayah pictures are there" test "$(find "$program/gif" -name '*.gif' | wc -l)" -eq 6236
    check "nothing went to the 32-bit program files folder" \
        test ! -e "$WINEPREFIX/drive_c/Program Files (x86)/Noravel"

    uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Noravel'
    check "Add/Remove Programs: DisplayName" test "$(reg_value "$uninstall" DisplayName)" = "Noravel 3.2"
    check "Add/Remove Programs: DisplayVersion" test "$(reg_value "$uninstall" DisplayVersion)" = "3.2"
    check "Add/Remove Programs: Publisher" test -n "$(reg_value "$uninstall" Publisher)"
    check "Add/Remove Programs: DisplayIcon" \
        test "$(reg_value "$uninstall" DisplayIcon)" = 'C:\Program Files\Noravel\Noravel.exe,0'
    check "Add/Remove Programs: UninstallString" \
        test "$(reg_value "$uninstall" UninstallString)" = '"C:\Program Files\Noravel\uninstall.exe"'
    quiet=$(reg_value "$uninstall" QuietUninstallString)
    check "Add/Remove Programs: QuietUninstallString" \
        test "$quiet" = '"C:\Program Files\Noravel\uninstall.exe" /S'
    check "the entry is in the 64-bit view only" \
        reg_missing 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Noravel'

    echo "--- uninstall.exe"
    check "uninstall.exe carries the name, version and icon" \
        probe identity 'C:\Program Files\Noravel\uninstall.exe' "$(winpath "$icon")"
    if [ -n "${NORAVEL_SIGNED_BY:-}" ]; then
        # The uninstaller is written by setup.exe from what it carries: signed at build time.
        check "uninstall.exe is signed by the release's certificate" \
            osslsigncode verify -in "$program/uninstall.exe" -CAfile "$NORAVEL_SIGNED_BY"
    fi

    lnk='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Noravel.lnk'
    echo "--- shortcut"
    shortcut=$(probe shortcut "$lnk" || true)
    echo "$shortcut"
    target=$(echo "$shortcut" | sed -n 's/^target=//p')
    check "the Start-menu shortcut starts the installed reader" \
        test "$target" = 'C:\Program Files\Noravel\Noravel.exe'
    check "the shortcut starts it in its own folder" \
        test "$(echo "$shortcut" | sed -n 's/^folder=//p')" = 'C:\Program Files\Noravel'

    echo "--- the reader, started as the shortcut starts it"
    check "the installed reader shows 1:1 and stores its language" \
        probe reader "${target:-C:\\Program Files\\Noravel\\Noravel.exe}" english
    # A user for whom the machine-wide key is closed keeps the settings per user.
    "$wine" reg add "$user_settings" /v Bahasa /t REG_DWORD /d 1 /f /reg:64 >/dev/null 2>&1
    snapshot
    check "the reader stored its language machine-wide" reg_has "$settings" Bahasa
    check "per-user settings are there" reg_has "$user_settings" Bahasa

    echo "--- setup.exe and uninstall.exe while the reader runs"
    "$wine" 'C:\Program Files\Noravel\Noravel.exe' >"$work/running-reader.log" 2>&1 &
    running=$!
    check "the installed reader runs" probe wait-reader 60
    set +e
    "$wine" "$(winpath "$setup")" /S
    code=$?
    # In place (_?=), so that the exit code is the uninstaller's own and not that of the
    # copy of itself that it otherwise starts in the temporary folder.
    probe uninstall-in-place 'C:\Program Files\Noravel'
    uncode=$?
    set -e
    check "setup.exe /S over the running reader fails with exit code 2" test $code -eq 2
    check "uninstall.exe /S beside the running reader fails with exit code 2" test $uncode -eq 2
    check "... and every installed file is still there as installed" \
        diff -r -q -x uninstall.exe "$expected/Noravel" "$program"
    check "... the uninstaller too" test -f "$program/uninstall.exe"
    check "the reader closes" probe close-readers
    wait "$running" || true
    snapshot
    check "... and the Add/Remove Programs entry stays" reg_has "$uninstall" DisplayName

    echo "--- uninstall: $quiet"
    exe=${quiet%\" /S}
    exe=${exe#\"}
    set +e
    "$wine" "${exe:-C:\\Program Files\\Noravel\\uninstall.exe}" /S
    code=$?
    set -e
    snapshot # waits: the uninstaller runs on as a copy of itself in the temporary folder
    check "uninstall.exe /S succeeded" test $code -eq 0
    check "the program folder is gone" test ! -e "$program"
    check "the Add/Remove Programs entry is gone" reg_missing "$uninstall"
    check "the machine-wide settings and the then empty publisher key are gone" \
        reg_missing 'HKLM\SOFTWARE\KELVANE'
    check "the per-user settings are gone" reg_missing 'HKCU\SOFTWARE\KELVANE\QURAN'
    check "the other program's key is kept" reg_has 'HKCU\SOFTWARE\KELVANE\OTHER' Keep
    cp "$work/registry-now.txt" "$work/registry-after.txt"
    file_rows >"$work/files-after.txt"
    check "the registry is as before the installation" \
        diff "$work/registry-before.txt" "$work/registry-after.txt"
    check "drive C: holds the same files as before the installation" \
        diff "$work/files-before.txt" "$work/files-after.txt"
    ;;
portable)
    folder=$work/portable
    mkdir -p "$folder"
    (cd "$folder" && cmake -E tar xf "$zip")
    echo "--- the reader, started from the unpacked folder"
    check "the unpacked reader shows 1:1" probe reader "$(winpath "$folder/Noravel/Noravel.exe")"
    ;;
*)
    echo "unknown kind: $kind" >&2
    exit 2
    ;;
esac

echo "release-test $kind: $failures failed, $(($(date +%s) - started)) s"
[ $failures -eq 0 ]
