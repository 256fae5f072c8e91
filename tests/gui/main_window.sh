#!/usr/bin/env bash
# The main window driven through real X events: start, screenshot, a second
# start, the icon of row 0, parameter dialogs, the Parameters box, menu
# letters in nested submenus, and the exit through its confirmation.
#   tests/gui/main_window.sh PROGRAM BUILD_DIR    (run under with_xvfb.sh)
set -euo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_main_window
trap 'exit 1' INT TERM HUP  # the cleanup also thaws a frozen sound daemon
pulse_start

gui_lsan

TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!

expect "hook: main-window shown"
wid=$(xdotool search --sync --name '^WVTESSEL$' | head -1)
[ -n "$wid" ] || fail "no window named WVTESSEL"
window_shot "$wid" 400 240 "$shot"

# A second start raises the first and ends with 0: the window, unmapped as
# if iconified, is mapped again.
xdotool windowunmap --sync "$wid"
timeout 10 "$prog" --no-intro >/dev/null 2>"$work/second.err" || fail "second start did not exit 0"
grep -q 'Wave Tessellon is already running on this display; its window has been raised' "$work/second.err" ||
  fail "second start did not say so: $(cat "$work/second.err")"
kill -0 "$pid" 2>/dev/null || fail "first instance ended"
for _ in $(seq 1 50); do
  xwininfo -id "$wid" | grep -q 'IsViewable' && break
  sleep 0.1
done
xwininfo -id "$wid" | grep -q 'IsViewable' || fail "second start did not raise the window"
[ "$(xdotool search --name '^WVTESSEL$' | wc -l)" -eq 1 ] || fail "two main windows"
sleep 0.3

# Closes the open setting editor with its E&xit button (232,134 dialog units).
close_editor() {
  local n
  n=$(grep -c 'hook: editor closed' "$out" || true)
  xdotool mousemove --window "$1" 490 285 click 1
  for _ in $(seq 1 50); do [ "$(grep -c 'hook: editor closed' "$out")" -gt "$n" ] && return 0; sleep 0.1; done
  fail "the editor did not close"
}

# The icon of row 0 (client 5,5; the menu bar is 25 pixels high) opens the
# setting editor; start the sound, change a parameter while it plays, stop
# and exit.
xdotool mousemove --window "$wid" 15 40 click 1
expect 'hook: open-editor row=0 title="Experimental with Adjustable Panning"'
expect 'hook: editor shown'
grep -q 'hook: editor caption="Experimental - with Adjustable Panning ()"' "$out" || fail "editor caption"
grep -q 'hook: editor label0="Voices"' "$out" || fail "label of slot 0"
grep -q 'hook: editor label7="Panning"' "$out" || fail "label of slot 7"
ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Adjustable Panning' | head -1)
[ -n "$ed" ] || fail "no editor window"
sleep 0.3
import -window "$ed" "$build/gui_program_editor.png"
xdotool mousemove --window "$ed" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
record_begin "$work/rec.raw"
xdotool mousemove --window "$ed" 316 30 click 1           # Voices: line down
expect 'hook: editor value0="6.06  "'
sleep 3
record_end "$work/rec.raw" || fail "no sound reached the null sink"
xdotool mousemove --window "$ed" 424 264 click 1          # S&top
expect 'hook: editor start="S&tart"'
close_editor "$ed"
sleep 0.3

# The empty space of the first icon row opens the empty algorithm (row 22).
xdotool mousemove --window "$wid" 392 35 click 1
expect 'hook: open-editor row=22'
ed=$(xdotool search --sync --onlyvisible --name ' \(\)$' | head -1)
close_editor "$ed"
sleep 0.3

# A sampling icon without a sample does nothing; Shift on it shows help only.
xdotool mousemove --window "$wid" 10 115 click 1
xdotool keydown shift mousemove --window "$wid" 10 115 click 1 keyup shift
expect 'hook: help-page RANOVSP6'
# Its information page opens; Return closes it.
expect 'hook: info RANOVSP6 "Interval Studies, with Samples"'
page=$(window_named '^Interval Studies, with Samples$')
keys_to "$page" Return
sleep 0.3
grep -q 'open-editor row=6' "$out" && fail "sampling row opened without a sample"

