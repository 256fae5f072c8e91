#!/usr/bin/env bash
# scripts/check-layers.sh on a small tree with one fault of each kind: every
# fault is named, and the same tree without them passes.
set -uo pipefail
check=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for d in app shell intro editor audio player files engine; do mkdir -p "$tmp/$d"; done
cat >"$tmp/CMakeLists.txt" <<'CM'
target_link_libraries(tess_files PUBLIC tess_engine)
target_link_libraries(tess_audio PUBLIC tess_engine PRIVATE tess_files)
target_link_libraries(tess_player PUBLIC tess_engine)
CM
echo '#include "engine/a.h"' >"$tmp/files/f.h"
echo '#include "files/f.h"' >"$tmp/audio/s.cpp"
echo '#include "engine/a.h"' >"$tmp/audio/s.h"
echo '#include "engine/a.h"' >"$tmp/player/p.h"
touch "$tmp/engine/a.h"
bash "$check" "$tmp" >/dev/null || { echo "a clean tree fails"; exit 1; }

echo '#include "player/p.h"' >>"$tmp/files/f.h"  # against the order
echo '#include <FL/Fl.H>' >>"$tmp/player/p.h"    # a window below the editor
echo '#include <SDL.h>' >>"$tmp/engine/a.h"      # a device in the engine
echo '#include "files/f.h"' >>"$tmp/audio/s.h"   # public now, linked private
echo '#include "engine/a.h"' >"$tmp/shell/m.h"   # no link at all (no line)
out=$(bash "$check" "$tmp" 2>&1) && { echo "faults pass: $out"; exit 1; }
fail=0
for want in "files/f.h:2 includes player/p.h, but files/ is below player/" \
            "player/p.h:2 includes FLTK, but player/ knows no window" \
            "engine/a.h:1 includes SDL, but engine/ knows no device" \
            "tess_audio must link tess_files PUBLIC" \
            "tess_audio links tess_files PRIVATE, but" \
            "tess_shell must link tess_engine PUBLIC" \
            "the known include x.h:y/z.h is gone"; do
  [[ $want == "the known"* ]] && out=$(bash "$check" "$tmp" --known x.h:y/z.h 2>&1)
  grep -qF "$want" <<<"$out" || { echo "not reported: $want"; fail=1; }
done
[ $fail = 0 ] && echo "every fault reported"
exit $fail
