// The chunk reader on byte streams built here: what each chunk contributes,
// and in which order materials, objects and groups are read.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/model_3ds.h"
#include "chunk_writer.h"
#include "model_checks.h"

namespace {

using sgtest::Bytes;
using sgtest::Chunk;
using sgtest::Tri;
using sgtest::Vec3;

void Load(Model_3DS& model, const Bytes& bytes) {
  model.LoadFromBytes(bytes.data(), bytes.size());
  ASSERT_EQ(sgtest::ModelProblem(model), "");
}

// A triangle that reads as (0,0,0), (1,0,0), (0,1,0) once the axes are swapped.
const std::vector<Vec3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};

TEST(Model3dsReader, MaterialsAfterObjectsStillNameTheGroups) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({
                  sgtest::Object("obj", sgtest::Mesh(kTriangle, {{0, 1, 2}},
                                                     {sgtest::FaceGroupChunk("green", {0}),
                                                      sgtest::FaceGroupChunk("red", {0})})),
                  sgtest::SolidMaterial("red", 255, 0, 0),
                  sgtest::SolidMaterial("green", 0, 255, 0),
              }));
  ASSERT_EQ(model.materialCount, 2);
  ASSERT_EQ(model.objectCount, 1);
  EXPECT_STREQ(model.materialList[0].name, "red");
  EXPECT_STREQ(model.materialList[1].name, "green");
  ASSERT_EQ(model.objectList[0].groupCount, 2);
  EXPECT_EQ(model.objectList[0].groups[0].materialIndex, 1);
  EXPECT_EQ(model.objectList[0].groups[1].materialIndex, 0);
}

TEST(Model3dsReader, VerticesTurnFromZUpToYUp) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::Object("o", Chunk(0x4100).Add(sgtest::VertexList({{1, 2, 3}, {-4, 5, -6}})))}));
  const ModelObject& object = model.objectList[0];
  ASSERT_EQ(object.vertexCount, 2);
  const float expected[6] = {1, 3, -2, -4, -6, -5};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(object.vertices[i], expected[i]) << i;
}

TEST(Model3dsReader, ColoursFromFloatsAndBytes) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({
                  sgtest::Material("f", sgtest::FloatColor(0x0010, 0.5f, 0.25f, 1.0f)),
                  sgtest::Material("b", sgtest::ByteColor(0x0011, 10, 20, 30)),
                  sgtest::Material("lf", sgtest::FloatColor(0x0013, 0.0f, 1.0f, 0.1f)),
              }));
  ASSERT_EQ(model.materialCount, 3);
  const ModelColor& f = model.materialList[0].color;
  EXPECT_EQ((std::vector<int>{f.r, f.g, f.b, f.a}), (std::vector<int>{127, 63, 255, 255}));
  const ModelColor& b = model.materialList[1].color;
  EXPECT_EQ((std::vector<int>{b.r, b.g, b.b, b.a}), (std::vector<int>{10, 20, 30, 255}));
  const ModelColor& lf = model.materialList[2].color;
  EXPECT_EQ((std::vector<int>{lf.r, lf.g, lf.b, lf.a}), (std::vector<int>{0, 255, 25, 255}));
}

TEST(Model3dsReader, FloatColoursKeepTheLowEightBitsAndSurviveNonsense) {
  Model_3DS model;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Load(model, sgtest::ModelFile({
                  sgtest::Material("over", sgtest::FloatColor(0x0010, 2.0f, -0.5f, 1.004f)),
                  sgtest::Material("wild", sgtest::FloatColor(0x0010, nan, 1e30f, -1e30f)),
              }));
  const ModelColor& over = model.materialList[0].color;
  // 510 -> 254; -127.5 -> -127 -> 129; 256.02 -> 256 -> 0.
  EXPECT_EQ((std::vector<int>{over.r, over.g, over.b}), (std::vector<int>{254, 129, 0}));
  const ModelColor& wild = model.materialList[1].color;
  EXPECT_EQ((std::vector<int>{wild.r, wild.g, wild.b, wild.a}), (std::vector<int>{0, 0, 0, 255}));
}

TEST(Model3dsReader, LastColourSubChunkWins) {
  Model_3DS model;
  Chunk material = Chunk(0xAFFF)
                       .Add(Chunk(0xA000).Name("m"))
                       .Add(Chunk(0xA020)
                                .Add(sgtest::ByteColor(0x0011, 1, 2, 3))
                                .Add(sgtest::ByteColor(0x0012, 40, 50, 60)));
  Load(model, sgtest::ModelFile({material}));
  const ModelColor& c = model.materialList[0].color;
  EXPECT_EQ((std::vector<int>{c.r, c.g, c.b}), (std::vector<int>{40, 50, 60}));
}

