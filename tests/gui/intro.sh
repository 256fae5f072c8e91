#!/usr/bin/env bash
# The start-up introduction through real X events. With sound: the question
# "Start intro with sound output ?" is answered Yes, the intro plays into
# the null sink (recorded and checked), Shift-clicks move on to example 5,
# plain clicks step through the guided tour (screenshots gui_intro_*.png in
# the build folder), OK closes it, and the main window then opens the
# editor and plays. Without any sound output: "Start intro ?", the icon
# animation and "no wave player found !", closed with Escape; No skips it.
#   tests/gui/intro.sh TESSELLON BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_intro
pulse_start
gui_lsan

TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
pid=$!
expect 'hook: message caption="WAVE-TESSELLON STARTING" text="Start intro with sound output ?"'
grep -q 'hook: main-window shown' "$out" && fail "the main window came before the intro"
box=$(window_named '^WAVE-TESSELLON STARTING$')
record_begin "$work/intro.raw"
keys_to "$box" Return                                      # Yes
expect 'hook: intro shown flag=3'
intro=$(window_named '^Wave Tessellon Intro$')
[ -n "$intro" ] || fail "no intro window"
expect 'hook: intro line 101 text="Welcome to Wave Tessellon '
sleep 4
if [ $pulse -eq 1 ]; then
  kill "$rec_pid"; wait "$rec_pid" 2>/dev/null; rec_pid=
  python3 - "$work/intro.raw" <<'PY' || fail "the intro's sound did not reach the null sink"
import struct, sys
d = open(sys.argv[1], 'rb').read()
n = len(d) // 2
s = struct.unpack('<%dh' % n, d[:2 * n])
loud = sum(1 for x in s if abs(x) > 500)
print("null sink during the intro: %d samples, %d above 500" % (n, loud))
sys.exit(0 if n > 11025 * 2 * 2 and loud > 2000 else 1)
PY
fi
grep -q 'hook: main-window shown' "$out" && fail "the main window opened while the intro runs"
window_shot "$intro" 450 270 "$build/gui_intro_start.png"

# Shift-clicks: one example further each, up to example 5 and its tour.
for caption in "The same phrase, but shorter and faster" "Another phrase playing now" \
               "Same phrase, still 11025 Hz rate" "A very fast sound cascade" \
               "Random & Scaled Tones, trying 5512 Hz"; do
  n=$(grep -c "hook: intro line 111 text=\"$caption\"" "$out")
  xdotool mousemove --window "$intro" 200 180 keydown shift click 1 keyup shift
  expect_more "hook: intro line 111 text=\"$caption\"" "$n"
done
window_shot "$intro" 450 270 "$build/gui_intro_example5.png"

# Plain clicks: one tour step each (two ticks of 0.7 s at 5512 Hz).
shot=1
for step in "Here is a demonstration of what happens" "if you change some sound parameters" \
            "V o i c e s  controls the maximum number" "of voices played simultaneously" \
            "Change voices from 6.00 to 2.00" "Change voices to 16.00" \
            "T o n a l i t y  controls the probability" "of fixed pitch values" \
            "Change tonality from 75 to 50"; do
  n=$(grep -c "hook: intro line 111 text=\"$step\"" "$out")
  xdotool mousemove --window "$intro" 200 180 click 1
  expect_more "hook: intro line 111 text=\"$step\"" "$n" 60
  case "$step" in
    "Change voices from 6.00 to 2.00"|"Change voices to 16.00"|"Change tonality from 75 to 50")
      window_shot "$intro" 450 270 "$build/gui_intro_tour$shot.png"; shot=$((shot + 1)) ;;
  esac
done
grep -q 'hook: intro line 104 text="wave player is WAVE_MAPPER"' "$out" || fail "line 104"
grep -q 'hook: intro line 105 text="Wave Tessellon makes ambient soundscapes that"' "$out" || fail "no notes"

# OK closes the intro; the main window follows and plays.
xdotool mousemove --window "$intro" 400 246 click 1
expect 'hook: intro closed'
expect 'hook: main-window shown'
wid=$(window_named '^WVTESSEL$')
xdotool mousemove --window "$wid" 15 40 click 1           # the icon of row 0
expect 'hook: editor shown'
ed=$(window_named '^Experimental - with Adjustable Panning')
xdotool mousemove --window "$ed" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
record_begin "$work/rec.raw"
sleep 4
record_end "$work/rec.raw" || fail "the editor's sound did not reach the null sink after the intro"
xdotool mousemove --window "$ed" 490 285 click 1          # E&xit
expect 'hook: editor closed'
end_program
pulse_stop
echo "intro with sound passed"

# No sound output at all: "Start intro ?" and the animated icon.
rm -f "$out"
SDL_AUDIODRIVER=no-such-driver TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
pid=$!
expect 'hook: message caption="WAVE-TESSELLON STARTING" text="Start intro ?"'
box=$(window_named '^WAVE-TESSELLON STARTING$')
keys_to "$box" Return                                      # Yes
expect 'hook: intro shown flag=0'
intro=$(window_named '^Wave Tessellon Intro$')
expect 'hook: intro icon WVTESSE3'
for line in 102 103 104; do                               # a click: two ticks to the next line
  xdotool mousemove --window "$intro" 200 180 click 1
  expect "hook: intro line $line text="
done
expect 'hook: intro line 104 text="no wave player found !"'
window_shot "$intro" 450 270 "$build/gui_intro_silent.png"
keys_to "$intro" Escape
expect 'hook: intro closed'
expect 'hook: main-window shown'
end_program

# No: no intro at all.
rm -f "$out"
SDL_AUDIODRIVER=no-such-driver TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
pid=$!
expect 'hook: message caption="WAVE-TESSELLON STARTING" text="Start intro ?"'
box=$(window_named '^WAVE-TESSELLON STARTING$')
keys_to "$box" n
expect 'hook: main-window shown'
grep -q 'hook: intro shown' "$out" && fail "No still showed the intro"
end_program

# SIGTERM ends the program at the question and during the intro, before
# any main window.
for at in question intro; do
  rm -f "$out"
  SDL_AUDIODRIVER=no-such-driver TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
  pid=$!
  expect 'hook: message caption="WAVE-TESSELLON STARTING" text="Start intro ?"'
  if [ $at = intro ]; then
    box=$(window_named '^WAVE-TESSELLON STARTING$')
    keys_to "$box" Return
    expect 'hook: intro shown flag=0'
    expect 'hook: intro icon WVTESSE2'
  fi
  end_program
  grep -q 'hook: main-window shown' "$out" && fail "SIGTERM at the $at still opened the main window"
done
echo "intro test passed"
