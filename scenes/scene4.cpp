// Scene 4: seven pictures sliding in one after another over dark blue, one
// per window of music, and the camera and turning transform under which the
// model is drawn right after this scene. The perspective goes into the
// model-view matrix; the projection matrix is left as the previous scene
// left it, and the overlay leaves it selected for the model draw.
#include "scenes/scene4.h"

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "scenes/scenes.h"
#include "scenes/scene_state.h"
#include "scenes/screen_overlay.h"
#include "sequence/frame_timer.h"
#include "sequence/music.h"

GLuint g_scene4Images[kScene4PictureCount] = {};
float g_scene4SlideProgress[kScene4PictureCount] = {-1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f};
float g_scene4CameraShift = 20.0f;
GLuint g_extraSceneTextures[3] = {};

// Picture 1 enters from the right, picture 2 from the top, the rest from
// the left.
const Scene4Picture kScene4Pictures[kScene4PictureCount] = {
    {29.0f, 34.0f, 203, 1.0f, -1.0f, -0.1f, 0.0f, 0.0f},
    {34.0f, 39.0f, 206, 1.0f, 0.0f, 0.0f, -1.0f, -0.25f},
    {39.0f, 44.0f, 210, 0.75f, 1.0f, -0.1f, 0.0f, 0.0f},
    {44.0f, 49.0f, 209, 0.75f, 1.0f, -0.1f, 0.0f, 0.0f},
    {49.0f, 54.0f, 211, 1.0f, 1.0f, -0.25f, 0.0f, -0.25f},
    {54.0f, 59.0f, 212, 0.55f, 1.0f, -0.25f, 0.0f, 0.0f},
    {59.0f, 63.5f, 213, 0.75f, 1.0f, -0.25f, 0.0f, -0.3f},
};

namespace {

constexpr double kCameraStart = 48.0;      // seconds of music
constexpr float kCameraShiftStop = 340.0f;

void SetUpCamera() {
  BeginPerspectiveInModelView();
  if (static_cast<double>(g_musicSeconds) > kCameraStart && g_scene4CameraShift < kCameraShiftStop) {
    g_scene4CameraShift = static_cast<float>(g_scene4CameraShift + GetFrameDelta() * 15.0);
  }
  const float c = g_scene4CameraShift;
  gluLookAt(0.0, c, 4000.0, c, -c, -250.0, 0.0, c, 0.0);
  // Culling off also lets the overlay, a back face, through.
  glDisable(GL_CULL_FACE);
  glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
  glRotatef(70.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(32.0f * g_frameTime, 10.0f, 10.0f, 10.0f);
}

void SlideAndDrawPicture(int k) {
  float& p = g_scene4SlideProgress[k];
  if (p < 0.0f) {
    p = static_cast<float>(p + GetFrameDelta() / 3.0);
  }
  const Scene4Picture& picture = kScene4Pictures[k];
  const float centreX = picture.xSlope * p + picture.xBase;
  const float centreY = picture.ySlope * p + picture.yBase;
  DrawScreenOverlay(g_scene4Images[k], 1.0f, picture.halfSize, centreX, centreY, 0.0f);
}

}  // namespace

int Scene4PictureAt(float t) {
  for (int k = 0; k < kScene4PictureCount; ++k) {
    if (t >= kScene4Pictures[k].start && t < kScene4Pictures[k].end) {
      return k;
    }
  }
  return -1;
}

void InitScene4() {
  for (int k = 0; k < kScene4PictureCount; ++k) {
    g_scene4Images[k] = LoadBitmapTexture(kScene4Pictures[k].resource);
  }
}

void DrawScene4() {
  glClearColor(0.0f, 0.0f, 10.0f / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetUpCamera();
  const int k = Scene4PictureAt(g_musicSeconds);
  if (k >= 0) {
    SlideAndDrawPicture(k);
  }
  glDisable(GL_FOG);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LINE_SMOOTH);
}

void FreeScene4() {}

void InitExtraScene() {
  g_extraSceneTextures[0] = LoadBitmapTexture(198);
  g_extraSceneTextures[1] = LoadBitmapTexture(138);
  g_extraSceneTextures[2] = LoadBitmapTexture(201);
}

void FreeExtraScene() {}
