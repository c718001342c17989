// Drawing a model into a real offscreen frame under an identity camera.
#include <gtest/gtest.h>

#include "assets/model_3ds.h"
#include "chunk_writer.h"
#include "gl_test_context.h"

namespace {

using sgtest::Bytes;
using sgtest::Chunk;
using sgtest::Rgba;
using sgtest::Tri;
using sgtest::Vec3;

constexpr int kSize = 64;

// A point of the drawing plane z = 0 in file axes: (x, y) is stored as (x, y, 0).
Vec3 Plane(float x, float y) { return {x, 0.0f, y}; }

// The left half of the frame in one material, the right half in another.
Bytes HalvesModel(const std::string& left, const std::string& right, bool mapped = false) {
  std::vector<Vec3> vertices = {Plane(-1, -1), Plane(0, -1), Plane(0, 1), Plane(-1, 1), Plane(1, -1), Plane(1, 1)};
  std::vector<Tri> faces = {{0, 1, 2}, {0, 2, 3}, {1, 4, 5}, {1, 5, 2}};
  Chunk mesh = Chunk(0x4100).Add(sgtest::VertexList(vertices));
  if (mapped) mesh.Add(sgtest::MapCoords({{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}));
  mesh.Add(sgtest::FaceList(faces, {sgtest::FaceGroupChunk(left, {0, 1}), sgtest::FaceGroupChunk(right, {2, 3})}));
  return sgtest::ModelFile({sgtest::SolidMaterial("red", 255, 0, 0), sgtest::SolidMaterial("green", 0, 255, 0),
                            sgtest::Object("halves", mesh)});
}

class Model3dsRender : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.Ok());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
  }
  void Load(const Bytes& bytes) {
    model.LoadFromBytes(bytes.data(), bytes.size());
    model.CreateMaterialTextures();
  }
  bool Is(int x, int y, const Rgba& colour) const { return sgtest::NearRgb(gl.Pixel(x, y), colour, 2); }
  static bool Enabled(GLenum what) { return glIsEnabled(what) == GL_TRUE; }
  static std::vector<float> Modelview() {
    std::vector<float> m(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
  }

  sgtest::GLTestContext gl{kSize, kSize};
  Model_3DS model;
};

TEST_F(Model3dsRender, FacesShowTheirMaterialColours) {
  Load(HalvesModel("red", "green"));
  model.Render();
  EXPECT_TRUE(Is(16, 32, {255, 0, 0, 255}));
  EXPECT_TRUE(Is(48, 32, {0, 255, 0, 255}));
  EXPECT_TRUE(Is(1, 1, {255, 0, 0, 255}));
  EXPECT_TRUE(Is(62, 62, {0, 255, 0, 255}));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Model3dsRender, TheCurrentColourModulatesTheTexture) {
  Load(HalvesModel("red", "green"));
  glColor3f(0.5f, 0.5f, 0.5f);
  model.Render();
  EXPECT_TRUE(Is(16, 32, {128, 0, 0, 255}));
}

TEST_F(Model3dsRender, LeavesTheModelviewMatrixAsItFoundIt) {
  Load(HalvesModel("red", "green"));
  glTranslatef(0.1f, 0.2f, 0.0f);
  std::vector<float> before = Modelview();
  model.position[0] = 3.0f;
  model.rotation[1] = 30.0f;
  model.uniformScale = 2.0f;
  model.objectList[0].position[2] = 1.0f;
  model.objectList[0].rotation[0] = 10.0f;
  model.Render();
  EXPECT_EQ(Modelview(), before);
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
}

TEST_F(Model3dsRender, PositionAndScaleMoveTheWholeModel) {
  Load(HalvesModel("red", "green"));
  model.position[0] = 0.5f;
  model.uniformScale = 0.5f;
  model.Render();
  // Now spanning x from 0 to 1: red on [0, 0.5], green on [0.5, 1].
  EXPECT_TRUE(Is(16, 32, {0, 0, 0, 255}));
  EXPECT_TRUE(Is(36, 32, {255, 0, 0, 255}));
  EXPECT_TRUE(Is(60, 32, {0, 255, 0, 255}));
  EXPECT_TRUE(Is(40, 60, {0, 0, 0, 255}));
}

