#include "scene_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "app/shell.h"
#include "assets/bitmap_textures.h"
#include "gl_test_context.h"
#include "host.h"
#include "sequence/frame_timer.h"
#include "sequence/music.h"
#include "scenes/tri_mesh.h"

namespace scenetest {

namespace {

// A power of two, so that binary fractions of a second are exact ticks.
constexpr int64_t kTicksPerSecond = int64_t{1} << 24;

GLuint MakeTexture(const uint8_t* rgb, int width, int height) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  return name;
}

using sgtest::TextureImage;

TextureImage ReadTexture(GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  return sgtest::ReadBoundTexture();
}

}  // namespace

bool OpenWindow() {
  static int state = 0;  // 0 not tried, 1 open, -1 failed
  if (state == 0) {
    host::SetSurfaceSize(kWidth, kHeight);
    state = CreateDemoWindow("scenes", kWidth, kHeight, 32, 0) ? 1 : -1;
    if (state == 1) glViewport(0, 0, kWidth, kHeight);
  }
  return state == 1;
}

void EnterProgramState() {
  static GLuint red = 0;
  if (!red) {
    const uint8_t texels[12] = {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
    red = MakeTexture(texels, 2, 2);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, red);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void StartFrameClock() {
  if (g_frameTimer) return;
  host::UseVirtualClock(kTicksPerSecond);
  host::SetVirtualTicks(0);
  InitFrameTimer();
}

void ResetHost() {
  const int64_t ticks = host::VirtualTicks();
  host::Reset();
  host::UseVirtualClock(kTicksPerSecond);
  host::SetVirtualTicks(ticks);
}

void AdvanceFrame(double seconds) {
  host::AdvanceVirtualTicks(static_cast<int64_t>(std::llround(seconds * kTicksPerSecond)));
  UpdateFrameTimer();
}

void SetClocks(float frameTime, float musicSeconds) {
  g_frameTime = frameTime;
  g_musicSeconds = musicSeconds;
}

void DrawBracketed(void (*draw)()) {
  while (glGetError() != GL_NO_ERROR) {
  }
  glPushAttrib(kAllAttribBits);
  draw();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "the scene draw raised an OpenGL error";
  glPopAttrib();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "the attribute stack did not balance";
}

GLuint SolidTexture(uint8_t r, uint8_t g, uint8_t b) {
  const Rgba c{r, g, b, 255};
  return QuadrantTexture(c, c, c, c);
}

GLuint QuadrantTexture(const Rgba& lowerLeft, const Rgba& lowerRight, const Rgba& upperLeft, const Rgba& upperRight) {
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  const uint8_t texels[12] = {lowerLeft[0], lowerLeft[1], lowerLeft[2], lowerRight[0], lowerRight[1], lowerRight[2],
                              upperLeft[0], upperLeft[1], upperLeft[2], upperRight[0], upperRight[1], upperRight[2]};
  GLuint name = MakeTexture(texels, 2, 2);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  return name;
}

Rgba Pixel(int x, int y) {
  Rgba pixel{};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  return pixel;
}

Rgba PixelAtNdc(float x, float y) {
  int px = std::clamp(static_cast<int>(std::floor((x + 1.0f) * 0.5f * kWidth)), 0, kWidth - 1);
  int py = std::clamp(static_cast<int>(std::floor((y + 1.0f) * 0.5f * kHeight)), 0, kHeight - 1);
  return Pixel(px, py);
}

std::vector<uint8_t> Frame() {
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

bool NearRgb(const Rgba& a, const Rgba& b, int tolerance) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(int(a[i]) - int(b[i])) > tolerance) return false;
  }
  return true;
}

int CountPixels(const std::vector<uint8_t>& frame, const Rgba& colour, int tolerance) {
  int count = 0;
  for (size_t i = 0; i + 3 < frame.size(); i += 4) {
    Rgba p{frame[i], frame[i + 1], frame[i + 2], frame[i + 3]};
    if (NearRgb(p, colour, tolerance)) ++count;
  }
  return count;
}

