#!/usr/bin/env bash
# Remembered choices across starts of the window program, through real X
# events: "Don't ask again" at the introduction's question, the output
# device (chosen by name in the menu, when PulseAudio can start here with its
# null sink) and the setup; a broken file gives a message and the defaults.
#   tests/gui/remember.sh TESSELLON BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1 build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_remember
pulse_start
gui_lsan
conf=$XDG_CONFIG_HOME/tessellon/tessellon.conf
[ -e "$conf" ] && fail "$conf exists before the first start"

# First start: the question with its box; ticked, then Cancel (no intro).
TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
pid=$!
expect 'hook: message caption="WAVE-TESSELLON STARTING"'
box=$(window_named '^WAVE-TESSELLON STARTING$')
keys_to "$box" d
sleep 0.3
if [ $pulse -eq 1 ]; then xdotool key c; else xdotool key n; fi
expect 'hook: dont-ask-again 1'
expect 'hook: main-window shown'
grep -q 'hook: intro shown' "$out" && fail "the intro came after No/Cancel"
grep -qx 'intro=skip' "$conf" || fail "the answer was not remembered: $(cat "$conf")"
wid=$(window_named '^WVTESSEL$')
if [ $pulse -eq 1 ]; then
  # The devices by name; Options > Output Device > 0.
  expect 'hook: device-item "&0: '
  keys_to "$wid" alt+o
  sleep 0.3; xdotool key o
  sleep 0.3; xdotool key 0
  expect 'hook: command 87'
fi
end_program
grep -q '^setup.voices=8$' "$conf" || fail "the setup was not remembered: $(cat "$conf")"
if [ $pulse -eq 1 ]; then grep -qx 'device=0' "$conf" || fail "the device was not remembered: $(cat "$conf")"; fi

# Second start: no question; the setup as the file says (edited by hand).
sed -i 's/^setup.voices=8$/setup.voices=12/' "$conf"
rm -f "$out"
TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
pid=$!
expect 'hook: intro not asked flag=-1'
expect 'hook: main-window shown'
grep -q 'hook: message caption="WAVE-TESSELLON STARTING"' "$out" && fail "asked again"
wid=$(window_named '^WVTESSEL$')
# A file opened from the desktop while the program runs: it says where to load it.
timeout 10 "$prog" "$work/piece.rov" 2>"$work/second.err"
grep -q "piece.rov is not opened here; load it in the running program" "$work/second.err" ||
  fail "a second start with a file: $(cat "$work/second.err")"
keys_to "$wid" alt+o
sleep 0.3; xdotool key s
sleep 0.3; xdotool key n
expect 'hook: pardlg "Maximum Number of Voices" value=12'
dlg=$(window_named '^Maximum Number of Voices$')
keys_to "$dlg" Escape
sleep 0.3
if [ $pulse -eq 1 ]; then
  # Options > Output Device > Show Caps: device 0 by number and name.
  keys_to "$wid" alt+o
  sleep 0.3; xdotool key o
  sleep 0.3; xdotool key s
  expect 'hook: caps "|0: '
  caps=$(window_named '^waveOutDeviceCapabilities$')
  keys_to "$caps" Return
fi
end_program
grep '^tessellon: ' "$out" && fail "a file the program wrote itself gave messages"

# A broken file: a message naming it, the defaults, and the question again.
printf 'intro=skip\n\001\377 junk\nsetup.voices=99999\n' >"$conf"
rm -f "$out"
TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
pid=$!
expect "tessellon: $conf: line 2: "
expect "setup.voices=99999 is not a number in"
expect 'hook: intro not asked'
expect 'hook: main-window shown'
end_program
grep -q 'junk' "$conf.bad" || fail "the lines it could not read were not kept"
grep -q '^setup.voices=8$' "$conf" || fail "the defaults were not written anew: $(cat "$conf")"
printf '\0\0\0' >"$conf"
rm -f "$out"
TESSELLON_TEST_HOOK=1 "$prog" >"$out" 2>&1 &
pid=$!
expect "tessellon: $conf: not a text file; ignored"
expect 'hook: message caption="WAVE-TESSELLON STARTING"'
box=$(window_named '^WAVE-TESSELLON STARTING$')
if [ $pulse -eq 1 ]; then keys_to "$box" c; else keys_to "$box" n; fi
expect 'hook: dont-ask-again 0'
expect 'hook: main-window shown'
end_program
grep -q '^intro=' "$conf" && fail "an unticked answer was remembered"
echo "remembered choices passed (pulse=$pulse)"
