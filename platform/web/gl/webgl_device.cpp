// Applies the kept state to WebGL just before a draw or a clear, sending
// only what differs from what WebGL already has, and streams the corners
// through one buffer that only ever grows. Culling is never on in WebGL:
// faces are culled before they get here.
#include "web/gl/webgl_device.h"

#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <algorithm>
#include <cstddef>

#include "web/gl/shaders.h"

namespace sgwebgl {
namespace device {

namespace {

// What WebGL has been given.
struct Applied {
  bool blend;
  GLenum blendSrc;
  GLenum blendDst;
  bool depthTest;
  GLenum depthFunc;
  bool depthMask;
  float clearColor[4];
  GLuint program;
  int activeUnit;
  GLuint texture[kTextureUnits];
};

Applied g_applied;
GLuint g_vertexBuffer = 0;
int g_capacity = 0;  // in corners
int g_cursor = 0;    // the next free corner
int g_maxTextureSize = 0;

void SetCapability(GLenum cap, bool on) { on ? emscripten_glEnable(cap) : emscripten_glDisable(cap); }

// WebGL's defaults, set again in case the context was used before.
void ApplyDefaults() {
  g_applied = Applied{};
  g_applied.blendSrc = GL_ONE;
  g_applied.blendDst = GL_ZERO;
  g_applied.depthFunc = GL_LESS;
  g_applied.depthMask = true;
  emscripten_glDisable(GL_BLEND);
  emscripten_glBlendFunc(GL_ONE, GL_ZERO);
  emscripten_glDisable(GL_DEPTH_TEST);
  emscripten_glDepthFunc(GL_LESS);
  emscripten_glDepthMask(GL_TRUE);
  emscripten_glDisable(GL_CULL_FACE);
  emscripten_glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  emscripten_glActiveTexture(GL_TEXTURE0);
}

void Attribute(GLuint location, int size, size_t offset) {
  emscripten_glEnableVertexAttribArray(location);
  emscripten_glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, sizeof(ClipVertex),
                                   reinterpret_cast<const void*>(offset));
}

void MakeVertexStream() {
  GLuint vertexArray = 0;
  emscripten_glGenVertexArrays(1, &vertexArray);
  emscripten_glBindVertexArray(vertexArray);
  emscripten_glGenBuffers(1, &g_vertexBuffer);
  emscripten_glBindBuffer(GL_ARRAY_BUFFER, g_vertexBuffer);
  Attribute(kAttribClip, 4, offsetof(ClipVertex, clip));
  Attribute(kAttribColor, 4, offsetof(ClipVertex, color));
  Attribute(kAttribUv0, 2, offsetof(ClipVertex, uv[0]));
  Attribute(kAttribUv1, 2, offsetof(ClipVertex, uv[1]));
  Attribute(kAttribFogDistance, 1, offsetof(ClipVertex, fogDistance));
  g_capacity = 0;
  g_cursor = 0;
}

void BindTexture(int unit, GLuint texture) {
  if (g_applied.texture[unit] == texture) return;
  if (g_applied.activeUnit != unit) {
    emscripten_glActiveTexture(GL_TEXTURE0 + unit);
    g_applied.activeUnit = unit;
  }
  emscripten_glBindTexture(GL_TEXTURE_2D, texture);
  g_applied.texture[unit] = texture;
}

// Texture work goes through whichever unit is active.
void BindForEditing(GLuint texture) { BindTexture(g_applied.activeUnit, texture); }

void ApplyBlend(const AttribState& state) {
  if (g_applied.blend != state.blend) SetCapability(GL_BLEND, g_applied.blend = state.blend);
  if (!state.blend || (g_applied.blendSrc == state.blendSrc && g_applied.blendDst == state.blendDst)) return;
  emscripten_glBlendFunc(state.blendSrc, state.blendDst);
  g_applied.blendSrc = state.blendSrc;
  g_applied.blendDst = state.blendDst;
}

void ApplyDepthMask(bool mask) {
  if (g_applied.depthMask != mask) emscripten_glDepthMask((g_applied.depthMask = mask) ? GL_TRUE : GL_FALSE);
}

void ApplyDepth(const AttribState& state) {
  if (g_applied.depthTest != state.depthTest) SetCapability(GL_DEPTH_TEST, g_applied.depthTest = state.depthTest);
  if (!state.depthTest) return;
  if (g_applied.depthFunc != state.depthFunc) emscripten_glDepthFunc(g_applied.depthFunc = state.depthFunc);
  ApplyDepthMask(state.depthMask);
}

void ApplyTextures(const AttribState& state) {
  for (int unit = 0; unit < kTextureUnits; ++unit) {
    if (UnitActive(unit)) BindTexture(unit, FindTexture(state.units[unit].binding)->webglName);
  }
}

// The first corner's index in the buffer, the corners written from there.
int Stream(const std::vector<ClipVertex>& vertices) {
  const int count = static_cast<int>(vertices.size());
  if (count > g_capacity) {
    g_capacity = std::max({count, g_capacity * 2, 4096});
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(g_capacity * sizeof(ClipVertex)), nullptr,
                            GL_DYNAMIC_DRAW);
    g_cursor = 0;
  }
  if (g_cursor + count > g_capacity) g_cursor = 0;
  emscripten_glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(g_cursor * sizeof(ClipVertex)),
                             static_cast<GLsizeiptr>(count * sizeof(ClipVertex)), vertices.data());
  const int first = g_cursor;
  g_cursor += count;
  return first;
}

}  // namespace

void Reset(int width, int height) {
  ApplyDefaults();
  emscripten_glViewport(0, 0, width, height);
  emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // RGBA8 rows are always whole words
  MakeVertexStream();
  emscripten_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &g_maxTextureSize);
  ResetShaders();
}

int MaxTextureSize() { return g_maxTextureSize; }

GLuint CreateTexture() {
  GLuint texture = 0;
  emscripten_glGenTextures(1, &texture);
  return texture;
}

void DeleteTexture(GLuint texture) {
  emscripten_glDeleteTextures(1, &texture);
  for (GLuint& bound : g_applied.texture) {
    if (bound == texture) bound = 0;
  }
}

void UploadLevel(GLuint texture, int level, int width, int height, const uint8_t* rgba) {
  BindForEditing(texture);
  emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void SetFilters(GLuint texture, GLenum minFilter, GLenum magFilter) {
  BindForEditing(texture);
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
}

// As in OpenGL, the depth mask holds for the clear too.
void Clear(GLbitfield mask) {
  const AttribState& state = Ctx().state;
  if (!std::equal(std::begin(state.clearColor), std::end(state.clearColor), g_applied.clearColor)) {
    std::copy(std::begin(state.clearColor), std::end(state.clearColor), g_applied.clearColor);
    emscripten_glClearColor(state.clearColor[0], state.clearColor[1], state.clearColor[2], state.clearColor[3]);
  }
  ApplyDepthMask(state.depthMask);
  emscripten_glClear(mask);
}

void Draw(GLenum primitive, const std::vector<ClipVertex>& vertices) {
  const AttribState& state = Ctx().state;
  ApplyBlend(state);
  ApplyDepth(state);
  ApplyTextures(state);
  UseProgram(ProgramKey(state), state, g_applied.program);
  const int first = Stream(vertices);
  emscripten_glDrawArrays(primitive, first, static_cast<GLsizei>(vertices.size()));
}

}  // namespace device
}  // namespace sgwebgl
