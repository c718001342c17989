// Content setup and teardown: every scene, the model, the shared textures and
// the start of the music, in a fixed order. Main thread, context current.
#pragma once

#include "assets/gl_texture.h"
#include "assets/model_3ds.h"

extern Model_3DS g_model;
extern GLTexture g_redTexture;

extern const char* const kModelFile;  // "datas/qor_fist.3ds"

void InitContent();
void FreeContent();
// The model's draw, which the timeline makes right after scene 4's.
void RenderModel();
