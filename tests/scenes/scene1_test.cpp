// Scene 1: the multitexture entry points, its textures, the background, the
// two additive squares and the rising overlay with its lasting offset.
#include <gtest/gtest.h>

#include <cmath>

#include "app/shell.h"
#include "host.h"
#include "scene_fixture.h"
#include "scenes/scene1.h"
#include "scenes/scenes.h"
#include "sequence/music.h"
#include "sequence/frame_timer.h"

namespace {

using scenetest::AllPixelsAre;
using scenetest::PixelAtNdc;
using scenetest::Rgba;

const Rgba kBackground{0, 0, 10, 255};
const Rgba kGreen{0, 100, 0, 255};
const Rgba kBackgroundAndGreen{0, 100, 10, 255};
// Read before any test runs (the global is constant-initialised).
const float kOffsetAtStart = g_scene1OverlayOffset;

class Scene1Test : public scenetest::SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (HasFatalFailure()) return;
    InitScene1();
    g_scene1OverlayOffset = 1.0f;
  }
  // Squares that add nothing and an overlay of plain green.
  void UsePlainTextures() {
    g_scene1SquareTexture = scenetest::SolidTexture(0, 0, 0);
    g_scene1OverlayTexture = scenetest::SolidTexture(0, 100, 0);
  }
  void Frame(float musicSeconds, double delta) {
    scenetest::AdvanceFrame(delta);
    g_musicSeconds = musicSeconds;
    scenetest::DrawBracketed(DrawScene1);
  }
};

TEST_F(Scene1Test, InitFetchesTheEntryPointsAndLoadsItsFourPicturesInOrder) {
  EXPECT_EQ(kOffsetAtStart, 1.0f);
  EXPECT_NE(glActiveTextureARB, nullptr);
  EXPECT_NE(glMultiTexCoord2fARB, nullptr);
  EXPECT_EQ(g_scene1Mesh.vertexCount, 0);
  EXPECT_EQ(g_scene1Mesh.faceCount, 0);
  EXPECT_EQ(g_scene1Mesh.vertices, nullptr);
  EXPECT_EQ(g_scene1Mesh.faces, nullptr);
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene1DetailTexture, 101));
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene1BaseTexture, 201));
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene1SquareTexture, 121));
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene1OverlayTexture, 183));
  EXPECT_EQ(scenetest::Texel(g_scene1DetailTexture, 0, 0), (Rgba{55, 55, 55, 255}));
  // Loaded in this order, one fresh name each.
  EXPECT_LT(g_scene1DetailTexture, g_scene1BaseTexture);
  EXPECT_LT(g_scene1BaseTexture, g_scene1SquareTexture);
  EXPECT_LT(g_scene1SquareTexture, g_scene1OverlayTexture);
  EXPECT_TRUE(host::MessageBoxes().empty());
  FreeScene1();
  FreeScene1();  // the mesh is left empty, so freeing again is harmless
  EXPECT_EQ(g_scene1Mesh.vertices, nullptr);
}

TEST_F(Scene1Test, EmptySquaresLeaveTheDarkBlueBackground) {
  UsePlainTextures();
  scenetest::SetClocks(2.0f, 3.0f);
  Frame(3.0f, 0.5);
  EXPECT_TRUE(AllPixelsAre(kBackground, 0));
}

