#!/usr/bin/env bash
# Plays on a busy machine and checks that every frame reaches the sink.
#   scripts/pulse-load-test.sh TESSELLON PCM_MATCH [SECONDS [BUSY [LATENCY_MS [RUNS]]]]
# Starts a private PulseAudio daemon with a null sink at the played set's
# rate, BUSY busy shell loops per processor core (default 1) at the
# player's own priority, records the sink's monitor with parec while
# `tessellon play` runs for SECONDS seconds (default 10) with --latency
# LATENCY_MS (default: play's own), and compares the recording with
# `tessellon render` of the same setting: every rendered frame up to the
# stop must be there, bit for bit and in order (100 % intact), and play
# must report no lost frames. RUNS runs (default 1) must all pass.
#
# Then the player is starved: its process is stopped (SIGSTOP) for 300 ms
# while it plays. It must report lost frames, and the recording must show a
# gap of silence amid the sound of about the length it reports: within
# 60 ms (the server's and the recorder's blocks) and half the gap (the
# count is read off the client's clock, and how long the server takes to
# refill the stream after it ran dry varies).
# PLAY_WRAP, when set, is a command that play runs under, e.g.
# "setpriv --bounding-set=-sys_nice" to play as a user whose audio thread
# may not raise its scheduling.
# Exit 0 pass, 1 fail, 77 skip (PulseAudio cannot start here).
set -uo pipefail

prog=${1:?usage: pulse-load-test.sh TESSELLON PCM_MATCH [SECONDS [BUSY [LATENCY_MS [RUNS]]]]}
match=${2:?usage: pulse-load-test.sh TESSELLON PCM_MATCH [SECONDS [BUSY [LATENCY_MS [RUNS]]]]}
seconds=${3:-10}
busy=${4:-1}
latency=${5:-}
runs=${6:-1}
skip=77

# Set 4 of the built-in default setting plays at 11025 Hz with Volume 0
# (samples unchanged), so the sink runs at the stream's own rate and format.
rate=11025
engine=(--algorithm 0 --set 4 --voices 8 --buffer-kb 32)
frames=7936      # frames per 32 KiB buffer

. "$(dirname "$0")/pulse-daemon.sh"
pulse_need pulse-load-test pulseaudio parec pactl
pulse_test_begin
load_pids=()
stop_load() {
    local p
    for p in "${load_pids[@]}"; do kill "$p" 2>/dev/null; done
    for p in "${load_pids[@]}"; do wait "$p" 2>/dev/null; done
    load_pids=()
}
trap 'stop_load; pulse_test_end' EXIT

pulse_daemon $rate 2 "$work/pulse.log"
case $? in
    1) echo "pulse-load-test: the PulseAudio daemon does not start here; skipped"; exit $skip ;;
    2) echo "pulse-load-test: the PulseAudio daemon does not answer; skipped"; exit $skip ;;
esac

nbuf=$(( seconds * rate / frames + 3 ))
"$prog" render "${engine[@]}" --buffers $nbuf --raw -o "$work/ref.raw" >/dev/null || { echo "pulse-load-test: render failed"; exit 1; }
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/tools/lsan-sound.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
lat=()
[ -n "$latency" ] && lat=(--latency "$latency")

cores=$(nproc)
for _ in $(seq $((cores * busy))); do
    sh -c 'while :; do :; done' &
    load_pids+=($!)
done
echo "pulse-load-test: $((cores * busy)) busy loops on $cores cores; play ${seconds} s, latency ${latency:-default}"

# One recorder on the sink's monitor for the whole test: a null sink that
# nobody reads runs in blocks of 2 s, and takes the recorder's short blocks
# only after the block it is in.
parec -d testsink.monitor --format=s16le --rate=$rate --channels=2 --latency-msec=20 >"$work/rec.raw" &
rec_pid=$!
sleep 2.5
# Bytes recorded so far, whole frames.
recorded() { echo $(( $(stat -c %s "$work/rec.raw") / 4 * 4 )); }

# One play of $2 seconds into the sink (stopped for 300 ms after $3 s if
# given); its part of the recording goes to $work/$1.raw. Sets $summary.
record_play() {
    local from to rc
    from=$(recorded)
    PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio ${PLAY_WRAP:-} "$prog" play "${engine[@]}" "${lat[@]}" --seconds "$2" \
        >"$work/$1.out" 2>"$work/$1.err" &
    play_pid=$!
    if [ -n "${3:-}" ]; then
        sleep "$3"
        kill -STOP "$play_pid"
        sleep 0.3
        kill -CONT "$play_pid"
    fi
    wait "$play_pid"
    rc=$?
    play_pid=
    sleep 0.6
    to=$(recorded)
    tail -c +$((from + 1)) "$work/rec.raw" | head -c $((to - from)) >"$work/$1.raw"
    summary=$(grep '^played ' "$work/$1.out")
    echo "pulse-load-test: $summary"
    if [ $rc -ne 0 ]; then
        echo "pulse-load-test: tessellon play ended with status $rc"
        cat "$work/$1.err"
        exit 1
    fi
}
lost_of() { sed -n 's/.* lost \([0-9]*\) frames.*/\1/p' <<<"$1"; }

fail=0
for run in $(seq "$runs"); do
    record_play "run$run" "$seconds"
    # Everything up to the stop, less the last half second (the stop cuts it).
    if "$match" "$work/ref.raw" "$work/run$run.raw" $(( (seconds * 2 - 1) * rate / 2 )); then
        echo "pulse-load-test: run $run: 100 % of the frames intact"
    else
        echo "pulse-load-test: run $run: frames lost or damaged under load"
        fail=1
    fi
    lost=$(lost_of "$summary")
    [ "${lost:-x}" = 0 ] || { echo "pulse-load-test: run $run: play reports $lost lost frames"; fail=1; }
done
stop_load
[ $fail -eq 0 ] || exit 1

# Starved: the player stopped for 300 ms in the middle of a buffer.
record_play starved 4 1.5
lost=$(lost_of "$summary")
if [ -z "$lost" ] || [ "$lost" -le 0 ]; then
    echo "pulse-load-test: play stopped for 300 ms reports no lost frames"
    exit 1
fi
gap=$("$match" --gap "$work/ref.raw" "$work/starved.raw") || { echo "pulse-load-test: $gap"; exit 1; }
echo "pulse-load-test: stopped 300 ms: play reports $lost lost frames, the recording shows $gap"
gap_frames=${gap%% *}
diff=$(( gap_frames > lost ? gap_frames - lost : lost - gap_frames ))
if [ $diff -gt $(( rate * 60 / 1000 + gap_frames / 2 )) ]; then
    echo "pulse-load-test: the reported loss and the gap in the recording differ by $diff frames"
    exit 1
fi
echo "pulse-load-test: the reported loss matches the gap within $diff frames"
