#!/usr/bin/env bash
# The player pad opened from the setting editor's Z button while the sound
# plays: stripes outside the area, the mode button, a click that plays a
# long extra tone, help, "&OK". The extra tone must be heard on the null sink
# (when PulseAudio can run here) over the soundscape that goes on.
#   tests/gui/pad_window.sh EDITOR_WINDOW BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_pad

pulse_start

gui_lsan
TESSELLON_TEST_HOOK=1 "$prog" 0 >"$out" 2>&1 &
pid=$!
expect 'hook: editor shown'
wid=$(xdotool search --sync --name '^Experimental - with Adjustable Panning' | head -1)
[ -n "$wid" ] || fail "no editor window"

# Tonality (slot 4) to its top: the soundscape plays its scale only.
for _ in 1 2 3 4 5 6; do xdotool mousemove --window "$wid" 300 110 click 1; sleep 0.1; done
expect 'hook: editor pos4="256"'
xdotool mousemove --window "$wid" 424 264 click 1          # S&tart
expect 'hook: editor start="S&top"'
sleep 1
[ $pulse -eq 1 ] && { record_begin "$work/a.raw"; sleep 3; kill "$rec_pid"; wait "$rec_pid" 2>/dev/null; rec_pid=; }

click_until "$wid" 344 250 'hook: pad shown'               # &Z
expect 'hook: pad label4="24 dB"'
pw=$(xdotool search --sync --name '^Wave Tessellon Player$' | head -1)
[ -n "$pw" ] || fail "no pad window"
xdotool mousemove --window "$pw" 270 230 click 1           # beside the area: stripes
sleep 0.3
window_shot "$pw" 540 288 "$shot"

# Env -> Panning -> Volume -> Length: the click's x is the tone's length.
for m in Panning Volume Length; do click_until "$pw" 340 264 "hook: pad env=\"&$m\""; done
expect 'hook: pad label1="(8)"'
# Row 26 of the area: note 38 (294) twice, decay only (the envelope split is 0).
click_until "$pw" 250 262 'hook: pad played="1"'
grep -q 'hook: pad label1="(250)"' "$out" && fail "the play mode kept the click's length"
[ $pulse -eq 1 ] && { record_begin "$work/b.raw"; sleep 3; kill "$rec_pid"; wait "$rec_pid" 2>/dev/null; rec_pid=; }

xdotool mousemove --window "$pw" 100 100 keydown shift click 1 keyup shift
expect 'hook: message caption="Player Area" text="By clicking in the player area'
box=$(xdotool search --sync --name '^Player Area$' | head -1)
xdotool mousemove --window "$box" 8 8
sleep 0.3
xdotool key Return
for _ in $(seq 1 30); do xdotool search --name '^Player Area$' >/dev/null 2>&1 || break; sleep 0.1; done
# &OK (a click right after a message box closed may go to the box: again then).
for _ in 1 2 3; do
  xdotool mousemove --window "$pw" 460 264 click 1 2>/dev/null
  for _ in $(seq 1 20); do grep -q 'hook: pad closed' "$out" && break 2; sleep 0.1; done
done
expect 'hook: pad closed'

if [ $pulse -eq 1 ]; then
  # The tone sounds at 8 * 588 * 5512 / 65536 Hz (row 0 plays the pitch
  # unscaled; the set's rate is 5512 Hz).
  python3 - "$work/a.raw" "$work/b.raw" <<'PY' || fail "the extra tone was not heard"
import math, struct, sys
def load(path):
    d = open(path, 'rb').read()
    n = len(d) // 4
    s = struct.unpack('<%dh' % (2 * n), d[:4 * n])
    return [s[2 * i] + s[2 * i + 1] for i in range(0, n, 2)]
def share(x, f0):
    n = len(x)
    total = sum(v * v for v in x) * n / 2 + 1
    best = 0.0
    for k in range(-6, 7):
        f = f0 * (1 + k * 0.0005)
        w = 2 * math.cos(2 * math.pi * f / 5512.5)
        a = b = 0.0
        for v in x:
            a, b = v + w * a - b, a
        best = max(best, (a * a + b * b - w * a * b) / total)
    return best
f = 8 * 588 * 5512 / 65536
xa, xb = load(sys.argv[1]), load(sys.argv[2])
ha, hb = share(xa, f), share(xb, f)
print("null sink: %d and %d frames; share of the pad's tone before %.5f, after %.5f" % (len(xa), len(xb), ha, hb))
sys.exit(0 if len(xa) > 5512 * 2 and len(xb) > 5512 * 2 and hb > 10 * ha + 0.0005 else 1)
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
echo "player pad window test passed"
