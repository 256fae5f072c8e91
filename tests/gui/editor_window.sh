#!/usr/bin/env bash
# The setting editor window driven through real X events: caption and labels,
# Start, sound on a null sink (when PulseAudio can run here), scroll bars by
# mouse, a numbered button, Shift-click help while the sound goes on, the
# window menu's "&Double Rate", Stop and Exit.
#   tests/gui/editor_window.sh EDITOR_WINDOW BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_editor
pulse_start

gui_lsan
TESSELLON_TEST_HOOK=1 "$prog" 0 abc.rov >"$out" 2>&1 &
pid=$!

expect 'hook: editor shown'
grep -q 'hook: editor caption="Experimental - with Adjustable Panning (abc.rov)"' "$out" || fail "caption"
grep -q 'hook: editor label7="Panning"' "$out" || fail "label of slot 7"
grep -q 'hook: editor value13="5512"' "$out" || fail "rate text"
wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning' | head -1)
[ -n "$wid" ] || fail "no editor window"
window_shot "$wid" 560 320 "$shot"
grep -q 'hook: tips editor missing=0' "$out" || fail "controls without a tooltip"

# Pixel positions are dialog units times two.
xdotool mousemove --window "$wid" 424 264 click 1          # S&tart (197,125)
expect 'hook: editor start="S&top"'
record_begin "$work/rec.raw"

xdotool mousemove --window "$wid" 316 30 click 1           # Voices: line down
expect 'hook: editor value0="6.06  "'
xdotool mousemove --window "$wid" 300 70 click 1           # Pitch: page down to the next note
expect 'hook: editor value2="988  "'
xdotool mousemove --window "$wid" 344 50 click 1           # numbered button 1
expect 'hook: editor status="setting 1, scale 2"'
expect 'hook: editor value0="6.00  "'

# Help on the Voices label; the sound goes on while the box is open.
xdotool mousemove --window "$wid" 30 25 keydown shift click 1 keyup shift
expect 'hook: message caption="Voices" text="maximum number of overlapping'
sleep 2
box=$(xdotool search --sync --name '^Voices$' | head -1)
xdotool mousemove --window "$box" 8 8
sleep 0.2
xdotool key Return
sleep 0.3

# The window menu (right button): "&Double Rate" is its sixth item.
xdotool mousemove --window "$wid" 120 240 click 3
sleep 0.4
xdotool key Down Down Down Down Down Down Return
expect 'hook: editor value13="11025"'
expect 'hook: editor value2="466  "'

xdotool mousemove --window "$wid" 424 264 click 1          # S&top
expect 'hook: editor start="S&tart"'
expect 'hook: editor status="setting 1, scale 2, maxCPU'
record_end "$work/rec.raw" || fail "no sound reached the null sink"

# Pa&use shows whether the track is paused: pressed while it is, released by
# a second click and by a new Start.
grep -q 'hook: editor paused="0"' "$out" || fail "the Pause state is not reported"
xdotool mousemove --window "$wid" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
xdotool mousemove --window "$wid" 490 245 click 1          # Pa&use (232,116)
expect 'hook: editor paused="1"'
import -window "$wid" "$build/gui_editor_paused.png"
xdotool mousemove --window "$wid" 490 245 click 1
expect 'hook: editor paused="0"'
xdotool mousemove --window "$wid" 490 245 click 1
expect 'hook: editor paused="1"'
xdotool mousemove --window "$wid" 424 264 click 1          # S&top
expect 'hook: editor start="S&tart"'
n=$(grep -c 'hook: editor paused="0"' "$out")
xdotool mousemove --window "$wid" 424 264 click 1          # S&tart: a new start plays
for _ in $(seq 1 50); do [ "$(grep -c 'hook: editor paused="0"' "$out")" -gt "$n" ] && break; sleep 0.1; done
[ "$(grep -c 'hook: editor paused="0"' "$out")" -gt "$n" ] || fail "a new Start leaves Pause pressed"
n=$(grep -c 'hook: editor start="S&tart"' "$out")
xdotool mousemove --window "$wid" 424 264 click 1          # S&top
for _ in $(seq 1 50); do [ "$(grep -c 'hook: editor start="S&tart"' "$out")" -gt "$n" ] && break; sleep 0.1; done

xdotool mousemove --window "$wid" 490 285 click 1          # E&xit (232,134)
expect 'hook: editor closed'
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after the editor closed"
wait "$pid"; rc=$?
pid=
[ $rc -eq 0 ] || fail "the program ended with status $rc"
grep -q 'editor returned setnr=1 tonr=2' "$out" || fail "set and scale not handed back"
echo "editor window test passed"
