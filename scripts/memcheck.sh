#!/usr/bin/env bash
# Valgrind memcheck of a short headless run of the real program: SECONDS
# (default 30) of show on frame-locked clocks at 10 frames a second and
# 160 x 90, driven by the soak's opening tour (every scene after every scene
# it can follow, through the seek keys, and the sample), then Esc. Fails on
# any error; the suppressions (tests/reliability/valgrind.supp) cover Mesa
# only. Uses the default preset's build.
#
# Usage: scripts/memcheck.sh [SECONDS]     Env: MEMCHECK_BUILD_DIR (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-30}
build=${MEMCHECK_BUILD_DIR:-build/default}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

bash scripts/install-deps.sh reliability
cmake --preset default -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target stormglass-soak >/dev/null

cd "$build"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# llvmpipe without its rasteriser threads: far quicker under valgrind.
export LP_NUM_THREADS=0
valgrind --tool=memcheck --error-exitcode=99 --suppressions="$root/tests/reliability/valgrind.supp" \
  --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --num-callers=30 --gen-suppressions=all \
  ./stormglass-soak --single --lockstep 10 --seconds "$seconds" --size 160x90 --seed 1
echo "memcheck: no error"
