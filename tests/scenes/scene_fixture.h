// What every scene test needs: the program's own window and WGL context
// (headless, one for the process, so that the multitexture entry points come
// through wglGetProcAddress as in the program), the OpenGL state content
// setup leaves for the scene draws, the two clocks the scenes read, solid
// textures of the test's own, pixel read-back and a few matrix helpers.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "opengl.h"
#include "sequence/timeline.h"

namespace scenetest {

constexpr int kWidth = 256;
constexpr int kHeight = 192;

using Rgba = std::array<uint8_t, 4>;
using Matrix = std::array<GLfloat, 16>;

// Opens the program's window with its context at kWidth x kHeight on first
// use; false when it cannot be made.
bool OpenWindow();

// The state content setup leaves: 2D texturing on with a 2 x 2 red texture
// bound, unpack alignment 1, both matrices at identity, model-view selected.
void EnterProgramState();

// Starts the frame timer on the virtual clock (once per process).
void StartFrameClock();
// host::Reset(), then the virtual clock at the same tick and message boxes
// kept quiet again, as the fixture set them.
void ResetHost();
// One frame of the timer: advances the virtual clock, so that
// GetFrameDelta() reports seconds from now on.
void AdvanceFrame(double seconds);
// g_frameTime and g_musicSeconds.
void SetClocks(float frameTime, float musicSeconds);

// Runs a scene draw inside the attribute bracket the timeline puts around it
// and expects no OpenGL error from it.
void DrawBracketed(void (*draw)());

// A 2 x 2 texture of one colour, or of four (lower left, lower right, upper
// left, upper right), sampled without mipmaps.
GLuint SolidTexture(uint8_t r, uint8_t g, uint8_t b);
GLuint QuadrantTexture(const Rgba& lowerLeft, const Rgba& lowerRight, const Rgba& upperLeft, const Rgba& upperRight);

// Pixel (x, y) of the back buffer, y counted from the bottom row.
Rgba Pixel(int x, int y);
// The pixel under a point in normalised device coordinates.
Rgba PixelAtNdc(float x, float y);
// Every pixel, RGBA, bottom row first.
std::vector<uint8_t> Frame();
// True when every channel of a and b differs by at most tolerance (alpha ignored).
bool NearRgb(const Rgba& a, const Rgba& b, int tolerance);
// Number of pixels whose RGB is within tolerance of colour.
int CountPixels(const std::vector<uint8_t>& frame, const Rgba& colour, int tolerance);
// True when every pixel's RGB is within tolerance of colour; reports the first
// one that is not.
::testing::AssertionResult AllPixelsAre(const Rgba& colour, int tolerance);

// The loaded texture's level-0 size and texels equal those of a fresh load of
// the bitmap resource id.
::testing::AssertionResult TextureIsResource(GLuint texture, int id);
// The level-0 texel at (x, y) of a texture.
Rgba Texel(GLuint texture, int x, int y);

Matrix CurrentMatrix(GLenum which);  // GL_MODELVIEW_MATRIX or GL_PROJECTION_MATRIX
// The matrix built by `build` on a scratch model-view matrix from identity.
template <typename Build>
Matrix BuildMatrix(Build build) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  build();
  Matrix m = CurrentMatrix(GL_MODELVIEW_MATRIX);
  glPopMatrix();
  return m;
}
::testing::AssertionResult MatricesNear(const Matrix& actual, const Matrix& expected, float tolerance);
// A perspective of this vertical field of view, the aspect 1.33333 (as a
// float, not 4/3) and near and far planes 1 and 5000.
::testing::AssertionResult IsScenePerspective(const Matrix& m, double fovDegrees);

// glActiveTextureARB through the entry point the scenes use.
void SelectTextureUnit(GLenum unit);

// Vertices captured with OpenGL's feedback mode under an orthographic view
// of the cube [-extent, extent]^3, turned back into object coordinates.
struct Vertex3 {
  float x, y, z;
};
using Polygon = std::vector<Vertex3>;
template <typename Draw>
std::vector<Polygon> CapturePolygons(float extent, Draw draw);
std::vector<Polygon> ParseFeedback(const std::vector<GLfloat>& buffer, int count, float extent);
// Centre and half extents of the box around polygons [first, first + count).
struct Box {
  Vertex3 centre;
  Vertex3 halfSize;
};
Box BoundingBox(const std::vector<Polygon>& polygons, size_t first, size_t count);

// Feedback of `type` into `buffer`, seen under glOrtho(+-extent) on every
// axis, with identity model-view and no culling.
void BeginFeedback(std::vector<GLfloat>& buffer, GLenum type, float extent);

template <typename Draw>
std::vector<Polygon> CapturePolygons(float extent, Draw draw) {
  std::vector<GLfloat> buffer(1 << 16);
  BeginFeedback(buffer, GL_3D, extent);
  draw();
  GLint count = glRenderMode(GL_RENDER);
  return ParseFeedback(buffer, count, extent);
}

// Every polygon drawn, in order, its vertices with the texture coordinates
// (s, t) of one texture unit, captured through feedback under the same view
// as CapturePolygons.
struct TexturedVertex {
  Vertex3 position;
  float s, t;
};
using TexturedPolygon = std::vector<TexturedVertex>;
template <typename Draw>
std::vector<TexturedPolygon> CaptureTexturedPolygons(GLenum unit, float extent, Draw draw);
std::vector<TexturedPolygon> ParseTexturedFeedback(const std::vector<GLfloat>& buffer, int count, float extent);

template <typename Draw>
std::vector<TexturedPolygon> CaptureTexturedPolygons(GLenum unit, float extent, Draw draw) {
  std::vector<GLfloat> buffer(1 << 16);
  BeginFeedback(buffer, GL_3D_COLOR_TEXTURE, extent);
  // Feedback reports the coordinates of the active unit.
  SelectTextureUnit(unit);
  draw();
  SelectTextureUnit(GL_TEXTURE0_ARB);
  GLint count = glRenderMode(GL_RENDER);
  return ParseTexturedFeedback(buffer, count, extent);
}

// Draws `draw` seen head-on from +z under glOrtho(-1, 1, -1, 1, -10, 10),
// back faces culled, with unit 0 off and, on unit 1, a 2 x 2 checker
// (lower left and upper right white, the others black) in the default
// modulation of the white colour.
template <typename Draw>
void DrawThroughUnitOneChecker(Draw draw);
void PrepareUnitOneChecker();
void EndUnitOneChecker();

template <typename Draw>
void DrawThroughUnitOneChecker(Draw draw) {
  PrepareUnitOneChecker();
  draw();
  EndUnitOneChecker();
}

// Base fixture: context, program entry state and frame clock ready. The
// attribute state a case changes is undone after it, so that cases run in
// one process do not see each other's leftovers.
class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  bool pushed_ = false;
};

}  // namespace scenetest
