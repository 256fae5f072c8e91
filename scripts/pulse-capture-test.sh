#!/usr/bin/env bash
# Records a sample through a private PulseAudio daemon and checks it.
#   scripts/pulse-capture-test.sh TESSELLON CAPTURE_MATCH
# A null sink runs at 22050 Hz, 16-bit mono, the recording's own format, so
# nothing is converted on the way. Known noise plays into the sink with pacat
# while `tessellon sample record` records from the sink's monitor (made the
# default input): every recorded frame must equal the
# played frame at one fixed distance, bit for bit (tried again only when the
# player itself ran dry), and the WAV header must tell the rate and the size. Then, with the daemon frozen (SIGSTOP) during
# a recording, the command must give up with status 1 and write no file; and
# SIGINT during a recording must end it with status 1 and no file.
# The daemon is stopped afterwards, also on failure (thawed first).
# Exit 0 pass, 1 fail, 77 skip (PulseAudio cannot start here).
set -uo pipefail

prog=${1:?usage: pulse-capture-test.sh TESSELLON CAPTURE_MATCH}
match=${2:?usage: pulse-capture-test.sh TESSELLON CAPTURE_MATCH}
skip=77
rate=22050

. "$(dirname "$0")/pulse-daemon.sh"
pulse_need pulse-capture-test pulseaudio pacat pactl
pulse_test_begin
export SDL_AUDIODRIVER=pulseaudio

pulse_daemon $rate 1 "$work/pulse.log"
case $? in
    1) echo "pulse-capture-test: the PulseAudio daemon does not start here; skipped"
       tail -5 "$work/pulse.log" 2>/dev/null
       exit $skip ;;
    2) echo "pulse-capture-test: the PulseAudio daemon does not answer; skipped"
       exit $skip ;;
esac
daemon_pid=$(pulse_daemon_pid)
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/tools/lsan-sound.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# The sink's monitor as the default input (SDL does not offer monitors as
# numbered devices, so the recording takes the default input).
pactl set-default-source testsink.monitor || { echo "pulse-capture-test: cannot make the monitor the default input"; exit 1; }
"$prog" devices >"$work/devices.txt" 2>&1 || { echo "pulse-capture-test: tessellon devices failed"; cat "$work/devices.txt"; exit 1; }
grep -q '^input mapper: ' "$work/devices.txt" || { echo "pulse-capture-test: tessellon devices lists no inputs"; cat "$work/devices.txt"; exit 1; }

# 12 s of known noise; the recording of 2 s starts 1.5 s into it. pacat
# keeps 400 ms queued in the server and says (verbose) when its stream ran
# dry: the sink then played silence, the recording holds a gap that no
# recorder could avoid, and the recording is tried again (3 tries at most).
# A mismatch without such an underrun fails at once.
"$match" gen "$work/played.raw" $((12 * rate)) || { echo "pulse-capture-test: capture_match gen failed"; exit 1; }
for try in 1 2 3; do
    pacat -v -d testsink --format=s16le --rate=$rate --channels=1 --latency-msec=400 \
        <"$work/played.raw" 2>"$work/pacat.log" &
    play_pid=$!
    sleep 1.5
    t0=$(date +%s%N)
    "$prog" sample record --seconds 2 "$work/rec.wav" >"$work/rec.out" 2>&1
    rc=$?
    ms=$(( ($(date +%s%N) - t0) / 1000000 ))
    cat "$work/rec.out"
    [ $rc -eq 0 ] || { echo "pulse-capture-test: sample record ended with status $rc"; exit 1; }
    echo "pulse-capture-test: 2 s recorded in $ms ms"
    "$match" cmp "$work/played.raw" "$work/rec.wav" $rate
    same=$?
    starved=$(grep -c 'Stream underrun' "$work/pacat.log")
    kill "$play_pid" 2>/dev/null; wait "$play_pid" 2>/dev/null; play_pid=
    [ $same -eq 0 ] && break
    if [ "$starved" -eq 0 ] || [ $try -eq 3 ]; then
        [ "$starved" -eq 0 ] || echo "pulse-capture-test: the player ran dry in each of 3 tries"
        exit 1
    fi
    echo "pulse-capture-test: the player ran dry during the recording (pacat: stream underrun); trying again"
    rm -f "$work/rec.wav"
done

# The daemon frozen during a recording: the command gives up, writes nothing.
if [ -z "$daemon_pid" ] || ! kill -0 "$daemon_pid" 2>/dev/null; then
    echo "pulse-capture-test: no pid of the PulseAudio daemon"
    exit 1
fi
"$prog" sample record --seconds 5 "$work/frozen.wav" >"$work/frozen.out" 2>&1 &
rec_pid=$!
sleep 1
kill -STOP "$daemon_pid"
t0=$(date +%s%N)
for _ in $(seq 150); do kill -0 "$rec_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$rec_pid" 2>/dev/null; then
    echo "pulse-capture-test: sample record still runs 15 s after the sound server froze"
    exit 1
fi
wait "$rec_pid"
rc=$?
rec_pid=
took=$(( ($(date +%s%N) - t0) / 1000000 ))
kill -CONT "$daemon_pid"
cat "$work/frozen.out"
if [ $rc -ne 1 ] || ! grep -q 'stopped delivering' "$work/frozen.out" || [ -e "$work/frozen.wav" ]; then
    echo "pulse-capture-test: with the server frozen, sample record ended with $rc (file: $(ls "$work"/frozen.wav 2>/dev/null))"
    exit 1
fi
echo "pulse-capture-test: a frozen server ended the recording in $took ms, no file written"

# SIGINT during a recording.
"$prog" sample record --seconds 5 "$work/int.wav" >"$work/int.out" 2>&1 &
rec_pid=$!
sleep 1
kill -INT "$rec_pid"
for _ in $(seq 30); do kill -0 "$rec_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$rec_pid" 2>/dev/null && { echo "pulse-capture-test: sample record still runs 3 s after SIGINT"; exit 1; }
wait "$rec_pid"
rc=$?
rec_pid=
cat "$work/int.out"
if [ $rc -ne 1 ] || ! grep -q 'SIGINT; nothing was written' "$work/int.out" || [ -e "$work/int.wav" ]; then
    echo "pulse-capture-test: SIGINT during a recording ended it with $rc"
    exit 1
fi
echo "pulse-capture-test: passed"
