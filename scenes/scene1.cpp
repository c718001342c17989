// Scene 1: two additive picture squares tumbling on dark blue, after a mesh
// stage that draws an empty mesh through a signed-add combiner and as black
// outlines, and, from 5.4 s of music, a full-screen picture rising slowly.
// The perspective is multiplied into the model-view matrix: the projection
// matrix is left as the previous scene left it.
#include "scenes/scene1.h"

#include <cmath>

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "scenes/scenes.h"
#include "scenes/screen_overlay.h"
#include "scenes/scene_state.h"
#include "sequence/frame_timer.h"
#include "sequence/music.h"

TriMesh g_scene1Mesh;
GLuint g_scene1DetailTexture = 0;
GLuint g_scene1BaseTexture = 0;
GLuint g_scene1SquareTexture = 0;
GLuint g_scene1OverlayTexture = 0;
float g_scene1OverlayOffset = 1.0f;

namespace {

void SetUpCamera() {
  BeginPerspectiveInModelView();
  gluLookAt(0.0, 0.0, -1300.0, 20.0, -50.0, 0.0, 0.0, 1.0, 0.0);
  glRotatef(62.43f * g_frameTime, 0.0f, 0.0f, 1.0f);
  glRotatef(43.43f * g_frameTime, 0.0f, 1.0f, 0.0f);
  glRotatef(39.43f * g_frameTime, 1.0f, 0.0f, 0.0f);
}

void DrawTexturedMeshPass() {
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  // Unit 1: unit 0's colour plus its own texel minus one half.
  SetCombineOfPreviousAndTexture(GL_ADD_SIGNED_ARB);
  glColor4ub(255, 255, 255, 255);
  glScalef(4.5f, 4.5f, 4.5f);
  DrawTriMeshTextured(g_scene1Mesh, g_scene1BaseTexture, g_scene1DetailTexture, g_frameTime / 5.0f);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_2D);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_2D);
}

// Back faces only, as smoothed black lines.
void DrawOutlinePass() {
  glLineWidth(2.5f);
  glCullFace(GL_FRONT);
  glColor4ub(0, 0, 0, 255);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  DrawTriMesh(g_scene1Mesh);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glLineWidth(1.0f);
}

void DrawSquare(float s) {
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(-s, -s, 0.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(-s, s, 0.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(s, s, 0.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(s, -s, 0.0f);
  glEnd();
}

// 50 x sin(rate x T): the product in float, the sine in double.
float Swell(float rate) {
  float angle = rate * g_frameTime;
  return static_cast<float>(std::sin(static_cast<double>(angle))) * 50.0f;
}

// Depth tested against the cleared buffer only and never written, so the
// two squares add up where they overlap.
void DrawSquares() {
  glColor4ub(255, 255, 255, 0);
  glDisable(GL_CULL_FACE);
  glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
  glRotatef(70.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(g_frameTime, 0.0f, 0.0f, 1.0f);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, g_scene1SquareTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  float a = Swell(2.0f);
  float b = Swell(3.0f);
  glDepthMask(GL_FALSE);
  DrawSquare(200.0f + a);
  DrawSquare(200.0f + b);
  glDepthMask(GL_TRUE);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

void DrawRisingOverlay() {
  if (!(g_musicSeconds > kScene1OverlayStart)) {
    return;
  }
  if (g_scene1OverlayOffset > kScene1OverlayStop) {
    g_scene1OverlayOffset = static_cast<float>(g_scene1OverlayOffset - GetFrameDelta() / 8.0);
  }
  DrawScreenOverlay(g_scene1OverlayTexture, 1.0f, 1.0f, -0.15f, -g_scene1OverlayOffset, 0.5f);
}

}  // namespace

void InitScene1() {
  InitTriMesh(g_scene1Mesh);
  g_scene1DetailTexture = LoadBitmapTexture(101);
  g_scene1BaseTexture = LoadBitmapTexture(201);
  g_scene1SquareTexture = LoadBitmapTexture(121);
  g_scene1OverlayTexture = LoadBitmapTexture(183);
}

void DrawScene1() {
  glClearColor(0.0f, 0.0f, 10.0f / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetUpCamera();
  glPushAttrib(GL_TEXTURE_BIT);
  DrawTexturedMeshPass();
  DrawOutlinePass();
  DrawSquares();
  glPopAttrib();
  DrawRisingOverlay();
  glDisable(GL_FOG);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LINE_SMOOTH);
}

void FreeScene1() { FreeTriMesh(g_scene1Mesh); }
