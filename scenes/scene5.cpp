// Scene 5: a textured tunnel that narrows, bends and sways with time, its
// picture streaming towards the viewer, swallowed by black fog after a short
// distance, with a full-screen picture added over it. Everything follows the
// frame clock.
#include "scenes/scene5.h"

#include <cmath>

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "scenes/scenes.h"
#include "scenes/scene_state.h"
#include "scenes/screen_overlay.h"

GLuint g_tunnelTexture = 0;
GLuint g_scene5OverlayTexture = 0;
float g_tunnelGrid[kTunnelAngles][kTunnelRings][3];

namespace {


// Sine and cosine in double precision of a float argument, kept as float.
float Sin(float x) { return static_cast<float>(std::sin(static_cast<double>(x))); }
float Cos(float x) { return static_cast<float>(std::cos(static_cast<double>(x))); }

void FillTunnelGrid(float phase) {
  // The sway of the mouth, taken off every ring so that the mouth stays put.
  const float s1 = Sin(phase / 27.0f);
  const float c1 = Cos(phase / 25.0f);
  const float c2 = Cos(phase / 13.0f);
  const float s2 = Sin(phase / 17.0f);
  for (int a = 0; a < kTunnelAngles; ++a) {
    const float theta = a * 0.2617994f * 2.0f;
    const float ca = Cos(theta);
    const float sa = Sin(theta);
    for (int d = 0; d < kTunnelRings; ++d) {
      const float u = 2 * d + phase;
      const float r = 3.0f - d / 12.0f;
      float* point = g_tunnelGrid[a][d];
      point[0] = r * ca + 2.0f * Sin(u / 27.0f) + Cos(u / 13.0f) - 2.0f * s1 - c2;
      point[1] = r * sa + 2.5f * Cos(u / 25.0f) + Sin(u / 17.0f) - 2.0f * c1 - s2;
      point[2] = static_cast<float>(-2 * d);
    }
  }
}

void Corner(float s, float t, const float* point) {
  glTexCoord2f(s, t);
  glVertex3f(point[0], point[1], point[2]);
}

// Fifteen quads a slice cover 450 degrees; the last three lie over the
// first three, with coordinates exactly 3 higher, so they show the same. The
// rows stream by 1.1875 texture repeats a second, towards the viewer.
void DrawTunnelSlices(float phase, float t) {
  for (int d = 0; d + 1 < kTunnelRings; ++d) {
    const float tA = d / 32.0f + phase / 40.0f + t / 16.0f;
    const float tB = (d + 1) / 32.0f + phase / 40.0f + t / 16.0f;
    glBegin(GL_QUADS);
    for (int a = 0; a + 1 < kTunnelAngles; ++a) {
      const float sNear = (a - 1) / 4.0f;
      const float sFar = a / 4.0f;
      Corner(sNear, tA, g_tunnelGrid[a][d]);
      Corner(sFar, tA, g_tunnelGrid[a + 1][d]);
      Corner(sFar, tB, g_tunnelGrid[a + 1][d + 1]);
      Corner(sNear, tB, g_tunnelGrid[a][d + 1]);
    }
    glEnd();
  }
}

}  // namespace

void DrawTunnel(float t) {
  glPushMatrix();
  const float phase = t * 45.0f;
  FillTunnelGrid(phase);
  DrawTunnelSlices(phase, t);
  glPopMatrix();
}

void InitScene5() {
  g_tunnelTexture = LoadBitmapTexture(131);
  g_scene5OverlayTexture = LoadBitmapTexture(197);
}

// The clear colour is OpenGL's initial black, which the attribute restore
// around every scene brings back.
void DrawScene5() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(65.0, kSceneAspect, 1.0, 5000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  static const GLfloat kFogColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  glFogf(GL_FOG_MODE, static_cast<GLfloat>(GL_LINEAR));
  glFogf(GL_FOG_START, 10.0f);
  glFogf(GL_FOG_END, 20.0f);
  glFogfv(GL_FOG_COLOR, kFogColour);
  glEnable(GL_FOG);
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, g_tunnelTexture);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glColor4ub(255, 255, 255, 255);
  gluLookAt(0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  DrawTunnel(g_frameTime);
  // The overlay is a back face: let it through with culling still on. Its
  // eye distance is 0, so the fog leaves it alone.
  glCullFace(GL_FRONT);
  DrawScreenOverlay(g_scene5OverlayTexture, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
}

void FreeScene5() {}
