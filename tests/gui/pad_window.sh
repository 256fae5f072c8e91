#!/usr/bin/env bash
# The player pad opened from the setting editor's Z button while the sound
# plays: stripes outside the area, the mode button, a click that plays a
# long extra tone, help, "&OK". The extra tone must be heard on the null sink
# (when PulseAudio can run here) over the soundscape that goes on.
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

xdotool mousemove --window "$pw" 100 100 keydown shift click 1 keyup shift
expect 'hook: message caption="Player Area" text="By clicking in the player area'
close_box 'Player Area'
click_to "$pw" 460 264 'hook: pad closed'                  # &OK

if [ $pulse -eq 1 ]; then
  # The tone sounds at 8 * 588 * 5512 / 65536 Hz (row 0 plays the pitch
  # unscaled; the set's rate is 5512 Hz).
  tone_grew "$work/a.raw" "$work/b.raw" "$(python3 -c 'print(8 * 588 * 5512 / 65536)')" ||
    fail "the extra tone was not heard"
fi

editor_stop_exit
echo "player pad window test passed"