TEST_F(Model3dsRender, AnInvisibleModelTouchesNothing) {
  Load(HalvesModel("red", "green"));
  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  std::vector<uint8_t> frame = gl.ReadAll();
  std::vector<float> matrix = Modelview();
  GLint boundBefore = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundBefore);
  model.isVisible = false;
  model.drawNormalLines = true;
  model.Render();
  EXPECT_EQ(gl.ReadAll(), frame);
  EXPECT_EQ(Modelview(), matrix);
  EXPECT_FALSE(Enabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(Enabled(GL_NORMAL_ARRAY));
  EXPECT_FALSE(Enabled(GL_TEXTURE_2D));
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, boundBefore);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ((std::vector<float>(colour, colour + 3)), (std::vector<float>{1, 1, 1}));
}

TEST_F(Model3dsRender, AnEmptyModelDrawsNothing) {
  char missing[] = "no-such-model.3ds";
  model.LoadFromFile(missing);
  std::vector<uint8_t> frame = gl.ReadAll();
  model.Render();
  EXPECT_EQ(gl.ReadAll(), frame);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Model3dsRender, AGroupWithoutAMaterialShowsTheCurrentColour) {
  Load(HalvesModel("missing", "green"));
  glColor3f(0.2f, 0.4f, 0.6f);
  model.Render();
  EXPECT_TRUE(Is(16, 32, {51, 102, 153, 255}));
  EXPECT_TRUE(Is(48, 32, {0, 102, 0, 255}));
}

TEST_F(Model3dsRender, ClientArraysFollowTheLastObject) {
  Load(HalvesModel("red", "green", /*mapped=*/true));
  model.Render();
  EXPECT_TRUE(Enabled(GL_VERTEX_ARRAY));
  EXPECT_TRUE(Enabled(GL_NORMAL_ARRAY));
  EXPECT_TRUE(Enabled(GL_TEXTURE_COORD_ARRAY));
  EXPECT_TRUE(Enabled(GL_TEXTURE_2D));
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(GLuint(bound), model.materialList[1].texture.texture[0]);

  Model_3DS unmapped;
  Bytes bytes = HalvesModel("red", "green");
  unmapped.LoadFromBytes(bytes.data(), bytes.size());
  unmapped.drawLit = false;
  unmapped.Render();
  EXPECT_TRUE(Enabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(Enabled(GL_NORMAL_ARRAY));
  EXPECT_FALSE(Enabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(Model3dsRender, TooFewMappingCoordinatesAreNotUsed) {
  Chunk mesh = Chunk(0x4100)
                   .Add(sgtest::VertexList({Plane(-1, -1), Plane(1, -1), Plane(-1, 1)}))
                   .Add(sgtest::MapCoords({{0, 0}}))
                   .Add(sgtest::FaceList({{0, 1, 2}}, {sgtest::FaceGroupChunk("red", {0})}));
  Load(sgtest::ModelFile({sgtest::SolidMaterial("red", 255, 0, 0), sgtest::Object("o", mesh)}));
  ASSERT_TRUE(model.objectList[0].hasMapCoords);
  model.Render();
  EXPECT_FALSE(Enabled(GL_TEXTURE_COORD_ARRAY));
  EXPECT_TRUE(Is(8, 8, {255, 0, 0, 255}));
}

TEST_F(Model3dsRender, NormalLinesAreBlueAndLeaveWhiteUntextured) {
  // A triangle standing edge-on in the drawing plane y = 0 (stored axes):
  // its normals point down the screen, one unit long.
  const float x = 0.515625f;  // on a pixel centre of a 64-pixel frame
  Chunk mesh = sgtest::Mesh({{-0.5f, 0, 0}, {x, 0, 0}, {0, 0.5f, 0}}, {{0, 2, 1}}, {sgtest::FaceGroupChunk("red", {0})});
  Load(sgtest::ModelFile({sgtest::SolidMaterial("red", 255, 0, 0), sgtest::Object("o", mesh)}));
  const float* n = model.objectList[0].normals + 3;
  ASSERT_NEAR(n[1], -1.0f, 1e-6f);
  model.drawNormalLines = true;
  model.Render();
  int column = static_cast<int>((x + 1.0f) * kSize / 2);
  EXPECT_TRUE(Is(column, 16, {0, 0, 255, 255}));
  EXPECT_TRUE(Is(column, 4, {0, 0, 255, 255}));
  EXPECT_TRUE(Is(column + 4, 16, {0, 0, 0, 255}));
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ((std::vector<float>(colour, colour + 3)), (std::vector<float>{1, 1, 1}));
  EXPECT_FALSE(Enabled(GL_TEXTURE_2D));
  EXPECT_TRUE(Enabled(GL_LIGHTING));  // lines are drawn unlit, then lighting is back on
}

}  // namespace
