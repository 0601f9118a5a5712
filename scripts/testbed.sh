#!/usr/bin/env bash
# The Wine test bed: a project-private Wine prefix inside the build folder, an Xvfb
# display and one persistent wineserver, so that every Windows program started during a
# test run shares them and starts quickly.
#   scripts/testbed.sh start   # idempotent; prints nothing but errors
#   scripts/testbed.sh stop
#   scripts/testbed.sh env     # prints the environment as shell exports
set -euo pipefail
trap 'code=$?; echo "testbed: failed at line $LINENO: $BASH_COMMAND (exit status $code)" >&2; exit $code' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
bed=$build/wine
mkdir -p "$bed"

export WINEPREFIX=$bed/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mshtml=d;winemenubuilder.exe=d"
export WINELOADER=/usr/lib/wine/wine64
# PulseAudio (when the tests start it) lives here; Wine must look in the same place.
export XDG_RUNTIME_DIR=$bed/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

display_alive() {
    [ -f "$bed/display" ] && [ -f "$bed/xvfb.pid" ] && kill -0 "$(cat "$bed/xvfb.pid")" 2>/dev/null
}

start_display() {
    if display_alive; then return; fi
    local n=90
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$bed/xvfb.log" 2>&1 &
    echo $! >"$bed/xvfb.pid"
    echo ":$n" >"$bed/display"
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X${n}" ] && break
        sleep 0.1
    done
    if ! kill -0 "$(cat "$bed/xvfb.pid")" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X${n}" ]; then
        fail "Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp" "$bed/xvfb.log"
    fi
}

# Names the command that failed and shows its log, then ends the script.
fail() { # command, log file
    echo "testbed: '$1' failed; its log ($2):" >&2
    cat "$2" >&2 2>/dev/null || echo "(no log)" >&2
    rm -f "$bed/xvfb.pid" "$bed/display"
    exit 1
}

make_prefix() {
    # The marker names the version of the prefix's settings; a change below bumps it.
    if [ -f "$WINEPREFIX/.noravel-ready-2" ]; then return; fi
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

; Without a window manager, Wine waits for one on every managed top-level window that
; is hidden or destroyed; unmanaged windows close at once.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
    wine regedit "$bed/fonts.reg" >"$bed/regedit.log" 2>&1 || fail "wine regedit $bed/fonts.reg" "$bed/regedit.log"
    wineserver -w
    touch "$WINEPREFIX/.noravel-ready-2"
}

write_env() {
    cat >"$bed/env" <<ENV
export WINEPREFIX='$WINEPREFIX'
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export WINELOADER=/usr/lib/wine/wine64
export XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR'
export DISPLAY='$(cat "$bed/display")'
ENV
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
    ;;
env)
    cat "$bed/env"
    ;;
*)
    echo "usage: $0 start|stop|env" >&2
    exit 2
    ;;
esac
