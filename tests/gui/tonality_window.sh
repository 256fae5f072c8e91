#!/usr/bin/env bash
# The scale editor opened from the setting editor while the sound plays:
# numbered button in edit mode, "&Init", page steps on four sliders, help,
# "&OK". The sound must go on throughout, and the changed pitch must be heard
# on the null sink (when PulseAudio can run here).
#   tests/gui/tonality_window.sh EDITOR_WINDOW BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_tonality

pulse_start

gui_lsan
TESSELLON_TEST_HOOK=1 "$prog" 0 >"$out" 2>&1 &
pid=$!
expect 'hook: editor shown'
wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning' | head -1)
[ -n "$wid" ] || fail "no editor window"

# Tonality (slot 4) to its top: every tone is taken from the scale.
for _ in 1 2 3 4 5 6; do xdotool mousemove --window "$wid" 300 110 click 1; sleep 0.1; done
expect 'hook: editor pos4="256"'
xdotool mousemove --window "$wid" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'

# Edit mode: Tonality on, Read Setting off; then the playing scale's button 3.
click_until "$wid" 30 294 'hook: editor tonality="1"'
click_until "$wid" 110 294 'hook: editor read="0"'
click_until "$wid" 344 90 'hook: tonality shown'
grep -q 'hook: question' "$out" && fail "row 0 asked before assigning"
expect 'hook: tonality caption="Scale editing (16 pitch values)"'
tw=$(xdotool search --sync --name '^Scale editing' | head -1)
[ -n "$tw" ] || fail "no scale editor window"
window_shot "$tw" 520 240 "$shot"

# Sixteen times f1, then record.
click_until "$tw" 60 212 'hook: tonality pos15="262"'      # &Init
sleep 2
[ $pulse -eq 1 ] && { record_begin "$work/a.raw"; sleep 3; kill "$rec_pid"; wait "$rec_pid" 2>/dev/null; rec_pid=; }

# Sliders 0 to 3: seven page steps each, from f1 to c2 (392).
for s in 0 1 2 3; do
  x=$((32 + 24 * s))
  for v in 277 294 311 330 349 370 392; do click_until "$tw" $x 130 "hook: tonality pos$s=\"$v\""; done
done
expect 'hook: tonality pos3="392"'
expect 'hook: tonality status="3 / 3 / c2 "'
sleep 2
[ $pulse -eq 1 ] && { record_begin "$work/b.raw"; sleep 3; kill "$rec_pid"; wait "$rec_pid" 2>/dev/null; rec_pid=; }

# Help of the Store button; the sound goes on meanwhile.
xdotool mousemove --window "$tw" 460 84 keydown shift click 1 keyup shift
expect 'hook: message caption="Store" text="store the current setting'
box=$(xdotool search --sync --name '^Store$' | head -1)
xdotool mousemove --window "$box" 8 8
sleep 0.3
xdotool key Return
for _ in $(seq 1 30); do xdotool search --name '^Store$' >/dev/null 2>&1 || break; sleep 0.1; done
# &OK (a click right after a message box closed may go to the box: again then).
for _ in 1 2 3; do
  xdotool mousemove --window "$tw" 476 210 click 1 2>/dev/null
  for _ in $(seq 1 20); do grep -q 'hook: tonality closed' "$out" && break 2; sleep 0.1; done
done
expect 'hook: tonality closed'
expect 'hook: editor status="setting 0, scale 3"'

if [ $pulse -eq 1 ]; then
  # f1 plays at 8 * 262 * 5512 / 65536 Hz, c2 at 8 * 392 * 5512 / 65536 Hz
  # (the set's rate is 5512 Hz). The share of c2 in the sound must rise.
  python3 - "$work/a.raw" "$work/b.raw" <<'PY' || fail "the changed pitch was not heard"
import math, struct, sys
def load(path):
    d = open(path, 'rb').read()
    n = len(d) // 4
    s = struct.unpack('<%dh' % (2 * n), d[:4 * n])
    return [s[2 * i] + s[2 * i + 1] for i in range(0, n, 2)]  # 5512.5 Hz is plenty
def share(x, f0):
    # The strongest line within 1.5% of f0 (the device may round the rate),
    # as a share of the whole power.
    n = len(x)
    total = sum(v * v for v in x) * n / 2 + 1
    best = 0.0
    for k in range(-12, 13):
        f = f0 * (1 + k * 0.00125)
        w = 2 * math.cos(2 * math.pi * f / 5512.5)
        a = b = 0.0
        for v in x:
            a, b = v + w * a - b, a
        best = max(best, (a * a + b * b - w * a * b) / total)
    return best
lo, hi = 8 * 262 * 5512 / 65536, 8 * 392 * 5512 / 65536
xa, xb = load(sys.argv[1]), load(sys.argv[2])
fa, ha, hb = share(xa, lo), share(xa, hi), share(xb, hi)
print("null sink: %d and %d frames; f1 share before %.4f, c2 share before %.5f, after %.5f" % (len(xa), len(xb), fa, ha, hb))
sys.exit(0 if len(xa) > 5512 * 2 and len(xb) > 5512 * 2 and fa > 0.02 and hb > 10 * ha + 0.0005 else 1)
PY
fi

xdotool mousemove --window "$wid" 424 264 click 1          # S&top
expect 'hook: editor start="S&tart"'
xdotool mousemove --window "$wid" 490 285 click 1          # E&xit
expect 'hook: editor closed'
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid"; rc=$?
pid=
[ $rc -eq 0 ] || fail "the program ended with status $rc"
grep -q 'editor returned setnr=0 tonr=3' "$out" || fail "set and scale not handed back"
echo "scale editor window test passed"
