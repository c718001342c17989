#!/usr/bin/env bash
# Installs the Debian packages one purpose needs, and nothing more; run as
# root on Debian 12. Idempotent and non-interactive.
#
# Usage: scripts/install-deps.sh PURPOSE...
#   play         build the player and the capture tool, play or capture the show
#   test         the test suite (the play packages and what the tests drive)
#   windows      the 32-bit Windows cross build and its Wine run
#   reliability  fuzzing, ThreadSanitizer and Valgrind
#   package      the Debian package
#   web          the page (emscripten) and its tests in headless Chromium
set -euo pipefail

# Debian's ffmpeg holds every encoder the capture offers (libx264, libx264rgb,
# libx265, prores_ks, ffv1, aac, flac, pcm_s16le) and ffprobe.
play=(build-essential cmake ninja-build pkg-config
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libpng-dev libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core libmpg123-dev lame ffmpeg)
# The window check, the real-display tests and the lost-sound-server test
# drive real X and PulseAudio servers.
test=("${play[@]}" libgtest-dev libgmock-dev mpg123 sox
  xvfb xauth xfonts-base xdotool x11-apps x11-utils bc imagemagick pulseaudio pulseaudio-utils)
windows=("${play[@]}" g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386
  xvfb xauth xdotool x11-apps imagemagick lame mpg123 sox)
reliability=("${test[@]}" clang llvm valgrind)
package=("${play[@]}" dpkg-dev file)
web=("${play[@]}" emscripten chromium python3-websocket)

[ $# -gt 0 ] || { echo "usage: scripts/install-deps.sh play|test|windows|reliability|package|web ..." >&2; exit 2; }
wanted=()
for purpose in "$@"; do
  case "$purpose" in
    play) wanted+=("${play[@]}") ;;
    test) wanted+=("${test[@]}") ;;
    windows) wanted+=("${windows[@]}") ;;
    reliability) wanted+=("${reliability[@]}") ;;
    package) wanted+=("${package[@]}") ;;
    web) wanted+=("${web[@]}") ;;
    *) echo "install-deps: unknown purpose \"$purpose\"" >&2; exit 2 ;;
  esac
done

# A mirror caught mid-sync fails an update now and then: try again, then go
# on with the lists at hand, which usually still hold every package.
update_lists() {
  local try
  for try in 1 2 3; do
    apt-get update -qq && return 0
    echo "install-deps: apt-get update failed (try $try of 3)" >&2
    sleep $((try * 5))
  done
  echo "install-deps: going on with the package lists at hand" >&2
}

as_root() {
  [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root to $1" >&2; exit 1; }
}

# Wine's 32-bit half needs the i386 architecture.
if printf '%s\n' "${wanted[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root "add the i386 architecture"
  dpkg --add-architecture i386
  update_lists
fi

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root "install: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  update_lists
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
