// How a capture's show ends, worked out without rendering: the prediction of
// its last frame, and the state that watches its frames come.
#include <gtest/gtest.h>

#include <vector>

#include "show_end.h"
#include "win32.h"

namespace {

using sgcapture::ShowEnd;
using sgcapture::ShowRequest;

const sglockstep::FrameRate kTenPerSecond{10, 1};

TEST(ShowEnd, TheEndIsPredictedFromTheKeysAndTheSoundtracksLength) {
  using Keys = std::vector<sglockstep::ScheduledKey>;
  EXPECT_EQ(sgcapture::PredictLastFrame(kTenPerSecond, {}, 182.0), 740);
  EXPECT_EQ(sgcapture::PredictLastFrame(kTenPerSecond, {}, 5.36), 54);
  // A seek past the soundtrack's end fails; one past the show's end ends it on that frame.
  EXPECT_EQ(sgcapture::PredictLastFrame(kTenPerSecond, Keys{{1.0, VK_F1}}, 5.36), 54);
  EXPECT_EQ(sgcapture::PredictLastFrame(kTenPerSecond, Keys{{1.0, VK_F5}}, 182.0), 10);
  // A key after the show has ended changes nothing; Esc ends before its frame.
  EXPECT_EQ(sgcapture::PredictLastFrame(kTenPerSecond, Keys{{80.0, VK_F1}}, 182.0), 740);
  EXPECT_EQ(sgcapture::PredictLastFrame(kTenPerSecond, Keys{{0.0, VK_ESCAPE}}, 182.0), -1);
}

TEST(ShowEnd, TheSoundtracksEndAsksOnceForTheEndAndLaterFramesAreNotKept) {
  ShowEnd end(kTenPerSecond, {});
  EXPECT_EQ(end.PredictedLast(), 740);
  EXPECT_EQ(end.Watch(0, {5.36, false}, false), ShowRequest::None);
  EXPECT_EQ(end.PredictedLast(), 54);  // once the soundtrack's length is known
  EXPECT_EQ(end.Watch(54, {5.36, true}, false), ShowRequest::End);
  EXPECT_EQ(end.CurrentState(), ShowEnd::State::Ending);
  EXPECT_EQ(end.MusicEndNote(), "the soundtrack ends at 5.36 s, before the show's end at 74.00 s; the video stops there");
  EXPECT_EQ(end.Watch(55, {5.36, true}, true), ShowRequest::None);
  EXPECT_FALSE(end.PastEnd(54));
  EXPECT_TRUE(end.PastEnd(55));
}

TEST(ShowEnd, AShowThatDoesNotEndIsClosedTenSecondsLateThenStoppedAfterASecondsGrace) {
  ShowEnd end(kTenPerSecond, {});
  const audio_host::MusicState stuck{182.0, false};
  end.Watch(0, stuck, false);
  EXPECT_EQ(end.Watch(839, stuck, false), ShowRequest::None);
  EXPECT_EQ(end.Watch(840, stuck, false), ShowRequest::EndAndClose);
  EXPECT_EQ(end.StalledAtSeconds(), 84.0);
  EXPECT_EQ(end.Watch(850, stuck, false), ShowRequest::None);
  EXPECT_EQ(end.Watch(851, stuck, false), ShowRequest::Stop);
  EXPECT_EQ(end.CurrentState(), ShowEnd::State::Stopped);
}

}  // namespace
