#!/usr/bin/env bash
# Installs the Debian packages one purpose needs, and nothing more; run as
# root on Debian 12. Idempotent and non-interactive.
#
# Usage: scripts/install-deps.sh PURPOSE...
#   play         build the player and the capture tool, play or capture the show
#   test         the test suite (the play packages and what the tests drive)
#   windows      the 32-bit Windows cross build (Wine runs in a root of its
#                own: scripts/wine-root.sh)
#   roots        making Debian roots (the clean room, the Wine root)
#   reliability  fuzzing, ThreadSanitizer and Valgrind
#   package      the Debian package
#   web          the page (emscripten) and its tests in headless Chromium
set -euo pipefail

# Debian's ffmpeg holds every encoder the capture offers (libx264, libx264rgb,
# libx265, prores_ks, ffv1, aac, flac, pcm_s16le) and ffprobe.
play=(build-essential cmake ninja-build pkg-config
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libpng-dev libsdl2-dev libsdl2-ttf-dev libpulse-dev fonts-dejavu-core libmpg123-dev lame ffmpeg)
# The window check, the real-display tests and the lost-sound-server test
# drive real X and PulseAudio servers.
test=("${play[@]}" libgtest-dev libgmock-dev mpg123 sox
  xvfb xauth xfonts-base xdotool x11-apps x11-utils bc imagemagick pulseaudio pulseaudio-utils)
windows=("${play[@]}" g++-mingw-w64-i686 binutils-mingw-w64-i686)
roots=(mmdebstrap)
reliability=("${test[@]}" clang llvm valgrind)
package=("${play[@]}" dpkg-dev file)
web=("${play[@]}" emscripten chromium python3-websocket)

[ $# -gt 0 ] || { echo "usage: scripts/install-deps.sh play|test|windows|roots|reliability|package|web ..." >&2; exit 2; }
wanted=()
for purpose in "$@"; do
  case "$purpose" in
    play) wanted+=("${play[@]}") ;;
    test) wanted+=("${test[@]}") ;;
    windows) wanted+=("${windows[@]}") ;;
    roots) wanted+=("${roots[@]}") ;;
    reliability) wanted+=("${reliability[@]}") ;;
    package) wanted+=("${package[@]}") ;;
    web) wanted+=("${web[@]}") ;;
    *) echo "install-deps: unknown purpose \"$purpose\"" >&2; exit 2 ;;
  esac
done

log=$(cd "$(dirname "$0")/.." && pwd)/build/apt.log

as_root() {
  [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root to $1" >&2; exit 1; }
}

# An index whose size or hash its signed Release file does not list will not
# verify however often it is fetched; any other failure may pass on a retry.
update_lists() {
  local try output
  for try in 1 2 3; do
    output=$(apt-get update -qq 2>&1) && return 0
    echo "$output" >> "$log"
    if grep -qE 'File has unexpected size|Hash Sum mismatch|Mirror sync in progress' <<< "$output"; then
      echo "install-deps: an index on the mirror does not verify (see $log); going on with the lists at hand" >&2
      return 0
    fi
    echo "install-deps: apt-get update failed (try $try of 3)" >&2
    sleep $((try * 5))
  done
  echo "install-deps: going on with the package lists at hand" >&2
}

# Nothing here needs i386 on the host any more; a host that has it without
# a single i386 package installed only pays for it in every update.
drop_unused_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 || return 0
  dpkg-query -W -f='${Architecture}\n' | grep -qx i386 && return 0
  [ "$(id -u)" -eq 0 ] || return 0
  dpkg --remove-architecture i386 &&
    echo "install-deps: removed the i386 architecture, which no installed package used" >&2
  return 0
}

# install_packages PACKAGE...: a few lines on the terminal, apt's own output in $log.
install_packages() {
  local count size noun
  count=$(apt-get install -s --no-install-recommends "$@" 2>> "$log" | grep -c '^Inst ' || true)
  size=$(apt-get install --print-uris -qq --no-install-recommends "$@" 2>> "$log" |
    awk '{ sum += $3 } END { if (sum >= 1e6) printf "%.0f MB", sum / 1e6; else printf "%.0f kB", sum / 1e3 }')
  [ "$count" = 1 ] && noun=package || noun=packages
  echo "install-deps: installing $count Debian $noun ($size)…"
  if ! apt-get install -y -q --no-install-recommends "$@" >> "$log" 2>&1; then
    echo "install-deps: the install failed; the end of $log:" >&2
    tail -n 30 "$log" >&2
    exit 1
  fi
  echo "install-deps: done"
}

mkdir -p "$(dirname "$log")"
drop_unused_i386

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root "install: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  update_lists
  install_packages "${missing[@]}"
fi
