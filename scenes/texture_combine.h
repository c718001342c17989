// The combine environment the multitextured scenes set on texture unit 1:
// the previous unit's colour and this unit's texel, combined by one function.
// Main thread, context current.
#pragma once

#include "opengl.h"

// Sets the active unit's environment to combine GL_PREVIOUS_ARB and
// GL_TEXTURE, both as their colour, with rgbFunction (GL_MODULATE,
// GL_ADD_SIGNED_ARB, ...).
void SetCombineOfPreviousAndTexture(GLint rgbFunction);
