#!/usr/bin/env bash
# The player pad opened from the setting editor's Z button while the sound
# plays: stripes outside the area, the mode button, a click that plays a
# long extra tone, the Digital Volume slider moved by mouse (arrow, trough,
# thumb), help, "&OK", and Escape. The extra tone and the quieter soundscape
# must be heard on the null sink (when PulseAudio can run here).
#   tests/gui/pad_window.sh EDITOR_WINDOW BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_pad

pulse_start

gui_lsan
editor_scale_start
sleep 1
record_for "$work/a.raw" 3

click_until "$wid" 344 250 'hook: pad shown'               # &Z
expect 'hook: pad label4="24 dB"'
pw=$(xdotool search --sync --name '^Wave Tessellon Player$' | head -1)
[ -n "$pw" ] || fail "no pad window"
xdotool mousemove --window "$pw" 270 230 click 1           # beside the area: stripes
sleep 0.3
window_shot "$pw" 540 288 "$shot"

# Env -> Panning -> Volume -> Length: the click's x is the tone's length.
for m in Panning Volume Length; do click_until "$pw" 340 264 "hook: pad env=\"&$m\""; done
expect 'hook: pad label1="(8)"'
# Row 26 of the area: note 38 (294) twice, decay only (the envelope split is 0).
click_until "$pw" 250 262 'hook: pad played="1"'
grep -q 'hook: pad label1="(250)"' "$out" && fail "the play mode kept the click's length"
record_for "$work/b.raw" 3

# The Digital Volume slider (x 450..469, arrows 20 pixels, 100 pixels of
# track for 0..6) by mouse: the up arrow, the trough above the thumb, then
# the thumb dragged to the top. Each takes a step the pad reports.
xdotool mousemove --window "$pw" 460 50 click 1              # arrow: 4 -> 3
expect 'hook: pad label4="18 dB"'
xdotool mousemove --window "$pw" 460 75 click 1              # trough: 3 -> 2
expect 'hook: pad label4="12 dB"'
xdotool mousemove --window "$pw" 460 103 mousedown 1 mousemove --window "$pw" 460 80 \
  mousemove --window "$pw" 460 50 mouseup 1                  # thumb: 2 -> 0
expect 'hook: pad label4="0 dB"'
expect 'hook: pad pos4="0"'
grep -q 'hook: pad played="2"' "$out" && fail "a click on the slider played a tone"
sleep 4  # the voices sounding already and the buffers on their way
record_for "$work/c.raw" 2

xdotool mousemove --window "$pw" 100 100 keydown shift click 1 keyup shift
expect 'hook: message caption="Player Area" text="By clicking in the player area'
close_box 'Player Area'
click_to "$pw" 460 264 'hook: pad closed'                  # &OK

if [ $pulse -eq 1 ]; then
  # The tone sounds at 8 * 588 * 5512 / 65536 Hz (row 0 plays the pitch
  # unscaled; the set's rate is 5512 Hz).
  tone_grew "$work/a.raw" "$work/b.raw" "$(python3 -c 'print(8 * 588 * 5512 / 65536)')" ||
    fail "the extra tone was not heard"
  # 24 dB less digital volume: the soundscape is far quieter.
  python3 - "$work/a.raw" "$work/c.raw" <<'PY' || fail "the Digital Volume slider was not heard"
import struct, sys
def rms(f):
    d = open(f, 'rb').read()
    s = struct.unpack('<%dh' % (len(d) // 2), d[:len(d) // 2 * 2])
    return (sum(x * x for x in s) / max(len(s), 1)) ** 0.5
a, c = rms(sys.argv[1]), rms(sys.argv[2])
print("soundscape rms %.1f at 24 dB, %.1f at 0 dB" % (a, c))
sys.exit(0 if a > 100 and c * 4 < a else 1)
PY
fi

# Escape closes the pad as "&OK" does.
click_until "$wid" 344 250 'hook: pad shown'
pw=$(xdotool search --sync --onlyvisible --name '^Wave Tessellon Player$' | head -1)
keys_to "$pw" Escape
expect_more 'hook: pad closed' 1

editor_stop_exit
echo "player pad window test passed"