TEST(Model3dsReader, OtherColourChunksOfAMaterialAreIgnored) {
  Model_3DS model;
  Chunk material = Chunk(0xAFFF)
                       .Add(Chunk(0xA000).Name("m"))
                       .Add(Chunk(0xA010).Add(sgtest::ByteColor(0x0011, 1, 1, 1)))  // ambient
                       .Add(Chunk(0xA020).Add(sgtest::ByteColor(0x0011, 7, 8, 9)))
                       .Add(Chunk(0xA030).Add(sgtest::ByteColor(0x0011, 2, 2, 2)));  // specular
  Load(model, sgtest::ModelFile({material}));
  const ModelColor& c = model.materialList[0].color;
  EXPECT_EQ((std::vector<int>{c.r, c.g, c.b}), (std::vector<int>{7, 8, 9}));
  EXPECT_FALSE(model.materialList[0].hasTexture);
}

TEST(Model3dsReader, TextureMapMarksTheMaterialOnly) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::MappedMaterial("mapped", "wood.bmp"), sgtest::SolidMaterial("plain", 1, 2, 3)}));
  EXPECT_TRUE(model.materialList[0].hasTexture);
  EXPECT_FALSE(model.materialList[1].hasTexture);
  EXPECT_EQ(model.materialList[0].texture.texture[0], 0u);
}

TEST(Model3dsReader, DuplicateMaterialNamesResolveToTheFirst) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({
                  sgtest::SolidMaterial("other", 0, 0, 0),
                  sgtest::SolidMaterial("twin", 1, 1, 1),
                  sgtest::SolidMaterial("twin", 2, 2, 2),
                  sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {sgtest::FaceGroupChunk("twin", {0})})),
              }));
  EXPECT_EQ(model.objectList[0].groups[0].materialIndex, 1);
}

TEST(Model3dsReader, MaterialNamesCompareCaseSensitively) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({
                  sgtest::SolidMaterial("Steel", 0, 0, 0),
                  sgtest::SolidMaterial("steel", 1, 1, 1),
                  sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {sgtest::FaceGroupChunk("steel", {0})})),
              }));
  EXPECT_EQ(model.objectList[0].groups[0].materialIndex, 1);
}

TEST(Model3dsReader, LightsAndCamerasTakeAnEmptyObjectSlot) {
  Model_3DS model;
  Chunk light = Chunk(0x4000).Name("lamp").Add(Chunk(0x4600).F32(1).F32(2).F32(3).Add(sgtest::FloatColor(0x0010, 1, 1, 1)));
  Chunk camera = Chunk(0x4000).Name("cam").Add(Chunk(0x4700).F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).F32(0).F32(45));
  Load(model, sgtest::ModelFile({light, sgtest::Object("mesh", sgtest::Mesh(kTriangle, {{0, 1, 2}})), camera}));
  ASSERT_EQ(model.objectCount, 3);
  EXPECT_STREQ(model.objectList[0].name, "lamp");
  EXPECT_STREQ(model.objectList[2].name, "cam");
  for (int i : {0, 2}) {
    const ModelObject& object = model.objectList[i];
    EXPECT_EQ(object.vertexCount, 0);
    EXPECT_EQ(object.faceIndexCount, 0);
    EXPECT_EQ(object.groupCount, 0);
    EXPECT_FALSE(object.hasMapCoords);
    EXPECT_EQ(object.vertices, nullptr);
    EXPECT_EQ(object.groups, nullptr);
  }
  EXPECT_EQ(model.objectList[1].vertexCount, 3);
  EXPECT_EQ(model.vertexTotal, 3);
  EXPECT_EQ(model.faceTotal, 1);
}

