# Sourced by the GUI tests, which set $build (the build folder) and call
# gui_begin first. $out is the program's output file, $pid the program and
# $work a private folder; gui_cleanup runs on exit.

# Starts test $1: its output file $out and screenshot $shot in the build
# folder, both removed first, and the private folder.
gui_begin() {
  out="$build/$1.out"
  shot="$build/$1.png"
  rm -f "$out" "$shot"
  work=$(mktemp -d)
  pid=
  trap gui_cleanup EXIT
}

# Keys as real X events to the window $1: the pointer goes over it first
# (without a window manager the focus follows the pointer).
keys_to() {
  local w=$1; shift
  xdotool mousemove --window "$w" 8 8
  sleep 0.2
  xdotool key "$@"
}
# The window named $1, once it is mapped.
window_named() { xdotool search --sync --onlyvisible --name "$1" | head -1; }

fail() { echo "FAIL: $*" >&2; echo "--- program output:" >&2; cat "$out" >&2 || true; exit 1; }

# Clicks at ($2, $3) in window $1 until a new line matching $4 shows (a
# click can get lost while the X server is busy, e.g. with a screenshot).
click_until() {
  local n
  n=$(grep -c -- "$4" "$out")
  for _ in 1 2 3; do
    xdotool mousemove --window "$1" "$2" "$3" click 1 2>/dev/null
    for _ in $(seq 1 15); do [ "$(grep -c -- "$4" "$out")" -gt "$n" ] && return 0; sleep 0.1; done
  done
  fail "no line matching '$4' after clicking"
}

# Waits until the program's output has a line matching $1.
expect() {
  for _ in $(seq 1 100); do
    grep -q -- "$1" "$out" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "no line matching '$1'"
}

# Waits (up to $3 tenths of a second, 100 if not given) until the output
# has more lines matching $1 than the $2 it had.
expect_more() {
  for _ in $(seq 1 "${3:-100}"); do
    [ "$(grep -c -- "$1" "$out")" -gt "$2" ] && return 0
    sleep 0.1
  done
  fail "no new line matching '$1'"
}

