// The OpenGL 1.x and GLU subset the program calls, drawn with WebGL 2. The
// GL entry points themselves are the C functions of <GL/gl.h> and
// <GL/glu.h> (glBegin, gluPerspective, ...), defined by this library; what
// is declared here is for the back end that owns the WebGL context.
//
// Linked in, these definitions take the program's GL calls: emscripten's
// JavaScript GL library only supplies names nothing else defines. They reach
// WebGL through its emscripten_gl* functions, which the link needs built for
// WebGL 2 (the CMake target passes -sMIN_WEBGL_VERSION=2
// -sMAX_WEBGL_VERSION=2 on). Anything outside the subset (glReadPixels,
// glFinish, ...) is not defined here: a back end calls the emscripten_gl*
// name for it.
//
// The context is best made with alpha false (scene 5 clears to alpha 0,
// which would let the page show through), antialias false (OpenGL 1.x draws
// aliased) and depth true. Between ResetContext and the context's end its
// WebGL state is this layer's: a back end that calls emscripten_gl* itself
// must leave bindings, program, capabilities, blend and depth state, active
// texture unit, vertex array and array buffer as it found them (reading
// pixels changes none of them). Main thread only.
#pragma once

#include "opengl.h"

namespace sgwebgl {

// Call with a WebGL 2 context current, after creating it: OpenGL 1.x's
// initial state, no textures, and the viewport at this size (the program
// never sets one). Everything from an earlier context is forgotten, not
// freed: its WebGL objects went with it.
void ResetContext(int width, int height);

// The entry points the program fetches through wglGetProcAddress:
// "glActiveTextureARB" and "glMultiTexCoord2fARB"; null for any other name.
void* ProcAddress(const char* name);

// The multitexture entry points themselves. The program keeps its own
// variables named glActiveTextureARB and glMultiTexCoord2fARB, so these
// cannot have those names.
void ActiveTexture(GLenum texture);
void MultiTexCoord2f(GLenum target, GLfloat s, GLfloat t);

}  // namespace sgwebgl
