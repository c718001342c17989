#include "audio/frame_lead.h"

#include <algorithm>

namespace sgaudio {

void FrameLead::NoteRead(Clock::time_point at) {
  Clock::duration interval = at - last_;
  if (read_ && interval >= Clock::duration::zero() && interval <= kLongestFrame) {
    intervals_[next_] = interval;
    next_ = (next_ + 1) % kKept;
    count_ = std::min(count_ + 1, kKept);
  }
  read_ = true;
  last_ = at;
}

FrameLead::Clock::duration FrameLead::Lead() const {
  if (count_ == 0) return Clock::duration::zero();
  std::array<Clock::duration, kKept> sorted = intervals_;
  auto middle = sorted.begin() + count_ / 2;
  std::nth_element(sorted.begin(), middle, sorted.begin() + count_);
  return *middle;
}

}  // namespace sgaudio