TEST_F(Scene1Test, TheTwoSquaresAddTheirPictureTwiceWhereTheyOverlap) {
  UsePlainTextures();
  g_scene1SquareTexture = scenetest::SolidTexture(60, 60, 60);
  // At T = 0 both half-sizes are 200: the squares coincide.
  scenetest::SetClocks(0.0f, 3.0f);
  Frame(3.0f, 0.0);
  std::vector<uint8_t> frame = scenetest::Frame();
  int twice = scenetest::CountPixels(frame, Rgba{120, 120, 130, 255}, 1);
  EXPECT_GT(twice, 1000);
  EXPECT_EQ(scenetest::CountPixels(frame, Rgba{60, 60, 70, 255}, 1), 0);
  EXPECT_EQ(twice + scenetest::CountPixels(frame, kBackground, 0), scenetest::kWidth * scenetest::kHeight);
  // At T = 0.5 the second square is larger: a rim shows the picture once.
  scenetest::SetClocks(0.5f, 3.0f);
  Frame(3.0f, 0.0);
  frame = scenetest::Frame();
  EXPECT_GT(scenetest::CountPixels(frame, Rgba{120, 120, 130, 255}, 1), 1000);
  EXPECT_GT(scenetest::CountPixels(frame, Rgba{60, 60, 70, 255}, 1), 50);
}

TEST_F(Scene1Test, AtExactly5Point4TheOverlayIsNotDrawnAndTheOffsetStays) {
  UsePlainTextures();
  scenetest::SetClocks(7.0f, 5.4f);
  Frame(5.4f, 0.5);
  EXPECT_EQ(g_scene1OverlayOffset, 1.0f);
  EXPECT_TRUE(AllPixelsAre(kBackground, 0));
}

TEST_F(Scene1Test, JustAfter5Point4TheOverlayCoversAboutTheLowerHalf) {
  UsePlainTextures();
  const float t = std::nextafter(5.4f, 6.0f);
  scenetest::SetClocks(7.0f, t);
  Frame(t, 0.5);
  EXPECT_FLOAT_EQ(g_scene1OverlayOffset, 1.0f - 0.5f / 8.0f);
  // Centre (-0.15, -0.9375), half-size 1.
  EXPECT_EQ(PixelAtNdc(0.0f, -0.5f), kBackgroundAndGreen);
  EXPECT_EQ(PixelAtNdc(-0.99f, -0.99f), kBackgroundAndGreen);
  EXPECT_EQ(PixelAtNdc(0.0f, 0.03f), kBackgroundAndGreen);
  EXPECT_EQ(PixelAtNdc(0.0f, 0.1f), kBackground);
  EXPECT_EQ(PixelAtNdc(0.8f, -0.5f), kBackgroundAndGreen);
  EXPECT_EQ(PixelAtNdc(0.9f, -0.5f), kBackground);
}

TEST_F(Scene1Test, TheOverlayRisesAnEighthOfTheHalfHeightPerSecondOfFrameTime) {
  UsePlainTextures();
  scenetest::SetClocks(7.0f, 6.0f);
  for (int i = 0; i < 8; ++i) Frame(6.0f, 0.25);
  EXPECT_NEAR(g_scene1OverlayOffset, 0.75f, 1e-6f);
  EXPECT_EQ(PixelAtNdc(0.0f, 0.2f), kBackgroundAndGreen);
  EXPECT_EQ(PixelAtNdc(0.0f, 0.3f), kBackground);
}

TEST_F(Scene1Test, TheOffsetOnlyMovesInOverlayFramesAndIsKeptAcrossVisits) {
  UsePlainTextures();
  Frame(6.0f, 0.5);
  const float afterFirstVisit = g_scene1OverlayOffset;
  EXPECT_FLOAT_EQ(afterFirstVisit, 0.9375f);
  // Frames before 5.4 s, and time spent in other scenes, leave it alone.
  Frame(3.0f, 1.0);
  scenetest::AdvanceFrame(4.0);
  EXPECT_EQ(g_scene1OverlayOffset, afterFirstVisit);
  // Coming back continues from where it stopped.
  Frame(7.0f, 0.5);
  EXPECT_FLOAT_EQ(g_scene1OverlayOffset, 0.875f);
}

