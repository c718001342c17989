#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds the release preset and
# plays the show in a window. Extra arguments go to the player.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
cd build/release
exec ./stormglass "$@"
