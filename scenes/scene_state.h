// OpenGL state the scenes share: their aspect ratio, the two camera set-ups
// (a perspective in the model-view matrix, or a perspective projection with
// depth tested but never written) and unit 1's combine environment. Main
// thread, context current.
#pragma once

#include "opengl.h"

// The single-precision constant the perspectives are given (widened to
// double on the way), not 4/3.
constexpr float kSceneAspect = 1.33333f;

// Model-view = identity x perspective(75): the projection matrix is left as
// the previous scene left it. Depth test, nicest hints, smooth lines and
// back-face culling on.
void BeginPerspectiveInModelView();
// A fresh perspective(fovy) projection and an identity model-view: the eye at
// the origin. Depth tested but never written, back faces culled, opaque white.
void BeginUnsortedPerspective(double fovy);

// Sets the active unit's environment to combine GL_PREVIOUS_ARB and
// GL_TEXTURE, both as their colour, with rgbFunction (GL_MODULATE,
// GL_ADD_SIGNED_ARB, ...).
void SetCombineOfPreviousAndTexture(GLint rgbFunction);
