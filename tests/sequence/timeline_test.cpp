// The timeline's dispatch at the exact 32-bit float bounds, with the scenes,
// the model and the audio library replaced by recording fakes, on a real
// OpenGL context so the attribute bracket is the driver's own.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/shell.h"
#include "gl_test_context.h"
#include "scenes/scenes.h"
#include "sequence/content.h"
#include "sequence/music.h"
#include "sequence/timeline.h"

// ---- Fakes for everything DrawFrame reaches ----
namespace {
std::vector<std::string> g_calls;
float g_fakeSeconds = 0.0f;
QWORD g_fakeBytes = 0;
QWORD g_bytesConverted = 0;
int g_quitPosts = 0;
void (*g_sceneHook)() = nullptr;

void Record(const std::string& name) {
  GLint depth = 0;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
  g_calls.push_back(name + "@" + std::to_string(depth));
  if (g_sceneHook) g_sceneHook();
}
}  // namespace

HSTREAM g_music = 7;
HSAMPLE g_sample = 0;
QWORD g_musicBytes = 0;
float g_musicSeconds = 0.0f;
int g_running = 1;
Model_3DS g_model;

QWORD BASS_ChannelGetPosition(DWORD handle) { return handle == 7 ? g_fakeBytes : static_cast<QWORD>(-1); }
float BASS_ChannelBytes2Seconds(DWORD, QWORD pos) {
  g_bytesConverted = pos;
  return g_fakeSeconds;
}
void WINAPI PostQuitMessage(int) { ++g_quitPosts; }
void DrawScene1() { Record("scene1"); }
void DrawScene2() { Record("scene2"); }
void DrawScene3() { Record("scene3"); }
void DrawScene4() { Record("scene4"); }
void DrawScene5() { Record("scene5"); }
Model_3DS::Model_3DS() {}
Model_3DS::~Model_3DS() {}
void Model_3DS::Render() { Record("model"); }

namespace {

class TimelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.Ok());
    g_calls.clear();
    g_quitPosts = 0;
    g_running = 1;
    g_sceneHook = nullptr;
  }
  std::vector<std::string> FrameAt(float seconds) {
    g_calls.clear();
    g_fakeSeconds = seconds;
    DrawFrame();
    return g_calls;
  }
  sgtest::GLTestContext context_{64, 64};
};

using Calls = std::vector<std::string>;

TEST_F(TimelineTest, ReadsThePositionOnceAndKeepsItInBytesAndSeconds) {
  g_fakeBytes = 123456;
  FrameAt(1.5f);
  EXPECT_EQ(g_musicBytes, 123456u);
  EXPECT_EQ(g_bytesConverted, 123456u);
  EXPECT_EQ(g_musicSeconds, 1.5f);
}

TEST_F(TimelineTest, DrawsNothingAtOrBelowZeroOrForANonNumber) {
  EXPECT_EQ(FrameAt(0.0f), Calls{});
  EXPECT_EQ(FrameAt(-1.0f), Calls{});
  EXPECT_EQ(FrameAt(std::numeric_limits<float>::quiet_NaN()), Calls{});
  EXPECT_EQ(g_quitPosts, 0);
}

TEST_F(TimelineTest, EachBoundBelongsToTheLaterSceneAsA32BitFloat) {
  EXPECT_EQ(FrameAt(std::numeric_limits<float>::denorm_min()), Calls{"scene1@1"});
  EXPECT_EQ(FrameAt(std::nextafter(10.8f, 0.0f)), Calls{"scene1@1"});
  EXPECT_EQ(FrameAt(10.8f), Calls{"scene2@1"});
  EXPECT_EQ(FrameAt(std::nextafter(21.6f, 0.0f)), Calls{"scene2@1"});
  EXPECT_EQ(FrameAt(21.6f), Calls{"scene3@1"});
  EXPECT_EQ(FrameAt(std::nextafter(29.0f, 0.0f)), Calls{"scene3@1"});
  EXPECT_EQ(FrameAt(29.0f), (Calls{"scene4@1", "model@1"}));
  EXPECT_EQ(FrameAt(std::nextafter(63.5f, 0.0f)), (Calls{"scene4@1", "model@1"}));
  EXPECT_EQ(FrameAt(63.5f), Calls{"scene5@1"});
  EXPECT_EQ(g_quitPosts, 0);
  EXPECT_EQ(g_running, 1);
}

TEST_F(TimelineTest, TheFrameThatReaches74IsDrawnThenTheShowEnds) {
  EXPECT_EQ(FrameAt(std::nextafter(74.0f, 0.0f)), Calls{"scene5@1"});
  EXPECT_EQ(g_running, 1);
  EXPECT_EQ(FrameAt(74.0f), Calls{"scene5@1"});
  EXPECT_EQ(g_running, 0);
  EXPECT_EQ(g_quitPosts, 1);
  g_running = 1;
  EXPECT_EQ(FrameAt(155.87f), Calls{"scene5@1"});
  EXPECT_EQ(g_running, 0);
  EXPECT_EQ(FrameAt(std::numeric_limits<float>::infinity()), Calls{"scene5@1"});
  EXPECT_EQ(g_quitPosts, 3);
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
  FrameAt(22.0f);
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
  EXPECT_EQ(FrameAt(40.0f), (Calls{"scene4@1", "model@1"}));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
