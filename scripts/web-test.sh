#!/usr/bin/env bash
# Builds the page (scripts/web-build.sh) and runs its tests in headless
# Chromium: the CTest tests of label web (tests/web/), against this machine's
# capture tool. Frames and logs stay in build/default/web-check/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test web
bash scripts/web-build.sh
cmake --preset default > /dev/null
cmake --build --preset default -j "$(nproc)" --target stormglass-capture
ctest --preset web
