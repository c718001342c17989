// Culling is never on in WebGL: faces are culled before they get here.
#include "web/gl/device_sync.h"

#include <algorithm>
#include <iterator>

#include "web/gl/shaders.h"
#include "web/gl/webgl_device.h"

namespace sgwebgl {
namespace device {

namespace {

void BindTexture(int unit, GLuint texture) {
  AppliedState& applied = Ctx().applied;
  if (applied.texture[unit] == texture) return;
  if (applied.activeUnit != unit) {
    Ctx().device->ActiveTexture(unit);
    applied.activeUnit = unit;
  }
  Ctx().device->BindTexture(texture);
  applied.texture[unit] = texture;
}

// Texture work goes through whichever unit is active.
void BindForEditing(GLuint texture) { BindTexture(Ctx().applied.activeUnit, texture); }

void ApplyCapability(GLenum cap, bool& applied, bool wanted) {
  if (applied == wanted) return;
  Ctx().device->SetCapability(cap, wanted);
  applied = wanted;
}

void ApplyBlend(const AttribState& state) {
  AppliedState& applied = Ctx().applied;
  const ColorBufferGroup& wanted = state.colorBuffer;
  ApplyCapability(GL_BLEND, applied.blend, state.enable.blend);
  if (!state.enable.blend || (applied.blendSrc == wanted.blendSrc && applied.blendDst == wanted.blendDst)) return;
  Ctx().device->BlendFunc(wanted.blendSrc, wanted.blendDst);
  applied.blendSrc = wanted.blendSrc;
  applied.blendDst = wanted.blendDst;
}

void ApplyDepthMask(bool mask) {
  AppliedState& applied = Ctx().applied;
  if (applied.depthMask == mask) return;
  Ctx().device->DepthMask(mask);
  applied.depthMask = mask;
}

void ApplyDepth(const AttribState& state) {
  AppliedState& applied = Ctx().applied;
  ApplyCapability(GL_DEPTH_TEST, applied.depthTest, state.enable.depthTest);
  if (!state.enable.depthTest) return;
  if (applied.depthFunc != state.depth.func) Ctx().device->DepthFunc(applied.depthFunc = state.depth.func);
  ApplyDepthMask(state.depth.mask);
}

void ApplyTextures(const AttribState& state) {
  for (int unit = 0; unit < kTextureUnits; ++unit) {
    if (UnitActive(state, unit)) BindTexture(unit, FindTexture(state.texture.units[unit].binding)->webglName);
  }
}

}  // namespace

GLuint CreateTexture() { return Ctx().device->CreateTexture(); }

void DeleteTexture(GLuint texture) {
  Ctx().device->DeleteTexture(texture);
  for (GLuint& bound : Ctx().applied.texture) {
    if (bound == texture) bound = 0;
  }
}

void UploadLevel(GLuint texture, int level, int width, int height, const uint8_t* rgba) {
  BindForEditing(texture);
  Ctx().device->TexImage(level, width, height, rgba);
}

void SetFilters(GLuint texture, GLenum minFilter, GLenum magFilter) {
  BindForEditing(texture);
  Ctx().device->TexFilters(minFilter, magFilter);
}

// As in OpenGL, the depth mask holds for the clear too.
void Clear(GLbitfield mask) {
  const float(&wanted)[4] = Ctx().state.colorBuffer.clearColor;
  float(&applied)[4] = Ctx().applied.clearColor;
  if (!std::equal(std::begin(wanted), std::end(wanted), applied)) {
    std::copy(std::begin(wanted), std::end(wanted), applied);
    Ctx().device->ClearColor(wanted);
  }
  ApplyDepthMask(Ctx().state.depth.mask);
  Ctx().device->Clear(mask);
}

void Draw(GLenum primitive, const std::vector<ClipVertex>& vertices) {
  const AttribState& state = Ctx().state;
  ApplyBlend(state);
  ApplyDepth(state);
  ApplyTextures(state);
  UseProgram(ProgramKey(state), state);
  Ctx().device->Draw(primitive, vertices);
}

}  // namespace device
}  // namespace sgwebgl
