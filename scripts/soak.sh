#!/usr/bin/env bash
# Soak: the program in real time, headless, on the silent real-time output,
# restarted run after run for SECONDS (default 600) with random keys; fails on
# a crash, a hang, a frame drawn with the wrong scene for its music position,
# or memory that grows after the warm-up (a minute, or half of a short soak,
# and never before the run's opening tour of the scenes is over). Builds
# stormglass-soak in the default preset's folder.
#
# Usage: scripts/soak.sh [SECONDS] [stormglass-soak options...]
# Env:   SOAK_BUILD_DIR (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-600}
shift || true
build=${SOAK_BUILD_DIR:-build/default}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

bash scripts/install-deps.sh reliability
cmake --preset default -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target stormglass-soak >/dev/null

cd "$build"  # the program reads datas/ from its working folder
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy exec ./stormglass-soak --seconds "$seconds" "$@"
