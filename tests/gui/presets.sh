#!/usr/bin/env bash
# The preset library in the real window: Presets > Play Something opens a
# preset in the editor, playing; the play-something button beside the
# toolbar does the same; `tessellon --preset NAME` opens that preset.
#   tests/gui/presets.sh TESSELLON BUILD_DIR    (run under with_xvfb.sh)
set -uo pipefail
prog=$1
build=$2
. "$(dirname "$0")/lib.sh"
gui_begin gui_presets
export SDL_AUDIODRIVER=dummy HOME="$work"
export TESSELLON_PRESETS="$(cd "$(dirname "$0")/../../presets" && pwd)"
gui_lsan

# The editor shown for the ($1+1)-th time plays the preset; Exit closes it.
editor_plays_then_exit() {
  expect_more 'hook: editor shown' "$1"
  expect_more 'hook: editor start="S&top"' "$1"
  local caption
  ed=
  caption=$(sed -n 's/.*hook: editor caption="\(.*\)"/\1/p' "$out" | tail -1)
  local re="^$(sed 's/[][().*+?^$|\\]/\\&/g' <<<"$caption")\$"
  for _ in $(seq 1 50); do
    ed=$(xdotool search --onlyvisible --name "$re" | head -1)
    [ -n "$ed" ] && break
    sleep 0.1
  done
  [ -n "$ed" ] || fail "no editor window named $caption"
  xdotool mousemove --window "$ed" 490 285 click 1          # E&xit
  expect_more 'hook: editor closed' "$1"
}

TESSELLON_TEST_HOOK=1 "$prog" --no-intro >"$out" 2>&1 &
pid=$!
expect 'hook: main-window shown'
wid=$(window_named '^WVTESSEL$')

# Presets > Play Something.
keys_to "$wid" alt+p s
expect 'hook: preset '
name=$(sed -n 's/.*hook: preset //p' "$out" | tail -1)
"$prog" render --list-presets | grep -q "^$name " || fail "'$name' is no preset of the library"
row=$(sed -n 's/.*hook: open-editor row=\([0-9]*\).*/\1/p' "$out" | tail -1)
"$prog" render --list-presets | grep -q "^$name *row $row " || fail "'$name' opened on row $row"
editor_plays_then_exit 0

# The button right of the toolbar (client 355,45 below the 25-pixel menu bar).
n=$(grep -c 'hook: preset ' "$out")
click_until "$wid" 370 85 'hook: preset '
editor_plays_then_exit 1
end_program

# A preset named on the command line: opened and played at once, without
# the introduction's question.
TESSELLON_TEST_HOOK=1 "$prog" --preset four-tracks >"$out" 2>&1 &
pid=$!
expect 'hook: preset four-tracks'
expect 'hook: open-editor row=21 '
editor_plays_then_exit 0
end_program
grep -q 'STARTING' "$out" && fail "the introduction's question was asked"
echo "ok"