# Shift-click help on the toolbar: the Load slot shows its caption.
xdotool mousemove --window "$wid" 10 75 keydown shift click 1 keyup shift
expect 'hook: message caption="Load ..." text=""'
box=$(window_named '^Load \.\.\.$')
keys_to "$box" Return
sleep 0.3

# The system menu's "S&tart" opens the editor with the setting's own algorithm.
xdotool mousemove --window "$wid" 10 12 click 1
sleep 0.5
xdotool key t
expect 'hook: command system-start'
expect 'hook: open-editor row=1 '
ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Dual' | head -1)
close_editor "$ed"
sleep 0.3

# Options > Setup > Voice Numbers through the mnemonics. First the scroll
# bar by mouse (arrow: 1, trough: 4) and the small system menu ("&Plus"),
# then "&Cancel" puts 8 back.
open_voices() {
  keys_to "$wid" alt+o
  sleep 0.3
  xdotool key s
  sleep 0.3
  xdotool key n
  dlg=$(window_named '^Maximum Number of Voices$')
  sleep 0.3
}
open_voices
expect 'hook: pardlg "Maximum Number of Voices" value=8'
import -window "$dlg" "$build/gui_pardlg.png"
xdotool mousemove --window "$dlg" 312 152 click 1   # down arrow
expect 'value=9'
xdotool mousemove --window "$dlg" 312 120 click 1   # trough below the thumb
expect 'value=13'
xdotool mousemove --window "$dlg" 312 6 click 1     # up arrow
expect 'value=12'
xdotool mousemove --window "$dlg" 20 134 click 1    # the system menu
sleep 0.3
xdotool key p
expect 'value=13'
keys_to "$dlg" alt+c
expect 'hook: pardlg-end "Maximum Number of Voices" value=8'
sleep 0.3

# Again: page down gives 12, "&OK" keeps it.
open_voices
keys_to "$dlg" Next
expect 'value=12$'
xdotool key Return
expect 'hook: pardlg-end "Maximum Number of Voices" value=12'
sleep 0.3

# Variation Density (64..128, steps 1 and 8): with a button focused (Tab),
# the keys still move the value by the dialog's steps, not FLTK's; Home and
# End do not move it. "&Cancel" puts 120 back.
keys_to "$wid" alt+o
sleep 0.3
xdotool key s
sleep 0.3
xdotool key d
dlg=$(window_named '^Density Modulo Value$')
expect 'hook: pardlg "Density Modulo Value" value=120'
sleep 0.3
keys_to "$dlg" Tab Prior
expect 'value=112$'
xdotool key Up
expect 'value=111$'
xdotool key Home End Up
expect 'value=110$'
xdotool key Next
expect 'value=118$'
xdotool key alt+c
expect 'hook: pardlg-end "Density Modulo Value" value=120'
sleep 0.3

# Options > Info > Parameters shows the new voice maximum; Cancel ends it.
keys_to "$wid" alt+o
sleep 0.3
xdotool key i
sleep 0.3
xdotool key p
expect 'Max. Voices: 12'
box=$(window_named '^WAVE-TESSELLON INFO$')
keys_to "$box" Escape
sleep 0.3

# Letters typed at once reach the submenu that is shown: Alt+O S I T picks
# "&Time" of Display, not "Buff.Bea&t" of Setup; again, the "&Time" in effect
# (grayed) does nothing. N in "Re&cord Samples" is its grayed "&No", not
# "Voice &Numbers" of Setup. "Cre&dit" puts the display back.
n=$(wc -l <"$out")
keys_to "$wid" --delay 0 alt+o s i t
expect 'hook: command 52'
sleep 0.5
keys_to "$wid" --delay 0 alt+o s i t
keys_to "$wid" --delay 0 alt+o s c n
sleep 1
tail -n +$((n + 1)) "$out" | grep 'hook: command' | grep -qv 'command 52$' && fail "a letter went to the wrong menu"
keys_to "$wid" --delay 0 alt+o s i d
expect 'hook: command 50'
sleep 0.3