# Sound goes to a private PulseAudio daemon with a null sink "testsink"
# (11025 Hz, 16-bit stereo) when one can start here, else to SDL's silent
# driver. pulse=1 while the daemon runs; pulse_pid is its process id.
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/pulse-daemon.sh"
pulse=0 rec_pid= pulse_pid=
pulse_start() {
  if command -v pulseaudio >/dev/null && command -v parec >/dev/null; then
    pulse_private "$work"
    pulse_daemon 11025 2 "$work/pulse.log" && pulse=1
  fi
  if [ $pulse -eq 1 ]; then
    pulse_pid=$(pulse_daemon_pid || true)
    export PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio
  else
    export SDL_AUDIODRIVER=dummy
    echo "no PulseAudio here: the sound is not checked"
  fi
}
# Freezes the daemon (every client call into it then blocks) and thaws it.
pulse_freeze() { kill -STOP "$pulse_pid"; }
pulse_thaw() { if [ -n "$pulse_pid" ]; then kill -CONT "$pulse_pid" 2>/dev/null || true; fi; }
pulse_stop() {
  pulse_thaw
  if [ -n "$rec_pid" ]; then kill "$rec_pid" 2>/dev/null || true; fi
  rec_pid=
  if [ $pulse -eq 1 ]; then pulse_daemon_stop; fi
  pulse=0
}
# Records the sink's monitor into $1 until record_end.
record_begin() {
  [ $pulse -eq 1 ] || return 0
  parec -d testsink.monitor --format=s16le --rate=11025 --channels=2 >"$1" &
  rec_pid=$!
}
# Ends the recording $1 and checks that at least two seconds of it sounded.
record_end() {
  [ -n "$rec_pid" ] || return 0
  kill "$rec_pid"; wait "$rec_pid" 2>/dev/null; rec_pid=
  python3 - "$1" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
n = len(d) // 2
s = struct.unpack('<%dh' % n, d[:2 * n])
loud = sum(1 for x in s if abs(x) > 100)
print("null sink: %d samples, %d above 100" % (n, loud))
sys.exit(0 if n > 11025 * 2 * 2 and loud > n // 4 else 1)
PY
}

# Records the null sink into $1 for $2 seconds (nothing without PulseAudio).
record_for() {
  [ $pulse -eq 1 ] || return 0
  record_begin "$1"
  sleep "$2"
  kill "$rec_pid"; wait "$rec_pid" 2>/dev/null; rec_pid=
}

# Checks with tests/tools/tone_share.py that a tone grew between two
# recordings; the arguments are the tool's.
tone_grew() { python3 "$(dirname "${BASH_SOURCE[0]}")/../tools/tone_share.py" "$@"; }

# Answers the message box captioned $1 with Return and waits until it has gone.
close_box() {
  local box
  box=$(xdotool search --sync --name "^$1\$" | head -1)
  xdotool mousemove --window "$box" 8 8
  sleep 0.3
  xdotool key Return
  for _ in $(seq 1 30); do xdotool search --name "^$1\$" >/dev/null 2>&1 || break; sleep 0.1; done
}

# Clicks at ($2, $3) in window $1 until the output has a line matching $4;
# a click right after a message box closed may go to the box: again then.
click_to() {
  for _ in 1 2 3; do
    xdotool mousemove --window "$1" "$2" "$3" click 1 2>/dev/null
    for _ in $(seq 1 20); do grep -q -- "$4" "$out" && return 0; sleep 0.1; done
  done
  expect "$4"
}

# The editor window program on row 0 with Tonality (slot 4) at its top, so
# that every tone is taken from the scale, and the sound started; $wid is
# the editor.
editor_scale_start() {
  TESSELLON_TEST_HOOK=1 "$prog" 0 >"$out" 2>&1 &
  pid=$!
  expect 'hook: editor shown'
  wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning' | head -1)
  [ -n "$wid" ] || fail "no editor window"
  for _ in 1 2 3 4 5 6; do xdotool mousemove --window "$wid" 300 110 click 1; sleep 0.1; done
  expect 'hook: editor pos4="256"'
  xdotool mousemove --window "$wid" 424 264 click 1          # S&tart
  expect 'hook: editor start="S&top"'
}

# Stop and Exit in the editor $wid; the program must end with status 0.
editor_stop_exit() {
  xdotool mousemove --window "$wid" 424 264 click 1          # S&top
  expect 'hook: editor start="S&tart"'
  xdotool mousemove --window "$wid" 490 285 click 1          # E&xit
  expect 'hook: editor closed'
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  wait "$pid"; rc=$?
  pid=
  [ $rc -eq 0 ] || fail "the program ended with status $rc"
}

# SIGTERM ends the program $pid within 5 s, with status 0.
end_program() {
  kill -TERM "$pid"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end on SIGTERM"
  wait "$pid"; rc=$?
  pid=
  [ $rc -eq 0 ] || fail "the program ended with status $rc"
}

# Ends the program if it still runs, the daemon and the private folder.
gui_cleanup() {
  if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; fi
  pulse_stop
  rm -rf "$work"
}

# In the sanitizer build, leaks of the sound, font and X libraries are not
# ours (one suppression file: LSAN_OPTIONS takes only one).
gui_lsan() {
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  cat "$here/../tools/lsan-sound.supp" "$here/lsan.supp" "$here/lsan-editor.supp" >"$work/lsan.supp"
  export LSAN_OPTIONS="suppressions=$work/lsan.supp:print_suppressions=0"
}

# Checks that window $1 is $2 x $3 pixels and keeps its screenshot in $4.
window_shot() {
  local geo
  geo=$(xwininfo -id "$1")
  echo "$geo" | grep -q "Width: $2" || fail "window width: $geo"
  echo "$geo" | grep -q "Height: $3" || fail "window height: $geo"
  sleep 0.3
  import -window "$1" "$4"
  [ -s "$4" ] || fail "no screenshot"
  echo "screenshot: $4"
}
