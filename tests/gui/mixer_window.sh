#!/usr/bin/env bash
# Multiple play with a filled bank: Pause opens the quad track mixer while
# the sound plays; muting both playing tracks there silences the null sink
# (when PulseAudio can run here) after their tones have died away; help and
# "&OK".
#   tests/gui/mixer_window.sh EDITOR_WINDOW BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_mixer

pulse_start

gui_lsan
TESS_BANK=1 TESSELLON_TEST_HOOK=1 "$prog" 21 main.rov >"$out" 2>&1 &
pid=$!
expect 'hook: editor shown'
# Multiple play names the editor after the active setting's own algorithm.
wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning \(main\.rov\)$' | head -1)
[ -n "$wid" ] || fail "no editor window"

xdotool mousemove --window "$wid" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
sleep 1
record_for "$work/a.raw" 3

click_until "$wid" 494 247 'hook: mixer shown'             # Pa&use
expect 'hook: mixer track1="main.rov, setting 0"'
grep -q 'hook: tips mixer missing=0' "$out" || fail "controls without a tooltip"
expect 'hook: mixer track2="bank.rov, setting 0"'
expect 'hook: mixer enabled3="0"'                          # a start-up bank: the loop algorithm
expect 'hook: mixer db1="24 dB"'
mw=$(xdotool search --sync --name '^Quad Track Player Mixer$' | head -1)
[ -n "$mw" ] || fail "no mixer window"
window_shot "$mw" 322 328 "$shot"

click_until "$mw" 30 66 'hook: mixer mute1="1"'            # Mute 1: the active setting
click_until "$mw" 30 118 'hook: mixer mute2="1"'           # Mute 2: the bank

xdotool mousemove --window "$mw" 60 309 click 1            # &Help
expect 'hook: message caption="Mixer" text="- Mute stops resp. restarts a track.'
close_box Mixer
# Key 5 moves the focus to track 1's scroll bar, which the arrows then move;
# Escape leaves the mixer open.
n=$(grep -c 'hook: mixer db1=' "$out")
keys_to "$mw" 5 Right
expect_more 'hook: mixer db1=' "$n"
keys_to "$mw" Escape
sleep 0.5
grep -q 'hook: mixer closed' "$out" && fail "Escape closed the mixer"
click_to "$mw" 252 309 'hook: mixer closed'                # &OK

if [ $pulse -eq 1 ]; then
  sleep 6   # the sounding tones end with their envelopes
  record_for "$work/b.raw" 3
  python3 - "$work/a.raw" "$work/b.raw" <<'PY' || fail "muting the tracks was not heard"
import struct, sys
def loud(path):
    d = open(path, 'rb').read()
    n = len(d) // 2
    s = struct.unpack('<%dh' % n, d[:2 * n])
    return n, sum(1 for x in s if abs(x) > 100)
(na, la), (nb, lb) = loud(sys.argv[1]), loud(sys.argv[2])
print("null sink: before %d of %d samples above 100, after muting %d of %d" % (la, na, lb, nb))
sys.exit(0 if na > 11025 * 4 and nb > 11025 * 4 and la > na // 4 and lb < nb // 100 else 1)
PY
fi

editor_stop_exit
echo "mixer window test passed"
