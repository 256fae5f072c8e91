#!/usr/bin/env bash
# jalv plays the plugin for 10 s under a private JACK server (the dummy
# driver, at the built-in set 0's rate of 5512 Hz); jack-stdout records its
# outputs as floats. The recording is the program's render, word for word
# (word / 32768), from wherever the recording began: that start is found
# where the first frames match, then every frame must.
#   jalv.sh BUILD_DIR TESSELLON
# Exit 77 when a JACK server cannot start here, or in the sanitizer build.
set -uo pipefail
build=$(cd "$1" && pwd)
prog=$2
uri=urn:tessellon:instrument
for t in jackd jalv jack-stdout jack_lsp; do
  command -v "$t" >/dev/null || { echo "lv2_jalv: $t is not installed (scripts/install-deps.sh)" >&2; exit 77; }
done
# A host that is not built with the sanitizers cannot load a plugin that is.
if readelf -d "$build/lv2/tessellon.lv2/tessellon.so" | grep -q 'libasan'; then
  echo "lv2_jalv: the plugin is built with the sanitizers, which jalv cannot load; skipped" >&2
  exit 77
fi
tmp=$(mktemp -d)
export JACK_DEFAULT_SERVER=tess-lv2-$$
export LV2_PATH=$build/lv2:/usr/lib/lv2
pids=()
. "$(dirname "$0")/../tools/stop.sh"
cleanup() {
  exec 3>&-
  for p in "${pids[@]}"; do stop_process "$p"; done  # jalv before the server
  rm -rf "$tmp"
}
trap cleanup EXIT

jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 5512 -p 512 >"$tmp/jackd.log" 2>&1 &
pids+=($!)
up=0
for _ in $(seq 50); do
  jack_lsp >/dev/null 2>&1 && { up=1; break; }
  sleep 0.2
done
[ "$up" = 1 ] || { echo "lv2_jalv: the JACK server did not start:" >&2; cat "$tmp/jackd.log" >&2; exit 77; }

# jalv reads commands from its input: a pipe held open keeps it running.
mkfifo "$tmp/in"
jalv -x -n tess "$uri" <"$tmp/in" >"$tmp/jalv.log" 2>&1 &
pids=($! "${pids[@]}")  # stopped before the server
exec 3>"$tmp/in"
for _ in $(seq 100); do
  jack_lsp 2>/dev/null | grep -qx 'tess:out_r' && break
  sleep 0.1
done
jack_lsp 2>/dev/null | grep -qx 'tess:out_r' || { echo "lv2_jalv: jalv shows no ports:" >&2; cat "$tmp/jalv.log" >&2; exit 1; }

jack-stdout -q -e float -d 10 tess:out_l tess:out_r >"$tmp/cap.raw" 2>"$tmp/cap.log" ||
  { echo "lv2_jalv: jack-stdout failed:" >&2; cat "$tmp/cap.log" >&2; exit 1; }
"$prog" render --seconds 40 --raw -o "$tmp/render.raw" 2>/dev/null || { echo "lv2_jalv: render failed" >&2; exit 1; }

/usr/bin/python3 - "$tmp/cap.raw" "$tmp/render.raw" <<'PY'
import array, sys
cap = array.array('f'); cap.frombytes(open(sys.argv[1], 'rb').read())
ren = array.array('h'); ren.frombytes(open(sys.argv[2], 'rb').read())
if sys.byteorder != 'little': ren.byteswap()
want = [w / 32768.0 for w in ren]
n = len(cap) // 2 * 2
if n < 2 * 5512 * 9:
    sys.exit(f"lv2_jalv: only {n // 2} frames recorded")
# The recording's start within the render: where its first frames match.
probe = 2 * 2048
start = next((k for k in range(0, len(want) - n, 2) if want[k:k + probe] == list(cap[:probe])), None)
if start is None:
    sys.exit("lv2_jalv: the recording's start is nowhere in the render")
bad = [i for i in range(n) if cap[i] != want[start + i]]
if bad:
    sys.exit(f"lv2_jalv: {len(bad)} of {n} samples differ from the render, the first at frame {bad[0] // 2}")
print(f"lv2_jalv: {n // 2} frames recorded from jalv equal the render from frame {start // 2}")
PY
