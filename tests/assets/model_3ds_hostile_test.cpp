// Damaged and hostile files: every one loads without reading outside the file
// or an array and without looping, and keeps what can be trusted.
#include <gtest/gtest.h>

#include <random>

#include "assets/model_3ds.h"
#include "chunk_writer.h"
#include "model_checks.h"

namespace {

using sgtest::Bytes;
using sgtest::Chunk;
using sgtest::Tri;
using sgtest::Vec3;

const std::vector<Vec3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};

void Load(Model_3DS& model, const Bytes& bytes) {
  model.LoadFromBytes(bytes.data(), bytes.size());
  ASSERT_EQ(sgtest::ModelProblem(model), "");
}

Chunk TriangleObject(const std::string& name) { return sgtest::Object(name, sgtest::Mesh(kTriangle, {{0, 1, 2}})); }

// A model with something of everything the reader handles.
Bytes RichModel() {
  std::vector<Vec3> square = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
  Chunk mesh = Chunk(0x4100)
                   .Add(sgtest::VertexList(square))
                   .Add(sgtest::MapCoords({{0, 0}, {1, 0}, {1, 1}, {0, 1}}))
                   .Add(sgtest::FaceList({{0, 1, 2}, {0, 2, 3}},
                                         {sgtest::FaceGroupChunk("red", {0}), sgtest::FaceGroupChunk("map", {1})}));
  return sgtest::ModelFile({
      sgtest::SolidMaterial("red", 255, 0, 0),
      sgtest::MappedMaterial("map", "a.bmp"),
      sgtest::Material("float", sgtest::FloatColor(0x0010, 0.1f, 0.2f, 0.3f)),
      sgtest::Object("square", mesh),
      TriangleObject("tri"),
  });
}

TEST(Model3dsHostile, EmptyAndTinyInputsGiveAnEmptyModel) {
  for (size_t size = 0; size <= 6; ++size) {
    Model_3DS model;
    Bytes bytes(size, 0x4D);
    Load(model, bytes);
    EXPECT_EQ(model.objectCount, 0);
    EXPECT_EQ(model.materialCount, 0);
  }
  Model_3DS model;
  model.LoadFromBytes(nullptr, 0);
  EXPECT_EQ(model.objectCount, 0);
}

TEST(Model3dsHostile, ShortChunkLengthsEndTheirWalk) {
  for (uint32_t length : {0u, 1u, 5u}) {
    Model_3DS model;
    Load(model, sgtest::ModelFile({TriangleObject("before"), Chunk(0x0100).Length(length), TriangleObject("after")}));
    ASSERT_EQ(model.objectCount, 1) << length;
    EXPECT_STREQ(model.objectList[0].name, "before");
  }
}

TEST(Model3dsHostile, AMainChunkShorterThanItsHeaderReadsNothing) {
  Model_3DS model;
  Load(model, Chunk(0x4D4D).Add(Chunk(0x3D3D).Add(TriangleObject("o"))).Length(3).Serialize());
  EXPECT_EQ(model.objectCount, 0);
}

TEST(Model3dsHostile, LengthsPastTheParentAreCutToIt) {
  // The object claims far more than the editor holds: it is read up to the
  // editor's end, and is the editor's last chunk.
  Chunk longObject = TriangleObject("long");
  longObject.Length(0x00100000);
  Model_3DS model;
  Load(model, sgtest::ModelFile({TriangleObject("first"), longObject, TriangleObject("swallowed")}));
  ASSERT_EQ(model.objectCount, 2);
  EXPECT_STREQ(model.objectList[1].name, "long");
  // The cut object still holds its mesh, and the next object's bytes too,
  // which an object does not read as a mesh.
  EXPECT_EQ(model.objectList[1].vertexCount, 3);
}

