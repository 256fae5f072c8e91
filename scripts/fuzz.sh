#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan, every library
# instrumented for coverage) and runs each for SECONDS seconds (default 60)
# on its corpus in fuzz/corpus/<name>/. A crash, hang, leak or sanitizer
# report fails the run; the input that caused it is copied into the corpus
# as a regression case.
#   scripts/fuzz.sh [SECONDS] [BUILD_DIR] [TARGET...] [-DCMAKE_OPTION=...]
# FUZZ_SEED=N makes the runs repeat the same mutations (CI's short runs).
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
dir=${2:-build-fuzz}
shift $(( $# > 2 ? 2 : $# ))
names=() cmake_args=()
for a in "$@"; do
  case $a in -D*) cmake_args+=("$a") ;; *) names+=("$a") ;; esac
done
set -- "${names[@]}"
bash scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DTESS_FUZZ=ON -DTESS_SANITIZE=ON -DTESS_BENCH=OFF "${cmake_args[@]}" >/dev/null
if [ $# -gt 0 ]; then
  targets=$(for n in "$@"; do echo "fuzz_$n"; done)
else
  targets=$(for f in fuzz/fuzz_*.cpp; do basename "$f" .cpp; done)
fi
ninja -C "$dir" -j2 $targets
status=0
for name in $targets; do
  t="$dir/fuzz/$name"
  name=${name#fuzz_}
  corpus=fuzz/corpus/$name
  mkdir -p "$corpus"
  work=$(mktemp -d)
  echo "fuzzing $name for ${secs}s"
  # New inputs go to a scratch folder; the committed corpus stays small.
  if ! "$t" ${FUZZ_SEED:+-seed=$FUZZ_SEED} -max_total_time="$secs" -timeout=10 -print_final_stats=1 -artifact_prefix="$work/" "$work" "$corpus" \
       2> "$work/log"; then
    tail -40 "$work/log"
    for a in "$work"/crash-* "$work"/timeout-* "$work"/leak-* "$work"/oom-*; do
      [ -e "$a" ] || continue
      cp "$a" "$corpus/"
      echo "  $name: finding kept as $corpus/$(basename "$a")"
    done
    status=1
  fi
  # Executions, and the edges and features of the code under test reached.
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$work/log" | sed "s/^/  $name /"
  grep -E "^#[0-9]+[[:space:]]+DONE" "$work/log" | sed "s/^/  $name /" || true
  rm -rf "$work"
done
exit $status
