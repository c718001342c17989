// The screen overlay on its own, with textures made here: where the square
// lands, how it is wound, how it adds, and the state it leaves behind.
#include <gtest/gtest.h>

#include "scene_fixture.h"
#include "scenes/screen_overlay.h"

namespace {

using scenetest::AllPixelsAre;
using scenetest::PixelAtNdc;
using scenetest::Rgba;

class ScreenOverlayTest : public scenetest::SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (HasFatalFailure()) return;
    grey_ = scenetest::SolidTexture(100, 100, 100);
    ClearTo(0, 0, 0);
  }
  void ClearTo(int r, int g, int b) {
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  GLuint grey_ = 0;
};

const Rgba kGrey{100, 100, 100, 255};
const Rgba kBlack{0, 0, 0, 255};

TEST_F(ScreenOverlayTest, HalfSizeOneAtTheCentreCoversTheViewportToItsEdgePixels) {
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(kGrey, 0));
}

TEST_F(ScreenOverlayTest, ASmallerSquareCoversExactlyItsPartOfTheViewport) {
  // Half-size 0.5 about (0.5, 0.5): the upper right quarter, pixel for pixel.
  DrawScreenOverlay(grey_, 1.0f, 0.5f, 0.5f, 0.5f, 0.0f);
  const int w = scenetest::kWidth, h = scenetest::kHeight;
  EXPECT_EQ(scenetest::Pixel(w / 2, h / 2), kGrey);
  EXPECT_EQ(scenetest::Pixel(w - 1, h - 1), kGrey);
  EXPECT_EQ(scenetest::Pixel(w / 2 - 1, h - 1), kBlack);
  EXPECT_EQ(scenetest::Pixel(w - 1, h / 2 - 1), kBlack);
  EXPECT_EQ(scenetest::CountPixels(scenetest::Frame(), kGrey, 0), (w / 2) * (h / 2));
}

TEST_F(ScreenOverlayTest, ThePictureStandsUprightAndUnmirrored) {
  const Rgba red{200, 0, 0, 255}, green{0, 200, 0, 255}, blue{0, 0, 200, 255}, white{200, 200, 200, 255};
  GLuint quadrants = scenetest::QuadrantTexture(red, green, blue, white);
  DrawScreenOverlay(quadrants, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  glFinish();
  // Nearest sampling of a 2 x 2 texture: one texel a quarter.
  EXPECT_EQ(PixelAtNdc(-0.5f, -0.5f), red);
  EXPECT_EQ(PixelAtNdc(0.5f, -0.5f), green);
  EXPECT_EQ(PixelAtNdc(-0.5f, 0.5f), blue);
  EXPECT_EQ(PixelAtNdc(0.5f, 0.5f), white);
}

TEST_F(ScreenOverlayTest, TheSquareIsABackFaceCulledUnderBackAndDrawnUnderFront) {
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(kBlack, 0));
  glCullFace(GL_FRONT);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(kGrey, 0));
  glDisable(GL_CULL_FACE);
}

TEST_F(ScreenOverlayTest, AddsTheTexelTimesIntensityAndSaturates) {
  ClearTo(100, 50, 200);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(Rgba{200, 150, 255, 255}, 0));
  ClearTo(100, 50, 200);
  DrawScreenOverlay(grey_, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(Rgba{100, 50, 200, 255}, 0));
  ClearTo(100, 50, 200);
  DrawScreenOverlay(grey_, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(Rgba{150, 100, 250, 255}, 1));
}

TEST_F(ScreenOverlayTest, OffScreenCentresDrawNothing) {
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 2.0f, 0.0f, 0.0f);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, -2.0f, 0.0f, 0.0f);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 2.0f, 0.0f);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, -2.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(kBlack, 0));
}

// A quad in device coordinates at depth z, with identity matrices.
void DrawPlainQuad(float z, const Rgba& colour) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glColor3ub(colour[0], colour[1], colour[2]);
  glBegin(GL_QUADS);
  glVertex3f(-1.0f, -1.0f, z);
  glVertex3f(1.0f, -1.0f, z);
  glVertex3f(1.0f, 1.0f, z);
  glVertex3f(-1.0f, 1.0f, z);
  glEnd();
}

TEST_F(ScreenOverlayTest, IsDepthTestedButWritesNoDepth) {
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  // Something nearer than the overlay hides it...
  DrawPlainQuad(-0.5f, Rgba{0, 0, 50, 255});
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(Rgba{0, 0, 50, 255}, 0));
  // ...while what is drawn behind it afterwards still shows.
  glDepthMask(GL_TRUE);
  ClearTo(0, 0, 0);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  glDepthMask(GL_TRUE);
  DrawPlainQuad(0.5f, Rgba{0, 80, 0, 255});
  EXPECT_TRUE(AllPixelsAre(Rgba{0, 80, 0, 255}, 0));
  glDisable(GL_DEPTH_TEST);
}

TEST_F(ScreenOverlayTest, LinearFogLeavesItAtFullStrength) {
  static const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  glFogf(GL_FOG_MODE, static_cast<GLfloat>(GL_LINEAR));
  glFogf(GL_FOG_START, 10.0f);
  glFogf(GL_FOG_END, 20.0f);
  glFogfv(GL_FOG_COLOR, black);
  glEnable(GL_FOG);
  // A camera far from everything: the overlay ignores it.
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(0.0f, 0.0f, -50.0f);
  DrawScreenOverlay(grey_, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_TRUE(AllPixelsAre(kGrey, 0));
  glDisable(GL_FOG);
}

TEST_F(ScreenOverlayTest, LeavesTheProjectionMatrixSelectedAndItsDrawingStateOn) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-3, 3, -2, 2, -1, 1);
  const scenetest::Matrix projection = scenetest::CurrentMatrix(GL_PROJECTION_MATRIX);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  const scenetest::Matrix modelview = scenetest::CurrentMatrix(GL_MODELVIEW_MATRIX);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  glDepthFunc(GL_GEQUAL);

  DrawScreenOverlay(grey_, 0.75f, 1.0f, 0.0f, 0.0f, 0.0f);

  GLint mode = 0, bound = 0, envMode = 0, src = 0, dst = 0, cullFace = 0, depthFunc = 0;
  GLboolean depthMask = GL_TRUE;
  GLfloat colour[4] = {};
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(mode, GL_PROJECTION);
  EXPECT_EQ(depthMask, GL_FALSE);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(src, GL_ONE);
  EXPECT_EQ(dst, GL_ONE);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(static_cast<GLuint>(bound), grey_);
  for (float c : colour) EXPECT_FLOAT_EQ(c, 0.75f);
  // What it does not own stays as the caller set it.
  EXPECT_EQ(envMode, GL_DECAL);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(cullFace, GL_FRONT);
  EXPECT_EQ(depthFunc, GL_GEQUAL);
  EXPECT_TRUE(scenetest::MatricesNear(scenetest::CurrentMatrix(GL_PROJECTION_MATRIX), projection, 0.0f));
  EXPECT_TRUE(scenetest::MatricesNear(scenetest::CurrentMatrix(GL_MODELVIEW_MATRIX), modelview, 0.0f));
  glDisable(GL_CULL_FACE);
  glDepthFunc(GL_LESS);
}

}  // namespace