TEST(Model3dsHostile, WrappingLengthsNeitherWrapNorHang) {
  for (uint32_t length : {0xFFFFFFF0u, 0xFFFFFFFFu, 0xFFFFFFFAu, 0x80000000u}) {
    Model_3DS viaMain;
    Bytes bytes = Chunk(0x4D4D).Add(Chunk(0x3D3D).Add(TriangleObject("o"))).Length(length).Serialize();
    Load(viaMain, bytes);
    EXPECT_EQ(viaMain.objectCount, 1) << length;

    Model_3DS viaVertices;
    Chunk vertices = sgtest::VertexList(kTriangle);
    vertices.Length(length);
    Load(viaVertices, sgtest::ModelFile({sgtest::Object("o", Chunk(0x4100).Add(vertices).Add(sgtest::FaceList({{0, 1, 2}})))}));
    ASSERT_EQ(viaVertices.objectCount, 1);
    EXPECT_EQ(viaVertices.objectList[0].vertexCount, 3) << length;
  }
}

TEST(Model3dsHostile, CountsPastTheirChunkReadOnlyWhatFits) {
  Chunk vertices(0x4110);
  vertices.U16(60000).F32(1).F32(2).F32(3).F32(4).F32(5).F32(6).U8(0xEE);  // 2 vertices and a stray byte
  Chunk coords(0x4140);
  coords.U16(500).F32(0.5f).F32(0.25f);
  Chunk faces(0x4120);
  faces.U16(9999).U16(0).U16(1).U16(0).U16(0);
  Chunk mesh = Chunk(0x4100).Add(vertices).Add(coords).Add(faces);
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::Object("o", mesh)}));
  const ModelObject& object = model.objectList[0];
  EXPECT_EQ(object.vertexCount, 2);
  EXPECT_EQ(object.vertices[3], 4.0f);
  EXPECT_EQ(object.mapCoordCount, 1);
  EXPECT_TRUE(object.hasMapCoords);
  EXPECT_EQ(object.faceIndexCount, 3);
}

TEST(Model3dsHostile, GroupCountsPastTheirChunkReadOnlyWhatFits) {
  Chunk group(0x4130);
  group.Name("m").U16(40000).U16(0);
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 1, 1),
                                 sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {group}))}));
  ASSERT_EQ(model.objectList[0].groupCount, 1);
  EXPECT_EQ(model.objectList[0].groups[0].indexCount, 3);
}

TEST(Model3dsHostile, NamesWithoutATerminatorAreCut) {
  std::string longName(100, 'x');
  Chunk material = Chunk(0xAFFF).Add(Chunk(0xA000).Raw(Bytes(longName.begin(), longName.end())));
  // An object name of exactly 80 bytes with no zero: the mesh follows it.
  Chunk object(0x4000);
  object.Raw(Bytes(80, 'y')).Add(sgtest::Mesh(kTriangle, {{0, 1, 2}}));
  Model_3DS model;
  Load(model, sgtest::ModelFile({material, object}));
  EXPECT_EQ(std::string(model.materialList[0].name), std::string(79, 'x'));
  EXPECT_EQ(std::string(model.objectList[0].name), std::string(79, 'y'));
  EXPECT_EQ(model.objectList[0].vertexCount, 3);
}

TEST(Model3dsHostile, NamesCutOffByTheirChunkStayTerminated) {
  Chunk name(0xA000);
  name.Raw({'a', 'b', 'c'});  // no zero before the chunk ends
  Chunk material = Chunk(0xAFFF).Add(name).Add(Chunk(0xA020).Add(sgtest::ByteColor(0x0011, 5, 6, 7)));
  Model_3DS model;
  Load(model, sgtest::ModelFile({material}));
  EXPECT_STREQ(model.materialList[0].name, "abc");
  EXPECT_EQ(model.materialList[0].color.r, 5);
}

TEST(Model3dsHostile, AGroupNamingNoMaterialGetsMinusOne) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 1, 1),
                                 sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {sgtest::FaceGroupChunk("nope", {0})}))}));
  EXPECT_EQ(model.objectList[0].groups[0].materialIndex, -1);
  EXPECT_EQ(model.objectList[0].groups[0].indexCount, 3);

  Model_3DS noMaterials;
  Load(noMaterials, sgtest::ModelFile({sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {sgtest::FaceGroupChunk("", {0})}))}));
  EXPECT_EQ(noMaterials.objectList[0].groups[0].materialIndex, -1);
}

