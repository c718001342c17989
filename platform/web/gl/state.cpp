// The context's state and the calls that only set it: capabilities, blend,
// depth, culling, polygon mode, lines, fog, hints and the current colour and
// coordinates, and the error glGetError reports. Nothing reaches the device
// here; draws and clears apply it.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "web/gl/device_sync.h"
#include "web/gl/web_gl.h"
#include "web/gl/webgl_device.h"

namespace sgwebgl {

namespace {

std::unique_ptr<Context> g_context;

// OpenGL 1.x's initial values.
TexEnv InitialEnv() { return {GL_MODULATE, GL_MODULATE, {GL_TEXTURE, GL_PREVIOUS_ARB}, {GL_SRC_COLOR, GL_SRC_COLOR}}; }

AttribState InitialState() {
  AttribState state = {};
  std::fill(std::begin(state.current.color), std::end(state.current.color), 1.0f);
  state.current.normal[2] = 1.0f;
  state.colorBuffer.blendSrc = GL_ONE;
  state.colorBuffer.blendDst = GL_ZERO;
  state.depth = {GL_LESS, true};
  state.polygon = {GL_BACK, {GL_FILL, GL_FILL}};
  state.line.width = 1.0f;
  state.fog = {GL_EXP, 1.0f, 0.0f, 1.0f, {0.0f, 0.0f, 0.0f, 0.0f}};
  state.hint = {GL_DONT_CARE, GL_DONT_CARE};
  state.transform.matrixMode = GL_MODELVIEW;
  for (UnitTexture& unit : state.texture.units) unit.env = InitialEnv();
  return state;
}

void ResetStack(MatrixStack& stack) {
  stack.top = 0;
  stack.entries[0] = Identity();
}

float Clamp01(float value) { return std::clamp(value, 0.0f, 1.0f); }

// The flag glEnable and glDisable set for cap; null for caps not kept.
bool* Capability(GLenum cap) {
  AttribState& state = Ctx().state;
  switch (cap) {
    case GL_BLEND: return &state.enable.blend;
    case GL_DEPTH_TEST: return &state.enable.depthTest;
    case GL_CULL_FACE: return &state.enable.cullFace;
    case GL_FOG: return &state.enable.fog;
    case GL_LIGHTING: return &state.enable.lighting;
    case GL_LINE_SMOOTH: return &state.enable.lineSmooth;
    case GL_TEXTURE_2D: return &state.enable.texture2D[state.texture.activeUnit];
    default: return nullptr;
  }
}

ClientArray* ClientArrayFor(GLenum array) {
  switch (array) {
    case GL_VERTEX_ARRAY: return &Ctx().vertexArray;
    case GL_TEXTURE_COORD_ARRAY: return &Ctx().texCoordArray;
    case GL_NORMAL_ARRAY: return &Ctx().normalArray;
    default: return nullptr;
  }
}

void SetCapability(const char* call, GLenum cap, bool on) {
  bool* flag = Capability(cap);
  if (!flag) return UnknownEnum(call, cap);
  if (!Ctx().inBegin) *flag = on;
}

void SetClientArray(const char* call, GLenum array, bool on) {
  ClientArray* client = ClientArrayFor(array);
  if (!client) return UnknownEnum(call, array);
  client->enabled = on;
}

bool ValidFace(GLenum face) { return face == GL_FRONT || face == GL_BACK || face == GL_FRONT_AND_BACK; }

// WebGL's factors; GL_SRC_ALPHA_SATURATE only as a source.
bool ValidBlendFactor(GLenum factor, bool source) {
  switch (factor) {
    case GL_ZERO: case GL_ONE: case GL_SRC_COLOR: case GL_ONE_MINUS_SRC_COLOR: case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR: case GL_SRC_ALPHA: case GL_ONE_MINUS_SRC_ALPHA: case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA: return true;
    case GL_SRC_ALPHA_SATURATE: return source;
    default: return false;
  }
}

GLenum* HintFor(GLenum target) {
  HintGroup& hint = Ctx().state.hint;
  switch (target) {
    case GL_PERSPECTIVE_CORRECTION_HINT: return &hint.perspectiveCorrection;
    case GL_LINE_SMOOTH_HINT: return &hint.lineSmooth;
    default: return nullptr;
  }
}

void SetFogMode(const char* call, GLenum mode) {
  if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) return UnknownEnum(call, mode);
  Ctx().state.fog.mode = mode;
}

void SetFogParameter(const char* call, GLenum pname, const GLfloat* values) {
  FogGroup& fog = Ctx().state.fog;
  switch (pname) {
    case GL_FOG_MODE: SetFogMode(call, static_cast<GLenum>(values[0])); break;
    case GL_FOG_DENSITY: fog.density = values[0]; break;
    case GL_FOG_START: fog.start = values[0]; break;
    case GL_FOG_END: fog.end = values[0]; break;
    case GL_FOG_COLOR:
      for (int i = 0; i < 4; ++i) fog.color[i] = Clamp01(values[i]);
      break;
    default: UnknownEnum(call, pname); break;
  }
}

}  // namespace

