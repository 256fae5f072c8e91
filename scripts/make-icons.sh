#!/usr/bin/env bash
# Renders the program icon resources/icons/tessellon.svg into the PNG sizes
# of the hicolor theme (resources/icons/SIZE/tessellon.png), which are kept
# in the repository so that installing needs no SVG renderer.
# Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for s in 16 22 24 32 48 64 128 256; do
  mkdir -p "$s"
  rsvg-convert -w "$s" -h "$s" tessellon.svg -o "$s/tessellon.png"
done
