# Sourced by the sound tests: a private PulseAudio daemon with a null sink
# "testsink", in a folder of the test's own.

# Test $1 needs the programs $2...: a missing one skips it (status 77).
pulse_need() {
    local test=$1 tool
    shift
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "$test: $tool is not installed (scripts/install-deps.sh installs it); skipped"
            exit 77
        fi
    done
}

# A private folder $work for a test that plays ($play_pid) and records
# ($rec_pid) through its own daemon ($daemon_pid, maybe frozen). On exit,
# and on INT, TERM and HUP, the daemon is thawed and stopped, the two
# processes are killed and the folder is removed.
pulse_test_begin() {
    work=$(mktemp -d)
    pulse_private "$work"
    play_pid= rec_pid= daemon_pid=
    trap pulse_test_end EXIT
    trap 'exit 1' INT TERM HUP
}
pulse_test_end() {
    [ -n "$daemon_pid" ] && kill -CONT "$daemon_pid" 2>/dev/null
    [ -n "$play_pid" ] && kill -9 "$play_pid" 2>/dev/null && wait "$play_pid" 2>/dev/null
    [ -n "$rec_pid" ] && kill -9 "$rec_pid" 2>/dev/null && wait "$rec_pid" 2>/dev/null
    pulse_daemon_stop
    rm -rf "$work"
}

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
