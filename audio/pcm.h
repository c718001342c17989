// Decoded 16-bit PCM held in memory: what the decoders produce and the mixer
// plays. A plain value; whoever holds it owns it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sgaudio {

struct PcmBuffer {
  int rate = 0;                  // frames per second
  int channels = 0;              // 1 or 2, interleaved
  std::vector<int16_t> samples;  // frames × channels

  size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

}  // namespace sgaudio
