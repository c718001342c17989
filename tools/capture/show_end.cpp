#include "show_end.h"

#include <algorithm>
#include <cmath>

#include "app/shell.h"
#include "sequence/show.h"

namespace sgcapture {

namespace {

// The seek target of a key, or a negative value for a key that seeks nowhere.
double SeekTarget(int virtualKey) {
  for (const SeekKey& seek : kSeekKeys) {
    if (static_cast<int>(seek.key) == virtualKey) return seek.seconds;
  }
  return -1.0;
}

}  // namespace

int64_t FirstFrameAtOrAfter(const sglockstep::FrameRate& rate, double seconds) {
  double frames = seconds * static_cast<double>(rate.num) / static_cast<double>(rate.den);
  return static_cast<int64_t>(std::ceil(frames - 1e-9));
}

int64_t PredictLastFrame(const sglockstep::FrameRate& rate, const std::vector<sglockstep::ScheduledKey>& keys,
                         double musicLengthSeconds) {
  const double end = std::min<double>(kShowEndSeconds, musicLengthSeconds);
  int64_t baseFrame = 0;    // the music is at baseMusic on this frame,
  double baseMusic = 0.0;   // and runs with the show's clock from there
  auto endFrame = [&] { return baseFrame + std::max<int64_t>(0, FirstFrameAtOrAfter(rate, end - baseMusic)); };
  for (const sglockstep::ScheduledKey& key : keys) {
    int64_t frame = FirstFrameAtOrAfter(rate, key.seconds);
    if (endFrame() < frame) break;
    if (key.virtualKey == VK_ESCAPE) return frame - 1;
    double target = SeekTarget(key.virtualKey);
    if (target >= 0.0 && target < musicLengthSeconds) {
      baseFrame = frame;
      baseMusic = target;
    }
  }
  return endFrame();
}

}  // namespace sgcapture
