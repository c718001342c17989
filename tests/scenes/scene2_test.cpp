// Scene 2: its textures, the almost black background, where the row's panels
// lie, the lightening blend and the overlay drawn through front-face culling.
#include <gtest/gtest.h>

#include <cmath>

#include "app/shell.h"
#include "scene_fixture.h"
#include "scenes/scene2.h"
#include "scenes/scenes.h"
#include "sequence/music.h"
#include "scenes/tri_mesh.h"

namespace {

using scenetest::AllPixelsAre;
using scenetest::Rgba;

const Rgba kBackground{1, 1, 1, 255};

class Scene2Test : public scenetest::SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (HasFatalFailure()) return;
    InitTriMesh(mesh_);  // the entry points, as scene 1's init fetches them
    InitScene2();
    g_musicSeconds = 15.0f;
  }
  void UsePlainTextures(uint8_t panel, uint8_t overlay) {
    g_scene2PanelTexture = scenetest::SolidTexture(panel, panel, panel);
    g_scene2OverlayTexture = scenetest::SolidTexture(overlay, overlay, overlay);
  }
  TriMesh mesh_{};
};

TEST_F(Scene2Test, InitLoadsTheTitleCardThenThePanelPicture) {
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene2OverlayTexture, 138));
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene2PanelTexture, 214));
  EXPECT_LT(g_scene2OverlayTexture, g_scene2PanelTexture);
}

TEST_F(Scene2Test, BlackPanelsAndOverlayLeaveTheBackground) {
  UsePlainTextures(0, 0);
  g_frameTime = 13.0f;
  scenetest::DrawBracketed(DrawScene2);
  EXPECT_TRUE(AllPixelsAre(kBackground, 0));
}

TEST_F(Scene2Test, TheOverlayIsDrawnWithCullingStillOn) {
  UsePlainTextures(0, 50);
  g_frameTime = 13.0f;
  scenetest::DrawBracketed(DrawScene2);
  EXPECT_TRUE(AllPixelsAre(Rgba{51, 51, 51, 255}, 0));
}

TEST_F(Scene2Test, PanelsLightenTheFrameInProportionAndNeverHideOneAnother) {
  // A mid-grey texel c gives c + (1 - c) x what was there.
  UsePlainTextures(128, 0);
  int once = 0, twice = 0;
  for (float t : {12.0f, 14.5f, 17.0f, 19.5f}) {
    g_frameTime = t;
    scenetest::DrawBracketed(DrawScene2);
    std::vector<uint8_t> frame = scenetest::Frame();
    int background = scenetest::CountPixels(frame, kBackground, 0);
    int one = scenetest::CountPixels(frame, Rgba{128, 128, 128, 255}, 1);
    int two = scenetest::CountPixels(frame, Rgba{191, 191, 191, 255}, 2);
    int three = scenetest::CountPixels(frame, Rgba{223, 223, 223, 255}, 3);
    int four = scenetest::CountPixels(frame, Rgba{239, 239, 239, 255}, 3);
    int more = scenetest::CountPixels(frame, Rgba{251, 251, 251, 255}, 4);
    EXPECT_EQ(background + one + two + three + four + more, scenetest::kWidth * scenetest::kHeight) << t;
    once += one;
    twice += two;
  }
  EXPECT_GT(once, 500);
  EXPECT_GT(twice, 20);
}

TEST_F(Scene2Test, TheProjectionIsA75DegreePerspectiveOfAspect1Point33333) {
  UsePlainTextures(0, 0);
  g_frameTime = 13.0f;
  scenetest::DrawBracketed(DrawScene2);
  EXPECT_TRUE(scenetest::IsScenePerspective(scenetest::CurrentMatrix(GL_PROJECTION_MATRIX), 75.0));
}

// The panels of a row drawn at T = 0, captured through feedback: two faces
// each, as boxes.
class PanelRowTest : public Scene2Test {
 protected:
  void CaptureRow() {
    g_frameTime = 0.0f;
    std::vector<scenetest::Polygon> polygons = scenetest::CapturePolygons(600.0f, [] {
      DrawPanelRow(10.1f, 2.0f, 0.0f, 0.0f, 20.0f, 104.1f);
    });
    ASSERT_EQ(polygons.size() % kScene2PanelCount, 0u);
    ASSERT_FALSE(polygons.empty());
    perPanel_ = polygons.size() / kScene2PanelCount;
    for (int i = 0; i < kScene2PanelCount; ++i) {
      panels_.push_back(scenetest::BoundingBox(polygons, i * perPanel_, perPanel_));
    }
  }
  size_t perPanel_ = 0;
  std::vector<scenetest::Box> panels_;
};

