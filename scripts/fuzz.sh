#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset: clang, ASan, UBSan) and
# runs each for SECONDS with its seeds and dictionary, two at a time. Prints
# executions and findings per target; exits non-zero on any finding (crash,
# leak, timeout or out-of-memory), whose reproducer stays in
# <build>/fuzz-findings/. New inputs found are kept in <build>/fuzz-corpus/
# for the next run.
#
# Usage: scripts/fuzz.sh SECONDS [3ds|bmp|wav|mp3 ...]     (default: all four)
# Env:   FUZZ_BUILD_DIR (default build/fuzz), FUZZ_JOBS (default 2),
#        the build's STORMGLASS_CORPUS_DIR supplies real-world seeds
# Replay a finding: <build>/tests/fuzz/<target>_fuzzer <file>
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:?usage: scripts/fuzz.sh SECONDS [3ds|bmp|wav|mp3 ...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(3ds bmp wav mp3)
for t in "${targets[@]}"; do
  case "$t" in 3ds | bmp | wav | mp3) ;; *) echo "fuzz: unknown target $t" >&2; exit 2 ;; esac
done
build=${FUZZ_BUILD_DIR:-build/fuzz}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
jobs=${FUZZ_JOBS:-2}

bash scripts/install-deps.sh reliability
cmake --preset fuzz -B "$build" >/dev/null
corpus=$(sed -n 's/^STORMGLASS_CORPUS_DIR:PATH=//p' "$build/CMakeCache.txt")
cmake --build "$build" -j "$(nproc)" --target sg_content $(printf '%s_fuzzer ' "${targets[@]}")

seeds=$build/fuzz-seeds
work=$build/fuzz-corpus
findings=$build/fuzz-findings
logs=$build/fuzz-logs
mkdir -p "$work" "$findings" "$logs"