TEST(Model3dsHostile, GroupFaceNumbersPastTheFaceListAreDropped) {
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 1, 1),
                                 sgtest::Object("o", sgtest::Mesh(kTriangle, {{0, 1, 2}}, {sgtest::FaceGroupChunk("m", {1, 0, 65535, 0})}))}));
  const FaceGroup& group = model.objectList[0].groups[0];
  ASSERT_EQ(group.indexCount, 6);
  EXPECT_EQ((std::vector<int>(group.indices, group.indices + 6)), (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

TEST(Model3dsHostile, FacesPastTheVertexListAreNeverDrawnAndGiveNoNormal) {
  std::vector<Vec3> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 1, 1),
                                 sgtest::Object("o", sgtest::Mesh(vertices, {{0, 1, 2}, {3, 1, 4}, {65535, 0, 1}},
                                                                  {sgtest::FaceGroupChunk("m", {0, 1, 2})}))}));
  const ModelObject& object = model.objectList[0];
  EXPECT_EQ(object.faceIndexCount, 9);  // kept as read
  EXPECT_EQ(model.faceTotal, 3);
  ASSERT_EQ(object.groups[0].indexCount, 3);
  // Vertex 3 belongs to no usable face: its normal stays zero.
  EXPECT_EQ(object.normals[9], 0.0f);
  EXPECT_EQ(object.normals[10], 0.0f);
  EXPECT_EQ(object.normals[11], 0.0f);
}

TEST(Model3dsHostile, FacesWithNoVertexListAreNeverDrawn) {
  Chunk mesh = Chunk(0x4100).Add(sgtest::FaceList({{0, 1, 2}}, {sgtest::FaceGroupChunk("m", {0})}));
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 1, 1), sgtest::Object("o", mesh)}));
  EXPECT_EQ(model.objectList[0].groups[0].indexCount, 0);
}

TEST(Model3dsHostile, ASecondVertexListReplacesTheFirstAndItsFaces) {
  // Two mesh chunks in one object: the later mesh is the one kept, and no
  // face of the first can index past the second's shorter vertex list.
  std::vector<Vec3> big = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}, {2, 0, 2}};
  Chunk object = Chunk(0x4000)
                     .Name("o")
                     .Add(sgtest::Mesh(big, {{2, 3, 4}}, {sgtest::FaceGroupChunk("m", {0})}))
                     .Add(Chunk(0x4100).Add(sgtest::VertexList(kTriangle)));
  Model_3DS model;
  Load(model, sgtest::ModelFile({sgtest::SolidMaterial("m", 1, 1, 1), object}));
  const ModelObject& o = model.objectList[0];
  EXPECT_EQ(o.vertexCount, 3);
  EXPECT_EQ(o.faceIndexCount, 0);
  EXPECT_EQ(o.groupCount, 0);
}

TEST(Model3dsHostile, ALaterEditorChunkReplacesAnEarlierOne) {
  Chunk first = Chunk(0x3D3D).Add(TriangleObject("a")).Add(TriangleObject("b")).Add(sgtest::SolidMaterial("m", 1, 1, 1));
  Chunk second = Chunk(0x3D3D).Add(TriangleObject("c"));
  Model_3DS model;
  Load(model, Chunk(0x4D4D).Add(first).Add(second).Serialize());
  ASSERT_EQ(model.objectCount, 1);
  EXPECT_EQ(model.materialCount, 0);
  EXPECT_STREQ(model.objectList[0].name, "c");
}

