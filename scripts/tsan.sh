#!/usr/bin/env bash
# ThreadSanitizer: the program built with -fsanitize=thread (the `tsan`
# preset) plays the show headless in real time for SECONDS (default 60) with
# random seeks and samples, half the time on SDL's audio thread (dummy
# driver), half on the library's silent output thread. Fails on any report;
# the only suppressions (tests/reliability/tsan.supp) are for Mesa and SDL
# internals.
#
# Usage: scripts/tsan.sh [SECONDS]       Env: TSAN_BUILD_DIR (default build/tsan)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
build=${TSAN_BUILD_DIR:-build/tsan}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

bash scripts/install-deps.sh reliability
cmake --preset tsan -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target stormglass-soak >/dev/null

report=$(mktemp)
trap 'rm -f "$report"' EXIT
export TSAN_OPTIONS="suppressions=$root/tests/reliability/tsan.supp halt_on_error=0 exitcode=66 second_deadlock_stack=1 log_path=$report"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
half=$(awk -v s="$seconds" 'BEGIN { printf "%d", (s + 1) / 2 }')
cd "$build"
status=0
# Shadow memory makes the resident size meaningless here: no memory check.
./stormglass-soak --seconds "$half" --audio sdl --no-memory-check || status=1
./stormglass-soak --seconds "$half" --audio silent --no-memory-check || status=1
if compgen -G "$report*" >/dev/null && grep -q "ThreadSanitizer" "$report"*; then
  cat "$report"* >&2
  echo "tsan: data races or other reports above" >&2
  status=1
fi
[ $status -eq 0 ] && echo "tsan: no report in ${seconds} s"
exit $status
