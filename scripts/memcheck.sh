#!/usr/bin/env bash
# Valgrind memcheck of a short headless run of the real program: SECONDS
# (default 30) of show on frame-locked clocks, driven through every scene by
# the soak's opening tour, then Esc; any error fails. The CTest test of label
# memcheck in the default preset's build.
#
# Usage: scripts/memcheck.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh reliability
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target stormglass-soak
STORMGLASS_MEMCHECK_SECONDS="${1:-30}" ctest --preset memcheck