# Exit icon (toolbar slot 3): No keeps the program, Yes ends it.
xdotool mousemove --window "$wid" 80 80 click 1
expect 'Thank you for using the WAVE TESSELLON!'
box=$(window_named '^WAVE TESSELLON TERMINATING$')
keys_to "$box" Escape
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "No ended the program"
n=$(grep -c 'Thank you' "$out")
xdotool mousemove --window "$wid" 80 80 click 1
for _ in $(seq 1 50); do [ "$(grep -c 'Thank you' "$out")" -gt "$n" ] && break; sleep 0.1; done
box=$(window_named '^WAVE TESSELLON TERMINATING$')
keys_to "$box" Return
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Yes did not end the program"
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || fail "exit status $rc"
grep -q 'hook: quit' "$out" || fail "no quit"

# SIGTERM (a logout, a kill) ends the window program.
TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect "hook: main-window shown"
kill -TERM "$pid"
for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the program"
pid=

# Save (toolbar slot 2) stores the setting; a start with that file loads it,
# and the editor's caption names it.
TESSELLON_TEST_FILE="$work/mine.rov" TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect "hook: main-window shown"
wid=$(xdotool search --sync --name '^WVTESSEL$' | head -1)
xdotool mousemove --window "$wid" 50 75 click 1
expect 'hook: file-dialog save=1 filter=1 path=""'
for _ in $(seq 1 50); do [ -s "$work/mine.rov" ] && break; sleep 0.1; done
[ "$(stat -c %s "$work/mine.rov")" -eq 672 ] || fail "the saved setting is not 672 bytes"
kill -TERM "$pid"; wait "$pid" || true
TESSELLON_TEST_HOOK=1 "$prog" --no-intro "$work/mine.rov" >"$out" 2>&1 &
pid=$!
expect "hook: main-window shown"
wid=$(xdotool search --sync --name '^WVTESSEL$' | head -1)
xdotool mousemove --window "$wid" 15 40 click 1
expect 'hook: editor caption="Experimental - with Adjustable Panning (mine.rov)"'
ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Adjustable Panning' | head -1)
close_editor "$ed"
grep -q 'hook: message' "$out" && fail "a message box at loading: $(grep 'hook: message' "$out")"
kill -TERM "$pid"; wait "$pid" || true
pid=

# Harddisc recording from the toolbar (slot 9), the file chosen through the
# test hook: the editor plays into it, and SIGTERM finishes it.
TESSELLON_TEST_FILE="$work/take.wav" TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect "hook: main-window shown"
wid=$(xdotool search --sync --name '^WVTESSEL$' | head -1)
xdotool mousemove --window "$wid" 295 75 click 1
expect 'hook: file-dialog save=1 filter=4 path="HDREC.WAV"'
expect 'hook: pardlg "Recording Time in Seconds" value=15'
dlg=$(window_named '^Recording Time in Seconds$')
keys_to "$dlg" Return
expect 'hook: pardlg-end "Recording Time in Seconds" value=15'
[ -s "$work/take.wav" ] || fail "no recording file"
xdotool mousemove --window "$wid" 15 40 click 1
expect 'hook: editor shown'
ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Adjustable Panning' | head -1)
sleep 0.3
xdotool mousemove --window "$ed" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
sleep 3
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the recording program"
pid=
size=$(stat -c %s "$work/take.wav")
data=$(od -An -t u4 -j 40 -N 4 "$work/take.wav" | tr -d ' ')
riff=$(od -An -t u4 -j 4 -N 4 "$work/take.wav" | tr -d ' ')
[ "$data" -eq $((size - 44)) ] && [ "$riff" -eq $((size - 8)) ] || fail "recording header $riff/$data for $size bytes"
[ "$data" -gt 0 ] || fail "the recording is empty"
if command -v sox >/dev/null; then
  sox "$work/take.wav" -n stat 2>"$work/stat.txt" || fail "sox cannot read the recording"
  grep -q 'Maximum amplitude' "$work/stat.txt" || fail "sox found no samples"
