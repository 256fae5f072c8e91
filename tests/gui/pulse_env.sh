# Sourced by the GUI tests: sound goes to a private PulseAudio daemon with a
# null sink "testsink" (11025 Hz, 16-bit stereo) when one can start here, else
# to SDL's silent driver. Sets pulse=1 when the daemon runs; the caller's
# cleanup must call pulse_stop. Needs $work (a private folder).
pulse=0 rec_pid=
pulse_start() {
  if command -v pulseaudio >/dev/null && command -v parec >/dev/null; then
    export XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
    mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset PULSE_SERVER
    if pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit --log-target=file:"$work/pulse.log" \
         --load="module-null-sink sink_name=testsink rate=11025 format=s16le channels=2" \
         --load="module-native-protocol-unix" 2>/dev/null; then
      for _ in $(seq 50); do pactl info >/dev/null 2>&1 && { pulse=1; break; }; sleep 0.1; done
    fi
  fi
  if [ $pulse -eq 1 ]; then
    export PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio
  else
    export SDL_AUDIODRIVER=dummy
    echo "no PulseAudio here: the sound is not checked"
  fi
}
pulse_stop() {
  if [ -n "$rec_pid" ]; then kill "$rec_pid" 2>/dev/null || true; fi
  rec_pid=
  if [ $pulse -eq 1 ]; then pulseaudio --kill 2>/dev/null || true; fi
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
