// MPEG audio (MP3) decoding from bytes, gapless: the encoder's delay and
// padding are removed, so frame 0 is the first frame of the music. The build
// picks the decoder: libmpg123 (mp3_decoder.cpp) or, on Windows, the system's
// MPEG Layer-3 codec (win32/acm_mp3_decoder.cpp). Caller's thread; the result
// belongs to the caller.
#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/pcm.h"

namespace sgaudio {

enum class Mp3Status {
  Ok,
  Empty,          // no bytes at all
  NoAudioFrames,  // only tags, or MPEG frames that hold no samples
  NotMpegAudio,   // too short, or mostly bytes that are not MPEG frames
  TooLong,        // the decoded audio would exceed kMaxDecodedSamples
  DecoderFailed,  // the decoder itself (libmpg123, the system codec) could not be set up
};

// A bound on memory for hostile input: about 50 minutes of 44.1 kHz stereo.
constexpr size_t kMaxDecodedSamples = size_t{1} << 28;

// Decodes all of `bytes`; with `mono` the channels are averaged into one.
Mp3Status DecodeMp3(const uint8_t* bytes, size_t size, bool mono, PcmBuffer& out);

}  // namespace sgaudio