fi
echo "recording of $data bytes finished by SIGTERM"

# A frozen sound server blocks SDL's audio thread, and a close of the stream
# waits for that thread. The editor still closes (its stream is given up after
# a bounded wait); once the server runs again the editor plays again; Exit
# ends the program with status 0 while the server is frozen; SIGTERM ends it
# while it plays into the frozen server.
ms_now() { echo $(( $(date +%s%N) / 1000000 )); }
# Waits until the output has more than $2 lines matching $1.
# Opens the editor of row 0 and starts the sound; sets $ed.
open_and_play() {
  local n
  n=$(grep -c 'hook: editor shown' "$out" || true)
  xdotool mousemove --window "$wid" 15 40 click 1
  expect_more 'hook: editor shown' "$n"
  ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Adjustable Panning' | head -1)
  sleep 0.3
  n=$(grep -c 'hook: editor start="S&top"' "$out" || true)
  xdotool mousemove --window "$ed" 424 264 click 1          # S&tart
  expect_more 'hook: editor start="S&top"' "$n"
}
# Starts the window program with the test hook and finds its main window.
start_window_program() {
  TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
  pid=$!
  expect "hook: main-window shown"
  wid=$(xdotool search --sync --name '^WVTESSEL$' | head -1)
}

# Closes the playing editor with the sound server frozen.
close_frozen() {
  local t0
  pulse_freeze
  sleep 0.5
  t0=$(ms_now)
  close_editor "$ed"
  echo "editor closed $(( $(ms_now) - t0 )) ms after its Exit with the sound server frozen"
}
if [ $pulse -eq 1 ] && [ -n "$pulse_pid" ]; then
  start_window_program
  open_and_play
  sleep 1
  close_frozen
  pulse_thaw
  sleep 1
  open_and_play
  record_begin "$work/rec2.raw"
  sleep 3
  record_end "$work/rec2.raw" || fail "no sound after the sound server ran again"
  close_frozen
  xdotool mousemove --window "$wid" 80 80 click 1
  expect 'Thank you for using the WAVE TESSELLON!'
  box=$(window_named '^WAVE TESSELLON TERMINATING$')
  keys_to "$box" Return
  t0=$(ms_now)
  for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "Exit did not end the program with the sound server frozen"
  wait "$pid"; rc=$?
  pid=
  echo "program ended $(( $(ms_now) - t0 )) ms after Exit with the sound server frozen"
  [ "$rc" -eq 0 ] || fail "exit status $rc after Exit with the sound server frozen"
  pulse_thaw
  sleep 0.5

  start_window_program
  open_and_play
  sleep 1
  pulse_freeze
  sleep 0.5
  t0=$(ms_now)
  kill -TERM "$pid"
  for _ in $(seq 1 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the playing program with the sound server frozen"
  pid=
  echo "SIGTERM ended the playing program in $(( $(ms_now) - t0 )) ms with the sound server frozen"
  pulse_thaw
  sleep 0.5

  # The sound server goes away while the editor plays: the cycle stops and
  # the status line says so; the editor still closes and the program ends.
  start_window_program
  open_and_play
  sleep 1
  kill -9 "$pulse_pid"
  pulse=0 pulse_pid=
  expect 'hook: editor status="the sound device was lost; playing stopped"'
  expect 'hook: editor start="S&tart"'
  close_editor "$ed"
  kill -TERM "$pid"
  for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end after the sound server went away"
  pid=
  echo "the editor stopped when the sound server went away"
fi
echo "PASS"
