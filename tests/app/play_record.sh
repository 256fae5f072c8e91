#!/bin/bash
# play --record as a user meets it, on SDL's silent driver (real time).
#   tests/app/play_record.sh TESSELLON kill   SIGKILL at 10 moments of the first
#       2 s (50, 250, ... 1850 ms): every file left reads as exactly what it
#       holds (header = length).
#   tests/app/play_record.sh TESSELLON full   a recording onto a small tmpfs:
#       play stops within a buffer or so of the disc filling, says "No space
#       left on device" and exits 1, the file is valid; with no room even for
#       the header, no file is left.
# Exit 0 pass, 1 fail, 77 skip (full: no tmpfs can be mounted here).
set -uo pipefail

prog=${1:?usage: play_record.sh TESSELLON kill|full}
mode=${2:?usage: play_record.sh TESSELLON kill|full}
export SDL_AUDIODRIVER=dummy
# Set 4 plays 16-bit stereo at 11025 Hz: 44100 bytes a second, buffers of
# 7936 frames (31744 bytes, 0.72 s).
engine=(--algorithm 0 --set 4 --voices 8 --buffer-kb 32)
bytes_per_sec=44100
buffer=31744

work=$(mktemp -d /tmp/tessellon-rec-XXXXXX)
mnt=
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    [ -n "$mnt" ] && umount "$mnt" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "play_record: $*"; exit 1; }
le32() { od -A n -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }

# The header's two sizes against the file's length.
check_header() {  # FILE WHAT
    local f=$1 what=$2 size
    size=$(stat -c %s "$f")
    [ "$size" -ge 44 ] || fail "$what: $size bytes, no whole header"
    local riff data
    riff=$(le32 "$f" 4)
    data=$(le32 "$f" 40)
    [ "$riff" -eq $((size - 8)) ] && [ "$data" -eq $((size - 44)) ] ||
        fail "$what: the header tells $data data bytes (RIFF $riff), the file holds $((size - 44))"
    if command -v sox >/dev/null; then
        sox "$f" -n stat 2>"$work/sox.err" || { cat "$work/sox.err"; fail "$what: sox cannot read it"; }
        grep -qi 'warn\|fail' "$work/sox.err" && { cat "$work/sox.err"; fail "$what: sox warns"; }
    fi
    return 0
}

case $mode in
kill)
    files=0
    for i in $(seq 10); do
        f="$work/k$i.wav"
        "$prog" play "${engine[@]}" --seconds 10 --record "$f" >"$work/k$i.out" 2>&1 &
        pid=$!
        ms=$((i * 200 - 150))
        sleep "$(awk -v ms="$ms" 'BEGIN { print ms / 1000 }')"
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null
        pid=
        if [ -e "$f" ]; then
            check_header "$f" "killed after $ms ms"
            echo "play_record: killed after $ms ms: $(( $(stat -c %s "$f") - 44 )) data bytes, header agrees"
            files=$((files + 1))
        else
            echo "play_record: killed after $ms ms: no file yet"
        fi
    done
    [ "$files" -ge 8 ] || fail "only $files of 10 plays had created their file"
    ;;
full)
    mnt="$work/small"
    mkdir "$mnt"
    if ! mount -t tmpfs -o size=256k tmpfs "$mnt" 2>"$work/mount.err"; then
        mnt=
        echo "play_record: skipped: cannot mount a tmpfs here ($(cat "$work/mount.err"))"
        exit 77
    fi
    f="$mnt/full.wav"
    t0=$(date +%s.%N)
    "$prog" play "${engine[@]}" --seconds 30 --record "$f" >"$work/full.out" 2>&1
    rc=$?
    t1=$(date +%s.%N)
    cat "$work/full.out"
    [ $rc -eq 1 ] || fail "play on a full disc exited $rc, not 1"
    grep -q 'No space left on device' "$work/full.out" || fail "play did not say 'No space left on device'"
    check_header "$f" "the recording on the full disc"
    size=$(stat -c %s "$f")
    data=$((size - 44))
    # Stopped at the first short write: not even one more buffer had room.
    free=$(( $(stat -f -c '%a * %S' "$mnt") ))
    [ $((free + (size % 4096 ? 4096 - size % 4096 : 0))) -lt "$buffer" ] ||
        fail "the recording stopped with $free bytes still free"
    # Stopped within about a buffer of the disc filling: play's own time
    # before it began is at most a few hundred ms, the slack covers a busy
    # machine.
    read -r held took < <(awk -v d="$data" -v r="$bytes_per_sec" -v a="$t0" -v b="$t1" \
        'BEGIN { printf "%.2f %.2f\n", d / r, b - a }')
    echo "play_record: $data data bytes ($held s) held; play ended after $took s of 30"
    awk -v h="$held" -v t="$took" 'BEGIN { exit !(t < h + 2 * 0.72 + 3) }' ||
        fail "play went on for $took s after holding $held s"
    # No room even for the header: no file is left.
    rm -f "$f"
    dd if=/dev/zero of="$mnt/filler" bs=4096 2>/dev/null
    "$prog" play "${engine[@]}" --seconds 5 --record "$mnt/none.wav" >"$work/none.out" 2>&1
    rc=$?
    cat "$work/none.out"
    [ $rc -eq 1 ] || fail "play without room for the header exited $rc, not 1"
    grep -q 'No space left on device' "$work/none.out" || fail "play did not say 'No space left on device' for the header"
    [ -e "$mnt/none.wav" ] && fail "a file without its header was left behind"
    ;;
*) fail "unknown mode $mode" ;;
esac
echo "play_record: $mode passed"
exit 0
