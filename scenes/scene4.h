// Scene 4, sliding images, and the extra scene unit: the seven pictures,
// their slide progress and the camera shift, which it carries from frame to
// frame and never resets. Main thread; textures live as long as the context.
#pragma once

#include "opengl.h"

constexpr int kScene4PictureCount = 7;

extern GLuint g_scene4Images[kScene4PictureCount];
// -1 when a picture's slide has not begun, 0 (or just above) at rest.
extern float g_scene4SlideProgress[kScene4PictureCount];
// Eye height, sideways and downward offset of the target, up vector length.
extern float g_scene4CameraShift;
// The extra scene unit's textures: loaded and kept, never drawn.
extern GLuint g_extraSceneTextures[3];

// One picture of the sequence: its window of music, its resource and size,
// and its centre as slope x p + base for slide progress p.
struct Scene4Picture {
  float start;  // seconds of music, inclusive
  float end;    // exclusive
  int resource;
  float halfSize;
  float xSlope, xBase;
  float ySlope, yBase;
};

extern const Scene4Picture kScene4Pictures[kScene4PictureCount];

// The index of the picture whose window holds the music position t, or -1.
int Scene4PictureAt(float t);
