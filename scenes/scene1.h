// Scene 1, spinning squares: its textures, its empty mesh and the rising
// overlay's offset, the only value it carries from frame to frame. Main
// thread; the textures live as long as the OpenGL context.
#pragma once

#include "opengl.h"
#include "scenes/tri_mesh.h"

extern TriMesh g_scene1Mesh;
extern GLuint g_scene1DetailTexture;   // texture unit 1 of the mesh
extern GLuint g_scene1BaseTexture;     // texture unit 0 of the mesh
extern GLuint g_scene1SquareTexture;   // the picture on both squares
extern GLuint g_scene1OverlayTexture;  // the rising full-screen picture
// The overlay's centre lies at y = -g_scene1OverlayOffset; never reset.
extern float g_scene1OverlayOffset;

// Overlay offset floor below which it stops rising, and the music position
// after which the overlay shows.
constexpr float kScene1OverlayStop = -1.25f;
constexpr float kScene1OverlayStart = 5.4f;