Context::Context(std::unique_ptr<WebGlDevice> webgl, int width, int height)
    : state(InitialState()), viewportWidth(width), viewportHeight(height), device(std::move(webgl)) {
  constexpr size_t kFirstCorners = 4096;
  attribStack.reserve(kAttribStackDepth);
  ResetStack(modelview);
  ResetStack(projection);
  textures.emplace(0, NewTextureObject());  // the default texture, without an image
  corners.reserve(kFirstCorners);
  batch.reserve(kFirstCorners);
  programs.reserve(32);
  device->Start(width, height);
}

void ResetContext(std::unique_ptr<WebGlDevice> device, int width, int height) {
  g_context = std::make_unique<Context>(std::move(device), width, height);
}

Context& Ctx() { return *g_context; }

void RaiseError(GLenum error) {
  if (Ctx().error == GL_NO_ERROR) Ctx().error = error;
}

void UnknownEnum(const char* call, GLenum value) {
  if (++Ctx().unknownEnums[value] == 1) std::fprintf(stderr, "web gl: %s: unknown enum 0x%04X\n", call, value);
  RaiseError(GL_INVALID_ENUM);
}

void* ProcAddress(const char* name) {
  if (!name) return nullptr;
  if (std::strcmp(name, "glActiveTextureARB") == 0) return reinterpret_cast<void*>(&ActiveTexture);
  if (std::strcmp(name, "glMultiTexCoord2fARB") == 0) return reinterpret_cast<void*>(&MultiTexCoord2f);
  return nullptr;
}

void ActiveTexture(GLenum texture) {
  const GLenum unit = texture - GL_TEXTURE0_ARB;
  if (unit >= kTextureUnits) return UnknownEnum("glActiveTextureARB", texture);
  if (!Ctx().inBegin) Ctx().state.texture.activeUnit = static_cast<int>(unit);
}

void MultiTexCoord2f(GLenum target, GLfloat s, GLfloat t) {
  const GLenum unit = target - GL_TEXTURE0_ARB;
  if (unit >= kTextureUnits) return UnknownEnum("glMultiTexCoord2fARB", target);
  Ctx().state.current.texCoord[unit][0] = s;
  Ctx().state.current.texCoord[unit][1] = t;
}

}  // namespace sgwebgl

using sgwebgl::Ctx;
using sgwebgl::UnknownEnum;

void glEnable(GLenum cap) { sgwebgl::SetCapability("glEnable", cap, true); }
void glDisable(GLenum cap) { sgwebgl::SetCapability("glDisable", cap, false); }
void glEnableClientState(GLenum array) { sgwebgl::SetClientArray("glEnableClientState", array, true); }
void glDisableClientState(GLenum array) { sgwebgl::SetClientArray("glDisableClientState", array, false); }

// Returns the first error since the last call, and clears it.
GLenum glGetError() {
  const GLenum error = Ctx().error;
  Ctx().error = GL_NO_ERROR;
  return error;
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
  if (!sgwebgl::ValidBlendFactor(sfactor, true)) return UnknownEnum("glBlendFunc", sfactor);
  if (!sgwebgl::ValidBlendFactor(dfactor, false)) return UnknownEnum("glBlendFunc", dfactor);
  if (Ctx().inBegin) return;
  Ctx().state.colorBuffer.blendSrc = sfactor;
  Ctx().state.colorBuffer.blendDst = dfactor;
}

