#!/usr/bin/env bash
# The program's main job on a fresh machine: install what is missing, build,
# and render the built-in default setting to a WAV file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
build/tessellon render --algorithm 0 --seconds 20 -o build/default.wav
