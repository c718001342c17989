// The program's life: the whole show to its end, the loop's edges, content
// setup failures and the shutdown order.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "audio/audio_host.h"
#include "program_run.h"
#include "sequence/content.h"
#include "sequence/frame_timer.h"
#include "sequence/music.h"

namespace {

using sgtest::ProgramOptions;
using sgtest::ProgramResult;
using sgtest::RunProgram;

TEST(Show, RunsToThe74SecondMarkByItselfAndExitsZero) {
  ProgramResult run = RunProgram(ProgramOptions{});
  ASSERT_TRUE(run.child.exited) << run.child.err;
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  EXPECT_EQ(run.child.exitCode, 0);
  // 10 frames a second: frame n plays n / 10 s of music; frame 740 is the
  // first at 74 s, is drawn and swapped, and nothing comes after it.
  ASSERT_EQ(run.swaps, 741);
  ASSERT_EQ(run.frames.size(), 741u);
  EXPECT_EQ(run.frames.front().musicSeconds, 0.0f);
  EXPECT_FLOAT_EQ(run.frames[108].musicSeconds, 10.8f);
  EXPECT_EQ(run.frames.back().musicSeconds, 74.0f);
  for (size_t i = 0; i + 1 < run.frames.size(); ++i) EXPECT_LT(run.frames[i].musicSeconds, 74.0f);
  EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
}

TEST(Show, TheFrameClockIsZeroAtTheFirstFrameAndFollowsTheFrames) {
  ProgramOptions options;
  options.lockstep.rate = {4, 1};
  options.onFrame = [](const host::FrameInfo& frame) {
    if (frame.index < 3) std::printf("clock%d=%.6f\n", frame.index, static_cast<double>(g_frameTime));
    if (frame.index == 3) host::QueueKey(VK_ESCAPE);
  };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.Value("clock0"), "0.000000");
  EXPECT_EQ(run.Value("clock1"), "0.250000");
  EXPECT_EQ(run.Value("clock2"), "0.500000");
}

TEST(Show, EachFrameLeavesTheStateContentSetupLeftWhateverTheSceneChanged) {
  ProgramOptions options;
  options.onFrame = [](const host::FrameInfo& frame) {
    GLint mode = 0, bound = 0, unit = 0, alignment = 0, depth = -1;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    bool restored = mode == GL_MODELVIEW && static_cast<GLuint>(bound) == g_redTexture.texture[0] &&
                    unit == GL_TEXTURE0_ARB && alignment == 1 && depth == 0 && glIsEnabled(GL_TEXTURE_2D) &&
                    !glIsEnabled(GL_BLEND) && !glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_CULL_FACE) &&
                    !glIsEnabled(GL_FOG);
    if (!restored) std::printf("unrestored=%d\n", frame.index);
    if (frame.index == 150) {  // 15 s: scene 2 loaded its own projection
      GLfloat projection[16];
      glGetFloatv(GL_PROJECTION_MATRIX, projection);
      std::printf("projection00=%.4f\n", static_cast<double>(projection[0]));
    }
  };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  EXPECT_EQ(run.Value("unrestored"), "");
  EXPECT_NE(run.Value("projection00"), "");
  EXPECT_NE(run.Value("projection00"), "1.0000");
}

TEST(ContentSetup, AMissingSoundtrackSaysSoAndEndsBeforeAnyFrameWithAFailure) {
  ProgramOptions options;
  options.workingDirectory = sgtest::DataFolderWithout("Brassvale.mp3");
  options.finish = [] {
    std::printf("timer=%d\nmodelObjects=%d\n", g_frameTimer != nullptr, g_model.objectCount);
  };
  ProgramResult run = RunProgram(options);
  ASSERT_TRUE(run.child.exited) << run.child.err;
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.child.exitCode, 1);
  EXPECT_EQ(run.swaps, 0);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0],
            "ERROR|Can't open the soundtrack \"datas/Brassvale.mp3\": it is missing or cannot be read.|48|1");
  // Content was set up in full before the quit was seen, then freed.
  EXPECT_EQ(run.Value("timer"), "1");
  EXPECT_NE(run.Value("modelObjects"), "0");
}

TEST(ContentSetup, AMissingModelOrSampleStillPlaysTheShow) {
  for (const char* missing : {"qor_fist.3ds", "s.pak"}) {
    ProgramOptions options;
    options.workingDirectory = sgtest::DataFolderWithout(missing);
    options.onFrame = [](const host::FrameInfo& frame) {
      if (frame.index == 400) {
        BASS_SampleStop(g_sample);
        BASS_SamplePlay(g_sample);  // as Space does: no effect without a sample
        host::QueueKey(VK_ESCAPE);
      }
    };
    ProgramResult run = RunProgram(options);
    EXPECT_EQ(run.exitCode, 0) << missing << run.child.err;
    EXPECT_EQ(run.swaps, 401) << missing;
  }
}

TEST(Shutdown, AudioStopsFirstThenContentIsFreedThenTheContextGoes) {
  ProgramOptions options;
  options.prepare = [] {
    audio_host::SetFreeHook([] {
      std::printf("atAudioFree.stripAlive=%d\n", glIsTexture(g_stripTexture) == GL_TRUE);
    });
    host::SetContextReleaseHook([] {
      static bool first = true;
      if (!first) return;
      first = false;
      std::printf("atRelease.stripAlive=%d\n", glIsTexture(g_stripTexture) == GL_TRUE);
      std::printf("atRelease.audioGone=%d\n", BASS_ChannelGetPosition(g_music) == static_cast<QWORD>(-1));
    });
  };
  options.onFrame = [](const host::FrameInfo& frame) {
    if (frame.index == 20) host::QueueKey(VK_ESCAPE);
  };
  options.finish = [] {
    host::ContextCounts counts = host::Contexts();
    std::printf("created=%d\ndeleted=%d\n", counts.created, counts.deleted);
  };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  EXPECT_EQ(run.Value("atAudioFree.stripAlive"), "1");
  EXPECT_EQ(run.Value("atRelease.stripAlive"), "0");
  EXPECT_EQ(run.Value("atRelease.audioGone"), "1");
  EXPECT_EQ(run.Value("created"), "1");
  EXPECT_EQ(run.Value("deleted"), "1");
}

TEST(Shutdown, MissingMultitextureSupportSaysSoAndEndsBeforeAnyFrame) {
  ProgramOptions options;
  options.prepare = [] { host::HideProcAddress("glMultiTexCoord2fARB"); };
  ProgramResult run = RunProgram(options);
  EXPECT_EQ(run.exitCode, 1) << run.child.err;
  EXPECT_EQ(run.swaps, 0);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0], "Error|no multitexturing support|0|1");
}

}  // namespace
