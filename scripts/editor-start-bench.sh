#!/usr/bin/env bash
# How soon Start in the setting editor is heard: the median of RUNS runs
# (default 5) of the time from the click on S&tart to the first sound at
# the sink, measured as scripts/start-bench.sh does for play.
#   tests/gui/with_xvfb.sh scripts/editor-start-bench.sh EDITOR_WINDOW [RUNS]
# EDITOR_WINDOW is the build's editor_window tool (the editor on its own,
# row 0 of the built-in setting, whose first frame sounds). A benchmark: it
# reports and exits 0 (77 when PulseAudio cannot start here).
set -uo pipefail

prog=${1:?usage: editor-start-bench.sh EDITOR_WINDOW [RUNS]}
runs=${2:-5}
rate=11025

. "$(dirname "$0")/pulse-daemon.sh"
pulse_need editor-start-bench pulseaudio parec pactl xdotool
pulse_test_begin
pulse_daemon $rate 2 "$work/pulse.log" || { echo "editor-start-bench: the PulseAudio daemon does not start here"; exit 77; }
export PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio

parec -d testsink.monitor --format=s16le --rate=$rate --channels=2 --latency-msec=20 >"$work/rec.raw" &
rec_pid=$!
sleep 2.5

out="$work/out"
wait_for() {  # a line matching $1 in the program's output
    for _ in $(seq 1 100); do grep -q -- "$1" "$out" && return 0; sleep 0.05; done
    echo "editor-start-bench: no line matching '$1'"; cat "$out"; exit 1
}
start=() again=()
for run in $(seq "$runs"); do
    : >"$out"
    TESSELLON_TEST_HOOK=1 "$prog" 0 >"$out" 2>&1 &
    play_pid=$!
    wait_for 'hook: editor shown'
    wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning' | head -1)
    xdotool mousemove --window "$wid" 424 264
    sleep 0.5
    # Start in a new editor, then Stop and Start again (the stream that ran
    # silent after the Stop is replaced).
    for take in first again; do
        n0=$(( $(stat -c %s "$work/rec.raw") / 4 ))
        xdotool click 1                                      # S&tart
        wait_for 'hook: editor start="S&top"'
        sleep 1
        f=$(tail -c +$((n0 * 4 + 1)) "$work/rec.raw" | od -An -v -tx4 -w4 | grep -n -m1 -v ' 00000000' | cut -d: -f1)
        n=$(grep -c 'hook: editor start="S&tart"' "$out")
        xdotool click 1                                      # S&top
        for _ in $(seq 1 100); do [ "$(grep -c 'hook: editor start="S&tart"' "$out")" -gt "$n" ] && break; sleep 0.05; done
        sleep 0.7
        if [ -z "$f" ]; then echo "editor-start-bench: run $run ($take Start): no sound found"; continue; fi
        ms=$(awk -v f="$f" -v r=$rate 'BEGIN { printf "%.0f", (f - 1) * 1000 / r }')
        echo "editor-start-bench: run $run: first sound $ms ms after the click on Start ($take Start)"
        if [ $take = first ]; then start+=("$ms"); else again+=("$ms"); fi
    done
    xdotool mousemove --window "$wid" 490 285 click 1        # E&xit
    wait "$play_pid"
    play_pid=
    sleep 0.5
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }
echo "editor-start-bench: median of ${#start[@]} runs: first sound $(median "${start[@]}") ms after Start in a new editor, $(median "${again[@]}") ms after Start again"
