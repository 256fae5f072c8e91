#!/usr/bin/env bash
# The window program without any sound output: stderr and the setting
# editor's status text name the audio systems SDL tried and what to do.
#   tests/gui/no_sound.sh PROGRAM BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_no_sound
gui_lsan

SDL_AUDIODRIVER=no-such-driver TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect 'hook: main-window shown'
grep -q '^tessellon: SDL_AUDIODRIVER=no-such-driver names no audio system that SDL has' "$out" ||
  fail "stderr does not name the audio systems"
wid=$(xdotool search --sync --name '^WVTESSEL$' | head -1)
xdotool mousemove --window "$wid" 15 40 click 1             # the icon of row 0
expect 'hook: editor shown'
ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Adjustable Panning' | head -1)
xdotool mousemove --window "$ed" 424 264 click 1            # S&tart
expect 'hook: editor status="the output device could not be opened: SDL_AUDIODRIVER=no-such-driver names no audio system that SDL has .*; unset SDL_AUDIODRIVER, or set it to one of those"'
grep -q 'hook: editor start="S&top"' "$out" && fail "the editor shows Stop without a device"
sleep 0.3
import -window "$ed" "$build/gui_no_sound.png"
xdotool mousemove --window "$ed" 490 285 click 1            # E&xit
expect 'hook: editor closed'
end_program
echo "no-sound window test passed"