TEST_F(Scene1Test, TheOffsetStopsOneStepBelowMinus1Point25) {
  UsePlainTextures();
  g_scene1OverlayOffset = -1.2f;
  Frame(6.0f, 0.5);
  const float stopped = g_scene1OverlayOffset;
  EXPECT_NEAR(stopped, -1.2625f, 1e-6f);
  Frame(6.0f, 0.5);
  Frame(6.0f, 2.0);
  EXPECT_EQ(g_scene1OverlayOffset, stopped);
  // Centre now near y = +1.26: only the top of the frame is covered.
  EXPECT_EQ(PixelAtNdc(0.0f, 0.3f), kBackgroundAndGreen);
  EXPECT_EQ(PixelAtNdc(0.0f, 0.2f), kBackground);
}

TEST_F(Scene1Test, ThePerspectiveGoesIntoTheModelViewAndTheProjectionIsLeftAlone) {
  UsePlainTextures();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(65.0, 1.5, 2.0, 100.0);
  const scenetest::Matrix projection = scenetest::CurrentMatrix(GL_PROJECTION_MATRIX);
  glMatrixMode(GL_MODELVIEW);
  for (float t : {0.0f, 1.0f}) {
    scenetest::SetClocks(t, 3.0f);
    Frame(3.0f, 0.0);
    EXPECT_TRUE(scenetest::MatricesNear(scenetest::CurrentMatrix(GL_PROJECTION_MATRIX), projection, 0.0f));
    // Perspective, camera, tumble, the mesh scale, then the squares' turns.
    const scenetest::Matrix expected = scenetest::BuildMatrix([t] {
      gluPerspective(75.0, static_cast<double>(1.33333f), 1.0, 5000.0);
      gluLookAt(0.0, 0.0, -1300.0, 20.0, -50.0, 0.0, 0.0, 1.0, 0.0);
      glRotatef(62.43f * t, 0.0f, 0.0f, 1.0f);
      glRotatef(43.43f * t, 0.0f, 1.0f, 0.0f);
      glRotatef(39.43f * t, 1.0f, 0.0f, 0.0f);
      glScalef(4.5f, 4.5f, 4.5f);
      glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
      glRotatef(70.0f, 1.0f, 0.0f, 0.0f);
      glRotatef(t, 0.0f, 0.0f, 1.0f);
    });
    EXPECT_TRUE(scenetest::MatricesNear(scenetest::CurrentMatrix(GL_MODELVIEW_MATRIX), expected, 1e-6f)) << t;
  }
}

class TriMeshTest : public scenetest::SceneTest {};

TEST_F(TriMeshTest, MissingMultitextureSupportIsReportedAndEndsTheProgram) {
  for (const char* hidden : {"glActiveTextureARB", "glMultiTexCoord2fARB"}) {
    scenetest::ResetHost();
    host::HideProcAddress(hidden);
    TriMesh mesh{3, 3, nullptr, nullptr};
    InitTriMesh(mesh);
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.faceCount, 0);
    std::vector<host::MessageBoxRecord> boxes = host::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << hidden;
    EXPECT_EQ(boxes[0].text, "no multitexturing support");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(static_cast<int>(msg.wParam), kStartupFailureExitCode);
  }
  scenetest::ResetHost();
}

TEST_F(TriMeshTest, WithTheExtensionNothingIsReportedOrPosted) {
  TriMesh mesh{};
  InitTriMesh(mesh);
  EXPECT_TRUE(host::MessageBoxes().empty());
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

// Two triangles covering the viewport, corner uv from 0 to 1.
TriMesh ScreenMesh() {
  TriMesh mesh{};
  InitTriMesh(mesh);
  mesh.vertexCount = 4;
  mesh.faceCount = 2;
  mesh.vertices = new TriMeshVertex[4];
  mesh.faces = new TriMeshFace[2];
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int i = 0; i < 4; ++i) {
    float x = corners[i][0], y = corners[i][1];
    mesh.vertices[i] = TriMeshVertex{{x, y, 0.0f}, {(x + 1) / 2, (y + 1) / 2}, {0.0f, 0.0f, 1.0f}};
  }
  mesh.faces[0] = TriMeshFace{{0, 1, 2}};
  mesh.faces[1] = TriMeshFace{{0, 2, 3}};
  return mesh;
}

