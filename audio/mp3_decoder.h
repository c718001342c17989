// MPEG audio (MP3) decoding from bytes with libmpg123, gapless: the encoder's
// delay and padding are removed, so frame 0 is the first frame of the music.
// Caller's thread; the result belongs to the caller.
#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/pcm.h"

namespace sgaudio {

enum class Mp3Status {
  Ok,
  NotMpegAudio,   // empty, too short, or mostly bytes that are not MPEG frames
  TooLong,        // the decoded audio would exceed kMaxDecodedSamples
  DecoderFailed,  // libmpg123 itself could not be set up
};

// A bound on memory for hostile input: about 50 minutes of 44.1 kHz stereo.
constexpr size_t kMaxDecodedSamples = size_t{1} << 28;

// Decodes all of `bytes`; with `mono` the channels are averaged into one.
Mp3Status DecodeMp3(const uint8_t* bytes, size_t size, bool mono, PcmBuffer& out);

}  // namespace sgaudio
