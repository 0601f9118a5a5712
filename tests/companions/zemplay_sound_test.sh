#!/usr/bin/env bash
# zemplay under Wine with a real-time audio output: a PulseAudio server with a null sink
# (started here unless one already runs in the test bed's runtime folder). Checks that a
# span plays for about its length and then ends by itself, that an end of 0 plays to the
# end of the file, and that errors end the player at once with a non-zero code.
#   zemplay_sound_test.sh <zemplay.exe> <6-second mp3> <build root>
set -uo pipefail
zemplay=$1 tone=$2 build=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
NORAVEL_BUILD_ROOT=$build "$root/scripts/testbed.sh" start
. "$build/wine/env"
work=$(mktemp -d)
pulse_pid=
cleanup() {
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
. "$root/scripts/null-sink.sh"
start_null_sink "$work/pulse.log"
cp "$tone" "$work/tone.mp3"
printf 'ID3 this is not an mp3 file\n' >"$work/text.mp3"
failures=0

# play <expected code> <least seconds> <most seconds> <arguments...>
play() {
    local want=$1 least=$2 most=$3
    shift 3
    local begin end code took
    begin=$(date +%s.%N)
    /usr/lib/wine/wine64 "$zemplay" "$@"
    code=$?
    end=$(date +%s.%N)
    took=$(echo "$end - $begin" | bc)
    local verdict=ok
    if [ "$want" = nonzero ]; then [ "$code" -ne 0 ] || verdict=FAIL; else [ "$code" -eq "$want" ] || verdict=FAIL; fi
    if [ "$(echo "$took < $least || $took > $most" | bc)" = 1 ]; then verdict=FAIL; fi
    printf '%-4s zemplay %-32s exit %d after %.2f s (expected %s in %s..%s s)\n' \
        "$verdict" "$*" "$code" "$took" "$want" "$least" "$most"
    [ "$verdict" = ok ] || failures=$((failures + 1))
}

# Start-up of the player and the audio output adds about a second (up to two here).
play 0 1.9 4.0 "$work/tone.mp3" 2 4
play 0 1.9 4.0 "$work/tone.mp3" 4 0
play 0 5.9 8.0 "$work/tone.mp3" 0 0
# At 1.5x the two seconds of the span take 1.33 s (their exact length is the sound test's).
play 0 1.2 3.4 "$work/tone.mp3" 2 4 1.5
play nonzero 0 1.5 "$work/tone.mp3" 0 0 2.5
play nonzero 0 1.5 "$work/tone.mp3" 0 0 1.33
play nonzero 0 1.5 "$work/missing.mp3" 0 0
play nonzero 0 1.5 "$work/text.mp3" 0 0
play nonzero 0 1.5 "$work/tone.mp3"
# Without an audio output (no PulseAudio reachable) the player gives up at once.
XDG_RUNTIME_DIR=$work/nowhere PULSE_SERVER=unix:$work/nowhere/socket \
    play nonzero 0 3 "$work/tone.mp3" 0 0

# The player sets the reader's started event once its sound is out, and the span follows it
# (the in-process recitation tests hold the check; it needs the sound output made here).
recitation_test=$build/win/tests/win/win_recitation_test.exe
if [ -f "$recitation_test" ]; then
    if NORAVEL_REAL_PLAYER=$(winepath -w "$zemplay" 2>/dev/null) \
        NORAVEL_REAL_PLAYER_MP3=$(winepath -w "$work/tone.mp3" 2>/dev/null) \
        /usr/lib/wine/wine64 "$recitation_test" --gtest_filter='RealPlayer.*' >"$work/real.log" 2>&1 &&
        grep -q '^\[       OK \] RealPlayer' "$work/real.log"; then
        echo "ok   $(grep '^sound started' "$work/real.log")"
    else
        cat "$work/real.log"
        echo "FAIL the player's started event"
        failures=$((failures + 1))
    fi
fi
exit $((failures > 0))
