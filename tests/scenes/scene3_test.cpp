// Scene 3: its textures, the magenta background, the multiplicative
// darkening, the lattice's layout and the jolt that loud low frequencies of
// the music put into the view.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "scene_fixture.h"
#include "scenes/scene3.h"
#include "scenes/scenes.h"
#include "scenes/tri_mesh.h"
#include "sequence/music.h"
#include "test_audio.h"

namespace {

using scenetest::AllPixelsAre;
using scenetest::Rgba;

const Rgba kMagenta{255, 0, 221, 255};

class Scene3Test : public scenetest::SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (HasFatalFailure()) return;
    InitTriMesh(mesh_);  // the entry points, as scene 1's init fetches them
    InitScene3();
    g_music = 0;  // no stream: a silent spectrum
    g_musicSeconds = 25.0f;
  }
  TriMesh mesh_{};
};

TEST_F(Scene3Test, InitLoadsTheTunnelPictureTheTintAndThePhotoInOrder) {
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene3CubeTexture, 180));
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene3TintTexture, 122));
  EXPECT_TRUE(scenetest::TextureIsResource(g_scene3PhotoTexture, 106));
  EXPECT_EQ(scenetest::Texel(g_scene3TintTexture, 0, 0), (Rgba{238, 243, 245, 255}));
  EXPECT_LT(g_scene3CubeTexture, g_scene3TintTexture);
  EXPECT_LT(g_scene3TintTexture, g_scene3PhotoTexture);
}

TEST_F(Scene3Test, BlackCubesLeaveTheMagentaBackground) {
  g_scene3CubeTexture = scenetest::SolidTexture(0, 0, 0);
  g_frameTime = 23.0f;
  scenetest::DrawBracketed(DrawScene3);
  EXPECT_TRUE(AllPixelsAre(kMagenta, 0));
}

TEST_F(Scene3Test, FacesDarkenTheFrameByProductsOfOneMinusTheirColour) {
  // Half-grey faces under a white tint: each layer keeps half of the frame.
  g_scene3CubeTexture = scenetest::SolidTexture(128, 128, 128);
  g_scene3TintTexture = scenetest::SolidTexture(255, 255, 255);
  g_frameTime = 23.0f;
  scenetest::DrawBracketed(DrawScene3);
  std::vector<uint8_t> frame = scenetest::Frame();
  int counted = 0;
  int layers[4] = {};
  for (int k = 0; k < 12; ++k) {
    const double keep = std::pow(127.0 / 255.0, k);
    Rgba expected{static_cast<uint8_t>(std::lround(255 * keep)), 0, static_cast<uint8_t>(std::lround(221 * keep)), 255};
    int n = scenetest::CountPixels(frame, expected, 2 + k / 2);
    if (k < 4) layers[k] = n;
    counted += n;
  }
  EXPECT_EQ(counted, scenetest::kWidth * scenetest::kHeight) << "pixels outside the products of one half";
  EXPECT_GT(layers[0], 100);
  EXPECT_GT(layers[1], 100);
  EXPECT_GT(layers[2], 20);
}

TEST_F(Scene3Test, TheTintOnUnitOneScalesTheCubeColour) {
  // White cubes under the supplied tint (238, 243, 245): one face keeps
  // (17, 12, 10) out of 255 of the magenta.
  g_scene3CubeTexture = scenetest::SolidTexture(255, 255, 255);
  g_frameTime = 23.0f;
  scenetest::DrawBracketed(DrawScene3);
  EXPECT_GT(scenetest::CountPixels(scenetest::Frame(), Rgba{17, 0, 9, 255}, 1), 100);
}

TEST_F(Scene3Test, TheProjectionIsA75DegreePerspective) {
  g_frameTime = 23.0f;
  scenetest::DrawBracketed(DrawScene3);
  EXPECT_TRUE(scenetest::IsScenePerspective(scenetest::CurrentMatrix(GL_PROJECTION_MATRIX), 75.0));
}

TEST_F(Scene3Test, TheLatticeCentresAreTheShearedGridInNestedOrder) {
  g_frameTime = 0.0f;
  std::vector<scenetest::Polygon> polygons = scenetest::CapturePolygons(100.0f, [] {
    DrawCubeLattice(4.0f, 20.0f, 0.0f, 0.0f, 0.0f, 4.1f);
  });
  const int cubes = kScene3CubesPerEdge * kScene3CubesPerEdge * kScene3CubesPerEdge;
  ASSERT_FALSE(polygons.empty());
  ASSERT_EQ(polygons.size() % cubes, 0u);
  const size_t perCube = polygons.size() / cubes;
  const float xs[] = {-36.0f, -12.9904f, 10.0191f, 33.0287f};
  const float ys[] = {-36.0f, -11.0156f, 13.9688f, 38.9532f};
  const float zs[] = {-36.0f, -12.0f, 12.0f, 36.0f};
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < 4; ++k, ++n) {
        scenetest::Box box = scenetest::BoundingBox(polygons, n * perCube, perCube);
        EXPECT_NEAR(box.centre.x, xs[i], 1e-3f) << i << j << k;
        EXPECT_NEAR(box.centre.y, ys[j], 1e-3f) << i << j << k;
        EXPECT_NEAR(box.centre.z, zs[k], 1e-3f) << i << j << k;
        EXPECT_NEAR(box.halfSize.x, 4.0f, 1e-3f);
        EXPECT_NEAR(box.halfSize.y, 4.0f, 1e-3f);
        EXPECT_NEAR(box.halfSize.z, 4.0f, 1e-3f);
      }
    }
  }
}

