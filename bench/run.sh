#!/usr/bin/env bash
# Builds the benchmarks (bench preset: optimised) and prints one table: start-up and
# its parts, peak resident memory over the show, allocations per frame after
# start-up, per-scene frame time at 1920 x 1080 against the floor, and
# capture throughput, with bench/capture/capture_bench.sh's rates by option.
# Figures come from this machine in this run; the scene times are ratios to
# a floor measured in the same run.
#
# Usage: bench/run.sh            Env: BENCH_BUILD_DIR (default build/bench),
#                                     BENCH_STARTUP_RUNS (5), BENCH_SCENE_FRAMES (300),
#                                     BENCH_CAPTURE_SECONDS (10)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BENCH_BUILD_DIR:-build/bench}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
startup_runs=${BENCH_STARTUP_RUNS:-5}
scene_frames=${BENCH_SCENE_FRAMES:-300}
capture_seconds=${BENCH_CAPTURE_SECONDS:-10}

bash scripts/install-deps.sh test
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target sg_content bench_startup bench_allocations bench_scenes \
  bench_scenes_cpu stormglass-capture >/dev/null

export SDL_AUDIODRIVER=dummy
cd "$build"
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT

echo "bench: start-up ($startup_runs runs) ..." >&2
./bench/startup/bench_startup startup "$startup_runs" >>"$rows"

echo "bench: memory over the whole show ..." >&2
./bench/startup/bench_startup memory >>"$rows"

echo "bench: allocations per frame ..." >&2
alloc=$(./bench/startup/bench_allocations)
field() { sed -n "s/^$1 //p" <<<"$alloc"; }
{
  echo "| **Allocations per frame** after start-up (real time, every scene, keys) | |"
  printf '| our code (program and our layers), %s frames | %s (%s in all) |\n' "$(field frames)" \
    "$(field oursPerFrame)" "$(field ours)"
  printf '| libraries (Mesa, SDL, libmpg123), for comparison | %s |\n' "$(field theirsPerFrame)"
} >>"$rows"
# Where our allocations come from, should there be any.
sed -n 's/^site //p' <<<"$alloc" | while read -r offset count; do
  where=$(addr2line -f -C -i -e ./bench/startup/bench_allocations "$offset" | paste -sd' ' -)
  echo "bench: allocation site ($count): $where" >&2
done

echo "bench: scenes at 1920 x 1080 ($scene_frames frames each) ..." >&2
scenes=$(./bench/scenes/bench_scenes "$scene_frames" || true)
renderer=$(sed -n '1s/.* on \([^;]*\);.*/\1/p' <<<"$scenes")
{
  echo "| **Frame time at 1920 x 1080** ($renderer), ms and × floor | |"
  awk '$1 == "floor" { printf "| floor: clear and one full-screen textured quad | %.2f ms |\n", $2 }
       $1 == "scene" { printf "| scene %s (our code %s us, %s of the frame) | %.2f ms, %.2f × |\n", $2, $5, $6, $3, $4 }' \
    <<<"$scenes"
} >>"$rows"

echo "bench: capture of ${capture_seconds} s at 1920x1080, 60 fps ..." >&2
video=$(mktemp --suffix=.mp4)
start=$(date +%s.%N)
./stormglass-capture --quiet --size 1920x1080 --fps 60 --to "$capture_seconds" --output "$video"
end=$(date +%s.%N)
rm -f "$video"
awk -v s="$start" -v e="$end" -v t="$capture_seconds" 'BEGIN {
  w = e - s; f = t * 60
  printf "| **Capture** (stormglass-capture, 1920x1080, 60 fps, H.264 MP4, %d s of show) | |\n", t
  printf "| frames per second | %.1f |\n| ratio to real time | %.2f × (%.1f s for %d s) |\n", f / w, t / w, w, t
}' >>"$rows"

# The capture's rates by option, as ratios to its render-only rate.
BENCH_BUILD_DIR="$build" BENCH_CAPTURE_SECONDS="$capture_seconds" bash "$root/bench/capture/capture_bench.sh" --rows >>"$rows"

echo
echo "| What | Figure |"
echo "|---|---|"
cat "$rows"
