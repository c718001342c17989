#!/bin/sh
# Runs the 3DS reader fuzzer for a while, seeded with the real-world corpus.
# Usage: tests/fuzz/3ds_fuzz.sh BUILD_DIR [SECONDS]
# BUILD_DIR must be configured with clang and -DSTORMGLASS_FUZZ=ON, e.g.
#   CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DSTORMGLASS_FUZZ=ON
#   ninja -C build/fuzz 3ds_fuzzer
set -eu
build=${1:?usage: $0 BUILD_DIR [SECONDS]}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
seeds=${STORMGLASS_CORPUS:-$here/../../../shared/corpus}/3ds
work=$build/fuzz-3ds-corpus
mkdir -p "$work"
# New finds go to the first folder; the shared seeds are only read.
exec "$build/tests/fuzz/3ds_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -dict="$here/3ds.dict" -print_final_stats=1 -artifact_prefix="$build/fuzz-3ds-" "$work" "$seeds"
