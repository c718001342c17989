// A textured square laid over the frame in normalised device coordinates and
// added to it, whatever camera the caller has set. Main thread, context
// current; called inside a scene's attribute bracket, which undoes its state.
#pragma once

#include "opengl.h"

// halfSize 1 at centre (0, 0) covers the viewport exactly; depth is the
// normalised device z (-1 near, +1 far). Leaves the projection matrix
// selected, depth writes off, additive blending on and the texture bound.
void DrawScreenOverlay(GLuint texture, float intensity, float halfSize, float centreX, float centreY, float depth);
