// The web GL layer's attribute stack by group, its matrices, and the errors
// glGetError hands over.
#include <gtest/gtest.h>

#include "recording_device.h"
#include "web/gl/web_gl.h"

namespace {

using sgwebgl::Ctx;
using sgtest::WebGlTest;

// A field added to AttribState outside every group would never come back.
TEST(WebGlAttribGroups, CoverAllThePushableState) {
  EXPECT_EQ(sgwebgl::GroupedBytes(), sizeof(sgwebgl::AttribState));
}

// A pop restores the groups pushed, their shared enables included, and
// leaves the rest as it was set since.
TEST_F(WebGlTest, PopRestoresOnlyTheGroupsPushed) {
  const sgwebgl::AttribState& state = Ctx().state;
  glPushAttrib(GL_POLYGON_BIT | GL_FOG_BIT);
  glEnable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glEnable(GL_FOG);
  glFogf(GL_FOG_END, 5.0f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glPopAttrib();
  EXPECT_FALSE(state.enable.cullFace);
  EXPECT_EQ(state.polygon.mode[1], GLenum(GL_FILL));
  EXPECT_FALSE(state.enable.fog);
  EXPECT_EQ(state.fog.end, 1.0f);
  EXPECT_TRUE(state.enable.blend);
  EXPECT_EQ(state.colorBuffer.blendDst, GLenum(GL_ONE));

  glPushAttrib(GL_ENABLE_BIT);  // texturing comes back, not the binding
  sgwebgl::ActiveTexture(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 7);
  glPopAttrib();
  EXPECT_FALSE(state.enable.texture2D[1]);
  EXPECT_EQ(state.texture.units[1].binding, 7u);
}

void ExpectMatrix(const sgwebgl::Mat4& actual, const std::array<float, 16>& expected) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i], expected[i], 1e-6) << "element " << i;
}

TEST_F(WebGlTest, GluCamerasGiveKnownMatrices) {
  glMatrixMode(GL_PROJECTION);
  gluPerspective(90.0, 2.0, 1.0, 3.0);
  const sgwebgl::MatrixStack& projection = Ctx().projection;
  ExpectMatrix(projection.entries[projection.top], {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0});
  glMatrixMode(GL_MODELVIEW);
  gluLookAt(2, 0, 0, 3, 0, 0, 0, 1, 0);  // down +x: x becomes -z, z becomes x
  ExpectMatrix(sgwebgl::ModelView(), {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 2, 1});
}

void LineUp() {
  glBegin(GL_LINES);
  glVertex3f(0, 0, 0);
  glVertex3f(0, 1, 0);
  glEnd();
}

// A pop brings back the matrix, for the next corner too; each stack
// refuses to go beyond its depth with OpenGL's errors.
TEST_F(WebGlTest, MatrixStacksPopAndRefuseBeyondTheirDepth) {
  glPushMatrix();
  glTranslatef(5.0f, 0.0f, 0.0f);
  LineUp();
  glPopMatrix();
  LineUp();
  ASSERT_EQ(device->draws.size(), 2u);
  EXPECT_EQ(device->draws[0].vertices[0].clip[0], 5.0f);
  EXPECT_EQ(device->draws[1].vertices[0].clip[0], 0.0f);

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  EXPECT_EQ(glGetError(), GLenum(GL_STACK_UNDERFLOW));
  for (int i = 1; i < sgwebgl::kMatrixStackDepth; ++i) glPushMatrix();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glPushMatrix();
  EXPECT_EQ(glGetError(), GLenum(GL_STACK_OVERFLOW));
  EXPECT_EQ(Ctx().projection.top, sgwebgl::kMatrixStackDepth - 1);
  EXPECT_EQ(Ctx().modelview.top, 0);
}

// glGetError keeps the first error until read; an unknown enum changes
// nothing and reaches the console once per value.
TEST_F(WebGlTest, ErrorsKeepTheFirstAndUnknownEnumsAreToldOnce) {
  for (int i = 0; i < sgwebgl::kAttribStackDepth; ++i) glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glEnable(0x1234);
  EXPECT_EQ(glGetError(), GLenum(GL_STACK_OVERFLOW));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  testing::internal::CaptureStderr();
  glEnable(0x1234);
  glMatrixMode(GL_TEXTURE);
  const std::string console = testing::internal::GetCapturedStderr();
  EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
  EXPECT_EQ(Ctx().unknownEnums.at(0x1234), 2);
  EXPECT_EQ(console, "web gl: glMatrixMode: unknown enum 0x1702\n");
  EXPECT_EQ(Ctx().state.transform.matrixMode, GLenum(GL_MODELVIEW));
}

}  // namespace
