#!/usr/bin/env bash
# The silence between ayat of a continuous per-ayah reading, with real sound: a PulseAudio
# server with a null sink (started here unless one already runs in the test bed's runtime
# folder), a recording of the sink's monitor (16-bit mono at 44.1 kHz) and the recitation
# tests' RealSound cases, which play the tones through the real zemplay and read the
# recording back.
#   recitation_gap_sound.sh <win_recitation_test.exe> <zemplay.exe> <tone folder> <build root>
set -uo pipefail
tests=$1 zemplay=$2 tones=$3 build=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
NORAVEL_BUILD_ROOT=$build "$root/scripts/testbed.sh" start
. "$build/wine/env"
work=$(mktemp -d)
pulse_pid= recorder_pid=
cleanup() {
    [ -n "$recorder_pid" ] && kill "$recorder_pid" 2>/dev/null
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
. "$root/scripts/null-sink.sh"
start_null_sink "$work/pulse.log"
# The recorder runs ahead of other work too, so that it records what the output played.
nice -n -15 parec -d nul.monitor --format=s16le --rate=44100 --channels=1 --latency-msec=10 \
    >"$work/monitor.raw" 2>"$work/parec.log" &
recorder_pid=$!
for _ in $(seq 1 50); do [ -s "$work/monitor.raw" ] && break; sleep 0.1; done
if [ ! -s "$work/monitor.raw" ]; then
    echo "FAIL nothing was recorded from nul.monitor:"
    cat "$work/parec.log" "$work/pulse.log" 2>/dev/null
    exit 1
fi
NORAVEL_REAL_PLAYER=$(winepath -w "$zemplay" 2>/dev/null) \
    NORAVEL_GAP_TONES=$(winepath -w "$tones" 2>/dev/null) \
    NORAVEL_SOUND_MONITOR=$(winepath -w "$work/monitor.raw" 2>/dev/null) \
    /usr/lib/wine/wine64 "$tests" --gtest_filter='RealSound.*' >"$work/test.log" 2>&1
code=$?
cat "$work/test.log"
# A run that skipped (no sound output reached) is no pass.
if [ $code -eq 0 ] && ! grep -q '^\[       OK \] RealSound' "$work/test.log"; then
    echo "FAIL the RealSound cases did not run"
    exit 1
fi
exit $code
