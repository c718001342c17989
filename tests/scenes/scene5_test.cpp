// Scene 5: its textures, the tunnel's grid at two times, the fog that
// swallows the far wall, the unfogged overlay and the black background.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/shell.h"
#include "scene_fixture.h"
#include "scenes/scene5.h"
#include "scenes/scenes.h"
#include "sequence/music.h"

namespace {

using scenetest::AllPixelsAre;
using scenetest::Rgba;

class Scene5Test : public scenetest::SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (HasFatalFailure()) return;
    InitScene5();
    g_musicSeconds = 66.0f;
  }
};

// The centre of ring d: the mean of its twelve distinct angle positions.
scenetest::Vertex3 RingCentre(int d) {
  scenetest::Vertex3 c{0, 0, 0};
  for (int a = 0; a < 12; ++a) {
    c.x += g_tunnelGrid[a][d][0] / 12;
    c.y += g_tunnelGrid[a][d][1] / 12;
    c.z += g_tunnelGrid[a][d][2] / 12;
  }
  return c;
}

void ExpectRingCentre(int d, float x, float y, float z) {
  scenetest::Vertex3 c = RingCentre(d);
  EXPECT_NEAR(c.x, x, 1.5e-3f) << "ring " << d;
  EXPECT_NEAR(c.y, y, 1.5e-3f) << "ring " << d;
  EXPECT_NEAR(c.z, z, 1e-5f) << "ring " << d;
}

TEST_F(Scene5Test, InitLoadsTheCloudsThenTheOverlayWord) {
  EXPECT_TRUE(scenetest::TextureIsResource(g_tunnelTexture, 131));
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene5OverlayTexture, 197));
  EXPECT_LT(g_tunnelTexture, g_scene5OverlayTexture);
}

TEST_F(Scene5Test, AtTimeZeroTheMouthIsARadiusThreeCircleAboutHalfAUnitUp) {
  DrawTunnel(0.0f);
  EXPECT_NEAR(g_tunnelGrid[0][0][0], 3.0f, 1e-5f);
  EXPECT_NEAR(g_tunnelGrid[0][0][1], 0.5f, 1e-5f);
  EXPECT_EQ(g_tunnelGrid[0][0][2], 0.0f);
  EXPECT_NEAR(g_tunnelGrid[3][0][0], 0.0f, 1e-5f);
  EXPECT_NEAR(g_tunnelGrid[3][0][1], 3.5f, 1e-5f);
  ExpectRingCentre(0, 0.0f, 0.5f, 0.0f);
  ExpectRingCentre(1, 0.136f, 0.609f, -2.0f);
  ExpectRingCentre(9, 0.422f, 0.751f, -18.0f);
  ExpectRingCentre(31, 0.553f, -4.457f, -62.0f);
  scenetest::Vertex3 far = RingCentre(31);
  EXPECT_NEAR(std::hypot(g_tunnelGrid[0][31][0] - far.x, g_tunnelGrid[0][31][1] - far.y), 0.41667f, 1e-4f);
}

TEST_F(Scene5Test, AtSeventySecondsTheTunnelBendsDownwards) {
  DrawTunnel(70.0f);
  ExpectRingCentre(0, 0.0f, 0.472f, 0.0f);
  ExpectRingCentre(9, 0.189f, -1.558f, -18.0f);
  // The last four angle positions repeat the first four.
  for (int a = 12; a < kTunnelAngles; ++a) {
    for (int d = 0; d < kTunnelRings; d += 5) {
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(g_tunnelGrid[a][d][i], g_tunnelGrid[a - 12][d][i], 1e-5f);
    }
  }
}

TEST_F(Scene5Test, TheTunnelLeavesTheModelViewMatrixAsItFoundIt) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1.0f, 2.0f, 3.0f);
  glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
  const scenetest::Matrix before = scenetest::CurrentMatrix(GL_MODELVIEW_MATRIX);
  DrawTunnel(12.0f);
  EXPECT_TRUE(scenetest::MatricesNear(scenetest::CurrentMatrix(GL_MODELVIEW_MATRIX), before, 0.0f));
}

