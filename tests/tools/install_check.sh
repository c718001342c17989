#!/usr/bin/env bash
# Installs the build under a fresh prefix and runs the launchers from another
# folder: they must find datas/ by themselves.
set -euo pipefail
build="$1"
prefix=$(mktemp -d)
elsewhere=$(mktemp -d)
trap 'rm -rf "$prefix" "$elsewhere"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/stormglass bin/stormglass-capture libexec/stormglass/stormglass \
            libexec/stormglass/stormglass-capture share/stormglass/datas/Brassvale.mp3 \
            share/stormglass/datas/s.pak share/stormglass/datas/qor_fist.3ds; do
  [ -e "$prefix/$file" ] || { echo "missing $file"; exit 1; }
done
cd "$elsewhere"
# Relative output paths stay relative to where the launcher was started.
"$prefix/bin/stormglass-capture" --quiet --size 64x36 --fps 5 --to 2 --frames frames
count=$(ls frames/frame_*.png | wc -l)
[ "$count" -eq 10 ] || { echo "expected 10 frames, got $count"; exit 1; }
[ -s frames/audio.wav ] || { echo "no audio.wav"; exit 1; }
# The player starts from anywhere and ends with 0 when asked to stop (SIGTERM, as SIGINT is ignored in background jobs).
env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$prefix/bin/stormglass" > player.log 2>&1 &
player=$!
sleep 3
kill -TERM "$player"
wait "$player" || { echo "the installed player failed:"; cat player.log; exit 1; }
grep -q "ERROR" player.log && { echo "the installed player reported an error:"; cat player.log; exit 1; }
echo "install layout and launchers work"
