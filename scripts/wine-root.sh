#!/usr/bin/env bash
# Makes, or finds ready, the Debian root the Wine checks run in, and prints
# its path. Wine's 32-bit half needs i386 packages whose versions must match
# their amd64 twins; in a root of its own that never touches the host's
# packages or architectures. The root is kept between runs, named after its
# package list and sources, and made anew when either changes.
#
# Usage: scripts/wine-root.sh        (as root)
# Environment: STORMGLASS_ROOTS, where roots are kept (default
# /var/cache/stormglass).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=lib/debian-roots.sh
source scripts/lib/debian-roots.sh

# What the Wine scenarios run (tests/wine/), ctest to run them, and the
# i386 Mesa that gives Wine's OpenGL.
packages=(wine wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386
  xvfb xauth xdotool x11-apps imagemagick lame mpg123 sox cmake procps)
archs=amd64,i386

[ "$(id -u)" -eq 0 ] || { echo "wine-root: run as root" >&2; exit 1; }
bash scripts/install-deps.sh roots
store=${STORMGLASS_ROOTS:-/var/cache/stormglass}
sources=$(root_sources "$archs")
key=$(printf '%s\n' "$sources" "${packages[@]}" | sha256sum | cut -c1-12)
root=$store/wine-$key
if [ -f "$root/.complete" ]; then
  echo "$root"
  exit 0
fi

mkdir -p "$store"
# Roots of older lists go; their mounts lived in namespaces of their own, so
# removing them touches nothing outside.
rm -rf "$store"/wine-*
partial=$root.partial
log=$store/wine-$key.log
echo "wine-root: making the Wine root (${#packages[@]} packages and what they need) in $root" >&2
started=$SECONDS
make_root "$partial" apt "$archs" "$log" "$sources" "${packages[@]}"
touch "$partial/.complete"
mv "$partial" "$root"
echo "wine-root: made in $((SECONDS - started)) s, $(du -sh "$root" | cut -f1)" >&2
echo "$root"
