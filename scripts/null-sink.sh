# Sourced by the sound tests: starts a PulseAudio server with a null sink named "nul" that
# consumes sound in real time, unless one already answers. Sets pulse_pid to the server it
# started (empty when one was running); the caller stops it. Its log goes to $1.
# The server runs ahead of other work, as a desktop's sound service does: starved of the
# processor by a busy machine it would drop and repeat sound that was played whole.
start_null_sink() { # log file
    pulse_pid=
    pulseaudio --check 2>/dev/null && return 0
    nice -n -15 pulseaudio --daemonize=no --exit-idle-time=-1 -n --load="module-null-sink sink_name=nul" \
        --load=module-native-protocol-unix --load=module-always-sink >"$1" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 1 50); do pulseaudio --check 2>/dev/null && break; sleep 0.1; done
}
