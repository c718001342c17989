// Keeps the device in step with the kept state: just before a draw or a
// clear, only what differs from what the device was last given is sent.
// Texture work goes through here too, so that the record of bindings holds.
#pragma once

#include <cstdint>
#include <vector>

#include "web/gl/gl_state.h"

namespace sgwebgl {
namespace device {

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
