// RIFF/WAVE reader for uncompressed PCM (8-bit unsigned or 16-bit signed,
// mono or stereo, any rate) from bytes; every chunk size is checked against
// the data. Caller's thread; the result belongs to the caller.
#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/pcm.h"

namespace sgaudio {

enum class WavStatus {
  Ok,
  NotWave,      // no RIFF/WAVE header
  Malformed,    // chunk sizes or format fields that contradict the data
  Unsupported,  // a real WAVE, but compressed, or more than 2 channels, or not 8/16 bits
  Empty,        // no sample frames
};

// 8-bit data comes out as 16-bit (value − 128) × 256.
WavStatus ReadWav(const uint8_t* bytes, size_t size, PcmBuffer& out);

}  // namespace sgaudio
