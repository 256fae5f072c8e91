#!/usr/bin/env bash
# Runs a command on a private Xvfb server and stops the server afterwards,
# also when the command fails or the script is interrupted.
#   tests/gui/with_xvfb.sh COMMAND [ARGS...]
set -euo pipefail

# Xvfb picks a free display number itself and writes it to -displayfd, so
# that tests started at the same moment never race for the same number.
work=$(mktemp -d)
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
stop() { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -rf "$work"; }
trap stop EXIT
trap 'exit 130' INT TERM

num=
read -r -t 20 num < "$work/display" || true
[ -n "$num" ] || { echo "with_xvfb: Xvfb did not start" >&2; exit 1; }

export DISPLAY=":$num"
# The program remembers choices from one start to the next: a test starts
# with none of the user's, and leaves none behind.
export XDG_CONFIG_HOME="$work/config"
for _ in $(seq 1 100); do
  xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "with_xvfb: Xvfb :$num did not start" >&2; exit 1; }
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "with_xvfb: Xvfb :$num does not answer" >&2; exit 1; }

"$@"
