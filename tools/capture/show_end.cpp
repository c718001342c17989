#include "show_end.h"

#include <algorithm>
#include <cmath>

#include "sequence/show_course.h"

namespace sgcapture {

int64_t FirstFrameAtOrAfter(const sglockstep::FrameRate& rate, double seconds) {
  double frames = seconds * static_cast<double>(rate.num) / static_cast<double>(rate.den);
  return static_cast<int64_t>(std::ceil(frames - 1e-9));
}

// The end is found on the double positions the frames are shown at, not by
// the program's float test: the program's positions lie on the soundtrack's
// sample grid, where no position is near enough to 74 s for the two to differ,
// and the positions modelled here do not.
int64_t PredictLastFrame(const sglockstep::FrameRate& rate, const std::vector<sglockstep::ScheduledKey>& keys,
                         double musicLengthSeconds) {
  const double end = std::min<double>(kShowEndSeconds, musicLengthSeconds);
  int64_t baseFrame = 0;    // the music is at baseMusic on this frame,
  double baseMusic = 0.0;   // and runs with the show's clock from there
  auto endFrame = [&] { return baseFrame + std::max<int64_t>(0, FirstFrameAtOrAfter(rate, end - baseMusic)); };
  for (const sglockstep::ScheduledKey& key : keys) {
    int64_t frame = FirstFrameAtOrAfter(rate, key.seconds);
    if (endFrame() < frame) break;
    double music = baseMusic + sglockstep::FrameSeconds(rate, frame - baseFrame);
    ShowCourse course = CourseAfterKey({music, false}, static_cast<WPARAM>(key.virtualKey), musicLengthSeconds);
    if (course.quit) return frame - 1;
    if (course.musicSeconds != music) {
      baseFrame = frame;
      baseMusic = course.musicSeconds;
    }
  }
  return endFrame();
}

}  // namespace sgcapture