TEST(Model3dsReader, GroupsKeepFileOrderAndCopyTheirFaces) {
  Model_3DS model;
  std::vector<Vec3> square = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
  Load(model, sgtest::ModelFile({
                  sgtest::SolidMaterial("a", 1, 0, 0),
                  sgtest::SolidMaterial("b", 0, 1, 0),
                  sgtest::Object("o", sgtest::Mesh(square, {{0, 1, 2}, {0, 2, 3}, {3, 2, 1}},
                                                   {sgtest::FaceGroupChunk("b", {2, 0}),
                                                    sgtest::FaceGroupChunk("a", {1})})),
              }));
  const ModelObject& object = model.objectList[0];
  ASSERT_EQ(object.faceIndexCount, 9);
  ASSERT_EQ(object.groupCount, 2);
  const FaceGroup& first = object.groups[0];
  EXPECT_EQ(first.materialIndex, 1);
  ASSERT_EQ(first.indexCount, 6);
  EXPECT_EQ((std::vector<int>(first.indices, first.indices + 6)), (std::vector<int>{3, 2, 1, 0, 1, 2}));
  const FaceGroup& second = object.groups[1];
  EXPECT_EQ(second.materialIndex, 0);
  ASSERT_EQ(second.indexCount, 3);
  EXPECT_EQ((std::vector<int>(second.indices, second.indices + 3)), (std::vector<int>{0, 2, 3}));
}

TEST(Model3dsReader, MappingCoordinatesAreKeptAsRead) {
  Model_3DS model;
  Chunk mesh = Chunk(0x4100)
                   .Add(sgtest::MapCoords({{0.25f, 0.5f}, {1.0f, -2.0f}, {3.0f, 0.0f}}))
                   .Add(sgtest::VertexList(kTriangle))
                   .Add(sgtest::FaceList({{0, 1, 2}}));
  Load(model, sgtest::ModelFile({sgtest::Object("mapped", mesh), sgtest::Object("bare", sgtest::Mesh(kTriangle, {{0, 1, 2}}))}));
  const ModelObject& mapped = model.objectList[0];
  EXPECT_TRUE(mapped.hasMapCoords);
  ASSERT_EQ(mapped.mapCoordCount, 3);
  const float expected[6] = {0.25f, 0.5f, 1.0f, -2.0f, 3.0f, 0.0f};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(mapped.mapCoords[i], expected[i]);
  EXPECT_FALSE(model.objectList[1].hasMapCoords);
  EXPECT_EQ(model.objectList[1].mapCoords, nullptr);
}

void ExpectNormal(const ModelObject& object, int vertex, const std::vector<float>& expected) {
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_NEAR(object.normals[3 * vertex + axis], expected[axis], 1e-6f) << "vertex " << vertex << " axis " << axis;
  }
}

// Normals end at unit length, so the summing shows in their direction: the
// bigger of two faces pulls a shared corner's normal further its own way.
TEST(Model3dsReader, FaceNormalsAreSummedUnnormalised) {
  // Stored axes: face 0 is (0,0,0), (1,0,0), (0,1,0) with normal (0,0,1);
  // face 1 is (0,0,0), (0,2,0), (0,0,2) with normal (4,0,0). Vertex 5 is on
  // no face.
  std::vector<Vec3> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, -2, 0}, {5, 5, 5}};
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::Object("o", sgtest::Mesh(vertices, {{0, 1, 2}, {0, 3, 4}}))}));
  const ModelObject& object = model.objectList[0];
  const float unit = 1.0f / std::sqrt(17.0f);
  ExpectNormal(object, 0, {4 * unit, 0, unit});
  ExpectNormal(object, 1, {0, 0, 1});
  ExpectNormal(object, 2, {0, 0, 1});
  ExpectNormal(object, 3, {1, 0, 0});
  ExpectNormal(object, 4, {1, 0, 0});
  ExpectNormal(object, 5, {0, 0, 0});
}

TEST(Model3dsReader, ClockwiseFacesPointBackwards) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 2, 1}}))}));
  ExpectNormal(model.objectList[0], 0, {0, 0, -1});
}

