#!/bin/sh
# Renders the scenes' reference frames anew into tests/scenes/references/.
# Usage: tests/scenes/update_references.sh [build folder]   (default build/default)
# Look at every image before keeping it: the tests trust them.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../../build/default"}
binary="$build/tests/scenes/scenes_tests"
if [ ! -x "$binary" ]; then
  echo "no $binary: build the scenes_tests target first" >&2
  exit 1
fi
STORMGLASS_UPDATE_REFERENCES=1 SDL_AUDIODRIVER=dummy \
  "$binary" --gtest_filter='ReferenceImages.*'
