// Scene 3, rotating cube lattice: its textures and the lattice and cube
// draws. Main thread; the textures live as long as the OpenGL context.
#pragma once

#include "opengl.h"

extern GLuint g_scene3CubeTexture;   // texture unit 0 of every cube
extern GLuint g_scene3TintTexture;   // texture unit 1 of every cube
extern GLuint g_scene3PhotoTexture;  // loaded and kept, never drawn

constexpr int kScene3CubesPerEdge = 4;
// The spectrum probe of the jolt: band 1 above this level distorts the view.
constexpr float kScene3JoltFrequency = 3.0f;
constexpr float kScene3JoltThreshold = 0.125f;

// All 64 cubes of the lattice; the current texture units and blending apply.
void DrawCubeLattice(float size, float gap, float offsetX, float offsetY, float offsetZ, float phase);
// One cube of half-side halfSize centred at (x, y, z), its faces wound
// counter-clockwise from outside; unit 1's coordinates moved by scroll.
void DrawCube(float halfSize, float x, float y, float z, float scroll);
