// The OpenGL 1.x state this layer keeps for the program: everything the
// program can set, in plain structs, applied to the device only when a draw
// or a clear needs it. One Context owns all of it, the device included.
// Main thread, one context at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "opengl.h"
#include "web/gl/mipmaps.h"

namespace sgwebgl {

class WebGlDevice;

constexpr int kTextureUnits = 2;
constexpr int kMatrixStackDepth = 32;
constexpr int kAttribStackDepth = 16;
constexpr int kMaxTextureLevels = 16;

// Column-major, as OpenGL stores matrices.
struct Mat4 {
  float m[16];
};

// What glPushAttrib saves, one group per attribute bit, each copied whole.
// Enables that OpenGL saves with two bits (GL_BLEND with GL_ENABLE_BIT and
// GL_COLOR_BUFFER_BIT, ...) live in EnableGroup; the other bit restores them
// one by one. Lighting has no state here but its enable.

// GL_CURRENT_BIT
struct CurrentGroup {
  float color[4];
  float normal[3];
  float texCoord[kTextureUnits][2];
};

// GL_COLOR_BUFFER_BIT
struct ColorBufferGroup {
  GLenum blendSrc;
  GLenum blendDst;
  float clearColor[4];
};

// GL_DEPTH_BUFFER_BIT
struct DepthBufferGroup {
  GLenum func;
  bool mask;
};

// GL_POLYGON_BIT
struct PolygonGroup {
  GLenum cullMode;
  GLenum mode[2];  // front, back
};

// GL_LINE_BIT
struct LineGroup {
  float width;
};

// GL_FOG_BIT
struct FogGroup {
  GLenum mode;
  float density;
  float start;
  float end;
  float color[4];
};

// GL_HINT_BIT: kept, though neither hint changes what is drawn.
struct HintGroup {
  GLenum perspectiveCorrection;
  GLenum lineSmooth;
};

// GL_TRANSFORM_BIT
struct TransformGroup {
  GLenum matrixMode;
};

// One unit's texture environment: GL_MODULATE, or GL_COMBINE_ARB with the
// colour combine below; the alpha combine stays at its default, texture
// alpha times previous alpha.
struct TexEnv {
  GLenum mode;
  GLenum combineRgb;  // GL_REPLACE, GL_MODULATE, GL_ADD or GL_ADD_SIGNED_ARB
  GLenum source[2];   // GL_PREVIOUS_ARB, GL_TEXTURE or GL_PRIMARY_COLOR_ARB
  GLenum operand[2];  // GL_SRC_COLOR or GL_ONE_MINUS_SRC_COLOR
};

struct UnitTexture {
  GLuint binding;
  TexEnv env;
};

// GL_TEXTURE_BIT (the units' GL_TEXTURE_2D enables too)
struct TextureGroup {
  UnitTexture units[kTextureUnits];
  int activeUnit;
};

// GL_ENABLE_BIT
struct EnableGroup {
  bool blend;
  bool depthTest;
  bool cullFace;
  bool fog;
  bool lighting;
  bool lineSmooth;
  std::array<bool, kTextureUnits> texture2D;
};

// Only groups, laid out with no padding between them, so that a field added
// here outside every group shows as bytes no group covers (GroupedBytes).
struct AttribState {
  CurrentGroup current;
  ColorBufferGroup colorBuffer;
  DepthBufferGroup depth;
  PolygonGroup polygon;
  LineGroup line;
  FogGroup fog;
  HintGroup hint;
  TransformGroup transform;
  TextureGroup texture;
  EnableGroup enable;
};

// The bytes of AttribState that glPopAttrib's groups cover; less than its
// size when a field is in no group.
size_t GroupedBytes();

struct PushedAttribs {
  GLbitfield mask;
  AttribState saved;
};

struct MatrixStack {
  std::array<Mat4, kMatrixStackDepth> entries;
  int top;  // index of the current matrix
};

struct TextureObject {
  GLuint webglName;  // 0 until an image or a parameter needs one
  GLenum minFilter;
  GLenum magFilter;
  int width[kMaxTextureLevels];  // 0 where the level has no image
  int height[kMaxTextureLevels];
};

struct ClientArray {
  bool enabled;
  int size;
  int stride;  // in bytes, never 0
  const float* pointer;
};

// What one corner becomes before it goes to WebGL: already transformed, as
// culling, polygon outlines and wide lines are worked out here.
struct ClipVertex {
  float clip[4];
  float color[4];
  float uv[kTextureUnits][2];
  float fogDistance;  // |eye z|
};

// What the device has been given, so that only changes are sent.
struct AppliedState {
  bool blend = false;
  GLenum blendSrc = GL_ONE;
  GLenum blendDst = GL_ZERO;
  bool depthTest = false;
  GLenum depthFunc = GL_LESS;
  bool depthMask = true;
  float clearColor[4] = {};
  GLuint program = 0;
  int activeUnit = 0;
  GLuint texture[kTextureUnits] = {};
};

// A fixed-function combination as a WebGL program (shaders.h).
struct ShaderProgram {
  uint32_t key;
  GLuint program;
  GLint fogColor;
  GLint fogRange;
  float uploadedFog[5];  // colour and range last set, to skip repeats
};

// The whole context; a new one is OpenGL 1.x's initial state.
struct Context {
  Context(std::unique_ptr<WebGlDevice> webgl, int width, int height);

  AttribState state;
  std::vector<PushedAttribs> attribStack;
  MatrixStack modelview;
  MatrixStack projection;
  bool mvpDirty = true;
  Mat4 mvp = {};  // projection x modelview, worked out at the next primitive
  std::unordered_map<GLuint, TextureObject> textures;
  GLuint nextTextureName = 1;
  int unpackAlignment = 4;
  RgbaImage unpacked;  // scratch images for uploads, reused
  RgbaImage scaled;
  ClientArray vertexArray = {};
  ClientArray texCoordArray = {};
  ClientArray normalArray = {};
  bool inBegin = false;
  GLenum beginMode = GL_TRIANGLES;
  std::vector<ClipVertex> corners;  // of the primitive being specified
  std::vector<ClipVertex> batch;    // waiting for the device, all of one primitive
  GLenum batchPrimitive = GL_TRIANGLES;
  int viewportWidth;
  int viewportHeight;
  GLenum error = GL_NO_ERROR;  // the first since glGetError last read it
  std::unordered_map<GLenum, int> unknownEnums;  // how often each was refused
  std::unique_ptr<WebGlDevice> device;
  AppliedState applied;
  std::vector<ShaderProgram> programs;
};

// Replaces the current context with a fresh one drawing through device.
void ResetContext(std::unique_ptr<WebGlDevice> device, int width, int height);
Context& Ctx();

// Records error unless one is already waiting for glGetError, as OpenGL
// keeps only the first.
void RaiseError(GLenum error);
// A call refused an enum it does not know: GL_INVALID_ENUM, counted, and
// one console line the first time that value is seen.
void UnknownEnum(const char* call, GLenum value);

// The current matrix stack (modelview or projection).
MatrixStack& CurrentStack();
// The matrices ready for transforming corners.
const Mat4& ModelViewProjection();
const Mat4& ModelView();
Mat4 Identity();

TextureObject* FindTexture(GLuint name);
TextureObject NewTextureObject();
// A unit takes part in drawing with `state`: enabled, and its texture complete.
bool UnitActive(const AttribState& state, int unit);

}  // namespace sgwebgl
