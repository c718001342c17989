#!/usr/bin/env bash
# Seeds for the fuzzers: the real-world corpus, our content, and small sound
# files made here (a whole soundtrack or picture is far past the inputs' size
# limit). Usage: make_seeds.sh BUILD_DIR CORPUS_DIR (may be empty) SEEDS_DIR
set -euo pipefail
build=$1 corpus=$2 seeds=$3
rm -rf "$seeds"
mkdir -p "$seeds"/{3ds,bmp,wav,mp3}
cp "$build/datas/qor_fist.3ds" "$seeds/3ds/"
if [ -n "$corpus" ]; then
  [ -d "$corpus/3ds" ] && cp "$corpus"/3ds/* "$seeds/3ds/"
  [ -d "$corpus/bmp" ] && cp "$corpus"/bmp/* "$seeds/bmp/"
fi
# The content's pictures that fit; the big ones as small copies.
find "$build/content" -name '*.bmp' -size -16k -exec cp {} "$seeds/bmp/" \;
convert -size 7x5 gradient:red-blue -type TrueColor "BMP3:$seeds/bmp/small_v3.bmp"
convert -size 3x9 plasma:fractal -type TrueColor "BMP:$seeds/bmp/small_v5.bmp" 2>/dev/null ||
  convert -size 3x9 xc:green -type TrueColor "BMP:$seeds/bmp/small_v5.bmp"
convert -size 1x1 xc:white -type TrueColor "BMP3:$seeds/bmp/one_pixel.bmp"

tmp=$seeds/tmp
mkdir -p "$tmp"
sox -q -n -r 44100 -c 1 -b 16 -t wavpcm "$seeds/wav/mono16_44k.wav" synth 0.02 sine 440
sox -q -n -r 22050 -c 2 -b 16 -t wavpcm "$seeds/wav/stereo16_22k.wav" synth 0.02 sine 300 sine 500
sox -q -n -r 8000 -c 1 -b 8 -t wavpcm "$seeds/wav/mono8_8k.wav" synth 0.05 square 200
sox -q -n -r 48000 -c 2 -b 8 -t wavpcm "$seeds/wav/stereo8_48k.wav" synth 0.01 noise
sox -q -n -r 44100 -c 2 -b 24 -t wav "$seeds/wav/extensible24.wav" synth 0.01 sine 440
sox -q -n -r 11025 -c 1 -b 16 -t wavpcm --comment "seed" "$seeds/wav/with_list.wav" synth 0.03 sine 1000
head -c 4096 "$build/datas/s.pak" >"$seeds/wav/sample_head.pak"

sox -q -n -r 44100 -c 1 -b 16 "$tmp/a44m.wav" synth 0.15 sine 440
sox -q -n -r 44100 -c 2 -b 16 "$tmp/a44s.wav" synth 0.15 sine 440 sine 660
sox -q -n -r 22050 -c 1 -b 16 "$tmp/a22m.wav" synth 0.2 sine 300
sox -q -n -r 8000 -c 1 -b 16 "$tmp/a8m.wav" synth 0.3 sine 200
lame --quiet -b 128 "$tmp/a44m.wav" "$seeds/mp3/mono_cbr_tag.mp3"
lame --quiet -V 2 "$tmp/a44s.wav" "$seeds/mp3/stereo_vbr_tag.mp3"
lame --quiet -t -b 64 "$tmp/a44s.wav" "$seeds/mp3/stereo_no_tag.mp3"
lame --quiet -b 32 "$tmp/a22m.wav" "$seeds/mp3/mpeg2_22k.mp3"
lame --quiet -b 8 "$tmp/a8m.wav" "$seeds/mp3/mpeg25_8k.mp3"
lame --quiet -b 96 --tt seed --ta stormglass --add-id3v2 "$tmp/a22m.wav" "$seeds/mp3/id3v2_and_v1.mp3"
head -c 8192 "$build/datas/Brassvale.mp3" >"$seeds/mp3/soundtrack_head.mp3"
rm -rf "$tmp"
echo "seeds: $(find "$seeds" -type f | wc -l) files in $seeds"
