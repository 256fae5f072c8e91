#!/usr/bin/env bash
# `tessellon devices` names each output device beside its number, whole, as
# the sound server calls it: a private PulseAudio daemon whose null sink has
# a long description with an '&' in it. Skipped (77) where PulseAudio
# cannot start.
#   tests/app/devices_names.sh TESSELLON
set -uo pipefail
prog=${1:?usage: devices_names.sh TESSELLON}
. "$(dirname "$0")/../../scripts/pulse-daemon.sh"
pulse_need devices_names pulseaudio pactl
pulse_test_begin
pulse_daemon 44100 2 "$work/pulse.log" || { echo "PulseAudio does not start here; skipped"; exit 77; }
daemon_pid=$(pulse_daemon_pid)
name="Tessellon Test Sink & Friends, a name longer than thirty-one characters"
pactl load-module module-null-sink sink_name=second "sink_properties=\"device.description='$name'\"" >/dev/null ||
  { echo "FAIL: a second null sink"; exit 1; }
out=$(SDL_AUDIODRIVER=pulseaudio "$prog" devices 2>&1) || { echo "FAIL: devices: $out"; exit 1; }
echo "$out"
grep -q '^mapper: .' <<<"$out" || { echo "FAIL: the mapper has no name"; exit 1; }
grep -q '^0: Null Output$' <<<"$out" || { echo "FAIL: device 0 is not named"; exit 1; }
grep -qxF "1: $name" <<<"$out" || { echo "FAIL: device 1 is not named whole"; exit 1; }
echo "devices names passed"
