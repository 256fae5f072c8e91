# Sourced by test scripts that start servers and players in the background.
# stop_process PID: ends it and reaps it within 5 s. SIGTERM first, so that a
# JACK server removes its entry from the machine's registry (which holds only
# a few) and a client closes cleanly; SIGKILL if it is still there after 5 s,
# so that a process stuck in its shutdown cannot hang the test.
stop_process() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -TERM "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "$(ps -o comm= -p "$pid") did not end within 5 s of SIGTERM; killed" >&2
    kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  return 0
}
