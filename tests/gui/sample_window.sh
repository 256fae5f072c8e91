#!/usr/bin/env bash
# "Record Sample" and "Test Sample" in the main window, through real X
# events. With PulseAudio here, the null sink's monitor is the default input
# and known noise plays into the sink: the recording fills the whole sample
# buffer (32696 bytes at the output rate of 11025 Hz); while it waits the
# window is drawn (a screenshot, gui_sample_wait.png in the build folder),
# takes no input (a click on the calculator icon is ignored) and the program
# sleeps (its CPU time is measured). Test Sample then plays the sample for
# its length, and Exit asks about the unsaved sample. Without PulseAudio, the
# missing input device is said in a message box.
#   tests/gui/sample_window.sh TESSELLON BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_sample
play_pid=
cleanup() {
  if [ -n "$play_pid" ]; then kill "$play_pid" 2>/dev/null || true; fi
  gui_cleanup
}
trap cleanup EXIT
ms_now() { echo $(( $(date +%s%N) / 1000000 )); }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

pulse_start
gui_lsan
if [ $pulse -eq 1 ]; then
  pactl set-default-source testsink.monitor || fail "cannot make the monitor the default input"
  "$build/tests/capture_match" gen "$work/noise.raw" 400000 || fail "no noise"
  pacat -d testsink --format=s16le --rate=11025 --channels=2 <"$work/noise.raw" &
  play_pid=$!
fi

TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect 'hook: main-window shown'
wid=$(window_named '^WVTESSEL$')

if [ $pulse -ne 1 ]; then
  xdotool mousemove --window "$wid" 220 80 click 1
  expect 'hook: message caption="wave recorder checking ..." text="wave input device not available"'
  box=$(window_named '^wave recorder checking ...$')
  keys_to "$box" Return
  echo "sample window test passed (no PulseAudio: the missing input was told)"
  exit 0
fi

# Record Sample (toolbar slot 7).
t0=$(ms_now)
xdotool mousemove --window "$wid" 220 80 click 1
expect 'hook: sample busy'
c1=$(cpu_ticks)
sleep 0.3
xdotool mousemove --window "$wid" 115 80 click 1     # the calculator: ignored while recording
import -window "$wid" "$build/gui_sample_wait.png"
[ -s "$build/gui_sample_wait.png" ] || fail "no screenshot while recording"
sleep 0.3
c2=$(cpu_ticks)
expect 'hook: sample idle'
took=$(( $(ms_now) - t0 ))
expect 'hook: sample loaded=1 unsaved=1 bytes=32696 rate=11025'
cpu=$(( (c2 - c1) * 1000 / $(getconf CLK_TCK) ))
echo "Record Sample took $took ms; $cpu ms of CPU in 0.6 s of its wait (a screenshot included)"
[ "$cpu" -lt 300 ] || fail "the wait for the recording spins ($cpu ms of CPU in 0.6 s)"
sleep 0.5
grep -q 'hook: calc' "$out" && fail "a click during the recording opened the calculator"
kill "$play_pid" 2>/dev/null; play_pid=

# Test Sample (toolbar slot 5): about 1.5 s of sound (16348 words at 11025 Hz).
n=$(grep -c 'hook: sample idle' "$out")
t0=$(ms_now)
xdotool mousemove --window "$wid" 150 80 click 1
for _ in $(seq 1 100); do [ "$(grep -c 'hook: sample idle' "$out")" -gt "$n" ] && break; sleep 0.05; done
took=$(( $(ms_now) - t0 ))
[ "$(grep -c 'hook: sample idle' "$out")" -gt "$n" ] || fail "Test Sample did not end"
echo "Test Sample took $took ms"
[ "$took" -ge 1300 ] || fail "Test Sample ended after $took ms, before the sample could have played"

# Exit asks about the recorded sample, not with the thank-you box.
xdotool mousemove --window "$wid" 80 80 click 1
expect 'You recorded a sample, but you did'
grep -q 'Thank you' "$out" && fail "the thank-you box came with an unsaved sample"
box=$(window_named '^WAVE TESSELLON TERMINATING$')
keys_to "$box" Return
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Yes did not end the program"
wait "$pid"; rc=$?
pid=
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "sample window test passed"