::testing::AssertionResult AllPixelsAre(const Rgba& colour, int tolerance) {
  std::vector<uint8_t> frame = Frame();
  for (size_t i = 0; i + 3 < frame.size(); i += 4) {
    Rgba p{frame[i], frame[i + 1], frame[i + 2], frame[i + 3]};
    if (!NearRgb(p, colour, tolerance)) {
      size_t pixel = i / 4;
      return ::testing::AssertionFailure()
             << "pixel (" << pixel % kWidth << ", " << pixel / kWidth << ") is (" << int(p[0]) << ", " << int(p[1])
             << ", " << int(p[2]) << "), expected (" << int(colour[0]) << ", " << int(colour[1]) << ", "
             << int(colour[2]) << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult TextureIsResource(GLuint texture, int id) {
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  GLuint fresh = LoadBitmapTexture(id);
  TextureImage expected = ReadTexture(fresh);
  TextureImage actual = ReadTexture(texture);
  glDeleteTextures(1, &fresh);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  if (fresh == 0 || expected.rgba.empty()) {
    return ::testing::AssertionFailure() << "bitmap resource " << id << " does not load";
  }
  if (actual.width != expected.width || actual.height != expected.height || actual.rgba != expected.rgba) {
    return ::testing::AssertionFailure() << "texture " << texture << " (" << actual.width << " x " << actual.height
                                         << ") is not bitmap resource " << id << " (" << expected.width << " x "
                                         << expected.height << ")";
  }
  return ::testing::AssertionSuccess();
}

Rgba Texel(GLuint texture, int x, int y) {
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  TextureImage image = ReadTexture(texture);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return Rgba{};
  const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
  return Rgba{p[0], p[1], p[2], p[3]};
}

Matrix CurrentMatrix(GLenum which) {
  Matrix m{};
  glGetFloatv(which, m.data());
  return m;
}

::testing::AssertionResult MatricesNear(const Matrix& actual, const Matrix& expected, float tolerance) {
  for (int i = 0; i < 16; ++i) {
    float scale = std::max(1.0f, std::fabs(expected[i]));
    if (!(std::fabs(actual[i] - expected[i]) <= tolerance * scale)) {
      return ::testing::AssertionFailure() << "element " << i << " is " << actual[i] << ", expected " << expected[i];
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsScenePerspective(const Matrix& m, double fovDegrees) {
  const double pi = 3.14159265358979323846;
  const double f = 1.0 / std::tan(fovDegrees / 2.0 * pi / 180.0);
  const double aspect = static_cast<double>(1.33333f);
  // {element, expected}; the aspect is checked as a ratio, finer than 4/3's
  // difference from 1.33333.
  const double checks[][2] = {{5, f}, {10, -5001.0 / 4999.0}, {14, -10000.0 / 4999.0}, {11, -1.0}};
  for (const auto& check : checks) {
    int i = static_cast<int>(check[0]);
    if (std::fabs(m[i] - check[1]) > 1e-6 * std::max(1.0, std::fabs(check[1]))) {
      return ::testing::AssertionFailure() << "element " << i << " is " << m[i] << ", expected " << check[1];
    }
  }
  if (std::fabs(static_cast<double>(m[5]) / m[0] - aspect) > 5e-7) {
    return ::testing::AssertionFailure() << "aspect " << static_cast<double>(m[5]) / m[0] << ", expected " << aspect;
  }
  for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) {
    if (m[i] != 0.0f) return ::testing::AssertionFailure() << "element " << i << " is " << m[i];
  }
  return ::testing::AssertionSuccess();
}

namespace {

// Back from window coordinates under glOrtho(-extent, extent) on all axes.
Vertex3 ToObject(const GLfloat* window, float extent) {
  return Vertex3{(window[0] / kWidth * 2.0f - 1.0f) * extent, (window[1] / kHeight * 2.0f - 1.0f) * extent,
                 (1.0f - 2.0f * window[2]) * extent};
}

}  // namespace

void BeginFeedback(std::vector<GLfloat>& buffer, GLenum type, float extent) {
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), type, buffer.data());
  glRenderMode(GL_FEEDBACK);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-extent, extent, -extent, extent, -extent, extent);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CULL_FACE);
}

std::vector<Polygon> ParseFeedback(const std::vector<GLfloat>& buffer, int count, float extent) {
  std::vector<Polygon> polygons;
  int i = 0;
  while (i < count) {
    GLint token = static_cast<GLint>(buffer[i++]);
    if (token == GL_POLYGON_TOKEN) {
      int n = static_cast<int>(buffer[i++]);
      Polygon polygon;
      for (int v = 0; v < n; ++v, i += 3) polygon.push_back(ToObject(&buffer[i], extent));
      polygons.push_back(polygon);
    } else if (token == GL_PASS_THROUGH_TOKEN) {
      i += 1;
    } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
               token == GL_COPY_PIXEL_TOKEN) {
      i += 3;
    } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      i += 6;
    } else {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
  }
  return polygons;
}

std::vector<TexturedPolygon> ParseTexturedFeedback(const std::vector<GLfloat>& buffer, int count, float extent) {
  // x, y, z, four colour components and four texture coordinates a vertex.
  constexpr int kVertexFloats = 11;
  std::vector<TexturedPolygon> polygons;
  int i = 0;
  while (i < count) {
    GLint token = static_cast<GLint>(buffer[i++]);
    if (token != GL_POLYGON_TOKEN) {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
    int n = static_cast<int>(buffer[i++]);
    TexturedPolygon polygon;
    for (int v = 0; v < n; ++v, i += kVertexFloats) {
      polygon.push_back({ToObject(&buffer[i], extent), buffer[i + 7], buffer[i + 8]});
    }
    polygons.push_back(polygon);
  }
  return polygons;
}

void SelectTextureUnit(GLenum unit) { glActiveTextureARB(unit); }

void PrepareUnitOneChecker() {
  const Rgba white{255, 255, 255, 255}, black{0, 0, 0, 255};
  GLuint checker = QuadrantTexture(white, black, black, white);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glDisable(GL_BLEND);
  glColor3ub(255, 255, 255);
  SelectTextureUnit(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_2D);
  SelectTextureUnit(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, checker);
}

void EndUnitOneChecker() {
  glDisable(GL_TEXTURE_2D);
  SelectTextureUnit(GL_TEXTURE0_ARB);
  glDisable(GL_CULL_FACE);
}

Box BoundingBox(const std::vector<Polygon>& polygons, size_t first, size_t count) {
  Vertex3 lo{1e30f, 1e30f, 1e30f};
  Vertex3 hi{-1e30f, -1e30f, -1e30f};
  for (size_t p = first; p < first + count && p < polygons.size(); ++p) {
    for (const Vertex3& v : polygons[p]) {
      lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
      hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
  }
  return Box{{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2},
             {(hi.x - lo.x) / 2, (hi.y - lo.y) / 2, (hi.z - lo.z) / 2}};
}

void SceneTest::SetUp() {
  ASSERT_TRUE(OpenWindow()) << "the program's window and context cannot be made here";
  StartFrameClock();
  EnterProgramState();
  glPushAttrib(kAllAttribBits);
  pushed_ = true;
}

void SceneTest::TearDown() {
  if (pushed_) glPopAttrib();
}

}  // namespace scenetest
