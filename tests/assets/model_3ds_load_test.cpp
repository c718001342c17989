// Loading a model from its file: the name, the directory, unit normals,
// totals and the materials' textures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets/model_3ds.h"
#include "chunk_writer.h"
#include "gl_test_context.h"
#include "model_checks.h"

namespace {

namespace fs = std::filesystem;
using sgtest::Bytes;
using sgtest::Chunk;
using sgtest::Vec3;

const std::vector<Vec3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};

class Model3dsLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("sg_model_load_" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const std::string& name, const Bytes& bytes) {
    fs::path path = dir / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path.string();
  }

  fs::path dir;
};

std::string DirectoryFor(const char* text) {
  std::vector<char> name(text, text + std::strlen(text) + 1);
  Model_3DS model;
  model.LoadFromFile(name.data());
  return model.directory;
}

TEST(Model3dsLoadName, DirectoryEndsWithTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(DirectoryFor("datas/qor_fist.3ds"), "datas/");
  EXPECT_EQ(DirectoryFor("a\\b\\m.3ds"), "a\\b\\");
  EXPECT_EQ(DirectoryFor("a\\b/c.3ds"), "a\\b/");
  EXPECT_EQ(DirectoryFor("a/b\\c.3ds"), "a/b\\");
  EXPECT_EQ(DirectoryFor("m.3ds"), "");
  EXPECT_EQ(DirectoryFor("/m.3ds"), "/");
  EXPECT_EQ(DirectoryFor(""), "");
}

TEST(Model3dsLoadName, AMissingFileLeavesAnEmptyModelThatKeepsItsName) {
  char name[] = "no/such/dir/model.3ds";
  Model_3DS model;
  model.LoadFromFile(name);
  EXPECT_EQ(model.objectCount, 0);
  EXPECT_EQ(model.materialCount, 0);
  EXPECT_EQ(model.objectList, nullptr);
  EXPECT_EQ(model.materialList, nullptr);
  EXPECT_EQ(model.FileName(), name);
  EXPECT_STREQ(model.directory, "no/such/dir/");
}

TEST(Model3dsLoadName, ANullNameLeavesAnEmptyModel) {
  Model_3DS model;
  model.LoadFromFile(nullptr);
  EXPECT_EQ(model.objectCount, 0);
  EXPECT_EQ(model.FileName(), nullptr);
}

TEST(Model3dsLoadName, NothingButQuotesIsAnEmptyName) {
  char name[] = "\"\"\"";
  Model_3DS model;
  model.LoadFromFile(name);
  ASSERT_NE(model.FileName(), nullptr);
  EXPECT_STREQ(model.FileName(), "");
  EXPECT_EQ(model.objectCount, 0);
}

TEST_F(Model3dsLoad, AQuotedNameOpensTheFileInside) {
  std::string path = Write("m.3ds", sgtest::ModelFile({sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}))}));
  std::string quoted = "\"" + path + "\" trailing";
  std::vector<char> text(quoted.begin(), quoted.end());
  text.push_back(0);
  Model_3DS model;
  model.LoadFromFile(text.data());
  EXPECT_EQ(model.objectCount, 1);
  // The name is cut in the caller's own text, and the model points into it.
  EXPECT_EQ(model.FileName(), text.data() + 1);
  EXPECT_EQ(std::string(model.FileName()), path);
  EXPECT_EQ(text[path.size() + 1], '\0');
  EXPECT_EQ(std::string(model.directory), dir.string() + "/");
}

TEST_F(Model3dsLoad, NormalsAreUnitAfterLoading) {
  // A tilted fan of faces of different sizes and a vertex on no face.
  std::vector<Vec3> vertices = {{0, 0, 0}, {3, 1, 0}, {0, 2, 5}, {-1, 4, 1}, {9, 9, 9}};
  std::string path = Write("n.3ds", sgtest::ModelFile({sgtest::Object("o", sgtest::Mesh(vertices, {{0, 1, 2}, {0, 2, 3}, {1, 3, 2}}))}));
  Model_3DS model;
  model.LoadFromFile(path.data());
  const ModelObject& object = model.objectList[0];
  for (int v = 0; v < 4; ++v) {
    const float* n = object.normals + 3 * v;
    EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-6f) << v;
  }
  EXPECT_EQ(object.normals[12], 0.0f);
  EXPECT_EQ(object.normals[13], 0.0f);
  EXPECT_EQ(object.normals[14], 0.0f);
}

TEST(Model3dsNormalize, DividesBySquareRootOfTheSumAndLeavesZeroAlone) {
  Model_3DS model;
  Bytes bytes = sgtest::ModelFile({sgtest::Object("o", Chunk(0x4100).Add(sgtest::VertexList({{0, 0, 0}, {0, 0, 0}})))});
  model.LoadFromBytes(bytes.data(), bytes.size());
  float* n = model.objectList[0].normals;
  n[0] = 3.0f;
  n[1] = 4.0f;
  n[2] = 0.0f;
  model.NormalizeNormals();
  EXPECT_FLOAT_EQ(n[0], 0.6f);
  EXPECT_FLOAT_EQ(n[1], 0.8f);
  EXPECT_EQ(n[2], 0.0f);
  EXPECT_EQ(n[3], 0.0f);
  EXPECT_EQ(n[4], 0.0f);
  EXPECT_EQ(n[5], 0.0f);
}

std::vector<Vec3> Vertices(int count) {
  std::vector<Vec3> v;
  for (int i = 0; i < count; ++i) v.push_back({float(i), float(i % 3), float(i % 5)});
  return v;
}