// Chunks that fill a material or an object, found where none is being
// filled: each level reads only its own sub-chunks, so these change nothing.
TEST(Model3dsHostile, ChunksOutsideTheirParentAreSkipped) {
  std::vector<Vec3> square = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
  Chunk editor = Chunk(0x3D3D)
                     .Add(sgtest::SolidMaterial("m", 1, 1, 1))
                     .Add(TriangleObject("o"))
                     .Add(Chunk(0xA000).Name("stray"))
                     .Add(sgtest::ByteColor(0x0011, 9, 9, 9))
                     .Add(Chunk(0xA300).Name("a.bmp"))
                     .Add(sgtest::VertexList(square))
                     .Add(sgtest::FaceGroupChunk("m", {0}))
                     .Add(sgtest::Mesh(square, {{0, 1, 2}}));
  Bytes bytes = Chunk(0x4D4D)
                    .Add(sgtest::SolidMaterial("outside", 2, 2, 2))
                    .Add(TriangleObject("outside"))
                    .Add(editor)
                    .Serialize();
  Model_3DS model;
  Load(model, bytes);
  ASSERT_EQ(model.materialCount, 1);
  const ModelMaterial& material = model.materialList[0];
  EXPECT_STREQ(material.name, "m");
  EXPECT_EQ((std::vector<int>{material.color.r, material.color.g, material.color.b}), (std::vector<int>{1, 1, 1}));
  EXPECT_FALSE(material.hasTexture);
  ASSERT_EQ(model.objectCount, 1);
  EXPECT_STREQ(model.objectList[0].name, "o");
  EXPECT_EQ(model.objectList[0].vertexCount, 3);
  EXPECT_EQ(model.objectList[0].groupCount, 0);
}

TEST(Model3dsHostile, EveryTruncationLoads) {
  Bytes bytes = RichModel();
  Model_3DS full;
  Load(full, bytes);
  ASSERT_EQ(full.objectCount, 2);
  ASSERT_EQ(full.materialCount, 3);
  for (size_t size = 0; size < bytes.size(); ++size) {
    Model_3DS model;
    model.LoadFromBytes(bytes.data(), size);
    ASSERT_EQ(sgtest::ModelProblem(model), "") << size;
    EXPECT_LE(model.objectCount, 2);
    EXPECT_LE(model.vertexTotal, full.vertexTotal);
  }
}

// Every byte of a good file set to values that tend to break parsers.
TEST(Model3dsHostile, EverySingleByteCorruptionLoads) {
  Bytes bytes = RichModel();
  for (size_t at = 0; at < bytes.size(); ++at) {
    for (uint8_t value : {0x00, 0x01, 0x05, 0x06, 0x7F, 0x80, 0xFE, 0xFF}) {
      Bytes damaged = bytes;
      damaged[at] = value;
      Model_3DS model;
      model.LoadFromBytes(damaged.data(), damaged.size());
      ASSERT_EQ(sgtest::ModelProblem(model), "") << "byte " << at << " = " << int(value);
    }
  }
}

TEST(Model3dsHostile, RandomDamageLoads) {
  Bytes bytes = RichModel();
  std::mt19937 random(1234);
  for (int round = 0; round < 3000; ++round) {
    Bytes damaged = bytes;
    int changes = 1 + static_cast<int>(random() % 8);
    for (int c = 0; c < changes; ++c) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
    damaged.resize(damaged.size() - random() % 16);
    Model_3DS model;
    model.LoadFromBytes(damaged.data(), damaged.size());
    ASSERT_EQ(sgtest::ModelProblem(model), "") << "round " << round;
  }
}

TEST(Model3dsHostile, AModelCanBeReadAgain) {
  Model_3DS model;
  Load(model, RichModel());
  Load(model, sgtest::ModelFile({TriangleObject("only")}));
  EXPECT_EQ(model.objectCount, 1);
  EXPECT_EQ(model.materialCount, 0);
  EXPECT_EQ(model.vertexTotal, 3);
  EXPECT_EQ(model.faceTotal, 1);
  Load(model, Bytes());
  EXPECT_EQ(model.objectCount, 0);
  EXPECT_EQ(model.vertexTotal, 0);
}

}  // namespace
