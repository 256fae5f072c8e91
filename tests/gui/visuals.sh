#!/usr/bin/env bash
# The visual effects in the editor window while sound plays: for each of the
# seven effects Start, a few seconds of play, a screenshot kept under the
# build folder (gui_vis_<n>.png), Stop and Exit. The "&All Levels" display
# shows its discs meanwhile.
#   tests/gui/visuals.sh EDITOR_WINDOW BUILD_DIR [SECONDS]   (run under with_xvfb.sh)
# With LOAD_SECONDS set, one more run plays a 64-voice setting at 44100 Hz
# with 4 KiB buffers and the Lightshow for that long and reports the
# device's underruns (it fails on any).
set -uo pipefail
prog=$1
build=$2
secs=${3:-4}
. "$(dirname "$0")/lib.sh"
gui_begin gui_visuals
pulse_start
gui_lsan

play_effect() {  # effect seconds shot [extra environment...]
  local n=$1 s=$2 shot=$3; shift 3
  : >"$out"
  env TESSELLON_TEST_HOOK=1 TESS_VIS="$n" TESS_DISP=54 "$@" "$prog" 0 vis.rov >"$out" 2>&1 &
  pid=$!
  expect 'hook: editor shown'
  local wid
  wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning' | head -1)
  [ -n "$wid" ] || fail "no editor window"
  xdotool mousemove --window "$wid" 424 264 click 1          # S&tart
  expect 'hook: editor start="S&top"'
  sleep "$s"
  expect 'hook: editor status="setting 0, scale [0-9], lev '
  local hgt=572
  [ "$n" -eq 0 ] && hgt=320   # no effect: the window keeps its size
  window_shot "$wid" 560 "$hgt" "$shot"
  xdotool mousemove --window "$wid" 424 264 click 1          # S&top
  expect 'hook: editor start="S&tart"'
  xdotool mousemove --window "$wid" 490 285 click 1          # E&xit
  expect 'hook: editor closed'
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  wait "$pid"; local rc=$?
  pid=
  [ $rc -eq 0 ] || fail "the program ended with status $rc"
  grep 'device underruns=' "$out"
}

for n in ${EFFECTS-1 2 3 4 5 6 7}; do
  play_effect "$n" "$secs" "$build/gui_vis_$n.png" TESS_BUFKB=4
done

if [ -n "${LOAD_SECONDS:-}" ]; then
  play_effect "${LOAD_EFFECT:-4}" "$LOAD_SECONDS" "$build/gui_vis_load.png" TESS_LOAD=1 TESS_BUFKB=4
  grep -q 'device underruns=0 ' "$out" || fail "underruns while the visuals played"
fi
echo "visuals test passed"
