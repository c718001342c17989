#!/usr/bin/env bash
# Capture throughput, run by hand: the show at 1920 x 1080, 60 fps, for
# BENCH_CAPTURE_SECONDS (10) of show, once per row, each row's frame rate
# also as a ratio to the render-only rate measured in the same run (the
# machine is shared and noisy, so only the ratios compare across runs).
#
# Usage: bench/capture/capture_bench.sh [--rows]   (--rows: table rows only, for bench/run.sh)
#        Env: BENCH_BUILD_DIR (default build/bench), BENCH_CAPTURE_SECONDS (10)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=${BENCH_BUILD_DIR:-build/bench}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
seconds=${BENCH_CAPTURE_SECONDS:-10}
rows_only=${1:-}

if [ ! -x "$build/stormglass-capture" ] || [ "$rows_only" != --rows ]; then
  cmake --preset bench -B "$build" >/dev/null
  cmake --build "$build" -j "$(nproc)" --target sg_content stormglass-capture >/dev/null
fi
cd "$build"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Prints the output frames per second of one capture.
rate() {
  local start end
  start=$(date +%s.%N)
  ./stormglass-capture --quiet --size 1920x1080 --fps 60 --to "$seconds" "$@"
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v f="$((seconds * 60))" 'BEGIN { printf "%.1f", f / (e - s) }'
}

row() {
  local what=$1
  shift
  echo "bench: capture, $what ..." >&2
  local fps
  fps=$(rate "$@")
  awk -v w="$what" -v f="$fps" -v r="$render" 'BEGIN { printf "| %s | %.1f fps, %.2f × |\n", w, f, f / r }'
  rm -f "$out"/*
}

echo "bench: capture, render only ..." >&2
render=$(rate --render-only)
[ "$rows_only" = --rows ] || { echo "| What | Figure |"; echo "|---|---|"; }
echo "| **Capture rates** (1920x1080, 60 fps, $seconds s of show; × the render-only rate of this run) | |"
printf '| render only (nothing read back) | %.1f fps, 1.00 × |\n' "$render"
row "read back (contact sheet only)" --contact-sheet "$out/sheet.png"
row "H.264 veryfast, MP4 (the default)" --output "$out/show.mp4"
row "H.264 ultrafast, MP4" --x264-preset ultrafast --output "$out/show.mp4"
row "HEVC (x265 veryfast), MP4" --codec hevc --output "$out/show.mp4"
row "ProRes 422 HQ, MOV, PCM" --codec prores --audio-codec pcm --output "$out/show.mov"
row "FFV1, MKV, FLAC" --codec ffv1 --audio-codec flac --output "$out/show.mkv"
row "H.264 lossless RGB, MKV" --codec h264-lossless --output "$out/show.mkv"
row "motion blur 4 (contact sheet only)" --motion-blur 4 --contact-sheet "$out/sheet.png"
row "supersample 2 (contact sheet only)" --supersample 2 --contact-sheet "$out/sheet.png"
