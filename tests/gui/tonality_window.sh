#!/usr/bin/env bash
# The scale editor opened from the setting editor while the sound plays:
# numbered button in edit mode, "&Init", page steps on four sliders, help,
# "&OK", Escape. The sound must go on throughout, and the changed pitch must be heard
# on the null sink (when PulseAudio can run here).
#   tests/gui/tonality_window.sh EDITOR_WINDOW BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_tonality

pulse_start

gui_lsan
editor_scale_start

# Edit mode: Tonality on, Read Setting off; then the playing scale's button 3.
click_until "$wid" 30 294 'hook: editor tonality="1"'
click_until "$wid" 110 294 'hook: editor read="0"'
click_until "$wid" 344 90 'hook: tonality shown'
grep -q 'hook: question' "$out" && fail "row 0 asked before assigning"
expect 'hook: tonality caption="Scale editing (16 pitch values)"'
grep -q 'hook: tips tonality missing=0' "$out" || fail "controls without a tooltip"
tw=$(xdotool search --sync --name '^Scale editing' | head -1)
[ -n "$tw" ] || fail "no scale editor window"
window_shot "$tw" 520 240 "$shot"

# Sixteen times f1, then record.
click_until "$tw" 60 212 'hook: tonality pos15="262"'      # &Init
sleep 2
record_for "$work/a.raw" 3

# Sliders 0 to 3: seven page steps each, from f1 to c2 (392).
for s in 0 1 2 3; do
  x=$((32 + 24 * s))
  for v in 277 294 311 330 349 370 392; do click_until "$tw" $x 130 "hook: tonality pos$s=\"$v\""; done
done
expect 'hook: tonality pos3="392"'
expect 'hook: tonality status="3 / 3 / c2 "'
sleep 2
record_for "$work/b.raw" 3

# Help of the Store button; the sound goes on meanwhile.
xdotool mousemove --window "$tw" 460 84 keydown shift click 1 keyup shift
expect 'hook: message caption="Store" text="store the current setting'
close_box Store
click_to "$tw" 476 210 'hook: tonality closed'             # &OK
expect 'hook: editor status="setting 0, scale 3"'

if [ $pulse -eq 1 ]; then
  # f1 plays at 8 * 262 * 5512 / 65536 Hz, c2 at 8 * 392 * 5512 / 65536 Hz
  # (the set's rate is 5512 Hz). The share of c2 in the sound must rise.
  tone_grew "$work/a.raw" "$work/b.raw" "$(python3 -c 'print(8 * 392 * 5512 / 65536)')" \
    --width 0.015 --steps 12 --present "$(python3 -c 'print(8 * 262 * 5512 / 65536)'):0.02" ||
    fail "the changed pitch was not heard"
fi

# Escape closes it as "&OK" does.
click_until "$wid" 344 90 'hook: tonality shown'
tw=$(xdotool search --sync --onlyvisible --name '^Scale editing' | head -1)
keys_to "$tw" Escape
expect_more 'hook: tonality closed' 1

editor_stop_exit
grep -q 'editor returned setnr=0 tonr=3' "$out" || fail "set and scale not handed back"
echo "scale editor window test passed"