TEST_F(Scene3Test, EveryCubeFaceIsWoundCounterClockwiseFromOutside) {
  // Seen from outside along each axis, with back faces culled, exactly one
  // face of a lone cube shows: the one turned towards the viewer.
  g_scene3CubeTexture = scenetest::SolidTexture(255, 255, 255);
  const float turns[][4] = {{0, 0, 1, 0}, {180, 0, 1, 0}, {90, 0, 1, 0}, {-90, 0, 1, 0}, {90, 1, 0, 0}, {-90, 1, 0, 0}};
  for (const auto& turn : turns) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 20, -15, 15, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(turn[0], turn[1], turn[2], turn[3]);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, scenetest::SolidTexture(60, 60, 60));
    glColor3ub(255, 255, 255);
    DrawCube(5.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(scenetest::PixelAtNdc(0.0f, 0.0f), (Rgba{60, 60, 60, 255})) << turn[0] << " " << turn[1];
  }
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
}

// The unit-0 coordinate a face of the unit cube gives the point p on it.
void FaceCoordinate(const scenetest::Vertex3& p, int axis, float sign, float& s, float& t) {
  const float x = p.x, y = p.y, z = p.z;
  if (axis == 2) {  // front and back: upright, read from outside
    s = sign > 0 ? (x + 1) / 2 : (1 - x) / 2;
    t = (y + 1) / 2;
  } else if (axis == 1) {  // top and bottom
    s = sign > 0 ? (x + 1) / 2 : (1 - x) / 2;
    t = (1 - z) / 2;
  } else {  // right and left
    s = sign > 0 ? (1 - z) / 2 : (z + 1) / 2;
    t = (y + 1) / 2;
  }
}

TEST_F(Scene3Test, EachCubeFaceCarriesTheWholePictureReadFromOutside) {
  auto unit0 = scenetest::CaptureTexturedPolygons(GL_TEXTURE0_ARB, 10.0f, [] {
    DrawCube(1.0f, 0.0f, 0.0f, 0.0f, 0.25f);
  });
  ASSERT_GE(unit0.size(), 6u);
  int faces[3][2] = {};
  for (size_t i = 0; i < unit0.size(); ++i) {
    const scenetest::TexturedPolygon& polygon = unit0[i];
    // The face is the axis on which every corner of the polygon lies at +-1.
    int axis = -1;
    float sign = 0;
    for (int a = 0; a < 3 && axis < 0; ++a) {
      auto coordinate = [a](const scenetest::Vertex3& p) { return a == 0 ? p.x : a == 1 ? p.y : p.z; };
      float first = coordinate(polygon[0].position);
      bool flat = std::fabs(std::fabs(first) - 1) < 1e-3f;
      for (const auto& v : polygon) flat = flat && std::fabs(coordinate(v.position) - first) < 1e-3f;
      if (flat) {
        axis = a;
        sign = first > 0 ? 1.0f : -1.0f;
      }
    }
    ASSERT_GE(axis, 0) << "polygon " << i << " lies on no face";
    faces[axis][sign > 0] += 1;
    for (size_t v = 0; v < polygon.size(); ++v) {
      float s = 0, t = 0;
      FaceCoordinate(polygon[v].position, axis, sign, s, t);
      EXPECT_NEAR(polygon[v].s, s, 1e-4f) << "axis " << axis << " sign " << sign;
      EXPECT_NEAR(polygon[v].t, t, 1e-4f) << "axis " << axis << " sign " << sign;
    }
  }
  for (auto& face : faces) {
    EXPECT_GT(face[0], 0);
    EXPECT_EQ(face[0], face[1]);
  }
}