// At every level, the chunk after one that was read is read too: no reader
// leaves the walk of its parent anywhere but at its next sibling.
TEST(Model3dsReader, TheChunkAfterEveryReadChunkIsRead) {
  Chunk material = Chunk(0xAFFF)
                       .Add(Chunk(0xA200).Add(Chunk(0xA300).Name("a.bmp")))
                       .Add(Chunk(0xA020).Add(sgtest::ByteColor(0x0011, 1, 2, 3)).Add(sgtest::FloatColor(0x0010, 0, 0, 1)))
                       .Add(Chunk(0xA000).Name("m"));
  Chunk mesh = Chunk(0x4100)
                   .Add(sgtest::MapCoords({{0, 0}, {1, 0}, {0, 1}}))
                   .Add(sgtest::VertexList(kTriangle))
                   .Add(sgtest::FaceList({{0, 1, 2}}, {sgtest::FaceGroupChunk("m", {0}), sgtest::FaceGroupChunk("n", {0})}));
  Model_3DS model;
  Load(model, sgtest::ModelFile({material, sgtest::Object("o", mesh), sgtest::SolidMaterial("n", 4, 5, 6),
                                 sgtest::Object("p", sgtest::Mesh(kTriangle, {{0, 1, 2}}))}));
  ASSERT_EQ(model.materialCount, 2);
  const ModelMaterial& m = model.materialList[0];
  EXPECT_STREQ(m.name, "m");
  EXPECT_TRUE(m.hasTexture);
  EXPECT_EQ((std::vector<int>{m.color.r, m.color.g, m.color.b}), (std::vector<int>{0, 0, 255}));
  EXPECT_STREQ(model.materialList[1].name, "n");
  ASSERT_EQ(model.objectCount, 2);
  const ModelObject& o = model.objectList[0];
  EXPECT_EQ(o.mapCoordCount, 3);
  EXPECT_EQ(o.vertexCount, 3);
  ASSERT_EQ(o.groupCount, 2);
  EXPECT_EQ(o.groups[1].materialIndex, 1);
  EXPECT_EQ(o.groups[1].indexCount, 3);
  EXPECT_STREQ(model.objectList[1].name, "p");
  EXPECT_EQ(model.objectList[1].vertexCount, 3);
}

// A second read into the same model looks groups up among its own
// materials, not among the names an earlier read left behind.
TEST(Model3dsReader, GroupsFindMaterialsRenamedByALaterRead) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("a", 0, 0, 0), sgtest::SolidMaterial("b", 0, 0, 0),
                                 sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {sgtest::FaceGroupChunk("b", {0})}))}));
  ASSERT_EQ(model.objectList[0].groups[0].materialIndex, 1);
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("z", 0, 0, 0), sgtest::SolidMaterial("b", 0, 0, 0),
                                 sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {sgtest::FaceGroupChunk("z", {0})}))}));
  EXPECT_STREQ(model.materialList[0].name, "z");
  EXPECT_EQ(model.objectList[0].groups[0].materialIndex, 0);
  EXPECT_EQ(model.objectList[0].groups[0].indexCount, 3);
}

TEST(Model3dsReader, UnknownChunksAreSkippedWithEverythingInside) {
  Model_3DS model;
  Chunk editor(0x3D3D);
  // An unknown chunk in the editor holding what would otherwise be read.
  editor.Add(Chunk(0x1234).Add(sgtest::SolidMaterial("hidden", 1, 1, 1)).Add(sgtest::Object("hidden", sgtest::Mesh(kTriangle, {{0, 1, 2}}))));
  editor.Add(sgtest::Object("seen", sgtest::Mesh(kTriangle, {{0, 1, 2}})));
  // The keyframer block names objects too; it is never entered.
  Chunk keyframer = Chunk(0xB000).Add(Chunk(0x3D3D).Add(sgtest::Object("keyed", sgtest::Mesh(kTriangle, {{0, 1, 2}}))));
  Bytes bytes = Chunk(0x4D4D).Add(editor).Add(keyframer).Serialize();
  Load(model, bytes);
  ASSERT_EQ(model.objectCount, 1);
  EXPECT_STREQ(model.objectList[0].name, "seen");
  EXPECT_EQ(model.materialCount, 0);
}

TEST(Model3dsReader, TheFirstChunkIsWalkedWhateverItsId) {
  Model_3DS model;
  Bytes bytes = Chunk(0x1111).Add(Chunk(0x3D3D).Add(sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}})))).Serialize();
  Load(model, bytes);
  EXPECT_EQ(model.objectCount, 1);
}

TEST(Model3dsReader, MeshesReadVerticesBeforeFacesWhateverTheOrder) {
  Model_3DS model;
  Chunk mesh = Chunk(0x4100)
                   .Add(sgtest::FaceList({{0, 1, 2}}, {sgtest::FaceGroupChunk("m", {0})}))
                   .Add(sgtest::VertexList(kTriangle));
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("m", 0, 0, 0), sgtest::Object("o", mesh)}));
  const ModelObject& object = model.objectList[0];
  ASSERT_EQ(object.groupCount, 1);
  EXPECT_EQ(object.groups[0].indexCount, 3);
  EXPECT_NEAR(object.normals[2], 1.0f, 1e-6f);
}

}  // namespace
