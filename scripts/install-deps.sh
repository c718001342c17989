#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the README's commands need.
# Idempotent and non-interactive; run as root on Debian 12.
set -euo pipefail

native=(build-essential cmake ninja-build pkg-config git libgtest-dev libgmock-dev
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libpng-dev libsdl2-dev libmpg123-dev mpg123 lame sox ffmpeg
  xvfb xauth xfonts-base xdotool x11-apps imagemagick clang llvm valgrind)

missing=()
for p in "${native[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root to install: ${missing[*]}" >&2; exit 1; }
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
