// Scene 4 (placeholder until the scene lands): clears to its background.
#include "opengl.h"
#include "scenes/scenes.h"

void InitScene4() {}

void DrawScene4() {
  glClearColor(0.0f, 0.0f, 10.0f / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void FreeScene4() {}

void InitExtraScene() {}

void FreeExtraScene() {}
