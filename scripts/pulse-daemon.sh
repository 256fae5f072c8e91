# Sourced by the sound tests: a private PulseAudio daemon with a null sink
# "testsink", in a folder of the test's own.

# Points PulseAudio's runtime folder and home into $1 (created), away from
# any daemon of the user's.
pulse_private() {
    export XDG_RUNTIME_DIR="$1/run" HOME="$1/home"
    mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset PULSE_SERVER PULSE_SINK PULSE_SOURCE
}

# Starts the daemon (exit-idle off) with a null sink at rate $1 with $2
# channels of 16-bit samples, logging to $3, and waits until it answers.
# Status 0 when it runs, 1 when it does not start, 2 when it does not answer.
#
# memfd is off: with it, this PulseAudio forwards the played blocks to a
# monitor's reader by a memfd reference the reader never registered, falls
# back to copying ("Cannot send block reference with non-registered memfd
# ID") and now and then delivers nothing at all to the recording.
pulse_daemon() {
    pulseaudio -n --enable-memfd=no --daemonize=yes --exit-idle-time=-1 --disallow-exit \
        --log-target=file:"$3" \
        --load="module-null-sink sink_name=testsink rate=$1 format=s16le channels=$2" \
        --load="module-native-protocol-unix" 2>/dev/null || return 1
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 2
}

# The running daemon's process id.
pulse_daemon_pid() { cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null; }

# Stops the daemon and waits (up to 5 s) until it has gone.
pulse_daemon_stop() {
    pulseaudio --kill 2>/dev/null
    for _ in $(seq 50); do pulseaudio --check 2>/dev/null || break; sleep 0.1; done
}
