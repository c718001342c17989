// The demo window's start-up failures, the windowed fallback and release.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/shell.h"
#include "audio/bass.h"
#include "program_run.h"
#include "sequence/frame_timer.h"

namespace {

using sgtest::ProgramOptions;
using sgtest::ProgramResult;
using sgtest::RunProgram;

// "ERROR" with OK and the exclamation icon, answered OK.
std::string ErrorBox(const std::string& text) { return "ERROR|" + text + "|48|1"; }

void PrintAftermath() {
  // No content set up and the audio library never initialised.
  std::printf("timer=%d\n", g_frameTimer != nullptr);
  std::printf("audioStarted=%d\n", BASS_Start() ? 1 : 0);
  std::printf("displayChanged=%d\ncursor=%d\n", host::DisplayModeChanged(), host::CursorCounter());
}

struct StepFailure {
  host::Step step;
  const char* text;
};

TEST(WindowFailure, EachStepShowsItsBoxRestoresTheDisplayAndEndsWithAFailure) {
  const StepFailure failures[] = {
      {host::Step::RegisterClass, "Failed To Register The Window Class."},
      {host::Step::CreateWindow, "Window creation error."},
      {host::Step::GetDC, "Can't create a GL device context, wtf !"},
      {host::Step::ChoosePixelFormat, "Can't find a suitable PixelFormat, wtf !"},
      {host::Step::SetPixelFormat, "Damn, can't set the PixelFormat."},
      {host::Step::CreateContext, "Can't create a GL rendering context."},
      {host::Step::MakeCurrent, "Can't activate the GL rendering context."},
  };
  for (const StepFailure& failure : failures) {
    ProgramOptions options;
    options.prepare = [&failure] { host::FailStep(failure.step); };
    options.finish = PrintAftermath;
    ProgramResult run = RunProgram(options);
    SCOPED_TRACE(failure.text);
    ASSERT_TRUE(run.child.exited) << run.child.err;
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.swaps, 0);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0], ErrorBox(failure.text));
    EXPECT_EQ(run.Value("timer"), "0");
    EXPECT_EQ(run.Value("audioStarted"), "0");
    EXPECT_EQ(run.Value("displayChanged"), "0");
    // Full screen hid the cursor; every failure after that shows it again.
    EXPECT_EQ(run.Value("cursor"), "0");
  }
}

TEST(WindowFailure, ARefusedModeAnsweredYesOpensAWindowWithTheAskedClientArea) {
  ProgramOptions options;
  options.lockstep.width = 0;  // keep the window's own size
  options.lockstep.height = 0;
  options.prepare = [] {
    host::SetDisplayModes(host::DisplayModes::RejectAll);
    host::QueueMessageBoxAnswer(IDYES);
  };
  options.onFrame = [](const host::FrameInfo& frame) {
    if (frame.index != 1) return;
    RECT client{};
    GetClientRect(g_hWnd, &client);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::printf("client=%dx%d\nviewport=%dx%d\nfullscreen=%d\ncursor=%d\n", client.right - client.left,
                client.bottom - client.top, viewport[2], viewport[3], g_fullscreen, host::CursorCounter());
    host::QueueKey(VK_ESCAPE);
  };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0],
            "Vexa GL|Damn the requested fullscreen mode is not supported by~your video card. Use windowed mode "
            "perhaps ?|52|6");
  EXPECT_EQ(run.Value("client"), "1920x1080");
  EXPECT_EQ(run.Value("viewport"), "1920x1080");
  EXPECT_EQ(run.Value("fullscreen"), "0");
  EXPECT_EQ(run.Value("cursor"), "0");
}

TEST(WindowFailure, ARefusedModeAnsweredNoClosesBeforeAnyWindowExists) {
  ProgramOptions options;
  options.prepare = [] {
    host::SetDisplayModes(host::DisplayModes::RejectAll);
    host::QueueMessageBoxAnswer(IDNO);
  };
  options.finish = [] {
    PrintAftermath();
    std::printf("window=%d\ncreated=%d\n", g_hWnd != NULL, host::Contexts().created);
  };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(run.boxes.size(), 2u);
  EXPECT_EQ(run.boxes[1], "ERROR|Program Will Now Close.|16|1");
  EXPECT_EQ(run.Value("window"), "0");
  EXPECT_EQ(run.Value("created"), "0");
  EXPECT_EQ(run.Value("timer"), "0");
  EXPECT_EQ(run.Value("displayChanged"), "0");
}

TEST(WindowRelease, ReleasingTwiceReleasesTheContextOnce) {
  ProgramOptions options;
  options.onFrame = [](const host::FrameInfo& frame) {
    if (frame.index == 2) host::QueueKey(VK_ESCAPE);
  };
  options.finish = [] {
    ReleaseDemoWindow();
    host::ContextCounts counts = host::Contexts();
    std::printf("deleted=%d\nreleased=%d\nboxesAfter=%zu\n", counts.deleted, counts.releasedCurrent,
                host::MessageBoxes().size());
  };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  EXPECT_EQ(run.Value("deleted"), "1");
  EXPECT_EQ(run.Value("released"), "1");
  EXPECT_EQ(run.Value("boxesAfter"), "0");
}

TEST(WindowRelease, ReleaseFailuresAreReportedAndPassedOver) {
  const StepFailure failures[] = {
      {host::Step::ReleaseCurrent, "DC and RC release failed."},
      {host::Step::DeleteContext, "Rendering Context release failed."},
  };
  for (const StepFailure& failure : failures) {
    ProgramOptions options;
    options.prepare = [&failure] { host::FailStep(failure.step); };
    options.onFrame = [](const host::FrameInfo& frame) {
      if (frame.index == 2) host::QueueKey(VK_ESCAPE);
    };
    options.finish = [] { std::printf("glrc=%d\n", g_hGLRC != NULL); };
    ProgramResult run = RunProgram(options);
    SCOPED_TRACE(failure.text);
    EXPECT_EQ(run.exitCode, 0) << run.child.err;
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0], std::string("SHUTDOWN ERROR|") + failure.text + "|64|1");
    EXPECT_EQ(run.Value("glrc"), "0");
  }
}

}  // namespace
