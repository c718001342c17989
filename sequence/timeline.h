// The timeline: the music position picks the scene drawn in each frame,
// inside a save and restore of all attribute state. Main thread, context
// current.
#pragma once

#include "opengl.h"
#include "sequence/show.h"

// Every attribute group of OpenGL 1.x (Mesa's GL_ALL_ATTRIB_BITS is wider).
// The matrices are not attribute state: they stay as a draw leaves them.
constexpr GLbitfield kAllAttribBits = 0x000FFFFF;

// Runs a draw inside the attribute save and restore.
void DrawBracketed(void (*draw)());
// The unit's scene in the bracket, and what it draws after it (the model).
void DrawSceneUnit(const SceneUnit& unit);

void DrawFrame();
