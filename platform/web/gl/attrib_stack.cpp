// glPushAttrib and glPopAttrib: the whole state is saved, and the pop puts
// back only the groups the push named. Matrices are not attributes; texture
// objects' own parameters are not saved either (the program sets them only
// while loading).
#include <algorithm>
#include <iterator>

#include "web/gl/gl_state.h"

namespace sgwebgl {

namespace {

void RestoreCurrent(const AttribState& saved, AttribState& state) {
  std::copy(std::begin(saved.color), std::end(saved.color), state.color);
  std::copy(std::begin(saved.normal), std::end(saved.normal), state.normal);
  for (int unit = 0; unit < kTextureUnits; ++unit) {
    state.units[unit].texCoord[0] = saved.units[unit].texCoord[0];
    state.units[unit].texCoord[1] = saved.units[unit].texCoord[1];
  }
}

void RestoreColorBuffer(const AttribState& saved, AttribState& state) {
  state.blend = saved.blend;
  state.blendSrc = saved.blendSrc;
  state.blendDst = saved.blendDst;
  std::copy(std::begin(saved.clearColor), std::end(saved.clearColor), state.clearColor);
}

void RestoreDepthBuffer(const AttribState& saved, AttribState& state) {
  state.depthTest = saved.depthTest;
  state.depthFunc = saved.depthFunc;
  state.depthMask = saved.depthMask;
}

void RestorePolygon(const AttribState& saved, AttribState& state) {
  state.cullFace = saved.cullFace;
  state.cullMode = saved.cullMode;
  state.polygonMode[0] = saved.polygonMode[0];
  state.polygonMode[1] = saved.polygonMode[1];
}

void RestoreLine(const AttribState& saved, AttribState& state) {
  state.lineSmooth = saved.lineSmooth;
  state.lineWidth = saved.lineWidth;
}

void RestoreFog(const AttribState& saved, AttribState& state) {
  state.fog = saved.fog;
  state.fogParams = saved.fogParams;
}

void RestoreHints(const AttribState& saved, AttribState& state) {
  state.perspectiveHint = saved.perspectiveHint;
  state.lineSmoothHint = saved.lineSmoothHint;
}

void RestoreEnables(const AttribState& saved, AttribState& state) {
  state.blend = saved.blend;
  state.depthTest = saved.depthTest;
  state.cullFace = saved.cullFace;
  state.fog = saved.fog;
  state.lighting = saved.lighting;
  state.lineSmooth = saved.lineSmooth;
  for (int unit = 0; unit < kTextureUnits; ++unit) state.units[unit].enabled = saved.units[unit].enabled;
}

void RestoreTexture(const AttribState& saved, AttribState& state) {
  for (int unit = 0; unit < kTextureUnits; ++unit) {
    state.units[unit].enabled = saved.units[unit].enabled;
    state.units[unit].binding = saved.units[unit].binding;
    state.units[unit].env = saved.units[unit].env;
  }
  state.activeUnit = saved.activeUnit;
}

void Restore(GLbitfield mask, const AttribState& saved, AttribState& state) {
  if (mask & GL_CURRENT_BIT) RestoreCurrent(saved, state);
  if (mask & GL_COLOR_BUFFER_BIT) RestoreColorBuffer(saved, state);
  if (mask & GL_DEPTH_BUFFER_BIT) RestoreDepthBuffer(saved, state);
  if (mask & GL_POLYGON_BIT) RestorePolygon(saved, state);
  if (mask & GL_LINE_BIT) RestoreLine(saved, state);
  if (mask & GL_FOG_BIT) RestoreFog(saved, state);
  if (mask & GL_LIGHTING_BIT) state.lighting = saved.lighting;
  if (mask & GL_HINT_BIT) RestoreHints(saved, state);
  if (mask & GL_TRANSFORM_BIT) state.matrixMode = saved.matrixMode;
  if (mask & GL_ENABLE_BIT) RestoreEnables(saved, state);
  if (mask & GL_TEXTURE_BIT) RestoreTexture(saved, state);
}

}  // namespace

}  // namespace sgwebgl

// A full stack refuses the push, as OpenGL's stack overflow does; the
// stack's room was reserved with the context.
void glPushAttrib(GLbitfield mask) {
  sgwebgl::Context& context = sgwebgl::Ctx();
  if (context.inBegin || context.attribStack.size() >= sgwebgl::kAttribStackDepth) return;
  context.attribStack.push_back({mask, context.state});
}

void glPopAttrib() {
  sgwebgl::Context& context = sgwebgl::Ctx();
  if (context.inBegin || context.attribStack.empty()) return;
  const sgwebgl::PushedAttribs& pushed = context.attribStack.back();
  sgwebgl::Restore(pushed.mask, pushed.saved, context.state);
  context.attribStack.pop_back();
}
