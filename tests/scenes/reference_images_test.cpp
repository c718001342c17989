// One frame of each scene at two fixed clocks, with the real pictures,
// compared with a stored reference image within a small tolerance, so that
// any change in what a scene shows is seen. With
// STORMGLASS_UPDATE_REFERENCES=1 the frames are written as the new
// references instead (see update_references.sh); look at them before keeping
// them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/shell.h"
#include "png_image.h"
#include "scene_fixture.h"
#include "scenes/scene1.h"
#include "scenes/scene4.h"
#include "scenes/scenes.h"
#include "scenes/tri_mesh.h"
#include "sequence/music.h"

namespace {

// A pixel differs when a channel is off by more than this many levels; a
// frame matches while few enough pixels differ.
constexpr int kLevelTolerance = 3;
constexpr double kDifferingShare = 0.005;

bool Updating() {
  const char* value = std::getenv("STORMGLASS_UPDATE_REFERENCES");
  return value && std::string(value) == "1";
}

sgtest::RgbImage CurrentFrame() {
  std::vector<uint8_t> rgba = scenetest::Frame();
  sgtest::RgbImage image;
  image.width = scenetest::kWidth;
  image.height = scenetest::kHeight;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) image.rgb.insert(image.rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
  return image;
}

class ReferenceImages : public scenetest::SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (HasFatalFailure()) return;
    InitTriMesh(mesh_);
    g_music = 0;
    scenetest::AdvanceFrame(0.0);  // no integration during the frame
  }

  void Render(void (*draw)(), float frameTime, float musicSeconds) {
    scenetest::SetClocks(frameTime, musicSeconds);
    scenetest::DrawBracketed(draw);
  }

  void ExpectMatchesReference(const std::string& name) {
    const sgtest::RgbImage actual = CurrentFrame();
    const std::string path = std::string(SCENES_REFERENCE_DIR) + "/" + name + ".png";
    std::string error;
    if (Updating()) {
      ASSERT_TRUE(sgtest::WritePng(path, actual, error)) << path << ": " << error;
      std::printf("wrote %s\n", path.c_str());
      return;
    }
    sgtest::RgbImage expected;
    ASSERT_TRUE(sgtest::ReadPng(path, expected, error))
        << path << ": " << error << " (tests/scenes/update_references.sh makes it)";
    ASSERT_EQ(expected.width, actual.width);
    ASSERT_EQ(expected.height, actual.height);
    int differing = 0, largest = 0;
    for (size_t i = 0; i < actual.rgb.size(); i += 3) {
      int worst = 0;
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(actual.rgb[i + c]) - int(expected.rgb[i + c])));
      largest = std::max(largest, worst);
      if (worst > kLevelTolerance) ++differing;
    }
    const int allowed = static_cast<int>(kDifferingShare * actual.width * actual.height);
    if (differing > allowed) {
      const std::string saved = std::string(SCENES_ACTUAL_DIR) + "/" + name + ".png";
      sgtest::WritePng(saved, actual, error);
      ADD_FAILURE() << name << ": " << differing << " pixels differ from the reference (at most " << allowed
                    << " may), by up to " << largest << " levels; this frame is in " << saved;
    }
  }

  TriMesh mesh_{};
};

TEST_F(ReferenceImages, Scene1SquaresAlone) {
  InitScene1();
  Render(DrawScene1, 2.0f, 3.0f);
  ExpectMatchesReference("scene1_squares");
}

TEST_F(ReferenceImages, Scene1WithTheRisingOverlay) {
  InitScene1();
  g_scene1OverlayOffset = 0.4f;
  Render(DrawScene1, 8.75f, 9.0f);
  ExpectMatchesReference("scene1_overlay");
}

TEST_F(ReferenceImages, Scene2Early) {
  InitScene2();
  Render(DrawScene2, 12.5f, 12.0f);
  ExpectMatchesReference("scene2_early");
}

TEST_F(ReferenceImages, Scene2Late) {
  InitScene2();
  Render(DrawScene2, 17.25f, 17.0f);
  ExpectMatchesReference("scene2_late");
}

TEST_F(ReferenceImages, Scene3Early) {
  InitScene3();
  Render(DrawScene3, 22.5f, 22.0f);
  ExpectMatchesReference("scene3_early");
}

TEST_F(ReferenceImages, Scene3Late) {
  InitScene3();
  Render(DrawScene3, 27.25f, 27.0f);
  ExpectMatchesReference("scene3_late");
}

TEST_F(ReferenceImages, Scene4FirstPictureSliding) {
  InitScene4();
  g_scene4SlideProgress[0] = -0.35f;
  g_scene4CameraShift = 20.0f;
  Render(DrawScene4, 31.5f, 31.0f);
  ExpectMatchesReference("scene4_sliding");
}

TEST_F(ReferenceImages, Scene4LastPictureAtRest) {
  InitScene4();
  g_scene4SlideProgress[6] = 0.0f;
  g_scene4CameraShift = 200.0f;
  Render(DrawScene4, 61.0f, 60.5f);
  ExpectMatchesReference("scene4_rest");
}

TEST_F(ReferenceImages, Scene5Early) {
  InitScene5();
  Render(DrawScene5, 64.5f, 64.0f);
  ExpectMatchesReference("scene5_early");
}

TEST_F(ReferenceImages, Scene5Late) {
  InitScene5();
  Render(DrawScene5, 71.25f, 71.0f);
  ExpectMatchesReference("scene5_late");
}

}  // namespace
