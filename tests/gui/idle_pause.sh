#!/usr/bin/env bash
# The editor in "&All Levels", where the measure never refills the idle
# count: after the time to play ("&Test", small buffers) the sound pauses,
# the Pause button shows it and the status line says why and where the time
# is set; Pause alone brings the sound back for good.
#   tests/gui/idle_pause.sh EDITOR_WINDOW BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_idle_pause
export SDL_AUDIODRIVER=dummy TESS_DISP=54 TESS_BUFKB=4 TESS_TTP=120000
gui_lsan

TESSELLON_TEST_HOOK=1 "$prog" 0 >"$out" 2>&1 &
pid=$!
expect 'hook: editor shown'
wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning' | head -1)
[ -n "$wid" ] || fail "no editor window"
xdotool mousemove --window "$wid" 424 264 click 1          # S&tart
expect 'hook: editor status="Idle pause: Options>Setup>Time to play"'
expect 'hook: editor paused="1"'
sleep 0.5
window_shot "$wid" 560 320 "$shot"
xdotool mousemove --window "$wid" 494 246 click 1           # Pa&use
expect 'hook: editor paused="0"'
n=$(grep -c 'status="setting 0, scale 3, lev' "$out")
expect_more 'status="setting 0, scale 3, lev' "$n"
expect_more 'status="setting 0, scale 3, lev' "$((n + 1))"
[ "$(grep -c 'paused="1"' "$out")" -eq 1 ] || fail "Pause did not bring the sound back"
editor_stop_exit
echo "idle pause test passed"
