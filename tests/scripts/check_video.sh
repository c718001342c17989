#!/usr/bin/env bash
# Checks a captured video with ffprobe: picture size, frame count and rate,
# and an AAC track as long as the picture to within one frame.
# Usage: check_video.sh FILE WIDTH HEIGHT FRAMES FPS
set -euo pipefail
file=$1 width=$2 height=$3 frames=$4 fps=$5
probe() { ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of default=noprint_wrappers=1 "$file"; }
video=$(probe v:0 width,height,r_frame_rate,duration; ffprobe -v error -select_streams v:0 -count_packets \
  -show_entries stream=nb_read_packets -of default=noprint_wrappers=1 "$file")
audio=$(probe a:0 codec_name,duration)
echo "$file:" $video $audio
field() { sed -n "s/^$1=//p" <<<"$2"; }
fail() { echo "check_video: $file: $*" >&2; exit 1; }
[ "$(field width "$video")x$(field height "$video")" = "${width}x$height" ] || fail "not ${width}x$height"
[ "$(field nb_read_packets "$video")" = "$frames" ] || fail "not $frames frames"
[ "$(field r_frame_rate "$video")" = "$fps/1" ] || fail "not $fps frames per second"
[ "$(field codec_name "$audio")" = aac ] || fail "no AAC track"
awk -v v="$(field duration "$video")" -v a="$(field duration "$audio")" -v fps="$fps" \
  'BEGIN { d = v - a; if (d < 0) d = -d; exit !(d <= 1 / fps) }' || fail "the sound's length is not the picture's"
echo "check_video: $file is right"
