#!/usr/bin/env bash
# A sound server frozen (SIGSTOP) before the program starts: `devices`,
# `play` and `sample record` say that it does not answer and exit 1 within
# a few seconds (each time is printed), SIGINT and SIGTERM end them at once
# while they wait for it, and the window program opens its window, with the
# reason in the setting editor's status text when Start cannot play.
#   tests/gui/frozen_server.sh PROGRAM BUILD_DIR    (run under with_xvfb.sh)
# Exit 77 (skip) where PulseAudio cannot start.
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_frozen_server
gui_lsan
pulse_need frozen_server pulseaudio pactl
pulse_private "$work"
pulse_daemon 22050 2 "$work/pulse.log" ||
  { echo "frozen_server: the PulseAudio daemon does not start here; skipped"; exit 77; }
pulse=1
pulse_pid=$(pulse_daemon_pid)
[ -n "$pulse_pid" ] || fail "no pid of the PulseAudio daemon"
export SDL_AUDIODRIVER=pulseaudio

# Freezes the daemon after it has taken the connections that earlier cases
# left in its queue (a full queue refuses a connection at once).
refreeze() {
  pulse_thaw
  pactl info >/dev/null 2>&1 || fail "the PulseAudio daemon does not answer after a thaw"
  pulse_freeze
}
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

# Each command: the message, status 1, and no file; the limit is generous
# (the program gives up after 2 s) so that a loaded machine does not fail it.
for cmd in devices "play --seconds 5" "sample record --seconds 1 $work/rec.wav"; do
  refreeze
  t0=$(date +%s%N)
  timeout 30 "$prog" $cmd >"$out" 2>&1
  rc=$?
  ms=$(ms_since "$t0")
  echo "frozen_server: '$cmd' ended with status $rc after $ms ms"
  [ $rc -eq 1 ] || fail "'$cmd' ended with status $rc"
  [ "$ms" -lt 10000 ] || fail "'$cmd' took $ms ms"
  grep -q 'the sound server does not answer' "$out" || fail "'$cmd' does not say that the server does not answer"
done
[ -e "$work/rec.wav" ] && fail "sample record left a file"

# A signal while the program waits for the server (its helper thread runs).
for sig in INT TERM; do
  for cmd in "play --seconds 5" "sample record --seconds 1 $work/rec.wav"; do
    refreeze
    "$prog" $cmd >"$out" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      [ "$(awk '/^Threads:/ {print $2}' "/proc/$pid/status" 2>/dev/null)" -ge 2 ] 2>/dev/null && break
      sleep 0.05
    done
    t0=$(date +%s%N)
    kill -"$sig" "$pid"
    wait "$pid"
    rc=$?
    pid=
    ms=$(ms_since "$t0")
    echo "frozen_server: SIG$sig ended '$cmd' with status $rc after $ms ms"
    [ $rc -eq 1 ] || fail "SIG$sig ended '$cmd' with status $rc"
    grep -q 'stopped while waiting for the sound server' "$out" || fail "'$cmd' does not say why it stopped"
  done
done

# The window program: its window opens; Start in the editor says why it
# cannot play; SIGTERM ends it with status 0.
refreeze
t0=$(date +%s%N)
TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect 'hook: main-window shown'
echo "frozen_server: the main window showed after $(ms_since "$t0") ms"
grep -q '^tessellon: no audio output: .*no answer' "$out" || fail "stderr does not say that the server does not answer"
wid=$(xdotool search --sync --name '^WVTESSEL$' | head -1)
xdotool mousemove --window "$wid" 15 40 click 1             # the icon of row 0
expect 'hook: editor shown'
ed=$(xdotool search --sync --onlyvisible --name '^Experimental - with Adjustable Panning' | head -1)
xdotool mousemove --window "$ed" 424 264 click 1            # S&tart
expect 'hook: editor status="the output device could not be opened: the sound server does not answer'
xdotool mousemove --window "$ed" 490 285 click 1            # E&xit
expect 'hook: editor closed'
end_program
echo "frozen-server test passed"