TEST_F(Scene3Test, UnitOnesCoordinatesAreScrolledTowardsPlusSAndMinusT) {
  // Through the front face, as on a panel: screen (u, v) = (0.375, 0.375)
  // samples the checker at (0.625, 0.125), (0.125, 0.625) at (0.375, 0.375).
  scenetest::DrawThroughUnitOneChecker([] { DrawCube(1.0f, 0.0f, 0.0f, 0.0f, 0.25f); });
  EXPECT_EQ(scenetest::PixelAtNdc(-0.25f, -0.25f), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(scenetest::PixelAtNdc(-0.75f, 0.25f), (Rgba{255, 255, 255, 255}));
}

// A tone in band 1 (43.07 Hz) of the given peak amplitude, playing on the
// offline output one second in, as the music.
class Scene3JoltTest : public Scene3Test {
 protected:
  void PlayTone(double amplitude) {
    const int rate = 44100;
    std::string dir = sgtest::MakeTempDir("sg_scene3_");
    std::string wav = dir + "/tone.wav", mp3 = dir + "/tone.mp3";
    ASSERT_TRUE(sgtest::WriteWav16(wav, sgtest::Sine(rate / 1024.0, amplitude, rate, rate * 2), rate, 1));
    if (!sgtest::EncodeMp3(LAME_PROGRAM, wav, mp3)) GTEST_SKIP() << "lame is not available";
    audio_host::Reset();
    audio_host::SelectOutput(audio_host::Output::Offline);
    ASSERT_TRUE(BASS_Init(-1, rate, 0, NULL));
    g_music = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
    ASSERT_NE(g_music, 0u);
    BASS_Start();
    BASS_StreamPlay(g_music, FALSE, 0);
    audio_host::OfflineAdvanceTo(rate);
  }
  void TearDown() override {
    if (g_music) BASS_Free();
    g_music = 0;
    Scene3Test::TearDown();
  }
  // The model-view matrix a frame leaves at T = 23.
  scenetest::Matrix DrawAndReadModelView() {
    g_frameTime = 23.0f;
    scenetest::DrawBracketed(DrawScene3);
    return scenetest::CurrentMatrix(GL_MODELVIEW_MATRIX);
  }
};

scenetest::Matrix Rotations(float t) {
  return scenetest::BuildMatrix([t] {
    glRotatef(t * 12.14f, 3.15f, 0.0f, 0.0f);
    glRotatef(t * 4.14f, 0.0f, 3.15f, 0.0f);
    glRotatef(t * 8.14f, 0.0f, 0.0f, 3.15f);
  });
}

scenetest::Matrix RotationsAndJolt(float t) {
  return scenetest::BuildMatrix([t] {
    glRotatef(t * 12.14f, 3.15f, 0.0f, 0.0f);
    glRotatef(t * 4.14f, 0.0f, 3.15f, 0.0f);
    glRotatef(t * 8.14f, 0.0f, 0.0f, 3.15f);
    const double aspect = static_cast<double>(1.33333f);
    gluPerspective(77.0, aspect, 1.0, 5000.0);
    gluPerspective(78.0, aspect, 1.0, 5000.0);
    gluPerspective(80.0, aspect, 1.0, 5000.0);
  });
}

TEST_F(Scene3JoltTest, ALoudLowBandMultipliesThreePerspectivesIntoTheModelView) {
  PlayTone(0.5);
  ASSERT_GT(SpectrumLevel(g_music, 3.0f, 0.125f), 0.0f);
  EXPECT_TRUE(scenetest::MatricesNear(DrawAndReadModelView(), RotationsAndJolt(23.0f), 1e-5f));
  EXPECT_TRUE(scenetest::IsScenePerspective(scenetest::CurrentMatrix(GL_PROJECTION_MATRIX), 75.0));
}

TEST_F(Scene3JoltTest, AQuietLowBandLeavesThePlainRotation) {
  PlayTone(0.05);
  ASSERT_EQ(SpectrumLevel(g_music, 3.0f, 0.125f), 0.0f);
  EXPECT_GT(SpectrumLevel(g_music, 3.0f, 0.0f), 0.0f) << "the tone should still be heard";
  EXPECT_TRUE(scenetest::MatricesNear(DrawAndReadModelView(), Rotations(23.0f), 1e-5f));
}

TEST_F(Scene3JoltTest, SilenceOrNoStreamLeavesThePlainRotation) {
  EXPECT_TRUE(scenetest::MatricesNear(DrawAndReadModelView(), Rotations(23.0f), 1e-5f));
  PlayTone(0.0);
  EXPECT_TRUE(scenetest::MatricesNear(DrawAndReadModelView(), Rotations(23.0f), 1e-5f));
}

TEST_F(Scene3JoltTest, TheJoltChangesThePictureOnlyInItsFrame) {
  g_scene3CubeTexture = scenetest::SolidTexture(200, 200, 200);
  g_frameTime = 23.0f;
  scenetest::DrawBracketed(DrawScene3);
  const std::vector<uint8_t> plain = scenetest::Frame();
  PlayTone(0.5);
  scenetest::DrawBracketed(DrawScene3);
  const std::vector<uint8_t> jolted = scenetest::Frame();
  int differing = 0;
  for (size_t i = 0; i < plain.size(); i += 4) {
    if (plain[i] != jolted[i] || plain[i + 2] != jolted[i + 2]) ++differing;
  }
  EXPECT_GT(differing, scenetest::kWidth * scenetest::kHeight / 10);
  // The same clock without the loud band draws the plain frame again.
  BASS_Free();
  g_music = 0;
  scenetest::DrawBracketed(DrawScene3);
  EXPECT_EQ(scenetest::Frame(), plain);
}

}  // namespace
