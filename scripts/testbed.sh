#!/usr/bin/env bash
# The Wine test bed: a project-private Wine prefix inside the build folder, an Xvfb
# display and one persistent wineserver, so that every Windows program started during a
# test run shares them and starts quickly.
#   scripts/testbed.sh start   # idempotent; prints nothing but errors
#   scripts/testbed.sh stop
#   scripts/testbed.sh env     # prints the environment as shell exports
#   scripts/testbed.sh start-dpi 144   # a second prefix whose screen has 144 DPI (also 192,
#                                      # ...), on a larger display of its own; kept between runs
#   scripts/testbed.sh env-dpi 144     # its environment as shell exports
#   scripts/testbed.sh start-e2e       # the end-to-end journeys' own prefix, display and
#                                      # wineserver, so that they run beside the in-process
#                                      # tests without sharing a registry or a screen
#   scripts/testbed.sh env-e2e         # its environment as shell exports
set -euo pipefail
trap 'code=$?; echo "testbed: failed at line $LINENO: $BASH_COMMAND (exit status $code)" >&2; exit $code' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
bed=$build/wine
mkdir -p "$bed"

# Test entries running side by side may start a test bed at the same moment: starts and
# stops take turns, so that two never pick the same display number or make one prefix twice.
# The programs they leave running do not hold the lock (flock -o).
case "${1:-start}" in
env | env-dpi | env-e2e) ;;
*)
    if [ -z "${NORAVEL_TESTBED_LOCKED:-}" ]; then
        NORAVEL_TESTBED_LOCKED=1 exec flock -o "$bed/testbed.lock" "$0" "$@"
    fi
    ;;
esac

export WINEPREFIX=$bed/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mshtml=d;winemenubuilder.exe=d"
export WINELOADER=/usr/lib/wine/wine64
# PulseAudio (when the tests start it) lives here; Wine must look in the same place.
export XDG_RUNTIME_DIR=$bed/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

display_alive() { # name of the display's files (default "xvfb" and "display")
    local pidfile=$bed/${1:-xvfb}.pid displayfile=$bed/${2:-display}
    [ -f "$displayfile" ] && [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null
}

start_display() { # [pid file stem, display file, screen size]
    local stem=${1:-xvfb} displayfile=$bed/${2:-display} size=${3:-1280x1024}
    if display_alive "$stem" "${2:-display}"; then return; fi
    local n=90
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >"$bed/$stem.log" 2>&1 &
    echo $! >"$bed/$stem.pid"
    echo ":$n" >"$displayfile"
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X${n}" ] && break
        sleep 0.1
    done
    if ! kill -0 "$(cat "$bed/$stem.pid")" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X${n}" ]; then
        rm -f "$bed/$stem.pid" "$displayfile"
        fail "Xvfb :$n -screen 0 ${size}x24 -nolisten tcp" "$bed/$stem.log"
    fi
}

# Names the command that failed and shows its log, then ends the script.
fail() { # command, log file
    echo "testbed: '$1' failed; its log ($2):" >&2
    cat "$2" >&2 2>/dev/null || echo "(no log)" >&2
    rm -f "$bed/xvfb.pid" "$bed/display"
    exit 1
}

make_prefix() { # [screen DPI written as LogPixels; none keeps Wine's 96]
    local dpi=${1:-}
    # The marker names the version of the prefix's settings; a change below bumps it.
    if [ -f "$WINEPREFIX/.noravel-ready-4" ]; then return; fi
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    wineboot -i >"$bed/wineboot.log" 2>&1 || fail "wineboot -i (WINEPREFIX=$WINEPREFIX)" "$bed/wineboot.log"
    # Wine's own Tahoma has no Arabic glyphs; DejaVu Sans has them, so Arabic text is
    # shaped and measured meaningfully in this prefix.
    cat >"$bed/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Tahoma"="DejaVu Sans"
"Tahoma Bold"="DejaVu Sans Bold"
; The faces the reader picks for Bengali and Chinese on Windows, from Debian's fonts.
"Nirmala UI"="Lohit Bengali"
"Microsoft YaHei"="WenQuanYi Micro Hei"
; and for Urdu (DejaVu Sans lacks heh goal and yeh barree; Amiri has them).
"Segoe UI"="Amiri"

; Without a window manager, Wine waits for one on every managed top-level window that
; is hidden or destroyed; unmanaged windows close at once.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
    if [ -n "$dpi" ]; then
        printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" \
            >>"$bed/fonts.reg"
    fi
    wine regedit "$bed/fonts.reg" >"$bed/regedit.log" 2>&1 || fail "wine regedit $bed/fonts.reg" "$bed/regedit.log"
    wineserver -w
    touch "$WINEPREFIX/.noravel-ready-4"
}

write_env() { # [env file, display file]
    cat >"$bed/${1:-env}" <<ENV
export WINEPREFIX='$WINEPREFIX'
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export WINELOADER=/usr/lib/wine/wine64
export XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR'
export DISPLAY='$(cat "$bed/${2:-display}")'
ENV
}

# The prefix of one screen DPI: the same settings as the main one, plus "LogPixels". Its
# display is larger (2560 x 2048), so that a window of 1000 x 960 at 96 DPI fits at 200%.
dpi_arguments() {
    case "${1:-}" in
    '' | *[!0-9]*) echo "usage: $0 start-dpi|env-dpi DPI (a number, e.g. 144)" >&2; exit 2 ;;
    esac
    export WINEPREFIX=$bed/prefix-$1
}

