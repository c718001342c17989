#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, ASan, UBSan) and runs
# each for SECONDS with its seeds and dictionary, two at a time: the CTest
# tests of label fuzz-smoke. A finding fails, its reproducer kept in
# build/fuzz/fuzz/findings/<target>/; new inputs stay in build/fuzz/fuzz/corpus/
# for the next run.
#
# Usage: scripts/fuzz.sh SECONDS [3ds|bmp|wav|mp3 ...]    Env: FUZZ_JOBS (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [3ds|bmp|wav|mp3 ...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(3ds bmp wav mp3)
for t in "${targets[@]}"; do
  case "$t" in 3ds | bmp | wav | mp3) ;; *) echo "fuzz: unknown target $t" >&2; exit 2 ;; esac
done

bash scripts/install-deps.sh reliability
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target sg_content $(printf '%s_fuzzer ' "${targets[@]}")
pattern="Fuzz\\.(Seeds|$(IFS='|'; echo "${targets[*]}"))\$"
STORMGLASS_FUZZ_SECONDS=$seconds ctest --preset fuzz -V -j "${FUZZ_JOBS:-2}" -R "$pattern"
