#!/usr/bin/env bash
# Plays through a private PulseAudio daemon and checks what reaches the sink.
#   scripts/pulse-test.sh TESSELLON PCM_MATCH
# Starts a daemon with its own runtime folder and home (exit-idle off) and a
# null sink at the rate and format of the played set, records the sink's
# monitor with parec while `tessellon play` runs for a few seconds, and
# compares the recording with `tessellon render` of the same setting: the
# rendered samples must appear bit for bit, in order, across the buffer seams.
# A recording made with play --record must equal render too, after SIGTERM
# and after SIGKILL. Then, with the daemon frozen (SIGSTOP) while play runs,
# SIGINT and SIGTERM must still end play within 3 s with status 0 and its
# report printed. Last, the daemon is killed while play runs: play must say
# the device was lost and exit 1 within 2 s.
# The daemon is stopped afterwards, also on failure (thawed first).
# Exit 0 pass, 1 fail, 77 skip (PulseAudio cannot start here).
set -uo pipefail

prog=${1:?usage: pulse-test.sh TESSELLON PCM_MATCH}
match=${2:?usage: pulse-test.sh TESSELLON PCM_MATCH}
skip=77

# Set 4 of the built-in default setting plays at 11025 Hz with Volume 0
# (samples unchanged), so the sink runs at the stream's own rate and format.
rate=11025
engine=(--algorithm 0 --set 4 --voices 8 --buffer-kb 32)
frames=7936      # frames per 32 KiB buffer
seconds=4

. "$(dirname "$0")/pulse-daemon.sh"
pulse_need pulse-test pulseaudio parec pactl
pulse_test_begin

pulse_daemon $rate 2 "$work/pulse.log"
case $? in
    1) echo "pulse-test: the PulseAudio daemon does not start here; skipped"
       tail -5 "$work/pulse.log" 2>/dev/null
       exit $skip ;;
    2) echo "pulse-test: the PulseAudio daemon does not answer; skipped"
       exit $skip ;;
esac

"$prog" render "${engine[@]}" --buffers 12 --raw -o "$work/ref.raw" >/dev/null || { echo "pulse-test: render failed"; exit 1; }

parec -d testsink.monitor --format=s16le --rate=$rate --channels=2 --latency-msec=20 >"$work/rec.raw" &
rec_pid=$!
# A null sink that nobody read runs in blocks of 2 s; it takes the
# recorder's short blocks only once the block it is in has run out.
sleep 2.5
# In the sanitizer build: the sound libraries' process-lifetime data are no leak of ours.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/tools/lsan-sound.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio "$prog" play "${engine[@]}" --seconds $seconds
rc=$?
sleep 0.5
kill "$rec_pid" 2>/dev/null
wait "$rec_pid" 2>/dev/null
rec_pid=
if [ $rc -ne 0 ]; then
    echo "pulse-test: tessellon play ended with status $rc"
    exit 1
fi
# At least four whole buffers (three seams) must have reached the sink intact.
"$match" "$work/ref.raw" "$work/rec.raw" $((4 * frames)) || exit 1

# Without --seconds it plays until a signal, then stops cleanly with status 0.
PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio "$prog" play "${engine[@]}" >"$work/term.out" 2>&1 &
play_pid=$!
# Its CPU time (clock ticks of user and system time) over 3 s of steady
# play: waiting for the sound card must sleep, not spin.
sleep 1
t1=$(awk '{print $14 + $15}' "/proc/$play_pid/stat")
sleep 3
t2=$(awk '{print $14 + $15}' "/proc/$play_pid/stat")
ms=$(( (t2 - t1) * 1000 / $(getconf CLK_TCK) ))
echo "pulse-test: 3 s of play without --seconds used $ms ms of CPU"
[ "$ms" -lt 300 ] || { echo "pulse-test: play spins while it waits"; exit 1; }
kill -TERM "$play_pid"
wait "$play_pid"
rc=$?
play_pid=
if [ $rc -ne 0 ]; then
    echo "pulse-test: tessellon play ended with status $rc after SIGTERM"
    cat "$work/term.out"
    exit 1
fi
echo "pulse-test: SIGTERM ended tessellon play with status 0"

