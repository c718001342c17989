#include "audio/offline/offline_output.h"

#include <algorithm>

namespace sgaudio {

namespace {

constexpr uint64_t kChunkFrames = 4096;

}  // namespace

void OfflineOutput::AdvanceTo(uint64_t frame) {
  while (produced_ < frame) {
    size_t frames = static_cast<size_t>(std::min(frame - produced_, kChunkFrames));
    size_t at = mix_.size();
    mix_.resize(at + frames * Mixer::kOutputChannels, 0);
    // No device buffer: the time plays no part.
    if (started_ && !stalled_) mixer_.Render(mix_.data() + at, frames, Mixer::TimePoint{});
    produced_ += frames;
  }
}

void OfflineOutput::TakeMix(std::vector<int16_t>& out) {
  out = std::move(mix_);
  mix_.clear();
}

}  // namespace sgaudio
