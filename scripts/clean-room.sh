#!/usr/bin/env bash
# Tries this checkout as a newcomer on a fresh Debian 12 machine would, so
# that nothing installed by hand here can hide a missing step. Only what is
# committed counts: the try starts from a fresh clone of HEAD, with
# ../shared beside it where this checkout has one.
#
#   scripts/clean-room.sh                 the whole CI (.ci/run), from a fresh clone
#   scripts/clean-room.sh --readme-only   the README's two commands only, in a
#                                         fresh minimal Debian root (a few minutes)
#   --keep                                keep the root afterwards, for a look inside
#
# With --readme-only: a new root (mmdebstrap minbase, the host's Debian
# sources), the clone at /work/stormglass in it, and there, exactly as the
# README writes them, `bash scripts/play.sh` (no display: it renders
# stormglass.mp4, which is then checked) and `bash scripts/test.sh`.
# Run as root. Environment: STORMGLASS_ROOTS, where the root is made
# (default /var/cache/stormglass).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
# shellcheck source=lib/debian-roots.sh
source scripts/lib/debian-roots.sh

readme_only= keep=
for arg in "$@"; do
  case $arg in
    --readme-only) readme_only=1 ;;
    --keep) keep=1 ;;
    *) echo "usage: scripts/clean-room.sh [--readme-only] [--keep]" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "clean-room: run as root" >&2; exit 1; }
# A signal ends the script through its EXIT trap, which cleans up.
trap 'exit 130' INT
trap 'exit 143' TERM
shared=$(dirname "$repo")/shared

# fresh_clone DIR: HEAD of this checkout in DIR/stormglass, ../shared beside it.
fresh_clone() {
  git clone --quiet --no-hardlinks "$repo" "$1/stormglass"
  if [ -d "$shared" ]; then
    cp -rL "$shared" "$1/shared"  # a link to it is copied as the folder
  else
    echo "clean-room: no $shared beside this checkout; the tests that read it will skip" >&2
  fi
}

# The child runs in the background so that a signal stops it (in-root.sh
# then ends everything in the root) before this script cleans up.
child=
run() {
  local code=0
  "$@" &
  child=$!
  wait "$child" || code=$?
  child=
  return "$code"
}
stop_child() {
  [ -n "$child" ] || return 0
  kill -TERM "$child" 2> /dev/null || true
  wait "$child" 2> /dev/null || true
}

if [ -z "$readme_only" ]; then
  work=$(mktemp -d /var/tmp/stormglass-ci.XXXXXX)
  trap 'stop_child; rm -rf "$work"' EXIT
  fresh_clone "$work"
  echo "clean-room: CI from a fresh clone of $(git rev-parse --short HEAD) in $work/stormglass"
  run env -u DISPLAY -u WAYLAND_DISPLAY CI=true bash "$work/stormglass/.ci/run"
  exit 0
fi

bash scripts/install-deps.sh roots
store=${STORMGLASS_ROOTS:-/var/cache/stormglass}
mkdir -p "$store"
root=$(mktemp -d "$store/clean-room.XXXXXX")
remove_root() {
  stop_child
  if [ -n "$keep" ]; then echo "clean-room: the root stays at $root"; else rm -rf "$root"; fi
}
trap remove_root EXIT

started=$SECONDS
rmdir "$root"
make_root "$root" minbase amd64 "$store/clean-room.log" "$(root_sources amd64)"
mkdir -p "$root/work"
fresh_clone "$root/work"
echo "clean-room: a fresh Debian 12 root with a fresh clone of $(git rev-parse --short HEAD), set up in $((SECONDS - started)) s ($root)"

# readme COMMAND: one of the README's commands, in the clone, timed.
readme() {
  local at=$SECONDS
  echo "clean-room: \$ $1"
  run bash scripts/in-root.sh "$root" --cwd /work/stormglass -- bash -c "$1"
  echo "clean-room: \"$1\" passed in $((SECONDS - at)) s"
}
readme "bash scripts/play.sh"
readme "bash scripts/test.sh"
# With no display the play command rendered the show to stormglass.mp4.
run bash scripts/in-root.sh "$root" --cwd /work/stormglass -- ctest --preset readme-video
echo "clean-room: the README's commands passed in a fresh root in $((SECONDS - started)) s"
