#!/usr/bin/env bash
# Makes docs/contact-sheet.png, the README's picture of the show: a capture at
# thumbnail size, reduced to 256 colours to stay small.
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
