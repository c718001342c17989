// What the web GL layer hands its device: culled and outlined polygons,
// texture stages, fog, and the key its programs are kept under.
#include <gtest/gtest.h>

#include <set>

#include "recording_device.h"
#include "web/gl/shaders.h"
#include "web/gl/web_gl.h"

namespace {

using sgwebgl::Ctx;
using sgtest::WebGlTest;

// A square half the viewport across, counter-clockwise (a front face) or not.
void Square(bool counterClockwise) {
  const float x[4] = {-0.5f, 0.5f, 0.5f, -0.5f};
  const float y[4] = {-0.5f, -0.5f, 0.5f, 0.5f};
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) glVertex3f(counterClockwise ? x[i] : -x[i], y[i], 0.0f);
  glEnd();
}

// Both units textured with a 2 x 2 image (complete without mipmaps), unit
// 1 active and combining.
void TwoTexturedUnits() {
  const uint8_t texels[16] = {};
  for (GLenum unit : {GL_TEXTURE0_ARB, GL_TEXTURE1_ARB}) {
    GLuint name = 0;
    sgwebgl::ActiveTexture(unit);
    glEnable(GL_TEXTURE_2D);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, texels);
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
}

TEST_F(WebGlTest, BackFacesAreCulledAndLinePolygonsOutlined) {
  glEnable(GL_CULL_FACE);
  Square(false);
  Square(true);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  Square(true);
  glLineWidth(3.0f);  // 3 pixels of 100: 0.06 across in device coordinates
  Square(true);
  glCullFace(GL_FRONT);
  Square(true);

  ASSERT_EQ(device->draws.size(), 3u);
  EXPECT_EQ(device->draws[0].primitive, GLenum(GL_TRIANGLES));
  EXPECT_EQ(device->draws[0].vertices.size(), 6u);
  const std::vector<sgwebgl::ClipVertex>& edges = device->draws[1].vertices;
  EXPECT_EQ(device->draws[1].primitive, GLenum(GL_LINES));
  ASSERT_EQ(edges.size(), 8u);
  EXPECT_EQ(edges[1].clip[0], edges[2].clip[0]);  // corner 1 ends one edge and starts the next
  EXPECT_EQ(edges[7].clip[1], edges[0].clip[1]);  // the last edge closes the outline
  const std::vector<sgwebgl::ClipVertex>& wide = device->draws[2].vertices;
  EXPECT_EQ(device->draws[2].primitive, GLenum(GL_TRIANGLES));
  ASSERT_EQ(wide.size(), 24u);
  EXPECT_NEAR(wide[5].clip[1] - wide[0].clip[1], 0.06f, 1e-6f);
}

// Unit 0 modulates, unit 1 combines as set, each sampling its own texture;
// asked for mipmaps it does not have, unit 1 takes no part.
TEST_F(WebGlTest, TextureEnvironmentsBecomeShaderStages) {
  TwoTexturedUnits();
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD_SIGNED_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_PRIMARY_COLOR_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_ONE_MINUS_SRC_COLOR);
  Square(true);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  Square(true);

  ASSERT_EQ(device->draws.size(), 2u);
  const sgtest::RecordedDraw& both = device->draws[0];
  EXPECT_NE(both.fragmentSource.find("texel = texture(uTexture0, vUv0);\n  previous = previous * texel;"),
            std::string::npos);
  EXPECT_NE(both.fragmentSource.find("texel = texture(uTexture1, vUv1);\n"
                                     "  previous = vec4(clamp(primary.rgb + (1.0 - previous.rgb) - 0.5"),
            std::string::npos);
  EXPECT_EQ(both.uniforms.at("uTexture1"), std::vector<float>{1.0f});
  EXPECT_EQ(both.textures[0], 1u);
  EXPECT_EQ(both.textures[1], 2u);
  EXPECT_EQ(device->draws[1].fragmentSource.find("uTexture1, vUv1"), std::string::npos);
}

// Linear fog reaches the program as its colour, end and 1 / (end - start),
// again after a change; each corner carries its distance from the eye.
TEST_F(WebGlTest, FogReachesTheProgramAndTheCorners) {
  glMatrixMode(GL_PROJECTION);
  gluPerspective(90.0, 2.0, 1.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(0.0f, 0.0f, -15.0f);
  glEnable(GL_FOG);
  glFogf(GL_FOG_MODE, static_cast<GLfloat>(GL_LINEAR));
  glFogf(GL_FOG_START, 10.0f);
  const float colour[4] = {0.25f, 0.5f, 2.0f, 1.0f};
  glFogfv(GL_FOG_COLOR, colour);
  for (float end : {20.0f, 30.0f}) {
    glFogf(GL_FOG_END, end);
    glBegin(GL_LINES);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, -2);
    glEnd();
  }

  ASSERT_EQ(device->draws.size(), 2u);
  const sgtest::RecordedDraw& draw = device->draws[0];
  EXPECT_NE(draw.fragmentSource.find("mix(uFogColor, previous.rgb, fog)"), std::string::npos);
  EXPECT_EQ(draw.uniforms.at("uFogColor"), (std::vector<float>{0.25f, 0.5f, 1.0f}));
  EXPECT_EQ(draw.uniforms.at("uFogRange"), (std::vector<float>{20.0f, 0.1f}));
  EXPECT_EQ(device->draws[1].uniforms.at("uFogRange"), (std::vector<float>{30.0f, 0.05f}));
  EXPECT_EQ(device->ProgramsBuilt(), 1u);
  EXPECT_FLOAT_EQ(draw.vertices[0].fogDistance, 15.0f);
  EXPECT_FLOAT_EQ(draw.vertices[1].fogDistance, 17.0f);
}

uint32_t KeyAfter(void (*change)()) {
  const sgwebgl::AttribState saved = Ctx().state;
  change();
  const uint32_t key = sgwebgl::ProgramKey(Ctx().state);
  Ctx().state = saved;
  return key;
}

// Whatever draws differently changes the key; fog's range, blending and a
// disabled unit's environment do not.
TEST_F(WebGlTest, ProgramKeysDifferExactlyWhenDrawingDiffers) {
  TwoTexturedUnits();
  void (*const changes[])() = {
      [] {},
      [] { glEnable(GL_FOG); },
      [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); },
      [] { glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD); },
      [] { glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_PRIMARY_COLOR_ARB); },
      [] { glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_ONE_MINUS_SRC_COLOR); },
      [] { glDisable(GL_TEXTURE_2D); },
      [] { sgwebgl::ActiveTexture(GL_TEXTURE0_ARB); glDisable(GL_TEXTURE_2D); },
  };
  std::set<uint32_t> keys;
  for (auto change : changes) keys.insert(KeyAfter(change));
  EXPECT_EQ(keys.size(), std::size(changes));

  EXPECT_EQ(KeyAfter([] { glFogf(GL_FOG_END, 50.0f); glEnable(GL_BLEND); }), KeyAfter([] {}));
  EXPECT_EQ(KeyAfter([] { glDisable(GL_TEXTURE_2D); glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD); }),
            KeyAfter([] { glDisable(GL_TEXTURE_2D); }));
}

}  // namespace
