// Scene 2: a row of 43 picture panels tumbling about the viewer on an almost
// black background, lightening the frame where their texels are bright and
// never hiding one another, with a full-screen picture added over them. The
// motion is a pure function of the frame clock.
#include "scenes/scene2.h"

#include <cmath>

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "scenes/scenes.h"
#include "scenes/screen_overlay.h"
#include "scenes/scene_state.h"
#include "scenes/tri_mesh.h"

GLuint g_scene2OverlayTexture = 0;
GLuint g_scene2PanelTexture = 0;

namespace {


void Corner(float s, float t, float scroll, float x, float y, float z) {
  glMultiTexCoord2fARB(GL_TEXTURE0_ARB, s, t);
  glMultiTexCoord2fARB(GL_TEXTURE1_ARB, s + scroll, t - scroll);
  glVertex3f(x, y, z);
}

}  // namespace

void DrawPanel(float halfSize, float x, float y, float z, float scroll) {
  const float h = halfSize;
  glBegin(GL_QUADS);
  Corner(0.0f, 0.0f, scroll, x - h, y - h, z + h);
  Corner(1.0f, 0.0f, scroll, x + h, y - h, z + h);
  Corner(1.0f, 1.0f, scroll, x + h, y + h, z + h);
  Corner(0.0f, 1.0f, scroll, x - h, y + h, z + h);
  Corner(1.0f, 0.0f, scroll, x - h, y - h, z - h);
  Corner(1.0f, 1.0f, scroll, x - h, y + h, z - h);
  Corner(0.0f, 1.0f, scroll, x + h, y + h, z - h);
  Corner(0.0f, 0.0f, scroll, x + h, y - h, z - h);
  glEnd();
}

void DrawPanelRow(float size, float gap, float offsetX, float offsetY, float waveDepth, float phase) {
  const float step = size + gap;
  const float o = kScene2PanelCount * step / 2.0f - step / 2.0f;
  // The same for every panel: the product and the sine in float.
  const float y = (step - o + offsetY) + std::sin(phase * 0.34f);
  for (int i = 0; i < kScene2PanelCount; ++i) {
    // i x 0.703125 degrees, with the radian factor as the row was designed.
    const double theta = i * 0.703125 * 0.0174532;
    const float alongRow = i * step - o + offsetX;
    const float x = static_cast<float>(alongRow + i * std::cos(6.2831854820251465 * theta));
    const float z = static_cast<float>((step - o) + waveDepth * std::cos(theta) * i);
    DrawPanel(size, x, y, z, g_frameTime * 14.0f);
  }
}

void InitScene2() {
  g_scene2OverlayTexture = LoadBitmapTexture(138);
  g_scene2PanelTexture = LoadBitmapTexture(214);
}

void DrawScene2() {
  glClearColor(1.0f / 255.0f, 1.0f / 255.0f, 1.0f / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  BeginUnsortedPerspective(75.0);
  // Black texels leave the frame as it is.
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, g_scene2PanelTexture);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  // Unit 1: unit 0's colour times its own texel.
  SetCombineOfPreviousAndTexture(GL_MODULATE);
  glRotatef(g_frameTime * 50.14f, 0.5f, 0.5f, 0.0f);
  glRotatef(g_frameTime * 1.14f, 0.0f, 0.0f, 0.5f);
  DrawPanelRow(10.1f, 2.0f, 0.0f, 0.0f, 20.0f, 104.1f);
  glDisable(GL_TEXTURE_2D);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_2D);
  // The overlay is a back face: let it through with culling still on.
  glCullFace(GL_FRONT);
  DrawScreenOverlay(g_scene2OverlayTexture, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
}

void FreeScene2() {}
