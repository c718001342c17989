#include "show_end.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f s", seconds);
  return text;
}

ShowEnd::ShowEnd(const sglockstep::FrameRate& rate, std::vector<sglockstep::ScheduledKey> keys)
    : rate_(rate), keys_(std::move(keys)), predictedLast_(PredictLastFrame(rate_, keys_, kShowEndSeconds)) {}

// Once the soundtrack is open: its length may end the show early.
void ShowEnd::Plan(double musicLengthSeconds) {
  predictedLast_ = PredictLastFrame(rate_, keys_, musicLengthSeconds);
  planned_ = true;
  stallFrame_ = FirstFrameAtOrAfter(rate_, sglockstep::FrameSeconds(rate_, predictedLast_) + kStallMarginSeconds);
}

ShowRequest ShowEnd::AskEnd(int64_t frame) {
  if (!lastFrame_) lastFrame_ = frame;
  if (state_ == State::Running) state_ = State::Ending;
  return ShowRequest::End;
}

// Ends the show when the soundtrack has ended (it never advances again), when
// the capture is interrupted, or when the show has stalled; stops it when it
// goes on drawing after being asked to end.
ShowRequest ShowEnd::Watch(int64_t frame, const audio_host::MusicState& music, bool interrupted) {
  if (frame == 0) Plan(music.lengthSeconds > 0.0 ? music.lengthSeconds : kShowEndSeconds);
  ShowRequest request = ShowRequest::None;
  if (music.ended && !lastFrame_) {
    if (music.lengthSeconds < kShowEndSeconds) {
      musicEndNote_ = "the soundtrack ends at " + SecondsText(music.lengthSeconds) + ", before the show's end at " +
                      SecondsText(kShowEndSeconds) + "; the video stops there";
    }
    request = AskEnd(frame);
  }
  if (interrupted && !lastFrame_) request = AskEnd(frame);
  if (frame >= stallFrame_ && !stalledAt_) {
    stalledAt_ = sglockstep::FrameSeconds(rate_, frame);
    AskEnd(frame);
    state_ = State::Stalled;
    request = ShowRequest::EndAndClose;
  }
  if (lastFrame_ && frame > *lastFrame_ + FirstFrameAtOrAfter(rate_, kGraceSeconds)) {
    state_ = State::Stopped;
    request = ShowRequest::Stop;
  }
  return request;
}

}  // namespace sgcapture