# play --record: a recording of what is played, equal to render. Finished on
# SIGTERM; killed with SIGKILL it is still a valid WAV file holding every
# buffer written so far.
"$prog" render "${engine[@]}" --buffers 40 --raw -o "$work/ref40.raw" >/dev/null || { echo "pulse-test: render failed"; exit 1; }
check_record() {  # FILE WHAT
    local f=$1 what=$2
    if command -v sox >/dev/null; then
        sox "$f" -t raw "$work/rec-data.raw" 2>"$work/sox.err" || { echo "pulse-test: sox cannot read the $what recording"; cat "$work/sox.err"; exit 1; }
        [ -s "$work/sox.err" ] && { echo "pulse-test: sox warns about the $what recording:"; cat "$work/sox.err"; exit 1; }
    else
        tail -c +45 "$f" >"$work/rec-data.raw"
    fi
    local n=$(stat -c %s "$work/rec-data.raw")
    local size=$(( $(stat -c %s "$f") - 44 ))
    [ "$n" -eq "$size" ] || { echo "pulse-test: the $what recording's header tells $n bytes, the file holds $size"; exit 1; }
    [ $((n % (frames * 4))) -eq 0 ] && [ "$n" -gt 0 ] || { echo "pulse-test: the $what recording holds $n bytes, not whole buffers"; exit 1; }
    cmp -n "$n" "$work/rec-data.raw" "$work/ref40.raw" >/dev/null || { echo "pulse-test: the $what recording differs from render"; exit 1; }
    echo "pulse-test: the $what recording holds $((n / frames / 4)) buffers equal to render"
}
for sig in TERM KILL; do
    rm -f "$work/take.wav"
    PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio "$prog" play "${engine[@]}" --record "$work/take.wav" >"$work/rec.out" 2>&1 &
    play_pid=$!
    for _ in $(seq 100); do grep -q 'started at' "$work/rec.out" && break; sleep 0.1; done
    sleep 2.5
    kill -"$sig" "$play_pid"
    wait "$play_pid"
    rc=$?
    play_pid=
    if [ "$sig" = TERM ] && [ $rc -ne 0 ]; then echo "pulse-test: play --record ended with $rc"; cat "$work/rec.out"; exit 1; fi
    check_record "$work/take.wav" "SIG$sig"
done

# A frozen sound server: SDL's audio thread blocks in it, and closing the
# stream would wait for that thread for as long as the server stays frozen.
daemon_pid=$(pulse_daemon_pid)
if [ -z "$daemon_pid" ] || ! kill -0 "$daemon_pid" 2>/dev/null; then
    echo "pulse-test: no pid of the PulseAudio daemon"
    exit 1
fi
ms_now() { echo $(( $(date +%s%N) / 1000000 )); }
for sig in INT TERM; do
    PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio "$prog" play "${engine[@]}" >"$work/frozen.out" 2>&1 &
    play_pid=$!
    for _ in $(seq 100); do grep -q 'started at' "$work/frozen.out" && break; sleep 0.1; done
    grep -q 'started at' "$work/frozen.out" || { echo "pulse-test: play did not start"; cat "$work/frozen.out"; exit 1; }
    sleep 1
    kill -STOP "$daemon_pid"
    sleep 0.5
    [ "$(ps -o state= -p "$daemon_pid" | tr -d ' ')" = T ] || { echo "pulse-test: the daemon did not stop"; exit 1; }
    t0=$(ms_now)
    kill -"$sig" "$play_pid"
    for _ in $(seq 30); do kill -0 "$play_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$play_pid" 2>/dev/null; then
        echo "pulse-test: tessellon play still runs 3 s after SIG$sig with the sound server frozen"
        exit 1
    fi
    wait "$play_pid"
    rc=$?
    took=$(( $(ms_now) - t0 ))
    play_pid=
    kill -CONT "$daemon_pid"
    if [ $rc -ne 0 ]; then
        echo "pulse-test: tessellon play ended with status $rc after SIG$sig with the sound server frozen"
        cat "$work/frozen.out"
        exit 1
    fi
    grep -q '^played ' "$work/frozen.out" || { echo "pulse-test: no report after SIG$sig"; cat "$work/frozen.out"; exit 1; }
    echo "pulse-test: SIG$sig ended tessellon play in $took ms with the sound server frozen, status 0"
done

# The sound server goes away in the middle of play: play notices within 2 s,
# says so and exits 1 (it does not go on "playing" into nothing).
PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio "$prog" play "${engine[@]}" >"$work/lost.out" 2>&1 &
play_pid=$!
for _ in $(seq 100); do grep -q 'started at' "$work/lost.out" && break; sleep 0.1; done
grep -q 'started at' "$work/lost.out" || { echo "pulse-test: play did not start"; cat "$work/lost.out"; exit 1; }
sleep 1
t0=$(ms_now)
kill -9 "$daemon_pid"
daemon_pid=
for _ in $(seq 40); do kill -0 "$play_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$play_pid" 2>/dev/null; then
    echo "pulse-test: tessellon play still runs 2 s after the sound server went away"
    exit 1
fi
wait "$play_pid"
rc=$?
took=$(( $(ms_now) - t0 ))
play_pid=
if [ $rc -ne 1 ] || ! grep -q 'sound device was lost' "$work/lost.out"; then
    echo "pulse-test: play ended with status $rc when the sound server went away:"
    cat "$work/lost.out"
    exit 1
fi
echo "pulse-test: play noticed the lost sound server in $took ms and exited 1"