TEST_F(TriMeshTest, TheTexturedDrawModulatesUnitOneOverUnitZeroAndScrollsUnitOne) {
  TriMesh mesh = ScreenMesh();
  const Rgba white{255, 255, 255, 255}, black{0, 0, 0, 255}, base{200, 100, 50, 255};
  GLuint baseTexture = scenetest::SolidTexture(200, 100, 50);
  // A 2 x 2 checker on unit 1, under the default modulation.
  GLuint detail = scenetest::QuadrantTexture(white, black, black, white);
  glColor3ub(255, 255, 255);
  DrawTriMeshTextured(mesh, baseTexture, detail, 0.0f);
  EXPECT_EQ(PixelAtNdc(-0.5f, -0.5f), base);
  EXPECT_EQ(PixelAtNdc(0.5f, -0.5f), black);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE1_ARB);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  // Scrolled by a quarter towards -u and +v: screen (u, v) = (0.375, 0.125)
  // samples the checker at (0.125, 0.375), (0.875, 0.625) at (0.625, 0.875).
  DrawTriMeshTextured(mesh, baseTexture, detail, 0.25f);
  EXPECT_EQ(PixelAtNdc(-0.25f, -0.75f), base);
  EXPECT_EQ(PixelAtNdc(0.75f, 0.25f), base);
  EXPECT_EQ(PixelAtNdc(-0.75f, -0.75f), black);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_2D);
  FreeTriMesh(mesh);
  EXPECT_EQ(mesh.vertices, nullptr);
  EXPECT_EQ(mesh.faces, nullptr);
  EXPECT_EQ(mesh.faceCount, 0);
}

TEST_F(TriMeshTest, ThePlainDrawUsesTheMeshCoordinatesAndSwitchesTexturingOff) {
  TriMesh mesh = ScreenMesh();
  const Rgba red{200, 0, 0, 255}, green{0, 200, 0, 255}, blue{0, 0, 200, 255}, white{200, 200, 200, 255};
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, scenetest::QuadrantTexture(red, green, blue, white));
  glColor3ub(255, 255, 255);
  DrawTriMesh(mesh);
  EXPECT_EQ(PixelAtNdc(-0.5f, -0.5f), red);
  EXPECT_EQ(PixelAtNdc(0.5f, -0.5f), green);
  EXPECT_EQ(PixelAtNdc(-0.5f, 0.5f), blue);
  EXPECT_EQ(PixelAtNdc(0.5f, 0.5f), white);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  FreeTriMesh(mesh);
}

TEST_F(TriMeshTest, FacesNamingVerticesOutsideTheMeshAreSkipped) {
  TriMesh mesh = ScreenMesh();
  mesh.faces[1] = TriMeshFace{{0, 2, 4}};  // one past the last vertex
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, scenetest::SolidTexture(90, 90, 90));
  glColor3ub(255, 255, 255);
  DrawTriMesh(mesh);
  // Only the lower right triangle (0, 1, 2) is drawn.
  EXPECT_EQ(PixelAtNdc(0.5f, -0.5f), (Rgba{90, 90, 90, 255}));
  EXPECT_EQ(PixelAtNdc(-0.5f, 0.5f), (Rgba{0, 0, 0, 255}));
  mesh.faces[1] = TriMeshFace{{-1, 2, 3}};
  glClear(GL_COLOR_BUFFER_BIT);
  DrawTriMeshTextured(mesh, scenetest::SolidTexture(90, 90, 90), 0, 0.0f);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  EXPECT_EQ(PixelAtNdc(0.5f, -0.5f), (Rgba{90, 90, 90, 255}));
  EXPECT_EQ(PixelAtNdc(-0.5f, 0.5f), (Rgba{0, 0, 0, 255}));
  FreeTriMesh(mesh);
}

}  // namespace
