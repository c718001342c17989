// Scene 4: its pictures and the extra unit's, the windows that pick the
// picture, the slides, the camera shift and what the model draw that follows
// inherits.
#include <gtest/gtest.h>

#include <cmath>

#include "app/shell.h"
#include "scene_fixture.h"
#include "scenes/scene4.h"
#include "scenes/scenes.h"
#include "sequence/music.h"

namespace {

using scenetest::AllPixelsAre;
using scenetest::PixelAtNdc;
using scenetest::Rgba;

const Rgba kBackground{0, 0, 10, 255};
// Read before any test runs (the globals are constant-initialised).
const float kFirstProgressAtStart = g_scene4SlideProgress[0];
const float kLastProgressAtStart = g_scene4SlideProgress[kScene4PictureCount - 1];
const float kShiftAtStart = g_scene4CameraShift;

class Scene4Test : public scenetest::SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (HasFatalFailure()) return;
    InitScene4();
    for (float& p : g_scene4SlideProgress) p = -1.0f;
    g_scene4CameraShift = 20.0f;
  }
  // Picture k shows as red 30 (k + 1) on the blue background.
  void UsePlainPictures() {
    for (int k = 0; k < kScene4PictureCount; ++k) {
      g_scene4Images[k] = scenetest::SolidTexture(static_cast<uint8_t>(30 * (k + 1)), 0, 0);
    }
  }
  static Rgba Shown(int k) { return Rgba{static_cast<uint8_t>(30 * (k + 1)), 0, 10, 255}; }
  void Frame(float musicSeconds, double delta) {
    scenetest::AdvanceFrame(delta);
    g_musicSeconds = musicSeconds;
    scenetest::DrawBracketed(DrawScene4);
  }
  void AllAtRest() {
    for (float& p : g_scene4SlideProgress) p = 0.0f;
  }
};

TEST_F(Scene4Test, InitLoadsTheSevenPicturesInOrder) {
  const int ids[] = {203, 206, 210, 209, 211, 212, 213};
  for (int k = 0; k < kScene4PictureCount; ++k) {
    EXPECT_TRUE(scenetest::TextureIsResource(g_scene4Images[k], ids[k])) << k;
    if (k > 0) {
      EXPECT_LT(g_scene4Images[k - 1], g_scene4Images[k]);
    }
  }
  EXPECT_EQ(kFirstProgressAtStart, -1.0f);
  EXPECT_EQ(kLastProgressAtStart, -1.0f);
  EXPECT_EQ(kShiftAtStart, 20.0f);
}

TEST_F(Scene4Test, TheExtraUnitLoadsItsThreePicturesInOrder) {
  InitExtraScene();
  EXPECT_TRUE(scenetest::TextureIsResource(g_extraSceneTextures[0], 198));
  EXPECT_TRUE(scenetest::TextureIsResource(g_extraSceneTextures[1], 138));
  EXPECT_TRUE(scenetest::TextureIsResource(g_extraSceneTextures[2], 201));
  EXPECT_LT(g_extraSceneTextures[0], g_extraSceneTextures[1]);
  EXPECT_LT(g_extraSceneTextures[1], g_extraSceneTextures[2]);
  FreeExtraScene();
}

TEST_F(Scene4Test, BlackPicturesLeaveTheDarkBlueBackground) {
  for (GLuint& image : g_scene4Images) image = scenetest::SolidTexture(0, 0, 0);
  g_frameTime = 31.0f;
  Frame(31.0f, 0.1);
  EXPECT_TRUE(AllPixelsAre(kBackground, 0));
}

