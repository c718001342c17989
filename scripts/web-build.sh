#!/usr/bin/env bash
# Builds the page with emscripten (Debian's emscripten package): the content
# generator runs on this machine, so it is built first with the release
# preset (that one target only); then the web preset builds the program to
# WebAssembly and gathers what a static server needs:
#
#   build/web/dist/{index.html,stormglass.js,stormglass.wasm,stormglass.data,bitmaps.bin.gz}
#
# Serve it with: python3 -m http.server -d build/web/dist   (then open
# http://localhost:8000/). Usage: scripts/web-build.sh
# Environment: JOBS (parallel jobs, default: all cores); STORMGLASS_HOST_BUILD
# and STORMGLASS_WEB_BUILD (build folders, default build/release and build/web);
# extra configure arguments in STORMGLASS_WEB_CMAKE_ARGS (CI makes warnings
# errors with -DSTORMGLASS_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
host_build=${STORMGLASS_HOST_BUILD:-build/release}
web_build=${STORMGLASS_WEB_BUILD:-build/web}

bash scripts/install-deps.sh web
# Debian's emcc finds its JavaScript modules here, whichever node runs it.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

echo "== content generator for this machine ($host_build)"
[ -f "$host_build/CMakeCache.txt" ] || cmake --preset release -B "$host_build"
cmake --build "$host_build" -j "$jobs" --target stormglass-content
content_tool=$root/$host_build/tools/content/stormglass-content
[ -x "$content_tool" ] || { echo "web-build: $content_tool was not built" >&2; exit 1; }

echo "== web preset ($web_build)"
# shellcheck disable=SC2086  # extra arguments are meant to split
cmake --preset web -B "$web_build" -DSTORMGLASS_CONTENT_TOOL="$content_tool" ${STORMGLASS_WEB_CMAKE_ARGS:-}
cmake --build "$web_build" -j "$jobs"

dist=$web_build/dist
total=$(du -cb "$dist"/* | tail -1 | cut -f1)
echo "== $dist: $((total / 1024)) KiB in all"
ls -l "$dist" | sed -n '2,$p' | awk '{printf "   %-18s %9d bytes\n", $9, $5}'