void ExpectCentre(const scenetest::Box& box, float x, float y, float z, const char* which) {
  const float tolerance = 0.003f;
  EXPECT_NEAR(box.centre.x, x, tolerance) << which;
  EXPECT_NEAR(box.centre.y, y, tolerance) << which;
  EXPECT_NEAR(box.centre.z, z, tolerance) << which;
}

TEST_F(PanelRowTest, PanelsLieWhereTheRowPutsThemAtTimeZero) {
  CaptureRow();
  ASSERT_EQ(panels_.size(), static_cast<size_t>(kScene2PanelCount));
  ExpectCentre(panels_[0], -254.1f, -242.742f, -242.0f, "panel 0");
  ExpectCentre(panels_[1], -241.003f, -242.742f, -222.001f, "panel 1");
  ExpectCentre(panels_[21], -1.017f, -242.742f, 164.13f, "panel 21");
  ExpectCentre(panels_[42], 212.297f, -242.742f, 488.874f, "panel 42");
}

TEST_F(PanelRowTest, EveryPanelHasTheSameHeightAndSize) {
  CaptureRow();
  for (const scenetest::Box& panel : panels_) {
    EXPECT_NEAR(panel.centre.y, panels_[0].centre.y, 1e-3f);
    EXPECT_NEAR(panel.halfSize.x, 10.1f, 1e-3f);
    EXPECT_NEAR(panel.halfSize.y, 10.1f, 1e-3f);
    EXPECT_NEAR(panel.halfSize.z, 10.1f, 1e-3f);
  }
}

TEST_F(Scene2Test, APanelShowsOneUprightFaceFromEitherSide) {
  // Texture: lower left black, lower right grey, upper half white; one panel
  // seen head-on from the front (+z) and from the back (-z).
  const Rgba white{255, 255, 255, 255}, black{0, 0, 0, 255}, grey{100, 100, 100, 255};
  g_scene2PanelTexture = scenetest::QuadrantTexture(black, grey, white, white);
  for (float side : {1.0f, -1.0f}) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 20, -15, 15, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (side < 0) glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_scene2PanelTexture);
    glColor3ub(255, 255, 255);
    DrawPanel(10.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    // Blending adds: a single face shows, the same way up from both sides.
    EXPECT_EQ(scenetest::PixelAtNdc(0.0f, 0.3f), white) << side;
    EXPECT_EQ(scenetest::PixelAtNdc(-0.2f, -0.3f), black) << side;
    EXPECT_EQ(scenetest::PixelAtNdc(0.2f, -0.3f), grey) << side;
    EXPECT_EQ(scenetest::PixelAtNdc(0.9f, 0.3f), black) << side;
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
  }
}

TEST_F(Scene2Test, APanelsUnitZeroCoordinatesFollowItsFaces) {
  auto polygons = scenetest::CaptureTexturedPolygons(GL_TEXTURE0_ARB, 10.0f, [] {
    DrawPanel(1.0f, 0.0f, 0.0f, 0.0f, 0.25f);
  });
  int front = 0, back = 0;
  for (const scenetest::TexturedPolygon& polygon : polygons) {
    for (const scenetest::TexturedVertex& v : polygon) {
      ASSERT_NEAR(std::fabs(v.position.z), 1.0f, 1e-3f);
      // The front face (+z) reads left to right in x, the back face right
      // to left, both upright.
      const float s = v.position.z > 0 ? (v.position.x + 1) / 2 : (1 - v.position.x) / 2;
      EXPECT_NEAR(v.s, s, 1e-4f);
      EXPECT_NEAR(v.t, (v.position.y + 1) / 2, 1e-4f);
    }
    (polygon[0].position.z > 0 ? front : back) += 1;
  }
  EXPECT_GT(front, 0);
  EXPECT_EQ(front, back);
}

TEST_F(Scene2Test, UnitOnesCoordinatesAreScrolledTowardsPlusSAndMinusT) {
  // Screen (u, v) = (0.375, 0.375) samples the checker at (0.625, 0.125),
  // (0.125, 0.625) at (0.375, 0.375).
  scenetest::DrawThroughUnitOneChecker([] { DrawPanel(1.0f, 0.0f, 0.0f, 0.0f, 0.25f); });
  EXPECT_EQ(scenetest::PixelAtNdc(-0.25f, -0.25f), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(scenetest::PixelAtNdc(-0.75f, 0.25f), (Rgba{255, 255, 255, 255}));
}

}  // namespace
