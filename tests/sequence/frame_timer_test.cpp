// The frame timer on the platform's virtual performance counter.
#include <gtest/gtest.h>

#include "child_process.h"
#include "host.h"
#include "sequence/frame_timer.h"

namespace {

constexpr int64_t kTicksPerSecond = 1000;

class FrameTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::Reset();
    host::UseVirtualClock(kTicksPerSecond);
    host::SetVirtualTicks(5000);
    g_secondsPerCount = -1.0;
    g_timeScale = 1.0;
  }
  void Advance(int64_t milliseconds) { host::AdvanceVirtualTicks(milliseconds); }
};

TEST_F(FrameTimerTest, ReadsTheCounterInSecondsAndCachesTheFrequency) {
  EXPECT_DOUBLE_EQ(TimerSeconds(), 5.0);
  EXPECT_DOUBLE_EQ(g_secondsPerCount, 1.0 / kTicksPerSecond);
  // Once cached, a failing frequency query is never made again.
  host::FailPerformanceFrequency(true);
  Advance(250);
  EXPECT_DOUBLE_EQ(TimerSeconds(), 5.25);
}

TEST_F(FrameTimerTest, UpdatesSumTheirDeltasIntoTheTotal) {
  FrameTimer timer;
  Advance(16);
  timer.Update();
  EXPECT_NEAR(timer.Delta(), 0.016, 1e-9);
  Advance(17);
  timer.Update();
  Advance(1);
  timer.Update();
  EXPECT_NEAR(timer.Delta(), 0.001, 1e-9);
  EXPECT_NEAR(timer.Total(), 0.034, 1e-12);
  // Elapsed adds the time since the last update without changing anything.
  Advance(100);
  EXPECT_NEAR(timer.Elapsed(), 0.134, 1e-12);
  EXPECT_NEAR(timer.Total(), 0.034, 1e-12);
}

TEST_F(FrameTimerTest, PausedUpdatesKeepTheReadingCurrentSoResumingSkipsThePause) {
  FrameTimer timer;
  Advance(10);
  timer.Update();
  timer.Pause();
  Advance(3000);
  timer.Update();
  EXPECT_DOUBLE_EQ(timer.Delta(), 0.0);
  EXPECT_DOUBLE_EQ(timer.Elapsed(), timer.Total());
  timer.Start();  // resumes, keeping the total
  Advance(20);
  timer.Update();
  EXPECT_NEAR(timer.Delta(), 0.020, 1e-9);
  EXPECT_NEAR(timer.Total(), 0.030, 1e-12);
}

TEST_F(FrameTimerTest, StartOnARunningTimerResetsIt) {
  FrameTimer timer;
  Advance(500);
  timer.Update();
  timer.Start();
  EXPECT_DOUBLE_EQ(timer.Total(), 0.0);
  EXPECT_DOUBLE_EQ(timer.Delta(), 0.0);
  Advance(40);
  timer.Update();
  EXPECT_NEAR(timer.Total(), 0.040, 1e-9);
}

TEST_F(FrameTimerTest, TogglePauseFlipsAndUpdatesWhilePausedAddNothing) {
  FrameTimer timer;
  timer.TogglePause();
  Advance(70);
  timer.Update();
  EXPECT_DOUBLE_EQ(timer.Total(), 0.0);
  timer.TogglePause();
  Advance(70);
  timer.Update();
  EXPECT_NEAR(timer.Total(), 0.070, 1e-9);
}

TEST_F(FrameTimerTest, InitTwiceKeepsTheFirstTimerAndItsTotal) {
  g_frameTimer = nullptr;
  InitFrameTimer();
  FrameTimer* first = g_frameTimer;
  Advance(250);
  EXPECT_NEAR(UpdateFrameTimer(), 0.25, 1e-9);
  InitFrameTimer();
  EXPECT_EQ(g_frameTimer, first);
  Advance(250);
  EXPECT_NEAR(UpdateFrameTimer(), 0.5, 1e-9);
  EXPECT_NEAR(GetFrameDelta(), 0.25, 1e-9);
}

TEST_F(FrameTimerTest, ScaleMultipliesAbsoluteReadingsSoAChangeJumpsTheNextStep) {
  FrameTimer timer;  // last = 5 s
  SetTimeScale(2.0);
  Advance(100);
  timer.Update();
  // now = 5.1 * 2 = 10.2: the step is 0.1 * 2 plus the jump of 5 * (2 / 1 - 1).
  EXPECT_NEAR(timer.Delta(), 5.2, 1e-9);
  Advance(100);
  timer.Update();
  EXPECT_NEAR(timer.Delta(), 0.2, 1e-9);
}

TEST(FrameTimerFailure, MissingFrequencyPrintsItsMessageAndStopsAtOnce) {
  sgtest::ChildResult result = sgtest::RunInChild([] {
    host::Reset();
    host::FailPerformanceFrequency(true);
    g_secondsPerCount = -1.0;
    TimerSeconds();
    std::puts("still running");
    return 0;
  });
  EXPECT_TRUE(result.exited);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_EQ(result.out, "No freqency !!!\n");
}

TEST(FrameTimerFailure, MissingCounterPrintsItsMessageAndStopsAtOnce) {
  sgtest::ChildResult result = sgtest::RunInChild([] {
    host::Reset();
    host::FailPerformanceCounter(true);
    g_secondsPerCount = -1.0;
    FrameTimer timer;
    std::puts("still running");
    return 0;
  });
  EXPECT_TRUE(result.exited);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_EQ(result.out, "No timer !!!\n");
}

}  // namespace
