// The show's structure and the timeline: the pure choice of scene at the
// exact 32-bit float bounds, then DrawFrame on a real context and a real
// stream, with probes standing in for the scene draws through the table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "gl_test_context.h"
#include "sequence/content.h"
#include "sequence/music.h"
#include "sequence/show.h"
#include "sequence/timeline.h"
#include "test_audio.h"

namespace {

TEST(Show, DrawsNothingAtOrBelowZeroOrForANonNumber) {
  EXPECT_EQ(SceneAt(0.0f), 0);
  EXPECT_EQ(SceneAt(-1.0f), 0);
  EXPECT_EQ(SceneAt(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(Show, EachBoundBelongsToTheLaterSceneAsA32BitFloat) {
  EXPECT_EQ(SceneAt(std::numeric_limits<float>::denorm_min()), 1);
  EXPECT_EQ(SceneAt(std::nextafter(10.8f, 0.0f)), 1);
  EXPECT_EQ(SceneAt(10.8f), 2);
  EXPECT_EQ(SceneAt(std::nextafter(21.6f, 0.0f)), 2);
  EXPECT_EQ(SceneAt(21.6f), 3);
  EXPECT_EQ(SceneAt(std::nextafter(29.0f, 0.0f)), 3);
  EXPECT_EQ(SceneAt(29.0f), 4);
  EXPECT_EQ(SceneAt(std::nextafter(63.5f, 0.0f)), 4);
  EXPECT_EQ(SceneAt(63.5f), 5);
  EXPECT_EQ(SceneAt(155.87f), 5);
  EXPECT_EQ(SceneAt(std::numeric_limits<float>::infinity()), 5);
}

TEST(Show, ContentSetupRunsScene1FirstAndEveryUnitOnce) {
  EXPECT_EQ(g_sceneUnits[0].scene, 1);
  unsigned seen = 0;
  for (const SceneUnit& unit : g_sceneUnits) {
    EXPECT_EQ(seen & (1u << unit.scene), 0u) << unit.name;
    seen |= 1u << unit.scene;
    EXPECT_EQ(unit.draw == nullptr, unit.scene == 0) << unit.name;
  }
  EXPECT_EQ(seen, 0x3Fu);  // the extra unit and scenes 1 to 5
  EXPECT_EQ(SceneUnitFor(4).drawAfter, RenderModel);
}

// ---- DrawFrame ----

std::vector<std::string> g_calls;
void (*g_sceneHook)() = nullptr;

void Record(const char* name) {
  GLint depth = 0;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
  g_calls.push_back(std::string(name) + "@" + std::to_string(depth));
  if (g_sceneHook) g_sceneHook();
}

template <int Scene>
void ProbeScene() {
  Record(("scene" + std::to_string(Scene)).c_str());
}
void ProbeModel() { Record("model"); }

constexpr int kRate = 8000;

// A real stream of 95 s of silence on the offline output; the scene draws
// replaced by probes; model and textures as content setup leaves them.
class TimelineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string dir = sgtest::MakeTempDir("sg_timeline_");
    std::string wav = dir + "/silence.wav";
    s_mp3 = dir + "/silence.mp3";
    if (!sgtest::WriteWav16(wav, std::vector<int16_t>(kRate * 95, 0), kRate, 1) ||
        !sgtest::EncodeMp3(LAME_PROGRAM, wav, s_mp3, 32)) {
      s_mp3.clear();
    }
  }
  void SetUp() override {
    if (s_mp3.empty()) GTEST_SKIP() << "lame is not available";
    ASSERT_TRUE(context_.Ok());
    audio_host::Reset();
    audio_host::SelectOutput(audio_host::Output::Offline);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, NULL));
    g_music = BASS_StreamCreateFile(FALSE, s_mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
    ASSERT_NE(g_music, 0u) << BASS_ErrorGetCode();
    saved_ = {SceneUnitFor(1).draw, SceneUnitFor(2).draw, SceneUnitFor(3).draw, SceneUnitFor(4).draw,
              SceneUnitFor(5).draw};
    SceneUnitFor(1).draw = ProbeScene<1>;
    SceneUnitFor(2).draw = ProbeScene<2>;
    SceneUnitFor(3).draw = ProbeScene<3>;
    SceneUnitFor(4).draw = ProbeScene<4>;
    SceneUnitFor(5).draw = ProbeScene<5>;
    SceneUnitFor(4).drawAfter = ProbeModel;
    g_calls.clear();
    g_sceneHook = nullptr;
    g_running = 1;
  }
  void TearDown() override {
    for (int scene = 1; scene <= kSceneCount && !saved_.empty(); ++scene) SceneUnitFor(scene).draw = saved_[scene - 1];
    SceneUnitFor(4).drawAfter = RenderModel;
    BASS_Free();
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
  }
  // One frame with the music at a whole sample.
  std::vector<std::string> FrameAt(uint64_t sample) {
    g_calls.clear();
    EXPECT_TRUE(BASS_ChannelSetPosition(g_music, sample * 2));
    DrawFrame();
    return g_calls;
  }
  static bool QuitPosted() {
    MSG msg;
    return PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.message == WM_QUIT;
  }

  static std::string s_mp3;
  sgtest::GLTestContext context_{64, 64};
  std::vector<void (*)()> saved_;
};

std::string TimelineTest::s_mp3;

using Calls = std::vector<std::string>;

TEST_F(TimelineTest, KeepsThePositionInBytesAndSecondsAndDrawsItsSceneInTheBracket) {
  EXPECT_EQ(FrameAt(12000), Calls{"scene1@1"});
  EXPECT_EQ(g_musicBytes, 24000u);
  EXPECT_EQ(g_musicSeconds, 1.5f);
  EXPECT_EQ(FrameAt(0), Calls{});
  EXPECT_EQ(FrameAt(kRate * 22), Calls{"scene3@1"});
  EXPECT_FALSE(QuitPosted());
}

TEST_F(TimelineTest, TheFrameThatReaches74IsDrawnThenTheShowEnds) {
  EXPECT_EQ(FrameAt(kRate * 74 - 1), Calls{"scene5@1"});
  EXPECT_EQ(g_running, 1);
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(FrameAt(kRate * 74), Calls{"scene5@1"});
  EXPECT_EQ(g_running, 0);
  EXPECT_TRUE(QuitPosted());
  g_running = 1;
  EXPECT_EQ(FrameAt(kRate * 90), Calls{"scene5@1"});
  EXPECT_EQ(g_running, 0);
}

TEST_F(TimelineTest, AttributesComeBackAfterEachSceneButMatricesStayAsDrawn) {
  glEnable(GL_TEXTURE_2D);
  g_sceneHook = [] {
    glEnable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_FOG);
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(2.0f, 3.0f, 4.0f);
  };
  FrameAt(kRate * 22);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.0f);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_EQ(projection[0], 2.0f);
  EXPECT_EQ(projection[5], 3.0f);
  GLint depth = -1;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 0);
}

TEST_F(TimelineTest, TheModelDrawsInTheStateScene4Leaves) {
  g_sceneHook = [] {
    if (g_calls.back().rfind("scene4", 0) == 0) {
      glEnable(GL_BLEND);
      glMatrixMode(GL_PROJECTION);
    } else {
      GLint mode = 0;
      glGetIntegerv(GL_MATRIX_MODE, &mode);
      EXPECT_TRUE(glIsEnabled(GL_BLEND));
      EXPECT_EQ(mode, GL_PROJECTION);
    }
  };
  EXPECT_EQ(FrameAt(kRate * 40), (Calls{"scene4@1", "model@1"}));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
