// The offline output for capture: no thread and no clock. The caller advances
// it to an exact frame count; mixing and syncs happen on the caller's thread,
// and everything mixed is kept for the capture's audio track.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/output.h"

namespace sgaudio {

class OfflineOutput : public Output {
 public:
  explicit OfflineOutput(Mixer& mixer) : mixer_(mixer) {}
  void Start() override { started_ = true; }
  void Stop() override { started_ = false; }
  // A stalled output produces silence and advances nothing, as if stopped.
  void Stall() { stalled_ = true; }

  // Produces frames until `frame` frames exist in all (never backwards).
  // While stopped, time still passes: the frames are silence and nothing
  // advances, so the track stays in step with the pictures.
  void AdvanceTo(uint64_t frame);
  // Moves out the interleaved stereo frames produced since the last call.
  void TakeMix(std::vector<int16_t>& out);

 private:
  Mixer& mixer_;
  bool started_ = false;
  bool stalled_ = false;
  uint64_t produced_ = 0;
  std::vector<int16_t> mix_;
};

}  // namespace sgaudio
