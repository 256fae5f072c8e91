#!/usr/bin/env bash
# The program's main job on a fresh machine: install what is missing, build,
# and open the window program. Without an X display it renders the built-in
# default setting to a WAV file instead and prints its path and length.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
if [ -n "${DISPLAY:-}" ]; then
  exec build/tessellon
fi
echo "no X display: rendering the built-in default setting instead of opening the window"
build/tessellon render --seconds 20 -o build/default.wav
