#!/usr/bin/env bash
# Checks the preset library as it ships: at least 40 presets, every
# algorithm row 0..21 among them, the ten introduction examples; and each
# one, rendered for 60 s, has no silence longer than 2 s, no jump of more
# than 40000 between adjacent samples (a wrap-around), a peak below full
# scale and an integrated loudness of -20 +- 4 LUFS; at least half of them
# are full-range (99 % of the energy below 5 kHz or more).
#
#   presets/check.sh TESSELLON PRESET_LISTEN
set -uo pipefail
prog=$1 listen=$2
here=$(cd "$(dirname "$0")" && pwd)
export TESSELLON_PRESETS=$here
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$prog" render --list-presets >"$work/list" 2>"$work/err" || fail "render --list-presets: $(cat "$work/err")"
[ -s "$work/err" ] && fail "the index has lines that cannot be used: $(cat "$work/err")"
n=$(wc -l <"$work/list")
[ "$n" -ge 40 ] || fail "$n presets, fewer than 40"
for row in $(seq 0 21); do
  grep -q " row $row " "$work/list" || fail "no preset plays row $row"
done
[ "$(grep -c '^intro-' "$work/list")" -eq 10 ] || fail "the ten introduction examples are not all there"
high=$(awk '$5 == "Hz" && $4 >= 22050 && $4 <= 44100' "$work/list" | wc -l)
[ $((2 * high)) -gt "$n" ] || fail "only $high of $n presets play at 22050..44100 Hz"

bad=0 full=0
while read -r name _; do
  "$prog" render --preset "$name" --seconds 60 -o "$work/p.wav" >/dev/null 2>"$work/err" ||
    { echo "FAIL: $name does not render: $(cat "$work/err")" >&2; bad=$((bad + 1)); continue; }
  if ! "$listen" "$work/p.wav" --min-lufs -24 --max-lufs -16 --max-silence 2 --max-jump 40000 \
       --max-peak 32766 >"$work/m" 2>"$work/err"; then
    echo "FAIL: $name: $(tr '\n' ' ' <"$work/err") ($(tr '\n' ' ' <"$work/m"))" >&2
    bad=$((bad + 1))
  fi
  bw=$(sed -n 's/^bw99=//p' "$work/m")
  [ "${bw%.*}" -ge 5000 ] && full=$((full + 1))
done <"$work/list"
echo "$n presets, $full full-range, $bad failing"
[ "$bad" -eq 0 ] || exit 1
[ $((2 * full)) -ge "$n" ] || fail "only $full of $n presets are full-range"
exit 0
