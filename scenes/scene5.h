// Scene 5, fogged tunnel: its textures and the tunnel's point grid, which
// DrawTunnel rewrites whole at every call. Main thread; the textures live as
// long as the OpenGL context, the grid in static storage.
#pragma once

#include "opengl.h"

constexpr int kTunnelAngles = 16;  // 30 degrees apart: the last four repeat the first
constexpr int kTunnelRings = 32;   // ring d at z = -2d

extern GLuint g_tunnelTexture;
extern GLuint g_scene5OverlayTexture;
// Point (a, d) as x, y, z.
extern float g_tunnelGrid[kTunnelAngles][kTunnelRings][3];

// The tunnel at time t (seconds), with the current texture, colour, fog and
// matrices; leaves the model-view matrix as it found it.
void DrawTunnel(float t);
