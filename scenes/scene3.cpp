// Scene 3: the viewer inside a turning 4 x 4 x 4 lattice of cubes that darken
// a magenta background multiplicatively; loud low frequencies jolt the view
// with three extra perspectives for as long as they last. The rotation is a
// pure function of the frame clock.
#include "scenes/scene3.h"

#include <cmath>

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "scenes/scenes.h"
#include "scenes/scene_state.h"
#include "scenes/tri_mesh.h"
#include "sequence/music.h"

GLuint g_scene3CubeTexture = 0;
GLuint g_scene3TintTexture = 0;
GLuint g_scene3PhotoTexture = 0;

namespace {


// Signs of (x, y, z) and the unit-0 coordinate of each corner, six faces of
// four corners.
struct CubeCorner {
  signed char sx, sy, sz;
  unsigned char s, t;
};

constexpr CubeCorner kCubeCorners[24] = {
    {-1, -1, +1, 0, 0}, {+1, -1, +1, 1, 0}, {+1, +1, +1, 1, 1}, {-1, +1, +1, 0, 1},  // front
    {-1, -1, -1, 1, 0}, {-1, +1, -1, 1, 1}, {+1, +1, -1, 0, 1}, {+1, -1, -1, 0, 0},  // back
    {-1, +1, -1, 0, 1}, {-1, +1, +1, 0, 0}, {+1, +1, +1, 1, 0}, {+1, +1, -1, 1, 1},  // top
    {-1, -1, -1, 1, 1}, {+1, -1, -1, 0, 1}, {+1, -1, +1, 0, 0}, {-1, -1, +1, 1, 0},  // bottom
    {+1, -1, -1, 1, 0}, {+1, +1, -1, 1, 1}, {+1, +1, +1, 0, 1}, {+1, -1, +1, 0, 0},  // right
    {-1, -1, -1, 0, 0}, {-1, -1, +1, 1, 0}, {-1, +1, +1, 1, 1}, {-1, +1, -1, 0, 1},  // left
};

// On a loud low band the view jolts: three more perspectives on the
// model-view matrix, this frame only.
void JoltOnLoudBass() {
  if (SpectrumLevel(g_music, kScene3JoltFrequency, kScene3JoltThreshold) > 0.0f) {
    gluPerspective(77.0, kSceneAspect, 1.0, 5000.0);
    gluPerspective(78.0, kSceneAspect, 1.0, 5000.0);
    gluPerspective(80.0, kSceneAspect, 1.0, 5000.0);
  }
}

}  // namespace

void DrawCube(float halfSize, float x, float y, float z, float scroll) {
  glBegin(GL_QUADS);
  for (const CubeCorner& c : kCubeCorners) {
    const float s = c.s;
    const float t = c.t;
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, s, t);
    glMultiTexCoord2fARB(GL_TEXTURE1_ARB, s + scroll, t - scroll);
    glVertex3f(x + c.sx * halfSize, y + c.sy * halfSize, z + c.sz * halfSize);
  }
  glEnd();
}

void DrawCubeLattice(float size, float gap, float offsetX, float offsetY, float offsetZ, float phase) {
  const float step = size + gap;
  const float o = kScene3CubesPerEdge * step / 2.0f - step / 2.0f;
  const float shearX = std::cos(phase * 0.8f);
  const float shearY = std::sin(phase * 0.34f);
  for (int i = 0; i < kScene3CubesPerEdge; ++i) {
    for (int j = 0; j < kScene3CubesPerEdge; ++j) {
      for (int k = 0; k < kScene3CubesPerEdge; ++k) {
        const float x = (i * step - o + offsetX) + i * shearX;
        const float y = (j * step - o + offsetY) + j * shearY;
        const float z = k * step - o + offsetZ;
        DrawCube(size, x, y, z, g_frameTime / 4.0f);
      }
    }
  }
}

void InitScene3() {
  g_scene3CubeTexture = LoadBitmapTexture(180);
  g_scene3TintTexture = LoadBitmapTexture(122);
  g_scene3PhotoTexture = LoadBitmapTexture(106);
}

void DrawScene3() {
  glClearColor(1.0f, 0.0f, 221.0f / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  BeginUnsortedPerspective(75.0);
  // The frame keeps (1 - fragment colour) of itself: a product, in any order.
  glEnable(GL_BLEND);
  glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, g_scene3CubeTexture);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, g_scene3TintTexture);
  // Unit 1: unit 0's colour times its own texel.
  SetCombineOfPreviousAndTexture(GL_MODULATE);
  glRotatef(g_frameTime * 12.14f, 3.15f, 0.0f, 0.0f);
  glRotatef(g_frameTime * 4.14f, 0.0f, 3.15f, 0.0f);
  glRotatef(g_frameTime * 8.14f, 0.0f, 0.0f, 3.15f);
  JoltOnLoudBass();
  DrawCubeLattice(4.0f, 20.0f, 0.0f, 0.0f, 0.0f, 4.1f);
  glDisable(GL_TEXTURE_2D);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_2D);
}

void FreeScene3() {}
