// How long a frame takes from reading the music position to reaching the
// screen. The program reads the position once as each frame starts, and a
// frame is on screen about when the next one starts (its swap has returned),
// so the estimate is the median of the last intervals between reads. Long
// gaps (a dialog, a stalled frame) are not frames and are left out.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>

namespace sgaudio {

class FrameLead {
 public:
  using Clock = std::chrono::steady_clock;

  // The longest interval still taken for a frame.
  static constexpr Clock::duration kLongestFrame = std::chrono::milliseconds(250);

  void NoteRead(Clock::time_point at);
  // Zero until two reads have been noted.
  Clock::duration Lead() const;

 private:
  static constexpr size_t kKept = 9;
  std::array<Clock::duration, kKept> intervals_{};
  size_t count_ = 0;
  size_t next_ = 0;
  bool read_ = false;
  Clock::time_point last_{};
};

}  // namespace sgaudio