void glDepthFunc(GLenum func) {
  if (func < GL_NEVER || func > GL_ALWAYS) return UnknownEnum("glDepthFunc", func);
  if (!Ctx().inBegin) Ctx().state.depth.func = func;
}

void glDepthMask(GLboolean flag) {
  if (!Ctx().inBegin) Ctx().state.depth.mask = flag != GL_FALSE;
}

void glCullFace(GLenum mode) {
  if (!sgwebgl::ValidFace(mode)) return UnknownEnum("glCullFace", mode);
  if (!Ctx().inBegin) Ctx().state.polygon.cullMode = mode;
}

// Points are not drawn as such: GL_POINT is refused.
void glPolygonMode(GLenum face, GLenum mode) {
  if (!sgwebgl::ValidFace(face)) return UnknownEnum("glPolygonMode", face);
  if (mode != GL_LINE && mode != GL_FILL) return UnknownEnum("glPolygonMode", mode);
  if (Ctx().inBegin) return;
  if (face != GL_BACK) Ctx().state.polygon.mode[0] = mode;
  if (face != GL_FRONT) Ctx().state.polygon.mode[1] = mode;
}

void glLineWidth(GLfloat width) {
  if (width > 0.0f && !Ctx().inBegin) Ctx().state.line.width = width;
}

void glHint(GLenum target, GLenum mode) {
  GLenum* hint = sgwebgl::HintFor(target);
  if (!hint) return UnknownEnum("glHint", target);
  if (mode != GL_FASTEST && mode != GL_NICEST && mode != GL_DONT_CARE) return UnknownEnum("glHint", mode);
  if (!Ctx().inBegin) *hint = mode;
}

// A colour takes four values: glFogf cannot set it.
void glFogf(GLenum pname, GLfloat param) {
  if (pname == GL_FOG_COLOR) return UnknownEnum("glFogf", pname);
  if (!Ctx().inBegin) sgwebgl::SetFogParameter("glFogf", pname, &param);
}

void glFogfv(GLenum pname, const GLfloat* params) {
  if (!Ctx().inBegin) sgwebgl::SetFogParameter("glFogfv", pname, params);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  if (Ctx().inBegin) return;
  float* clear = Ctx().state.colorBuffer.clearColor;
  clear[0] = sgwebgl::Clamp01(red);
  clear[1] = sgwebgl::Clamp01(green);
  clear[2] = sgwebgl::Clamp01(blue);
  clear[3] = sgwebgl::Clamp01(alpha);
}

void glClear(GLbitfield mask) {
  if (!Ctx().inBegin) sgwebgl::device::Clear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  float* color = Ctx().state.current.color;
  color[0] = red;
  color[1] = green;
  color[2] = blue;
  color[3] = alpha;
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { glColor4f(red, green, blue, 1.0f); }

void glColor4ub(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha) {
  glColor4f(red / 255.0f, green / 255.0f, blue / 255.0f, alpha / 255.0f);
}

void glTexCoord2f(GLfloat s, GLfloat t) { sgwebgl::MultiTexCoord2f(GL_TEXTURE0_ARB, s, t); }

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
  float* normal = Ctx().state.current.normal;
  normal[0] = nx;
  normal[1] = ny;
  normal[2] = nz;
}

// The extensions are exactly the ones the program looks for, and the
// version the last one before both became core.
const GLubyte* glGetString(GLenum name) {
  const char* text = nullptr;
  switch (name) {
    case GL_VENDOR: text = "Stormglass"; break;
    case GL_RENDERER: text = "OpenGL 1.x subset on WebGL 2"; break;
    case GL_VERSION: text = "1.2 on WebGL 2"; break;
    case GL_EXTENSIONS: text = "GL_ARB_multitexture GL_ARB_texture_env_combine"; break;
    default: UnknownEnum("glGetString", name); break;
  }
  return reinterpret_cast<const GLubyte*>(text);
}
