#!/usr/bin/env bash
# Screenshots of every kind of window the program shows, for comparing the
# look before and after a change: the main window, a message box, the setup
# parameter dialog, and the setting editor playing and paused.
#   tests/gui/with_xvfb.sh bash tests/gui/look_shots.sh PROGRAM OUT_DIR
set -uo pipefail
prog=$1
dir=$2
mkdir -p "$dir"
out="$dir/look_shots.out"
work=$(mktemp -d)
pid=
. "$(dirname "$0")/lib.sh"
trap gui_cleanup EXIT
export SDL_AUDIODRIVER=dummy

shot() { sleep 0.4; import -window "$1" "$dir/$2.png" && echo "screenshot: $dir/$2.png"; }
named() { xdotool search --sync --onlyvisible --name "$1" | head -1; }

TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect 'hook: main-window shown'
wid=$(named '^WVTESSEL$')
shot "$wid" main_window

# A message box: Shift-click help on the Load slot of the toolbar.
xdotool mousemove --window "$wid" 10 75 keydown shift click 1 keyup shift
expect 'hook: message caption="Load ..."'
box=$(named '^Load \.\.\.$')
shot "$box" message_box
xdotool mousemove --window "$box" 8 8; sleep 0.2; xdotool key Return; sleep 0.3

# Options > Setup > Voice Numbers.
xdotool mousemove --window "$wid" 8 8; sleep 0.2; xdotool key alt+o; sleep 0.3
xdotool key s; sleep 0.3; xdotool key n
dlg=$(named '^Maximum Number of Voices$')
shot "$dlg" parameter_dialog
xdotool mousemove --window "$dlg" 8 8; sleep 0.2; xdotool key Escape; sleep 0.3

# The setting editor of row 0: stopped, playing, paused.
xdotool mousemove --window "$wid" 15 40 click 1
expect 'hook: editor shown'
ed=$(named '^Experimental - with Adjustable Panning')
shot "$ed" editor
xdotool mousemove --window "$ed" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
xdotool mousemove --window "$ed" 490 245 click 1          # Pa&use (232,116)
sleep 0.3
shot "$ed" editor_paused
xdotool mousemove --window "$ed" 490 245 click 1          # Pa&use again
xdotool mousemove --window "$ed" 424 264 click 1          # S&top
expect 'hook: editor start="S&tart"'
xdotool mousemove --window "$ed" 490 285 click 1          # E&xit
expect 'hook: editor closed'
kill "$pid"; wait "$pid" 2>/dev/null; pid=
