#!/usr/bin/env bash
# How soon `tessellon play` is heard: the median of RUNS runs (default 5) of
# the time from play's launch, and from its Start, to its first sound at
# the sink.
#   scripts/start-bench.sh TESSELLON [RUNS [LATENCY_MS]]
# A private PulseAudio daemon with a null sink at the played set's rate; one
# recorder (parec, 20 ms blocks) on its monitor for the whole run, so that
# the sink runs in short blocks (a null sink nobody reads runs in blocks of
# 2 s). The recording runs in step with the wall clock: the first sound's
# place in it, against the recording's length at the launch, gives its time.
# The figures carry the recorder's block (up to 20 ms) as uncertainty.
# A benchmark, not a test: it reports and exits 0 (77 when PulseAudio
# cannot start here).
set -uo pipefail

prog=${1:?usage: start-bench.sh TESSELLON [RUNS [LATENCY_MS]]}
runs=${2:-5}
latency=${3:-}
rate=11025
engine=(--algorithm 0 --set 4 --voices 8 --buffer-kb 32)

. "$(dirname "$0")/pulse-daemon.sh"
pulse_need start-bench pulseaudio parec pactl
pulse_test_begin
pulse_daemon $rate 2 "$work/pulse.log" || { echo "start-bench: the PulseAudio daemon does not start here"; exit 77; }
lat=()
[ -n "$latency" ] && lat=(--latency "$latency")

parec -d testsink.monitor --format=s16le --rate=$rate --channels=2 --latency-msec=20 >"$work/rec.raw" &
rec_pid=$!
sleep 2.5

ms_now() { echo $(( $(date +%s%N) / 1000000 )); }
launch=() start=()
for run in $(seq "$runs"); do
    n0=$(( $(stat -c %s "$work/rec.raw") / 4 ))
    t0=$(date +%s%N)
    PULSE_SINK=testsink SDL_AUDIODRIVER=pulseaudio "$prog" play "${engine[@]}" "${lat[@]}" --seconds 1 \
        >"$work/out" 2>"$work/err"
    sleep 0.5
    started=$(sed -n 's/.*started at \([0-9.]*\) (wall clock).*/\1/p' "$work/err")
    # The first frame that is not silence after the launch.
    first=$(tail -c +$((n0 * 4 + 1)) "$work/rec.raw" | od -An -v -tx4 -w4 | grep -n -m1 -v ' 00000000' | cut -d: -f1)
    if [ -z "$first" ] || [ -z "$started" ]; then
        echo "start-bench: run $run: no sound found"
        cat "$work/err"
        continue
    fi
    read -r l s < <(awk -v t0="$t0" -v f="$first" -v r=$rate -v st="$started" 'BEGIN {
        snd = t0 / 1e9 + (f - 1) / r
        printf "%.0f %.0f\n", (snd - t0 / 1e9) * 1000, (snd - st) * 1000 }')
    echo "start-bench: run $run: first sound $l ms after the launch, $s ms after Start"
    launch+=("$l") start+=("$s")
    sleep 0.5
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }
echo "start-bench: median of ${#start[@]} runs (latency ${latency:-default}): first sound $(median "${launch[@]}") ms after the launch, $(median "${start[@]}") ms after Start"
