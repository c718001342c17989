#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the README's commands need.
# Idempotent and non-interactive; run as root on Debian 12.
set -euo pipefail

native=(build-essential cmake ninja-build pkg-config git libgtest-dev libgmock-dev
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libpng-dev libsdl2-dev libmpg123-dev mpg123 lame sox ffmpeg
  xvfb xauth xfonts-base xdotool x11-apps x11-utils bc imagemagick clang llvm valgrind)

# The 32-bit Windows cross build and the Wine run that checks it.
windows=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root to add the i386 architecture" >&2; exit 1; }
  dpkg --add-architecture i386
  apt-get update -qq
fi

missing=()
for p in "${native[@]}" "${windows[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root to install: ${missing[*]}" >&2; exit 1; }
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
