// The web build's gluBuild2DMipmaps image work, compiled natively, against
// the desktop's GLU: every level of a few pictures the sizes of the
// program's, read back from Mesa, texel for texel.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gl_test_context.h"
#include "web/gl/mipmaps.h"

namespace {

// Bottom-up BGR rows padded to 4 bytes, as the program's bitmaps are.
std::vector<uint8_t> Picture(int width, int height, unsigned seed) {
  int stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> bits(static_cast<size_t>(stride) * height);
  for (uint8_t& byte : bits) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(seed >> 16);
  }
  return bits;
}

std::vector<uint8_t> GluLevel(int level, int& width, int& height) {
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
  std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

// Every level, the sizes GLU chose and every texel's value.
void ExpectLevelsLikeGlu(int width, int height) {
  sgtest::GLTestContext context(16, 16);
  ASSERT_TRUE(context.Ok());
  std::vector<uint8_t> bits = Picture(width, height, static_cast<unsigned>(width * 31 + height));
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, bits.data());

  sgwebgl::RgbaImage level, next;
  sgwebgl::RgbaImage source;
  sgwebgl::UnpackToRgba(bits.data(), width, height, 4, {3, 2, 1, 0, -1}, false, source);
  sgwebgl::ScaleImage(source, sgwebgl::NearestPowerOfTwo(width), sgwebgl::NearestPowerOfTwo(height), level);
  for (int n = 0;; ++n) {
    int gluWidth = 0, gluHeight = 0;
    std::vector<uint8_t> glu = GluLevel(n, gluWidth, gluHeight);
    ASSERT_EQ(gluWidth, level.width) << "level " << n;
    ASSERT_EQ(gluHeight, level.height) << "level " << n;
    size_t differing = 0;
    for (size_t i = 0; i < glu.size(); ++i) differing += glu[i] != level.texels[i];
    EXPECT_EQ(differing, 0u) << width << "x" << height << " level " << n;
    if (level.width == 1 && level.height == 1) break;
    sgwebgl::HalveImage(level, next);
    std::swap(level, next);
  }
  glDeleteTextures(1, &texture);
}

TEST(WebMipmaps, RescaleAndHalvingsMatchGlu) {
  ExpectLevelsLikeGlu(600, 450);  // down to 512 x 512
  ExpectLevelsLikeGlu(255, 98);   // up to 256 x 128
  ExpectLevelsLikeGlu(365, 365);  // down to 256 x 256
  ExpectLevelsLikeGlu(114, 110);  // up to 128 x 128
  ExpectLevelsLikeGlu(1024, 768);  // a power of two wide, not high
}

}  // namespace
