#!/usr/bin/env bash
# The bundle in the build tree and installed: lv2ls and lv2info find it and
# its ports and presets through LV2_PATH, sord_validate accepts its data
# against the schemas lv2-dev installs, and the library shows its host
# nothing but lv2_descriptor.
#   bundle.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
bundle=$build/lv2/tessellon.lv2
uri=urn:tessellon:instrument
fail() { echo "lv2_bundle: $*" >&2; exit 1; }

export LV2_PATH=$build/lv2:/usr/lib/lv2
grep -qx "$uri" <<<"$(lv2ls)" || fail "lv2ls does not list $uri"
info=$(lv2info "$uri")
for sym in control out_l out_r algorithm set p0 p12 rate volume change_delay saw timbre_variation emphasis voice_maximum; do
  grep -q "Symbol: *$sym\$" <<<"$info" || fail "lv2info shows no port '$sym'"
done
[ "$(grep -c 'Built-in set' <<<"$info")" = 10 ] || fail "lv2info does not show the ten presets of the built-in setting"
grep -q 'Scale Points' <<<"$info" || fail "the algorithm port has no scale points"

out=$(sord_validate $(find /usr/lib/lv2 -name '*.ttl') "$bundle"/*.ttl 2>&1) || fail "sord_validate: $out"
grep -q 'Found 0 errors' <<<"$out" || fail "sord_validate: $out"

syms=$(nm -D --defined-only "$bundle/tessellon.so" | awk '{print $3}')
[ "$syms" = lv2_descriptor ] || fail "the library exports more than lv2_descriptor: $syms"

# Installed under the prefix's lib/lv2, the bundle is found there too.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --install "$build" --prefix "$tmp" --component lv2 >/dev/null
for f in manifest.ttl tessellon.ttl presets.ttl slots.txt tessellon.so; do
  [ -f "$tmp/lib/lv2/tessellon.lv2/$f" ] || fail "not installed: lib/lv2/tessellon.lv2/$f"
done
grep -q "Binary: *file://$tmp/lib/lv2/tessellon.lv2/tessellon.so" <<<"$(LV2_PATH=$tmp/lib/lv2:/usr/lib/lv2 lv2info "$uri")" ||
  fail "the installed bundle is not the one lv2info finds"
echo "lv2_bundle: found, valid, one symbol, installed"
