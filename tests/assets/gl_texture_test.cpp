// GLTexture: a solid-colour 2 x 2 texture with its mipmaps, and Bind.
#include <gtest/gtest.h>

#include "assets/gl_texture.h"
#include "gl_test_context.h"

namespace {

class GLTextureTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(gl.Ok()); }
  static GLint Get(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
  }
  sgtest::GLTestContext gl{8, 8};
};

// Every texel of the bound texture's level, RGBA; empty when the level is absent.
std::vector<uint8_t> Level(int level) { return sgtest::ReadBoundTexture(level).rgba; }

TEST_F(GLTextureTest, StartsWithoutAName) {
  GLTexture texture;
  EXPECT_EQ(texture.texture[0], 0u);
}

TEST_F(GLTextureTest, SolidColourFillsEveryMipmapLevel) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  GLTexture texture;
  texture.CreateSolidColor(255, 0, 0);
  ASSERT_NE(texture.texture[0], 0u);
  EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), GLint(texture.texture[0]));
  EXPECT_EQ(Get(GL_UNPACK_ALIGNMENT), 1);

  std::vector<uint8_t> level0 = Level(0);
  std::vector<uint8_t> level1 = Level(1);
  ASSERT_EQ(level0.size(), 2u * 2 * 4);
  ASSERT_EQ(level1.size(), 1u * 1 * 4);
  EXPECT_TRUE(Level(2).empty());
  for (const std::vector<uint8_t>* level : {&level0, &level1}) {
    for (size_t i = 0; i < level->size(); i += 4) {
      EXPECT_EQ((std::vector<int>{(*level)[i], (*level)[i + 1], (*level)[i + 2], (*level)[i + 3]}),
                (std::vector<int>{255, 0, 0, 255}));
    }
  }
}

TEST_F(GLTextureTest, AnyColourSurvivesTheUpload) {
  GLTexture texture;
  texture.CreateSolidColor(12, 200, 77);
  std::vector<uint8_t> texels = Level(0);
  for (size_t i = 0; i < texels.size(); i += 4) {
    EXPECT_EQ((std::vector<int>{texels[i], texels[i + 1], texels[i + 2]}), (std::vector<int>{12, 200, 77}));
  }
}

TEST_F(GLTextureTest, FiltersAndEnvironment) {
  GLTexture texture;
  texture.CreateSolidColor(1, 2, 3);
  GLint minFilter = 0, magFilter = 0, wrapS = 0, env = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
  EXPECT_EQ(magFilter, GL_LINEAR);
  EXPECT_EQ(wrapS, GL_REPEAT);
  EXPECT_EQ(env, GL_MODULATE);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(GLTextureTest, EachCallMakesANewNameAndKeepsTheOld) {
  GLTexture texture;
  texture.CreateSolidColor(255, 0, 0);
  GLuint first = texture.texture[0];
  texture.CreateSolidColor(0, 0, 255);
  GLuint second = texture.texture[0];
  EXPECT_NE(first, second);
  EXPECT_TRUE(glIsTexture(first));
  glBindTexture(GL_TEXTURE_2D, first);
  std::vector<uint8_t> old = Level(0);
  EXPECT_EQ(old[0], 255);
  EXPECT_EQ(old[2], 0);
}

TEST_F(GLTextureTest, BindEnablesTexturingAndBindsTheName) {
  GLTexture texture;
  texture.CreateSolidColor(9, 9, 9);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  texture.Bind();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), GLint(texture.texture[0]));
}

TEST_F(GLTextureTest, BindWithoutAColourBindsTheDefaultTexture) {
  GLTexture other;
  other.CreateSolidColor(1, 1, 1);
  GLTexture texture;
  texture.Bind();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), 0);
}

TEST_F(GLTextureTest, TheNameOutlivesTheObject) {
  GLuint name = 0;
  {
    GLTexture texture;
    texture.CreateSolidColor(1, 2, 3);
    name = texture.texture[0];
  }
  EXPECT_TRUE(glIsTexture(name));
}

}  // namespace
