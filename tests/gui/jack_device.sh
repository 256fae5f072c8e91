#!/usr/bin/env bash
# The window program on JACK, through real X events: Options > Output Device
# > JACK starts the client (its ports appear on a private dummy server, and
# Show Caps names it), the setting editor plays into its ports, and a server
# that goes away stops the editor with the lost-device status.
#   tests/gui/jack_device.sh TESSELLON BUILD_DIR JACK_RECORD  (run under with_xvfb.sh)
# Exit 77 (skipped) where jackd is not installed.
set -uo pipefail
prog=$1
build=$2
recorder=$3
. "$(dirname "$0")/lib.sh"
command -v jackd >/dev/null || { echo "jackd is not installed; skipped"; exit 77; }
gui_begin gui_jack_device
export SDL_AUDIODRIVER=dummy HOME="$work" JACK_DEFAULT_SERVER=tess-gui-$$
gui_lsan
jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
jack_pid=$!
. "$(dirname "$0")/../tools/stop.sh"
trap 'stop_process "$jack_pid"; gui_cleanup' EXIT
for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done

TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect 'hook: main-window shown'
wid=$(window_named '^WVTESSEL$')
keys_to "$wid" alt+o o j
for _ in $(seq 50); do jack_lsp 2>/dev/null | grep -q '^tessellon:midi_out$' && break; sleep 0.1; done
jack_lsp 2>/dev/null | grep -q '^tessellon:out_left$' || fail "no JACK ports after choosing JACK"
keys_to "$wid" alt+o o s
expect 'hook: caps .*JACK (tessellon)'
caps=$(window_named '^waveOutDeviceCapabilities$')
keys_to "$caps" Return
sleep 0.5

# Row 0's editor plays into the ports.
xdotool mousemove --window "$wid" 15 40 click 1
expect 'hook: editor shown'
ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Adjustable Panning' | head -1)
[ -n "$ed" ] || fail "no editor window"
sleep 0.3
xdotool mousemove --window "$ed" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
"$recorder" record tessellon 1 "$work/rec.raw" || fail "the ports could not be recorded"
[ -n "$(tr -d '\0' <"$work/rec.raw" | head -c 1)" ] || fail "only silence came out of the ports"

stop_process "$jack_pid"
expect 'hook: editor status="the sound device was lost; playing stopped"'
expect 'hook: editor start="S&tart"'
end_program
echo "PASS"