TEST_F(Scene4Test, EachBoundShowsTheLaterPicture) {
  UsePlainPictures();
  AllAtRest();
  EXPECT_EQ(Scene4PictureAt(29.0f), 0);
  Frame(29.0f, 0.0);
  EXPECT_EQ(PixelAtNdc(0.0f, 0.0f), Shown(0));
  const float bounds[] = {34.0f, 39.0f, 44.0f, 49.0f, 54.0f, 59.0f};
  for (int k = 1; k < kScene4PictureCount; ++k) {
    const float bound = bounds[k - 1];
    Frame(std::nextafter(bound, 0.0f), 0.0);
    EXPECT_EQ(PixelAtNdc(0.0f, 0.0f), Shown(k - 1)) << "just before " << bound;
    Frame(bound, 0.0);
    EXPECT_EQ(PixelAtNdc(0.0f, 0.0f), Shown(k)) << "at " << bound;
  }
  EXPECT_EQ(Scene4PictureAt(std::nextafter(63.5f, 0.0f)), 6);
  EXPECT_EQ(Scene4PictureAt(63.5f), -1);
}

TEST_F(Scene4Test, PicturesRestWhereTheirTableSaysWithTheirSizes) {
  UsePlainPictures();
  AllAtRest();
  struct {
    float t, x, y, h;
  } rests[] = {{30, -0.1f, 0, 1},      {35, 0, -0.25f, 1},     {40, -0.1f, 0, 0.75f},   {45, -0.1f, 0, 0.75f},
               {50, -0.25f, -0.25f, 1}, {55, -0.25f, 0, 0.55f}, {60, -0.25f, -0.3f, 0.75f}};
  for (int k = 0; k < kScene4PictureCount; ++k) {
    const auto& r = rests[k];
    Frame(r.t, 0.0);
    const float in = 0.97f, out = 1.03f;
    for (float side : {-1.0f, 1.0f}) {
      float x = r.x + side * r.h * in, y = r.y + side * r.h * in;
      float xo = r.x + side * r.h * out, yo = r.y + side * r.h * out;
      if (std::fabs(x) < 1.0f) {
        EXPECT_EQ(PixelAtNdc(x, r.y), Shown(k)) << k << " x in " << side;
      }
      if (std::fabs(xo) < 1.0f) {
        EXPECT_EQ(PixelAtNdc(xo, r.y), kBackground) << k << " x out " << side;
      }
      if (std::fabs(y) < 1.0f) {
        EXPECT_EQ(PixelAtNdc(r.x, y), Shown(k)) << k << " y in " << side;
      }
      if (std::fabs(yo) < 1.0f) {
        EXPECT_EQ(PixelAtNdc(r.x, yo), kBackground) << k << " y out " << side;
      }
    }
  }
}

TEST_F(Scene4Test, TheFirstPictureEntersFromTheRightTheSecondFromTheTopTheThirdFromTheLeft) {
  UsePlainPictures();
  Frame(30.0f, 0.0);  // p = -1: centre (0.9, 0)
  EXPECT_EQ(PixelAtNdc(-0.05f, 0.0f), Shown(0));
  EXPECT_EQ(PixelAtNdc(-0.15f, 0.0f), kBackground);
  Frame(35.0f, 0.0);  // p = -1: centre (0, 0.75)
  EXPECT_EQ(PixelAtNdc(0.0f, -0.2f), Shown(1));
  EXPECT_EQ(PixelAtNdc(0.0f, -0.3f), kBackground);
  Frame(40.0f, 0.0);  // p = -1: centre (-1.1, 0), half-size 0.75
  EXPECT_EQ(PixelAtNdc(-0.4f, 0.0f), Shown(2));
  EXPECT_EQ(PixelAtNdc(-0.3f, 0.0f), kBackground);
}

