#!/usr/bin/env bash
# Renders the PNG sizes of the icon from zrk-builder.svg beside this script, one
# zrk-builder-N.png per size the installation puts under share/icons/hicolor/NxN/apps/. The PNGs
# are kept in the repository, so a build never needs the renderer; run this after changing the
# SVG (it needs rsvg-convert: `bash scripts/setup.sh librsvg2-bin`).
set -euo pipefail
cd "$(dirname "$0")"

for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "zrk-builder-$size.png" zrk-builder.svg
done
