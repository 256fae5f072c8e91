#!/usr/bin/env bash
# Checks that the source folders form a strict order and that the build says
# so. From the top:
#     app lv2 shell intro editor audio player files engine
# (lv2/, the plugin, stands beside the program at the top.)
# A folder includes only itself and folders below it. The engine knows no
# device, screen or file: no FLTK or SDL there; the streaming cycle and what
# it plays (audio/, player/, files/, engine/) know no window: no FLTK.
# Each library tess_<folder> of CMakeLists.txt links exactly the folders its
# sources include: PUBLIC those its headers include, PRIVATE the others.
#
#   scripts/check-layers.sh [SOURCE_DIR] [--known FILE:FOLDER/HEADER ...]
#
# --known accepts one include that breaks the order while it is being
# moved; a known include that has gone is an error too, so that the
# exception goes with it. Exit status 1 on any fault, each one on a line.
set -uo pipefail

src=.
known=()
while [ $# -gt 0 ]; do
  case $1 in
    --known) known+=("$2"); shift 2 ;;
    *) src=$1; shift ;;
  esac
done
cd "$src" || exit 2

layers=(app lv2 shell intro editor audio player files engine)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
order="${layers[*]}"

faults=0
fault() {
  echo "check-layers: $*" >&2
  faults=$((faults + 1))
}

declare -A known_seen
for k in "${known[@]}"; do known_seen[$k]=0; done

# Project includes of one file: "LINE FOLDER/HEADER" for each #include "x/y".
project_includes() {
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z0-9_]*\)\/\([^"]*\)".*/\1\/\2/p' "$1"
}

declare -A pub priv   # folder -> " dep dep " sets
for dir in "${layers[@]}"; do
  pub[$dir]=" "
  priv[$dir]=" "
  for f in "$dir"/*.h "$dir"/*.cpp; do
    [ -e "$f" ] || continue
    while IFS=: read -r line inc; do
      to=${inc%%/*}
      [ -n "${rank[$to]+x}" ] || continue   # not one of the folders (hwy/, ...)
      if [ "${rank[$to]}" -lt "${rank[$dir]}" ]; then
        if [ -n "${known_seen[$f:$inc]+x}" ]; then
          known_seen[$f:$inc]=1
          continue   # nor does it ask for a link against the order
        else
          fault "$f:$line includes $inc, but $dir/ is below $to/ (order from the top: $order)"
        fi
      fi
      [ "$to" = "$dir" ] && continue
      # app/main.cpp is the program's own source, not part of tess_app.
      [ "$f" = app/main.cpp ] && continue
      case $f in
        *.h) [[ ${pub[$dir]} == *" $to "* ]] || pub[$dir]+="$to " ;;
        *) [[ ${priv[$dir]} == *" $to "* ]] || priv[$dir]+="$to " ;;
      esac
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z0-9_]*/' "$f" |
             sed 's/^\([0-9]*\):.*"\([a-z0-9_]*\/[^"]*\)".*/\1:\2/')
  done
done
for k in "${known[@]}"; do
  [ "${known_seen[$k]}" = 1 ] ||
    fault "the known include $k is gone: drop it from the check's --known list"
done

# No window system below the editor, no device either in the engine.
forbid() {  # FOLDER PATTERN WHAT
  local hit
  while IFS= read -r hit; do
    [ -n "$hit" ] && fault "${hit%%:#*} includes $3, but $1/ knows no ${4}"
  done < <(grep -Hn "^[[:space:]]*#[[:space:]]*include[[:space:]]*<$2" "$1"/*.h "$1"/*.cpp 2>/dev/null | cut -d: -f1,2 | sed 's/$/:#/')
}
for dir in audio player files engine; do forbid "$dir" 'FL/' FLTK window; done
forbid engine SDL SDL device

# What CMakeLists.txt links: one target_link_libraries line per library.
declare -A lpub lpriv
while read -r target rest; do
  dir=${target#tess_}
  mode=PUBLIC
  lpub[$dir]=" "
  lpriv[$dir]=" "
  for tok in $rest; do
    case $tok in
      PUBLIC | PRIVATE | INTERFACE) mode=$tok ;;
      tess_*)
        if [ "$mode" = PRIVATE ]; then lpriv[$dir]+="${tok#tess_} "; else lpub[$dir]+="${tok#tess_} "; fi ;;
    esac
  done
done < <(sed -n 's/^[[:space:]]*target_link_libraries(\(tess_[a-z0-9]*\)[[:space:]]\(.*\))[[:space:]]*$/\1 \2/p' CMakeLists.txt)

for dir in "${layers[@]}"; do
  for to in ${pub[$dir]}; do
    [[ ${lpub[$dir]-} == *" $to "* ]] ||
      fault "tess_$dir must link tess_$to PUBLIC: a header of $dir/ includes $to/"
  done
  for to in ${priv[$dir]}; do
    [[ ${pub[$dir]} == *" $to "* ]] && continue
    [[ ${lpriv[$dir]-} == *" $to "* ]] ||
      fault "tess_$dir must link tess_$to PRIVATE: only sources of $dir/ include $to/"
  done
  for to in ${lpub[$dir]-}; do
    [[ ${pub[$dir]} == *" $to "* ]] ||
      fault "tess_$dir links tess_$to PUBLIC, but no header of $dir/ includes $to/"
  done
  for to in ${lpriv[$dir]-}; do
    [[ ${priv[$dir]} == *" $to "* && ${pub[$dir]} != *" $to "* ]] ||
      fault "tess_$dir links tess_$to PRIVATE, but no source of $dir/ includes it alone"
  done
done

if [ "$faults" -gt 0 ]; then
  echo "check-layers: $faults fault(s)" >&2
  exit 1
fi
echo "check-layers: the folders keep their order ($order) and each library links what it includes"
