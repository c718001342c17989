// The soak's scene probe on the real program: over a frame-locked run that
// crosses every boundary of the timetable, each frame drew exactly the scene
// of its music position; and the probe does see a wrong dispatch, as a
// timetable that disagrees with the show's shows.
#include "scene_probe.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/shell.h"
#include "program_run.h"
#include "sequence/music.h"

namespace {

using sgsoak::CheckFrame;
using sgsoak::DrawnScenes;
using sgsoak::ExpectedScene;
using sgsoak::SceneChoice;

TEST(SceneProbe, TheTimetableHasTheShowsBoundsAndNothingAtOrBeforeZero) {
  EXPECT_EQ(ExpectedScene(0.0f), 0);
  EXPECT_EQ(ExpectedScene(-1.0f), 0);
  EXPECT_EQ(ExpectedScene(0.001f), 1);
  EXPECT_EQ(ExpectedScene(10.8f), 2);
  EXPECT_EQ(ExpectedScene(21.6f), 3);
  EXPECT_EQ(ExpectedScene(29.0f), 4);
  EXPECT_EQ(ExpectedScene(63.5f), 5);
  EXPECT_EQ(ExpectedScene(1000.0f), 5);
  DrawnScenes scene4;
  scene4.sceneMask = 1u << 4;
  scene4.sceneDraws = 1;
  EXPECT_NE(CheckFrame(30.0f, scene4), "");  // the model is missing
  scene4.modelRenders = 1;
  EXPECT_EQ(CheckFrame(30.0f, scene4), "");
  scene4.sceneDraws = 2;
  EXPECT_NE(CheckFrame(30.0f, scene4), "");  // drawn twice
}

// Every boundary: 10.8, 21.6 and 29 by playing, 63.5 after a jump to 59.5.
sgtest::ProgramOptions BoundaryRun(SceneChoice expected) {
  static SceneChoice s_expected;
  s_expected = expected;
  sgtest::ProgramOptions options;
  options.lockstep.keys = {{29.5, VK_F3}, {35.0, VK_ESCAPE}};
  options.prepare = [] {
    sgsoak::InstallSceneProbe();
    sgsoak::TakeDrawn();
  };
  options.onFrame = [](const host::FrameInfo& frame) {
    std::string problem = CheckFrame(g_musicSeconds, sgsoak::TakeDrawn(), s_expected);
    if (!problem.empty()) std::printf("wrong=%d %s\n", frame.index, problem.c_str());
  };
  return options;
}

int CountLines(const std::string& text, const std::string& prefix) {
  int count = 0;
  for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) ++count;
  return count;
}

TEST(SceneProbe, EveryFrameOfTheProgramDrawsTheSceneOfItsPosition) {
  sgtest::ProgramResult run = sgtest::RunProgram(BoundaryRun(ExpectedScene));
  ASSERT_TRUE(run.child.exited) << run.child.err;
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.swaps, 350);
  EXPECT_EQ(CountLines(run.child.out, "wrong="), 0) << run.child.out.substr(run.child.out.find("wrong="), 400);
}

// Scene 1 until 11 s (frames at 10.8 and 10.9 disagree) and scene 5 from
// 63 s (the frames up to 63.5 disagree).
int LateTimetable(float t) {
  if (t > 0.0f && t < 11.0f) return 1;
  if (t >= 63.0f) return 5;
  return ExpectedScene(t);
}

TEST(SceneProbe, ATimetableThatDisagreesWithTheProgramIsCaught) {
  sgtest::ProgramResult run = sgtest::RunProgram(BoundaryRun(LateTimetable));
  ASSERT_TRUE(run.child.exited) << run.child.err;
  EXPECT_EQ(CountLines(run.child.out, "wrong="), 2 + 5) << run.child.out;
  EXPECT_NE(run.child.out.find("wrong=108 at 10.8"), std::string::npos);
}

}  // namespace
