// Scene 2, tumbling panel row: its two textures and the row and panel draws.
// Main thread; the textures live as long as the OpenGL context.
#pragma once

#include "opengl.h"

extern GLuint g_scene2OverlayTexture;
extern GLuint g_scene2PanelTexture;

constexpr int kScene2PanelCount = 43;

// The whole row of panels; the current texture units and blending apply.
void DrawPanelRow(float size, float gap, float offsetX, float offsetY, float waveDepth, float phase);
// One panel centred at (x, y, z): the front (+z) and back (-z) faces of a
// cube of half-side halfSize, unit 1's coordinates moved by scroll.
void DrawPanel(float halfSize, float x, float y, float z, float scroll);
