// The OpenGL 1.x state this layer keeps for the program: everything the
// program can set, in plain structs, applied to WebGL only when a draw or a
// clear needs it. Main thread, one context at a time.
#pragma once

#include <array>
#include <unordered_map>
#include <vector>

#include "opengl.h"

namespace sgwebgl {

constexpr int kTextureUnits = 2;
constexpr int kMatrixStackDepth = 32;
constexpr int kAttribStackDepth = 16;
constexpr int kMaxTextureLevels = 16;

// Column-major, as OpenGL stores matrices.
struct Mat4 {
  float m[16];
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

struct TextureUnit {
  bool enabled;  // GL_TEXTURE_2D
  GLuint binding;
  TexEnv env;
  float texCoord[2];  // the current coordinate, part of the current state
};

struct Fog {
  GLenum mode;
  float density;
  float start;
  float end;
  float color[4];
};

// Everything glPushAttrib can save, grouped as its bits group it.
struct AttribState {
  // GL_CURRENT_BIT (with the units' texCoord)
  float color[4];
  float normal[3];
  // GL_COLOR_BUFFER_BIT
  bool blend;
  GLenum blendSrc;
  GLenum blendDst;
  float clearColor[4];
  // GL_DEPTH_BUFFER_BIT
  bool depthTest;
  GLenum depthFunc;
  bool depthMask;
  // GL_POLYGON_BIT
  bool cullFace;
  GLenum cullMode;
  GLenum polygonMode[2];  // front, back
  // GL_LINE_BIT
  bool lineSmooth;
  float lineWidth;
  // GL_FOG_BIT
  bool fog;
  Fog fogParams;
  // GL_LIGHTING_BIT
  bool lighting;
  // GL_HINT_BIT
  GLenum perspectiveHint;
  GLenum lineSmoothHint;
  // GL_TRANSFORM_BIT
  GLenum matrixMode;
  // GL_TEXTURE_BIT (the units' enables also under GL_ENABLE_BIT)
  TextureUnit units[kTextureUnits];
  int activeUnit;
};

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

struct Context {
  AttribState state;
  std::vector<PushedAttribs> attribStack;
  MatrixStack modelview;
  MatrixStack projection;
  bool mvpDirty;
  Mat4 mvp;  // projection x modelview, worked out at the next primitive
  std::unordered_map<GLuint, TextureObject> textures;
  GLuint nextTextureName;
  int unpackAlignment;
  ClientArray vertexArray;
  ClientArray texCoordArray;
  ClientArray normalArray;
  bool inBegin;
  GLenum beginMode;
  std::vector<ClipVertex> corners;  // of the primitive being specified
  int viewportWidth;
  int viewportHeight;
};

Context& Ctx();

// The current matrix stack (modelview or projection).
MatrixStack& CurrentStack();
// The matrices ready for transforming corners.
const Mat4& ModelViewProjection();
const Mat4& ModelView();

TextureObject* FindTexture(GLuint name);
// A unit takes part in drawing: enabled, and its texture complete.
bool UnitActive(int unit);

void ResetMatrices();
void ResetTextures();
void ResetDrawing();

}  // namespace sgwebgl
