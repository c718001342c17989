// glPushAttrib and glPopAttrib: the whole state is saved, and the pop puts
// back the groups the push named, each whole. Matrices are not attributes;
// texture objects' own parameters are not saved either (the program sets
// them only while loading).
#include <utility>

#include "web/gl/gl_state.h"

namespace sgwebgl {

namespace {

struct Group {
  GLbitfield bit;
  void (*restore)(const AttribState& saved, AttribState& state);
  size_t bytes;
};

template <auto kMember>
constexpr Group GroupOf(GLbitfield bit) {
  return {bit, [](const AttribState& saved, AttribState& state) { state.*kMember = saved.*kMember; },
          sizeof(std::declval<AttribState>().*kMember)};
}

constexpr Group kGroups[] = {
    GroupOf<&AttribState::current>(GL_CURRENT_BIT),
    GroupOf<&AttribState::colorBuffer>(GL_COLOR_BUFFER_BIT),
    GroupOf<&AttribState::depth>(GL_DEPTH_BUFFER_BIT),
    GroupOf<&AttribState::polygon>(GL_POLYGON_BIT),
    GroupOf<&AttribState::line>(GL_LINE_BIT),
    GroupOf<&AttribState::fog>(GL_FOG_BIT),
    GroupOf<&AttribState::hint>(GL_HINT_BIT),
    GroupOf<&AttribState::transform>(GL_TRANSFORM_BIT),
    GroupOf<&AttribState::texture>(GL_TEXTURE_BIT),
    GroupOf<&AttribState::enable>(GL_ENABLE_BIT),
};

// The enables OpenGL also saves with another bit.
void RestoreSharedEnables(GLbitfield mask, const EnableGroup& saved, EnableGroup& enable) {
  if (mask & GL_COLOR_BUFFER_BIT) enable.blend = saved.blend;
  if (mask & GL_DEPTH_BUFFER_BIT) enable.depthTest = saved.depthTest;
  if (mask & GL_POLYGON_BIT) enable.cullFace = saved.cullFace;
  if (mask & GL_LINE_BIT) enable.lineSmooth = saved.lineSmooth;
  if (mask & GL_FOG_BIT) enable.fog = saved.fog;
  if (mask & GL_LIGHTING_BIT) enable.lighting = saved.lighting;
  if (mask & GL_TEXTURE_BIT) enable.texture2D = saved.texture2D;
}

void Restore(GLbitfield mask, const AttribState& saved, AttribState& state) {
  for (const Group& group : kGroups) {
    if (mask & group.bit) group.restore(saved, state);
  }
  RestoreSharedEnables(mask, saved.enable, state.enable);
}

}  // namespace

size_t GroupedBytes() {
  size_t bytes = 0;
  for (const Group& group : kGroups) bytes += group.bytes;
  return bytes;
}

}  // namespace sgwebgl

// A full stack refuses the push and an empty one the pop, as OpenGL does;
// the stack's room was reserved with the context.
void glPushAttrib(GLbitfield mask) {
  sgwebgl::Context& context = sgwebgl::Ctx();
  if (context.inBegin) return;
  if (context.attribStack.size() >= sgwebgl::kAttribStackDepth) return sgwebgl::RaiseError(GL_STACK_OVERFLOW);
  context.attribStack.push_back({mask, context.state});
}

void glPopAttrib() {
  sgwebgl::Context& context = sgwebgl::Ctx();
  if (context.inBegin) return;
  if (context.attribStack.empty()) return sgwebgl::RaiseError(GL_STACK_UNDERFLOW);
  const sgwebgl::PushedAttribs& pushed = context.attribStack.back();
  sgwebgl::Restore(pushed.mask, pushed.saved, context.state);
  context.attribStack.pop_back();
}
