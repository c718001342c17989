// Content setup and teardown. All loading is done before the music starts;
// teardown frees in the order of setup, not its reverse.
#include "sequence/content.h"

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "scenes/scenes.h"
#include "sequence/frame_timer.h"
#include "sequence/music.h"

Model_3DS g_model;
GLTexture g_redTexture;

// Writable and lasting: the model keeps this pointer and may cut quotes in it.
static char g_modelFileName[] = "datas/qor_fist.3ds";
const char* const kModelFile = g_modelFileName;

void InitContent() {
  InitFrameTimer();
  InitScene1();
  InitExtraScene();
  InitScene4();
  InitScene5();
  InitScene3();
  InitScene2();
  CreateStripTexture();
  g_model.LoadFromFile(g_modelFileName);
  g_redTexture.CreateSolidColor(255, 0, 0);
  g_redTexture.Bind();
  if (!StartAudio()) {
    PostQuitMessage(kStartupFailureExitCode);
  }
}

void FreeContent() {
  FreeScene1();
  FreeExtraScene();
  FreeScene4();
  FreeScene5();
  FreeScene3();
  FreeScene2();
  FreeStripTexture();
}
