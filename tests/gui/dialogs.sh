#!/usr/bin/env bash
# The main window's animated icon and its small dialogs, through real X
# events: two icon frames, the modulo calculator, the overview page scrolled
# to its bottom and the capability dialog. Screenshots stay in the
# build folder (gui_icon_a.png, gui_icon_b.png, gui_calc.png, gui_info.png, gui_info_bottom.png,
# gui_caps.png).
#   tests/gui/dialogs.sh TESSELLON BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_dialogs
shot() { sleep 0.3; import -window "$1" "$2"; [ -s "$2" ] || fail "no screenshot $2"; echo "screenshot: $2"; }
export SDL_AUDIODRIVER=dummy HOME="$work"
gui_lsan
TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect 'hook: main-window shown'
wid=$(window_named '^WVTESSEL$')
expect 'hook: icon WVTESSE3'
shot "$wid" "$build/gui_icon_a.png"
expect 'hook: icon WVTESSE7'
shot "$wid" "$build/gui_icon_b.png"

# Options > Info > ModuloCalc; n page down twice, then store it as Pitch modulo.
keys_to "$wid" alt+o i m
expect 'hook: calc x0=1 m=1 n=120 "\*\*\*\*\* period length 120"'
calc=$(window_named '^x.i.1. = .m.x.i. . 1. MOD n$')
grep -q 'hook: tips calc missing=0' "$out" || fail "controls without a tooltip"
xdotool mousemove --window "$calc" 154 100 click 1     # n bar trough, below the thumb
expect 'hook: calc x0=1 m=1 n=152'
xdotool mousemove --window "$calc" 244 134 click 1     # &Pit804
expect 'hook: calc stored n=152'
# The underlined letters m, x and n move the focus to their bars.
keys_to "$calc" m Down
expect 'hook: calc x0=1 m=2 n=152'
keys_to "$calc" x Down
expect 'hook: calc x0=2 m=2 n=152'
keys_to "$calc" n Down
expect 'hook: calc x0=2 m=2 n=153'
shot "$calc" "$build/gui_calc.png"
keys_to "$calc" Return
sleep 0.3

# Options > Info > General Info, scrolled to its bottom by Page Down.
keys_to "$wid" alt+o i g
expect 'hook: info WVTMPHLP "Wave Tessellon - Overview"'
info=$(window_named '^Wave Tessellon - Overview$')
shot "$info" "$build/gui_info.png"
xdotool mousemove --window "$info" 100 100
for _ in $(seq 1 25); do xdotool key Next; done
expect 'hook: info-scroll 1100 bar=100'
shot "$info" "$build/gui_info_bottom.png"
xdotool key Return
sleep 0.3

# Options > Output Device > Show Caps.
keys_to "$wid" alt+o o s
expect 'hook: caps '
caps=$(window_named '^waveOutDeviceCapabilities$')
shot "$caps" "$build/gui_caps.png"
xdotool mousemove --window "$caps" 344 214 click 1      # &OK
sleep 0.5
[ "$(xdotool search --onlyvisible --name '^waveOutDeviceCapabilities$' | wc -l)" -eq 0 ] || fail "caps still open"

echo "dialogs test passed"
