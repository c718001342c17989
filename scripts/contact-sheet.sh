#!/usr/bin/env bash
# Makes docs/contact-sheet.png, the README's picture of the show: a capture at
# thumbnail size, reduced to 256 colours to stay small; and the pictures of
# the capture's motion blur and supersampling.
# Usage: scripts/contact-sheet.sh [BUILD_DIR]   (default build/release, built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
if [ ! -x "$build/stormglass-capture" ]; then
  cmake --preset release
  cmake --build --preset release --target stormglass-capture sg_content
  build=build/release
fi
sheet=$(mktemp --suffix=.png)
trap 'rm -f "$sheet"' EXIT
"$build/stormglass-capture" --quiet --size 192x108 --fps 10 --contact-sheet "$sheet" --data-dir "$build"
convert "$sheet" -colors 256 PNG8:docs/contact-sheet.png
echo "docs/contact-sheet.png: $(stat -c %s docs/contact-sheet.png) bytes"
# The capture's motion blur (the spinning squares, 16 sub-frames a frame at
# 10 fps) and supersampling (the cube lattice at 4 x 4): undithered, so the
# blends stay smooth.
"$build/stormglass-capture" --quiet --size 256x144 --fps 10 --motion-blur 16 --to 10.8 --contact-sheet "$sheet" \
  --data-dir "$build"
convert "$sheet" +dither -colors 256 PNG8:docs/capture-motion-blur.png
"$build/stormglass-capture" --quiet --size 256x144 --fps 10 --supersample 4 --from 22 --to 29 --contact-sheet "$sheet" \
  --data-dir "$build"
convert "$sheet" +dither -colors 256 PNG8:docs/capture-supersample.png