# ---- Seeds: the shared real-world files, our content, and small sound files
# made here (a whole soundtrack or picture is far past the inputs' size limit).
make_seeds() {
  rm -rf "$seeds"
  mkdir -p "$seeds"/{3ds,bmp,wav,mp3}
  cp "$build/datas/qor_fist.3ds" "$seeds/3ds/"
  [ -d "$corpus/3ds" ] && cp "$corpus"/3ds/* "$seeds/3ds/"
  [ -d "$corpus/bmp" ] && cp "$corpus"/bmp/* "$seeds/bmp/"
  # The content's pictures that fit; the big ones as small copies.
  find "$build/content" -name '*.bmp' -size -16k -exec cp {} "$seeds/bmp/" \;
  convert -size 7x5 gradient:red-blue -type TrueColor "BMP3:$seeds/bmp/small_v3.bmp"
  convert -size 3x9 plasma:fractal -type TrueColor "BMP:$seeds/bmp/small_v5.bmp" 2>/dev/null ||
    convert -size 3x9 xc:green -type TrueColor "BMP:$seeds/bmp/small_v5.bmp"
  convert -size 1x1 xc:white -type TrueColor "BMP3:$seeds/bmp/one_pixel.bmp"

  local tmp=$seeds/tmp
  mkdir -p "$tmp"
  sox -q -n -r 44100 -c 1 -b 16 -t wavpcm "$seeds/wav/mono16_44k.wav" synth 0.02 sine 440
  sox -q -n -r 22050 -c 2 -b 16 -t wavpcm "$seeds/wav/stereo16_22k.wav" synth 0.02 sine 300 sine 500
  sox -q -n -r 8000 -c 1 -b 8 -t wavpcm "$seeds/wav/mono8_8k.wav" synth 0.05 square 200
  sox -q -n -r 48000 -c 2 -b 8 -t wavpcm "$seeds/wav/stereo8_48k.wav" synth 0.01 noise
  sox -q -n -r 44100 -c 2 -b 24 -t wav "$seeds/wav/extensible24.wav" synth 0.01 sine 440
  sox -q -n -r 11025 -c 1 -b 16 -t wavpcm --comment "seed" "$seeds/wav/with_list.wav" synth 0.03 sine 1000
  head -c 4096 "$build/datas/s.pak" >"$seeds/wav/sample_head.pak"

  sox -q -n -r 44100 -c 1 -b 16 "$tmp/a44m.wav" synth 0.15 sine 440
  sox -q -n -r 44100 -c 2 -b 16 "$tmp/a44s.wav" synth 0.15 sine 440 sine 660
  sox -q -n -r 22050 -c 1 -b 16 "$tmp/a22m.wav" synth 0.2 sine 300
  sox -q -n -r 8000 -c 1 -b 16 "$tmp/a8m.wav" synth 0.3 sine 200
  lame --quiet -b 128 "$tmp/a44m.wav" "$seeds/mp3/mono_cbr_tag.mp3"
  lame --quiet -V 2 "$tmp/a44s.wav" "$seeds/mp3/stereo_vbr_tag.mp3"
  lame --quiet -t -b 64 "$tmp/a44s.wav" "$seeds/mp3/stereo_no_tag.mp3"
  lame --quiet -b 32 "$tmp/a22m.wav" "$seeds/mp3/mpeg2_22k.mp3"
  lame --quiet -b 8 "$tmp/a8m.wav" "$seeds/mp3/mpeg25_8k.mp3"
  lame --quiet -b 96 --tt seed --ta stormglass --add-id3v2 "$tmp/a22m.wav" "$seeds/mp3/id3v2_and_v1.mp3"
  head -c 8192 "$build/datas/Brassvale.mp3" >"$seeds/mp3/soundtrack_head.mp3"
  rm -rf "$tmp"
}
make_seeds

# Largest input per target: room for a few frames or chunks, small enough to
# keep executions fast.
max_len() {
  case "$1" in 3ds) echo 65536 ;; bmp) echo 65536 ;; wav) echo 16384 ;; mp3) echo 16384 ;; esac
}

run_target() {
  local t=$1
  rm -rf "${findings:?}/$t"
  mkdir -p "$work/$t" "$findings/$t"
  # Ends 0, or non-zero with the failing input written to the findings folder.
  "$build/tests/fuzz/${t}_fuzzer" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -dict="tests/fuzz/$t.dict" \
    -artifact_prefix="$findings/$t/" "$work/$t" "$seeds/$t" >"$logs/$t.log" 2>&1
}

declare -A status
running=()
for t in "${targets[@]}"; do
  while [ ${#running[@]} -ge "$jobs" ]; do
    wait -n || true
    still=()
    for p in "${running[@]}"; do kill -0 "$p" 2>/dev/null && still+=("$p"); done
    running=("${still[@]+"${still[@]}"}")
  done
  echo "fuzz: $t for ${seconds}s"
  (run_target "$t" && echo 0 >"$logs/$t.rc" || echo $? >"$logs/$t.rc") &
  running+=($!)
done
wait

failed=0
printf '\n%-6s %12s %10s %8s %s\n' target executions exec/s corpus findings
for t in "${targets[@]}"; do
  log=$logs/$t.log
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  units=$(find "$work/$t" -type f | wc -l)
  found=$(find "$findings/$t" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) | wc -l)
  rc=$(cat "$logs/$t.rc")
  printf '%-6s %12s %10s %8s %s\n' "$t" "${execs:-?}" "${rate:-?}" "$units" "$found"
  if [ "$rc" != 0 ] || [ "$found" != 0 ]; then
    failed=1
    echo "  $t failed (exit $rc); log: $log" >&2
    grep -m1 -E 'ERROR: |runtime error|==ERROR|SUMMARY' "$log" >&2 || tail -5 "$log" >&2
    find "$findings/$t" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) \
      -printf '  reproducer: %p\n' >&2
  fi
done
exit $failed
