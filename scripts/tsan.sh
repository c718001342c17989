#!/usr/bin/env bash
# ThreadSanitizer: the program built with -fsanitize=thread (the tsan preset)
# plays the show headless in real time for SECONDS (default 60) with random
# seeks and samples, half the time on SDL's audio thread (dummy driver), half
# on the library's silent output thread; any report fails. The CTest tests of
# label tsan.
#
# Usage: scripts/tsan.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh reliability
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$(nproc)" --target stormglass-soak
STORMGLASS_TSAN_SECONDS="${1:-60}" ctest --preset tsan
