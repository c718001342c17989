// Textures from bitmap resources (a table of tiny test bitmaps) and the strip
// texture.
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/bitmap_textures.h"
#include "gl_test_context.h"

namespace {

// See test_resources.cpp.
constexpr int kBlueUnderRed = 300;  // 2 x 2
constexpr int kThreeRows = 301;     // 5 x 3: blue, green, red from the bottom

class BitmapTextures : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(gl.Ok()); }
  static GLint Get(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
  }
  // The bound texture's level 0, RGBA, bottom row first.
  static std::vector<uint8_t> Texels(GLint* width, GLint* height) {
    sgtest::TextureImage level = sgtest::ReadBoundTexture();
    *width = level.width;
    *height = level.height;
    return level.rgba;
  }
  sgtest::GLTestContext gl{32, 32};
};

TEST_F(BitmapTextures, AOnePixelBitmapGivesItsColour) {
  GLuint name = LoadBitmapTexture(101);
  ASSERT_NE(name, 0u);
  GLint w = 0, h = 0;
  std::vector<uint8_t> texels = Texels(&w, &h);
  ASSERT_EQ(w, 1);
  ASSERT_EQ(h, 1);
  EXPECT_EQ((std::vector<int>{texels[0], texels[1], texels[2], texels[3]}), (std::vector<int>{55, 55, 55, 255}));
  GLint format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  EXPECT_EQ(format, GL_RGBA8);
}

TEST_F(BitmapTextures, LeavesItsNameBoundAlignmentFourAndTexturingAlone) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLuint name = LoadBitmapTexture(101);
  EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), GLint(name));
  EXPECT_EQ(Get(GL_UNPACK_ALIGNMENT), 4);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  GLint minFilter = 0, magFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(magFilter, GL_LINEAR);
}

TEST_F(BitmapTextures, PaddedRowsKeepTheBottomRowFirst) {
  LoadBitmapTexture(kBlueUnderRed);
  GLint w = 0, h = 0;
  std::vector<uint8_t> texels = Texels(&w, &h);
  ASSERT_EQ(w, 2);
  ASSERT_EQ(h, 2);
  for (int x = 0; x < w; ++x) {
    const uint8_t* bottom = &texels[size_t(x) * 4];
    const uint8_t* top = &texels[size_t(w + x) * 4];
    EXPECT_EQ((std::vector<int>{bottom[0], bottom[1], bottom[2]}), (std::vector<int>{0, 0, 255})) << x;
    EXPECT_EQ((std::vector<int>{top[0], top[1], top[2]}), (std::vector<int>{255, 0, 0})) << x;
  }
}

TEST_F(BitmapTextures, RescaledPicturesKeepTheirRowsInOrder) {
  LoadBitmapTexture(kThreeRows);
  GLint w = 0, h = 0;
  std::vector<uint8_t> texels = Texels(&w, &h);
  ASSERT_EQ(w, 4);
  ASSERT_EQ(h, 4);
  for (int x = 0; x < w; ++x) {
    const uint8_t* bottom = &texels[size_t(x) * 4];
    const uint8_t* top = &texels[size_t(3 * w + x) * 4];
    EXPECT_EQ((std::vector<int>{bottom[0], bottom[1], bottom[2]}), (std::vector<int>{0, 0, 255})) << x;
    EXPECT_EQ((std::vector<int>{top[0], top[1], top[2]}), (std::vector<int>{255, 0, 0})) << x;
  }
  GLint levels = 0;
  while (levels < 8) {
    GLint levelWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &levelWidth);
    if (levelWidth == 0) break;
    ++levels;
  }
  EXPECT_EQ(levels, 3);  // 4x4, 2x2, 1x1
}

TEST_F(BitmapTextures, LowTextureCoordinatesSampleTheBottomRow) {
  GLuint name = LoadBitmapTexture(kBlueUnderRed);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
  EXPECT_TRUE(sgtest::NearRgb(gl.Pixel(16, 1), {0, 0, 255, 255}, 2));
  EXPECT_TRUE(sgtest::NearRgb(gl.Pixel(16, 30), {255, 0, 0, 255}, 2));
}

TEST_F(BitmapTextures, EveryLoadMakesANameOfItsOwn) {
  GLuint first = LoadBitmapTexture(101);
  GLuint second = LoadBitmapTexture(101);
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_TRUE(glIsTexture(first));
  EXPECT_TRUE(glIsTexture(second));
}

TEST_F(BitmapTextures, AnUnknownIdGivesZero) {
  glBindTexture(GL_TEXTURE_2D, 0);
  EXPECT_EQ(LoadBitmapTexture(4242), 0u);
  EXPECT_EQ(LoadBitmapTexture(0), 0u);
  EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), 0);
}

TEST_F(BitmapTextures, TheStripTextureComesAndGoes) {
  CreateStripTexture();
  GLuint name = g_stripTexture;
  ASSERT_NE(name, 0u);
  ASSERT_NE(g_stripPixels, nullptr);
  EXPECT_TRUE(glIsTexture(name));
  EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), GLint(name));
  GLint w = 0, h = 0;
  std::vector<uint8_t> texels = Texels(&w, &h);
  EXPECT_EQ(w, 512);
  EXPECT_EQ(h, 1);
  // Cleared, so it never shows what the heap held.
  EXPECT_TRUE(std::all_of(texels.begin(), texels.end(), [](uint8_t b) { return b == 0; }));
  GLint minFilter = 0, magFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  EXPECT_EQ(minFilter, GL_NEAREST);
  EXPECT_EQ(magFilter, GL_NEAREST);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  FreeStripTexture();
  EXPECT_FALSE(glIsTexture(name));
  EXPECT_EQ(g_stripPixels, nullptr);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
