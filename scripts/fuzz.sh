#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for
# SECONDS seconds (default 60) on its corpus in fuzz/corpus/<name>/.
# A crash, leak or sanitizer report fails the run.
#   scripts/fuzz.sh [SECONDS] [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
dir=${2:-build-fuzz}
shift 2 || shift $#
bash scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESS_FUZZ=ON -DTESS_SANITIZE=ON -DTESS_BENCH=OFF "$@" >/dev/null
targets=$(for f in fuzz/fuzz_*.cpp; do basename "$f" .cpp; done)
ninja -C "$dir" -j2 $targets
status=0
for name in $targets; do
  t="$dir/fuzz/$name"
  name=$(basename "$t"); name=${name#fuzz_}
  corpus=fuzz/corpus/$name
  mkdir -p "$corpus"
  work=$(mktemp -d)
  echo "fuzzing $name for ${secs}s"
  # New inputs go to a scratch folder; the committed corpus stays small.
  if ! "$t" -max_total_time="$secs" -timeout=10 -print_final_stats=1 -artifact_prefix="$work/" "$work" "$corpus" \
       2> "$work/log"; then
    tail -40 "$work/log"
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$work/log" | sed "s/^/  $name /"
  rm -rf "$work"
done
exit $status
