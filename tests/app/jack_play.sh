#!/usr/bin/env bash
# play --jack against a private JACK server (jackd -d dummy at 48 kHz):
# - without a server, play says so and exits 1;
# - the ports go to the system's playback ports, or nowhere with
#   --jack-no-connect;
# - what the ports carry, recorded by a JACK client, equals `render
#   --out-rate 48000` of the same setting bit for bit, from wherever the
#   recording's first sound lies in the render (the recorder connects once
#   the ports exist, so its start is found by search), for 3 s, across the
#   buffer seams, and then silence; its MIDI port carries what
#   `render --midi` writes, at the same frames;
# - a server that does not answer is given up with a message;
# - stopping the server ends play with status 1 and a message within 2 s
#   (SIGTERM: a server killed outright would leave its entry in the
#   machine's JACK registry, which holds only a few).
#   jack_play.sh TESSELLON JACK_RECORD
# Exit 0 pass, 1 fail, 77 skip (no jackd here).
set -uo pipefail

prog=${1:?usage: jack_play.sh TESSELLON JACK_RECORD}
recorder=${2:?usage: jack_play.sh TESSELLON JACK_RECORD}
command -v jackd >/dev/null || { echo "jack_play: jackd is not installed; skipped"; exit 77; }

work=$(mktemp -d)
# In the sanitizer build: the sound libraries' process-lifetime data are no leak of ours.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/../.." && pwd)/tests/tools/lsan-sound.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export JACK_DEFAULT_SERVER=tess-play-$$
jack_pid=
play_pid=
. "$(dirname "$0")/../tools/stop.sh"
cleanup() {
    stop_process "$play_pid"
    stop_process "$jack_pid"
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "jack_play: $*"; exit 1; }

# Set 4 of the default setting: 11025 Hz at Volume 0 (samples unchanged).
engine=(--algorithm 0 --set 4 --voices 8 --buffer-kb 32)

"$prog" play --jack-no-connect --seconds 1 >/dev/null 2>&1
[ $? -eq 2 ] || fail "--jack-no-connect without --jack is no usage error"
"$prog" play --jack "${engine[@]}" --seconds 1 >/dev/null 2>"$work/none.err"
rc=$?
[ $rc -eq 1 ] && grep -q "no JACK server '$JACK_DEFAULT_SERVER' is running" "$work/none.err" ||
    fail "without a server: status $rc, $(cat "$work/none.err")"

jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
jack_pid=$!
for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
jack_lsp 2>/dev/null | grep -q system:playback_1 || fail "jackd did not start: $(tail -3 "$work/jackd.log")"

"$prog" render "${engine[@]}" --out-rate 48000 --buffers 20 --raw -o "$work/ref.raw" >/dev/null 2>&1 ||
    fail "render failed"
"$prog" render "${engine[@]}" --buffers 20 --midi "$work/ref.mid" >/dev/null 2>&1 || fail "render --midi failed"

"$recorder" record tessellon 6 "$work/rec.raw" "$work/rec.midi" &
rec_pid=$!
# The longest latency the buffer allows rides out a busy machine.
"$prog" play --jack --midi "${engine[@]}" --latency 2000 --seconds 4 >"$work/play.out" 2>"$work/play.err" &
play_pid=$!
sleep 2
links=$(jack_lsp -c 2>/dev/null)
wait "$play_pid"
rc=$?
play_pid=
wait "$rec_pid" || fail "the recorder failed"
[ $rc -eq 0 ] || fail "play --jack ended with status $rc: $(cat "$work/play.err")"
cat "$work/play.out"
echo "$links" | grep -A2 '^tessellon:out_left' | grep -q 'system:playback_1' ||
    fail "out_left is not connected to system:playback_1"
echo "$links" | grep -A2 '^tessellon:out_right' | grep -q 'system:playback_2' ||
    fail "out_right is not connected to system:playback_2"
# 3 s at 48 kHz: some ten buffers, their seams included.
"$recorder" match "$work/ref.raw" "$work/rec.raw" 144000 || fail "the recording differs from the render"
# The MIDI port carries the MIDI file's messages at its frames (11025 Hz
# there, 48 kHz here), from wherever the recording begins.
/usr/bin/python3 "$(dirname "$0")/jack_midi_match.py" "$work/ref.mid" "$work/rec.midi" 48000 11025 20 ||
    fail "the MIDI port's messages differ from render --midi"
grep -q 'ALSA\|no MIDI output' "$work/play.err" && fail "play --jack --midi turned to ALSA: $(cat "$work/play.err")"

# A server that does not answer (stopped) is given up after 2 s.
kill -STOP "$jack_pid"
timeout 10 "$prog" play --jack "${engine[@]}" --seconds 1 >/dev/null 2>"$work/frozen.err"
rc=$?
kill -CONT "$jack_pid"
[ $rc -eq 1 ] && grep -q "JACK server '$JACK_DEFAULT_SERVER' does not answer" "$work/frozen.err" ||
    fail "with the server stopped: status $rc, $(cat "$work/frozen.err")"

# Unconnected on request; then the server goes away under play.
"$prog" play --jack --jack-no-connect "${engine[@]}" >"$work/lost.out" 2>"$work/lost.err" &
play_pid=$!
sleep 1.5
ports=$(jack_lsp -c tessellon:out_left 2>/dev/null)
[ "$ports" = "tessellon:out_left" ] || fail "--jack-no-connect connected: $ports"
stop_process "$jack_pid"
jack_pid=
for _ in $(seq 20); do kill -0 "$play_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$play_pid" 2>/dev/null && fail "play goes on 2 s after the server went away"
wait "$play_pid"
rc=$?
play_pid=
[ $rc -eq 1 ] || fail "play ended with status $rc after the server went away"
grep -q "the sound device was lost" "$work/lost.err" || fail "no message: $(cat "$work/lost.err")"
echo "jack_play: passed"
