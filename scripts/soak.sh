#!/usr/bin/env bash
# Soak: the program in real time, headless, on the silent real-time output,
# restarted run after run for SECONDS (default 600) with random keys; fails on
# a crash, a hang, a frame drawn with the wrong scene for its music position,
# or memory that grows after the warm-up. The CTest test of label soak in the
# default preset's build.
#
# Usage: scripts/soak.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh reliability
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target stormglass-soak
STORMGLASS_SOAK_SECONDS="${1:-600}" ctest --preset soak -V
