#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds the release preset and
# plays the show in a window; where there is no display it renders the show
# to stormglass.mp4 instead. Arguments go to the player, or to the capture
# tool when there is no display (for example --size 1280x720).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
here="$(pwd)"
cd "$root"

bash scripts/install-deps.sh play
cmake --preset release
cmake --build --preset release -j "$(nproc)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  cd build/release
  exec ./stormglass "$@"
fi
echo "No display: rendering the show to $here/stormglass.mp4"
exec build/release/stormglass-capture --data-dir build/release --output "$here/stormglass.mp4" "$@"