TEST_F(Scene5Test, BlackPicturesLeaveABlackFrame) {
  g_tunnelTexture = scenetest::SolidTexture(0, 0, 0);
  g_scene5OverlayTexture = scenetest::SolidTexture(0, 0, 0);
  g_frameTime = 65.0f;
  scenetest::DrawBracketed(DrawScene5);
  EXPECT_TRUE(AllPixelsAre(Rgba{0, 0, 0, 255}, 0));
}

TEST_F(Scene5Test, TheSceneKeepsTheClearColourItFinds) {
  // In the program that is OpenGL's initial (0, 0, 0, 0), brought back by
  // the attribute restore after every scene.
  glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
  glPushAttrib(kAllAttribBits);
  g_frameTime = 65.0f;
  DrawScene5();
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glPopAttrib();
  EXPECT_EQ(clear[0], 0.25f);
  EXPECT_EQ(clear[1], 0.5f);
  EXPECT_EQ(clear[2], 0.75f);
  EXPECT_EQ(clear[3], 1.0f);
}

TEST_F(Scene5Test, TheOverlayIsNeitherFoggedNorCulled) {
  g_tunnelTexture = scenetest::SolidTexture(0, 0, 0);
  g_scene5OverlayTexture = scenetest::SolidTexture(100, 100, 100);
  g_frameTime = 65.0f;
  scenetest::DrawBracketed(DrawScene5);
  EXPECT_TRUE(AllPixelsAre(Rgba{100, 100, 100, 255}, 0));
}

TEST_F(Scene5Test, TheProjectionIsA65DegreePerspective) {
  g_frameTime = 65.0f;
  scenetest::DrawBracketed(DrawScene5);
  EXPECT_TRUE(scenetest::IsScenePerspective(scenetest::CurrentMatrix(GL_PROJECTION_MATRIX), 65.0));
}

// The pixel showing the middle of the wall quad between angle positions a,
// a + 1 and rings d, d + 1, when that quad is the nearest thing there.
struct WallSample {
  bool visible;
  Rgba colour;
};

WallSample SampleWall(int a, int d) {
  double mv[16], pr[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glGetDoublev(GL_PROJECTION_MATRIX, pr);
  glGetIntegerv(GL_VIEWPORT, viewport);
  double p[3] = {};
  for (int i = 0; i < 3; ++i) {
    p[i] = (g_tunnelGrid[a][d][i] + g_tunnelGrid[a + 1][d][i] + g_tunnelGrid[a][d + 1][i] +
            g_tunnelGrid[a + 1][d + 1][i]) / 4;
  }
  double wx, wy, wz;
  gluProject(p[0], p[1], p[2], mv, pr, viewport, &wx, &wy, &wz);
  int x = static_cast<int>(wx), y = static_cast<int>(wy);
  if (x < 0 || y < 0 || x >= scenetest::kWidth || y >= scenetest::kHeight) return {false, {}};
  GLfloat depth = 0;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  if (std::fabs(depth - wz) > 2e-4) return {false, {}};
  return {true, scenetest::Pixel(x, y)};
}

TEST_F(Scene5Test, LinearFogDarkensTheWallFromTenToTwentyUnitsAndBlackensItFromRingNine) {
  g_tunnelTexture = scenetest::SolidTexture(255, 255, 255);
  g_scene5OverlayTexture = scenetest::SolidTexture(0, 0, 0);
  g_frameTime = 0.0f;
  scenetest::DrawBracketed(DrawScene5);
  int clear = 0, fading = 0, black = 0;
  for (int a = 0; a + 1 < kTunnelAngles; ++a) {
    for (int d = 1; d + 1 < kTunnelRings; ++d) {
      WallSample s = SampleWall(a, d);
      if (!s.visible) continue;
      // The eye stands at z = 2; the quad's middle lies at z = -2d - 1.
      const double distance = 2.0 + 2.0 * d + 1.0;
      const double keep = std::clamp((20.0 - distance) / 10.0, 0.0, 1.0);
      EXPECT_NEAR(s.colour[0], 255.0 * keep, 8.0) << "quad " << a << ", " << d;
      if (keep == 1.0) ++clear;
      if (keep > 0.0 && keep < 1.0) ++fading;
      if (d >= 9) {
        EXPECT_LE(s.colour[0], 1) << "quad " << a << ", " << d;
        ++black;
      }
    }
  }
  EXPECT_GT(clear, 3);
  EXPECT_GT(fading, 3);
  EXPECT_GT(black, 3);
}

}  // namespace
