#!/usr/bin/env bash
# Cross-builds the 32-bit Windows executable with MinGW-w64 (Debian's
# g++-mingw-w64-i686 and binutils-mingw-w64-i686). The content generator runs
# on this machine, so it is built first with the release preset (that one
# target only); then the windows preset builds stormglass.exe and the Wine
# checks, and the show is gathered into a folder ready to zip:
#
#   build/windows/dist/stormglass.exe
#   build/windows/dist/datas/{Brassvale.mp3,s.pak,qor_fist.3ds}
#
# Usage: scripts/windows-build.sh
# Environment: JOBS (parallel jobs, default: all cores); STORMGLASS_HOST_BUILD
# and STORMGLASS_WINDOWS_BUILD (build folders, default build/release and
# build/windows); STORMGLASS_WINDOWS_PRESET (windows, or windows-ci, which
# makes warnings errors); extra configure arguments in
# STORMGLASS_WINDOWS_CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
host_build=${STORMGLASS_HOST_BUILD:-build/release}
win_preset=${STORMGLASS_WINDOWS_PRESET:-windows}

bash scripts/install-deps.sh windows
win_build=${STORMGLASS_WINDOWS_BUILD:-build/windows}

for tool in i686-w64-mingw32-g++-posix i686-w64-mingw32-windres i686-w64-mingw32-objdump; do
  command -v "$tool" > /dev/null || {
    echo "windows-build: $tool not found; install g++-mingw-w64-i686 and binutils-mingw-w64-i686" >&2
    exit 1
  }
done

echo "== content generator for this machine ($host_build)"
if [ ! -f "$host_build/CMakeCache.txt" ]; then
  cmake --preset release -B "$host_build"
fi
cmake --build "$host_build" -j "$jobs" --target stormglass-content
content_tool=$root/$host_build/tools/content/stormglass-content
[ -x "$content_tool" ] || { echo "windows-build: $content_tool was not built" >&2; exit 1; }

echo "== $win_preset preset ($win_build)"
# shellcheck disable=SC2086  # extra arguments are meant to split
cmake --preset "$win_preset" -B "$win_build" -DSTORMGLASS_CONTENT_TOOL="$content_tool" ${STORMGLASS_WINDOWS_CMAKE_ARGS:-}
cmake --build "$win_build" -j "$jobs"

dist=$win_build/dist
rm -rf "$dist"
mkdir -p "$dist/datas"
cp "$win_build/stormglass.exe" "$dist/"
cp "$win_build"/datas/Brassvale.mp3 "$win_build"/datas/s.pak "$win_build"/datas/qor_fist.3ds "$dist/datas/"
echo "== $dist: $(du -sh "$dist" | cut -f1); stormglass.exe $(stat -c %s "$dist/stormglass.exe") bytes"
