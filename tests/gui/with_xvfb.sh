#!/usr/bin/env bash
# Runs a command on a private Xvfb server and stops the server afterwards,
# also when the command fails or the script is interrupted.
#   tests/gui/with_xvfb.sh COMMAND [ARGS...]
set -euo pipefail

# A free display number: no lock file and no socket.
num=
for n in $(seq 91 199); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then num=$n; break; fi
done
[ -n "$num" ] || { echo "with_xvfb: no free display number" >&2; exit 1; }

Xvfb ":$num" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
stop() { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
trap stop EXIT
trap 'exit 130' INT TERM

export DISPLAY=":$num"
for _ in $(seq 1 100); do
  xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "with_xvfb: Xvfb :$num did not start" >&2; exit 1; }
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "with_xvfb: Xvfb :$num does not answer" >&2; exit 1; }

"$@"
