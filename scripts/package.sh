#!/usr/bin/env bash
# Builds the release preset and makes the Debian package from it:
# build/release/stormglass_<version>_amd64.deb. Install it with
#   apt-get install ./build/release/stormglass_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package
cmake --preset release
cmake --build --preset release -j "$(nproc)"
cpack --preset deb
