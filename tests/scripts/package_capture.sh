#!/usr/bin/env bash
# The installed package as a user meets it: its capture tool, run from
# /usr/bin in a folder of no importance, finds its data and renders two
# seconds of the show to a video with sound.
# Usage: package_capture.sh CHECK_VIDEO
set -euo pipefail
check_video=$1
[ -x /usr/bin/stormglass-capture ] || { echo "package_capture: the package is not installed" >&2; exit 1; }
elsewhere=$(mktemp -d)
trap 'rm -rf "$elsewhere"' EXIT
(cd "$elsewhere" && /usr/bin/stormglass-capture --quiet --size 320x180 --to 2 --output two.mp4)
bash "$check_video" "$elsewhere/two.mp4" 320 180 120 60