case "${1:-start}" in
start)
    start_display
    export DISPLAY=$(cat "$bed/display")
    make_prefix
    wineserver -p 2>/dev/null || true
    # Start Wine's own background processes now, detached from any test's output: a
    # test that started them would hand them its output pipe, and ctest would wait for
    # that pipe to close until they end.
    wine64_path=/usr/lib/wine/wine64
    "$wine64_path" cmd /c exit </dev/null >/dev/null 2>&1 || true
    write_env
    ;;
stop)
    if [ -f "$bed/env" ]; then
        . "$bed/env"
        wineserver -k 2>/dev/null || true
    fi
    if [ -f "$bed/xvfb.pid" ]; then kill "$(cat "$bed/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$bed/xvfb.pid" "$bed/display" "$bed/env"
    # The DPI prefixes' wineservers and their display (the prefixes themselves are kept).
    for env in "$bed"/env-*; do
        [ -f "$env" ] || continue
        (. "$env" && wineserver -k 2>/dev/null) || true
        rm -f "$env"
    done
    for stem in dpi e2e; do
        if [ -f "$bed/xvfb-$stem.pid" ]; then kill "$(cat "$bed/xvfb-$stem.pid")" 2>/dev/null || true; fi
        rm -f "$bed/xvfb-$stem.pid" "$bed/display-$stem"
    done
    ;;
env)
    cat "$bed/env"
    ;;
start-dpi)
    dpi_arguments "${2:-}"
    start_display xvfb-dpi display-dpi 2560x2048
    export DISPLAY=$(cat "$bed/display-dpi")
    make_prefix "$2"
    wineserver -p 2>/dev/null || true
    /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
    write_env "env-$2" display-dpi
    ;;
env-dpi)
    dpi_arguments "${2:-}"
    cat "$bed/env-$2"
    ;;
start-e2e)
    export WINEPREFIX=$bed/prefix-e2e
    start_display xvfb-e2e display-e2e 1280x1024
    export DISPLAY=$(cat "$bed/display-e2e")
    make_prefix
    wineserver -p 2>/dev/null || true
    /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
    write_env env-e2e display-e2e
    ;;
env-e2e)
    cat "$bed/env-e2e"
    ;;
*)
    echo "usage: $0 start|stop|env|start-dpi DPI|env-dpi DPI|start-e2e|env-e2e" >&2
    exit 2
    ;;
esac
