// Textures made from the bitmap resources compiled into the executable, and
// the 512 x 1 strip texture made in memory. Main thread, context current.
#pragma once

#include "opengl.h"

extern GLuint g_stripTexture;
extern unsigned char* g_stripPixels;

// A mipmapped texture from bitmap resource `id`, left bound; 0 when the
// resource cannot be loaded.
GLuint LoadBitmapTexture(int id);
void CreateStripTexture();
void FreeStripTexture();
