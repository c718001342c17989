// The WebGL 2 calls this layer makes, behind an interface: the page's
// device forwards them to emscripten_gl* (webgl_device.cpp), native tests
// put a recording fake in its place. The context owns its device; main
// thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "web/gl/gl_state.h"

namespace sgwebgl {

// Attribute locations of ClipVertex's members.
enum VertexAttribute { kAttribClip = 0, kAttribColor, kAttribUv0, kAttribUv1, kAttribFogDistance };

class WebGlDevice {
 public:
  virtual ~WebGlDevice() = default;

  // A fresh WebGL context: WebGL's defaults set again (the context may have
  // been used before), the viewport, tightly packed RGBA8 rows and the
  // vertex stream.
  virtual void Start(int width, int height) = 0;
  virtual int MaxTextureSize() = 0;

  virtual void SetCapability(GLenum cap, bool on) = 0;
  virtual void BlendFunc(GLenum src, GLenum dst) = 0;
  virtual void DepthFunc(GLenum func) = 0;
  virtual void DepthMask(bool on) = 0;
  virtual void ClearColor(const float (&rgba)[4]) = 0;
  virtual void Clear(GLbitfield mask) = 0;

  virtual GLuint CreateTexture() = 0;
  virtual void DeleteTexture(GLuint texture) = 0;
  virtual void ActiveTexture(int unit) = 0;
  virtual void BindTexture(GLuint texture) = 0;
  // To the texture bound on the active unit.
  virtual void TexImage(int level, int width, int height, const uint8_t* rgba) = 0;
  virtual void TexFilters(GLenum minFilter, GLenum magFilter) = 0;

  // Compiled and linked; failures are logged, not fatal.
  virtual GLuint BuildProgram(const char* vertexSource, const char* fragmentSource) = 0;
  virtual void UseProgram(GLuint program) = 0;
  virtual GLint UniformLocation(GLuint program, const char* name) = 0;
  // To the program in use.
  virtual void Uniform1i(GLint location, GLint value) = 0;
  virtual void Uniform2fv(GLint location, const float* values) = 0;
  virtual void Uniform3fv(GLint location, const float* values) = 0;

  // GL_TRIANGLES or GL_LINES of the corners, in one draw.
  virtual void Draw(GLenum primitive, const std::vector<ClipVertex>& vertices) = 0;
};

}  // namespace sgwebgl
