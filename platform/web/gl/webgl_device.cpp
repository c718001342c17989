// The page's device: each call straight to emscripten_gl*, and the corners
// streamed through one buffer that only ever grows. The only code that
// calls emscripten_gl*; web_gl.h's ResetContext starts a context on it.
#include "web/gl/webgl_device.h"

#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "web/gl/web_gl.h"

namespace sgwebgl {

namespace {

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = emscripten_glCreateShader(type);
  emscripten_glShaderSource(shader, 1, &source, nullptr);
  emscripten_glCompileShader(shader);
  GLint ok = GL_FALSE;
  emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = "";
    emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "web gl: shader not compiled: %s\n%s\n", log, source);
  }
  return shader;
}

void Attribute(GLuint location, int size, size_t offset) {
  emscripten_glEnableVertexAttribArray(location);
  emscripten_glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, sizeof(ClipVertex),
                                   reinterpret_cast<const void*>(offset));
}

class BrowserWebGl final : public WebGlDevice {
 public:
  void Start(int width, int height) override {
    emscripten_glDisable(GL_BLEND);
    emscripten_glBlendFunc(GL_ONE, GL_ZERO);
    emscripten_glDisable(GL_DEPTH_TEST);
    emscripten_glDepthFunc(GL_LESS);
    emscripten_glDepthMask(GL_TRUE);
    emscripten_glDisable(GL_CULL_FACE);
    emscripten_glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    emscripten_glActiveTexture(GL_TEXTURE0);
    emscripten_glViewport(0, 0, width, height);
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // RGBA8 rows are always whole words
    MakeVertexStream();
    emscripten_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
  }

  int MaxTextureSize() override { return maxTextureSize_; }

  void SetCapability(GLenum cap, bool on) override { on ? emscripten_glEnable(cap) : emscripten_glDisable(cap); }
  void BlendFunc(GLenum src, GLenum dst) override { emscripten_glBlendFunc(src, dst); }
  void DepthFunc(GLenum func) override { emscripten_glDepthFunc(func); }
  void DepthMask(bool on) override { emscripten_glDepthMask(on ? GL_TRUE : GL_FALSE); }
  void ClearColor(const float (&rgba)[4]) override { emscripten_glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]); }
  void Clear(GLbitfield mask) override { emscripten_glClear(mask); }

  GLuint CreateTexture() override {
    GLuint texture = 0;
    emscripten_glGenTextures(1, &texture);
    return texture;
  }
  void DeleteTexture(GLuint texture) override { emscripten_glDeleteTextures(1, &texture); }
  void ActiveTexture(int unit) override { emscripten_glActiveTexture(GL_TEXTURE0 + unit); }
  void BindTexture(GLuint texture) override { emscripten_glBindTexture(GL_TEXTURE_2D, texture); }
  void TexImage(int level, int width, int height, const uint8_t* rgba) override {
    emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  }
  void TexFilters(GLenum minFilter, GLenum magFilter) override {
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
  }

  // Every program shares the one vertex shader, compiled the first time.
  GLuint BuildProgram(const char* vertexSource, const char* fragmentSource) override {
    if (!vertexShader_) vertexShader_ = Compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource);
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertexShader_);
    emscripten_glAttachShader(program, fragment);
    emscripten_glLinkProgram(program);
    emscripten_glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) std::fprintf(stderr, "web gl: program not linked\n%s\n", fragmentSource);
    return program;
  }
  void UseProgram(GLuint program) override { emscripten_glUseProgram(program); }
  GLint UniformLocation(GLuint program, const char* name) override {
    return emscripten_glGetUniformLocation(program, name);
  }
  void Uniform1i(GLint location, GLint value) override { emscripten_glUniform1i(location, value); }
  void Uniform2fv(GLint location, const float* values) override { emscripten_glUniform2fv(location, 1, values); }
  void Uniform3fv(GLint location, const float* values) override { emscripten_glUniform3fv(location, 1, values); }

  void Draw(GLenum primitive, const std::vector<ClipVertex>& vertices) override {
    const int first = Stream(vertices);
    emscripten_glDrawArrays(primitive, first, static_cast<GLsizei>(vertices.size()));
  }

 private:
  void MakeVertexStream() {
    GLuint vertexArray = 0;
    emscripten_glGenVertexArrays(1, &vertexArray);
    emscripten_glBindVertexArray(vertexArray);
    emscripten_glGenBuffers(1, &vertexBuffer_);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    Attribute(kAttribClip, 4, offsetof(ClipVertex, clip));
    Attribute(kAttribColor, 4, offsetof(ClipVertex, color));
    Attribute(kAttribUv0, 2, offsetof(ClipVertex, uv[0]));
    Attribute(kAttribUv1, 2, offsetof(ClipVertex, uv[1]));
    Attribute(kAttribFogDistance, 1, offsetof(ClipVertex, fogDistance));
  }

  // The first corner's index in the buffer, the corners written from there.
  int Stream(const std::vector<ClipVertex>& vertices) {
    const int count = static_cast<int>(vertices.size());
    if (count > capacity_) {
      capacity_ = std::max({count, capacity_ * 2, 4096});
      emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity_ * sizeof(ClipVertex)), nullptr,
                              GL_DYNAMIC_DRAW);
      cursor_ = 0;
    }
    if (cursor_ + count > capacity_) cursor_ = 0;
    emscripten_glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(cursor_ * sizeof(ClipVertex)),
                               static_cast<GLsizeiptr>(count * sizeof(ClipVertex)), vertices.data());
    const int first = cursor_;
    cursor_ += count;
    return first;
  }

  GLuint vertexBuffer_ = 0;
  GLuint vertexShader_ = 0;
  int capacity_ = 0;  // in corners
  int cursor_ = 0;    // the next free corner
  int maxTextureSize_ = 0;
};

}  // namespace

void ResetContext(int width, int height) { ResetContext(std::make_unique<BrowserWebGl>(), width, height); }

}  // namespace sgwebgl
