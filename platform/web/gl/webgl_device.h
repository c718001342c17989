// The WebGL 2 side: what has been set on the context is remembered, so that
// each draw or clear sends only what changed since the last. The only code
// that calls emscripten_gl* apart from the shader builder.
#pragma once

#include <cstdint>
#include <vector>

#include "web/gl/gl_state.h"

namespace sgwebgl {
namespace device {

// A fresh WebGL context: the viewport, the vertex stream and WebGL's
// defaults written down as known.
void Reset(int width, int height);
int MaxTextureSize();

GLuint CreateTexture();
void DeleteTexture(GLuint texture);
void UploadLevel(GLuint texture, int level, int width, int height, const uint8_t* rgba);
void SetFilters(GLuint texture, GLenum minFilter, GLenum magFilter);

// glClear with the current clear colour and depth mask.
void Clear(GLbitfield mask);
// Draws GL_TRIANGLES or GL_LINES of transformed corners under the current
// blending, depth and texture state.
void Draw(GLenum primitive, const std::vector<ClipVertex>& vertices);

}  // namespace device
}  // namespace sgwebgl