TEST_F(Scene4Test, ASlideLastsThreeSecondsOfFrameTimeInItsOwnWindow) {
  UsePlainPictures();
  int frames = 0;
  while (g_scene4SlideProgress[0] < 0.0f && frames < 100) {
    Frame(30.0f, 0.25);
    ++frames;
    if (frames == 6) {
      EXPECT_NEAR(g_scene4SlideProgress[0], -0.5f, 1e-6f);
      EXPECT_EQ(PixelAtNdc(-0.55f, 0.0f), Shown(0));  // centre x 0.4
      EXPECT_EQ(PixelAtNdc(-0.65f, 0.0f), kBackground);
    }
  }
  EXPECT_GE(frames, 12);
  EXPECT_LE(frames, 13);
  const float rest = g_scene4SlideProgress[0];
  EXPECT_LE(rest, 0.25f / 3.0f + 1e-6f);
  Frame(31.0f, 0.25);
  Frame(32.0f, 1.0);
  EXPECT_EQ(g_scene4SlideProgress[0], rest);
  for (int k = 1; k < kScene4PictureCount; ++k) EXPECT_EQ(g_scene4SlideProgress[k], -1.0f);
  // Another window moves only its own picture, and frame time spent outside
  // the scene moves nothing.
  Frame(36.0f, 0.3);
  EXPECT_NEAR(g_scene4SlideProgress[1], -0.9f, 1e-6f);
  scenetest::AdvanceFrame(2.0);
  Frame(36.0f, 0.3);
  EXPECT_NEAR(g_scene4SlideProgress[1], -0.8f, 1e-6f);
  EXPECT_EQ(g_scene4SlideProgress[0], rest);
}

TEST_F(Scene4Test, TheCameraMovesOnlyAfter48SecondsAndStopsNear340) {
  UsePlainPictures();
  Frame(47.0f, 0.5);
  Frame(48.0f, 0.5);
  EXPECT_EQ(g_scene4CameraShift, 20.0f);
  Frame(48.5f, 0.5);
  EXPECT_FLOAT_EQ(g_scene4CameraShift, 27.5f);
  g_scene4CameraShift = 339.0f;
  Frame(60.0f, 0.5);
  EXPECT_FLOAT_EQ(g_scene4CameraShift, 346.5f);
  Frame(61.0f, 0.5);
  Frame(62.0f, 3.0);
  EXPECT_FLOAT_EQ(g_scene4CameraShift, 346.5f);
  // Earlier windows never take it back.
  Frame(30.0f, 0.5);
  EXPECT_FLOAT_EQ(g_scene4CameraShift, 346.5f);
}

TEST_F(Scene4Test, TheModelDrawInheritsTheCameraAndTheOverlayState) {
  UsePlainPictures();
  g_scene4CameraShift = 100.0f;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(75.0, static_cast<double>(1.33333f), 1.0, 5000.0);
  const scenetest::Matrix projection = scenetest::CurrentMatrix(GL_PROJECTION_MATRIX);
  glMatrixMode(GL_MODELVIEW);
  scenetest::AdvanceFrame(0.0);
  g_frameTime = 40.5f;
  g_musicSeconds = 41.0f;
  glPushAttrib(kAllAttribBits);
  DrawScene4();
  // What the timeline's model draw finds, inside the same bracket.
  GLint mode = 0, bound = 0, src = 0, dst = 0;
  GLboolean depthMask = GL_TRUE;
  GLfloat colour[4] = {};
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(mode, GL_PROJECTION);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_FOG));
  EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(src, GL_ONE);
  EXPECT_EQ(dst, GL_ONE);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(static_cast<GLuint>(bound), g_scene4Images[2]);
  EXPECT_EQ(depthMask, GL_FALSE);
  for (float c : colour) EXPECT_EQ(c, 1.0f);
  glPopAttrib();
  EXPECT_TRUE(scenetest::MatricesNear(scenetest::CurrentMatrix(GL_PROJECTION_MATRIX), projection, 0.0f));
  const scenetest::Matrix expected = scenetest::BuildMatrix([] {
    gluPerspective(75.0, static_cast<double>(1.33333f), 1.0, 5000.0);
    gluLookAt(0.0, 100.0, 4000.0, 100.0, -100.0, -250.0, 0.0, 100.0, 0.0);
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    glRotatef(70.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(32.0f * 40.5f, 10.0f, 10.0f, 10.0f);
  });
  EXPECT_TRUE(scenetest::MatricesNear(scenetest::CurrentMatrix(GL_MODELVIEW_MATRIX), expected, 1e-6f));
}

}  // namespace
