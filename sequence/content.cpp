// Content setup and teardown. All loading is done before the music starts;
// teardown frees in the order of setup, not its reverse.
#include "sequence/content.h"

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "sequence/frame_timer.h"
#include "sequence/music.h"
#include "sequence/show.h"

Model_3DS g_model;
GLTexture g_redTexture;

// Writable and lasting: the model keeps this pointer and may cut quotes in it.
static char g_modelFileName[] = "datas/qor_fist.3ds";
const char* const kModelFile = g_modelFileName;

void InitContent() {
  InitFrameTimer();
  // In the table's order: scene 1 first, as it fetches the multitexture
  // entry points that later inits use.
  for (const SceneUnit& unit : g_sceneUnits) unit.init();
  CreateStripTexture();
  g_model.LoadFromFile(g_modelFileName);
  g_redTexture.CreateSolidColor(255, 0, 0);
  g_redTexture.Bind();
  if (!StartAudio()) {
    PostQuitMessage(kStartupFailureExitCode);
  }
}

// The order of setup, not its reverse.
void RenderModel() { g_model.Render(); }

void FreeContent() {
  for (const SceneUnit& unit : g_sceneUnits) unit.free();
  FreeStripTexture();
}