std::vector<sgtest::Tri> Faces(int count, int vertexCount) {
  std::vector<sgtest::Tri> f;
  for (int i = 0; i < count; ++i) {
    f.push_back({uint16_t(i % vertexCount), uint16_t((i + 1) % vertexCount), uint16_t((i + 2) % vertexCount)});
  }
  return f;
}

TEST_F(Model3dsLoad, TotalsSumEveryObject) {
  std::string path = Write("t.3ds", sgtest::ModelFile({sgtest::Object("a", sgtest::Mesh(Vertices(8), Faces(12, 8))),
                                                       sgtest::Object("light", Chunk(0x4600).F32(0).F32(0).F32(0)),
                                                       sgtest::Object("b", sgtest::Mesh(Vertices(24), Faces(6, 24)))}));
  Model_3DS model;
  model.LoadFromFile(path.data());
  EXPECT_EQ(model.vertexTotal, 32);
  EXPECT_EQ(model.faceTotal, 18);
}

// ---- Materials get their textures (OpenGL) ----

class Model3dsLoadGL : public Model3dsLoad {
 protected:
  void SetUp() override {
    Model3dsLoad::SetUp();
    ASSERT_TRUE(gl.Ok());
  }
  sgtest::GLTestContext gl{16, 16};
};

std::vector<uint8_t> TexelsOf(GLuint texture, int level) {
  glBindTexture(GL_TEXTURE_2D, texture);
  return sgtest::ReadBoundTexture(level).rgba;
}

TEST_F(Model3dsLoadGL, ASecondLoadReplacesTheFirst) {
  std::string big = Write("big.3ds", sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 2, 3),
                                                        sgtest::Object("a", sgtest::Mesh(Vertices(8), Faces(12, 8))),
                                                        sgtest::Object("b", sgtest::Mesh(Vertices(24), Faces(6, 24)))}));
  fs::create_directories(dir / "sub");
  std::string small = Write("sub/small.3ds", sgtest::ModelFile({sgtest::Object("c", sgtest::Mesh(kTriangle, {{0, 1, 2}}))}));
  Model_3DS model;
  model.LoadFromFile(big.data());
  ASSERT_EQ(model.objectCount, 2);
  model.LoadFromFile(small.data());
  EXPECT_EQ(sgtest::ModelProblem(model), "");
  EXPECT_EQ(model.objectCount, 1);
  EXPECT_EQ(model.materialCount, 0);
  EXPECT_EQ(model.vertexTotal, 3);
  EXPECT_EQ(model.faceTotal, 1);
  EXPECT_STREQ(model.directory, (dir.string() + "/sub/").c_str());
  // A name without a directory clears the one before.
  char bare[] = "bare.3ds";
  model.LoadFromFile(bare);
  EXPECT_STREQ(model.directory, "");
  EXPECT_EQ(model.objectCount, 0);
}

TEST_F(Model3dsLoadGL, SolidMaterialsGetATwoByTwoTextureOfTheirColour) {
  std::string path = Write("c.3ds", sgtest::ModelFile({sgtest::SolidMaterial("orange", 255, 128, 0),
                                                       sgtest::MappedMaterial("wood", "wood.bmp"),
                                                       Chunk(0xAFFF).Add(Chunk(0xA000).Name("colourless"))}));
  Model_3DS model;
  model.LoadFromFile(path.data());
  ASSERT_EQ(model.materialCount, 3);

  const ModelMaterial& orange = model.materialList[0];
  EXPECT_TRUE(orange.hasTexture);
  ASSERT_NE(orange.texture.texture[0], 0u);
  EXPECT_TRUE(glIsTexture(orange.texture.texture[0]));
  std::vector<uint8_t> texels = TexelsOf(orange.texture.texture[0], 0);
  ASSERT_EQ(texels.size(), 16u);
  for (size_t i = 0; i < texels.size(); i += 4) {
    EXPECT_EQ((std::vector<int>{texels[i], texels[i + 1], texels[i + 2]}), (std::vector<int>{255, 128, 0}));
  }

  const ModelMaterial& wood = model.materialList[1];
  EXPECT_TRUE(wood.hasTexture);
  EXPECT_EQ(wood.texture.texture[0], 0u);

  // No colour chunk: black, and still a texture of its own.
  const ModelMaterial& colourless = model.materialList[2];
  EXPECT_TRUE(colourless.hasTexture);
  ASSERT_NE(colourless.texture.texture[0], 0u);
  std::vector<uint8_t> black = TexelsOf(colourless.texture.texture[0], 0);
  EXPECT_EQ((std::vector<int>{black[0], black[1], black[2]}), (std::vector<int>{0, 0, 0}));
}

TEST_F(Model3dsLoadGL, BytesLoadLeavesTexturesToTheCaller) {
  Bytes bytes = sgtest::ModelFile({sgtest::SolidMaterial("m", 10, 20, 30)});
  Model_3DS model;
  model.LoadFromBytes(bytes.data(), bytes.size());
  EXPECT_FALSE(model.materialList[0].hasTexture);
  EXPECT_EQ(model.materialList[0].texture.texture[0], 0u);
  model.CreateMaterialTextures();
  EXPECT_TRUE(model.materialList[0].hasTexture);
  std::vector<uint8_t> texels = TexelsOf(model.materialList[0].texture.texture[0], 0);
  EXPECT_EQ((std::vector<int>{texels[0], texels[1], texels[2]}), (std::vector<int>{10, 20, 30}));
}

TEST_F(Model3dsLoadGL, TexturesOutliveTheModel) {
  std::string path = Write("k.3ds", sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 2, 3)}));
  GLuint name = 0;
  {
    Model_3DS model;
    model.LoadFromFile(path.data());
    name = model.materialList[0].texture.texture[0];
  }
  EXPECT_TRUE(glIsTexture(name));
}

}  // namespace
