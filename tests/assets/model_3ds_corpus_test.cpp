// Real 3D Studio files written by other tools. Each loads with what a plain
// walk of the chunk tree, written here from the file format, finds in it; and
// every prefix of each loads without harm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/model_3ds.h"
#include "gl_test_context.h"
#include "model_checks.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Empty when the build has no corpus.
fs::path CorpusDir() {
  const fs::path root = STORMGLASS_CORPUS_DIR;
  return root.empty() ? root : root / "3ds";
}

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(CorpusDir(), error)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- An independent look at the chunk tree ----

struct ExpectedMaterial {
  std::string name;
  int r = 0, g = 0, b = 0;
  bool mapped = false;
};

struct ExpectedObject {
  std::string name;
  int vertices = 0;
  int faces = 0;
  int groups = 0;
  bool mapped = false;
};

struct Expected {
  std::vector<ExpectedMaterial> materials;
  std::vector<ExpectedObject> objects;
};

uint32_t Le(const Bytes& b, size_t at, int width) {
  uint32_t v = 0;
  for (int i = 0; i < width; ++i) v |= uint32_t(b[at + i]) << (8 * i);
  return v;
}

// Visits the chunks laid end to end in [from, end): id, data start, chunk end.
template <typename F>
void EachChunk(const Bytes& b, size_t from, size_t end, F f) {
  size_t at = from;
  while (at + 6 <= end) {
    uint32_t length = Le(b, at + 2, 4);
    if (length < 6 || at + length > end) return;
    f(static_cast<uint16_t>(Le(b, at, 2)), at + 6, at + length);
    at += length;
  }
}

std::string CString(const Bytes& b, size_t at) {
  std::string s;
  while (at < b.size() && b[at] != 0) s.push_back(static_cast<char>(b[at++]));
  return s;
}

ExpectedMaterial ExamineMaterial(const Bytes& b, size_t from, size_t end) {
  ExpectedMaterial m;
  EachChunk(b, from, end, [&](uint16_t id, size_t data, size_t chunkEnd) {
    if (id == 0xA000) m.name = CString(b, data);
    if (id == 0xA200) {
      EachChunk(b, data, chunkEnd, [&](uint16_t mapId, size_t, size_t) { m.mapped |= mapId == 0xA300; });
    }
    if (id != 0xA020) return;
    EachChunk(b, data, chunkEnd, [&](uint16_t colorId, size_t c, size_t) {
      if (colorId == 0x0011 || colorId == 0x0012) {
        m.r = b[c];
        m.g = b[c + 1];
        m.b = b[c + 2];
      }
      if (colorId == 0x0010 || colorId == 0x0013) {
        float f[3];
        for (int i = 0; i < 3; ++i) {
          uint32_t bits = Le(b, c + 4 * i, 4);
          std::memcpy(&f[i], &bits, 4);
        }
        m.r = static_cast<int>(f[0] * 255.0) & 0xFF;
        m.g = static_cast<int>(f[1] * 255.0) & 0xFF;
        m.b = static_cast<int>(f[2] * 255.0) & 0xFF;
      }
    });
  });
  return m;
}

ExpectedObject ExamineObject(const Bytes& b, size_t from, size_t end) {
  ExpectedObject o;
  o.name = CString(b, from);
  EachChunk(b, from + o.name.size() + 1, end, [&](uint16_t id, size_t data, size_t chunkEnd) {
    if (id != 0x4100) return;
    EachChunk(b, data, chunkEnd, [&](uint16_t meshId, size_t m, size_t meshEnd) {
      if (meshId == 0x4110) o.vertices = static_cast<int>(Le(b, m, 2));
      if (meshId == 0x4140) o.mapped = true;
      if (meshId != 0x4120) return;
      o.faces = static_cast<int>(Le(b, m, 2));
      EachChunk(b, m + 2 + 8 * size_t(o.faces), meshEnd, [&](uint16_t faceId, size_t, size_t) {
        if (faceId == 0x4130) ++o.groups;
      });
    });
  });
  return o;
}

Expected Examine(const Bytes& b) {
  Expected e;
  if (b.size() < 6) return e;
  size_t mainEnd = std::min<size_t>(b.size(), Le(b, 2, 4));
  EachChunk(b, 6, mainEnd, [&](uint16_t id, size_t data, size_t end) {
    if (id != 0x3D3D) return;
    EachChunk(b, data, end, [&](uint16_t sub, size_t subData, size_t subEnd) {
      if (sub == 0xAFFF) e.materials.push_back(ExamineMaterial(b, subData, subEnd));
      if (sub == 0x4000) e.objects.push_back(ExamineObject(b, subData, subEnd));
    });
  });
  return e;
}

// ---- The tests ----

class Model3dsCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  }
  std::vector<fs::path> files;
};

TEST_F(Model3dsCorpus, EveryFileLoadsWhatItsChunkTreeHolds) {
  sgtest::GLTestContext gl(16, 16);
  ASSERT_TRUE(gl.Ok());
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    Expected expected = Examine(ReadFile(path));
    std::string name = path.string();
    Model_3DS model;
    model.LoadFromFile(name.data());
    ASSERT_EQ(sgtest::ModelProblem(model), "");
    ASSERT_EQ(model.materialCount, static_cast<int>(expected.materials.size()));
    ASSERT_EQ(model.objectCount, static_cast<int>(expected.objects.size()));
    int vertexTotal = 0, faceTotal = 0;
    for (int i = 0; i < model.materialCount; ++i) {
      const ModelMaterial& m = model.materialList[i];
      const ExpectedMaterial& x = expected.materials[i];
      EXPECT_EQ(m.name, x.name);
      EXPECT_EQ((std::vector<int>{m.color.r, m.color.g, m.color.b}), (std::vector<int>{x.r, x.g, x.b})) << x.name;
      EXPECT_TRUE(m.hasTexture);
      EXPECT_EQ(m.texture.texture[0] == 0, x.mapped) << x.name;
    }
    for (int i = 0; i < model.objectCount; ++i) {
      const ModelObject& o = model.objectList[i];
      const ExpectedObject& x = expected.objects[i];
      EXPECT_EQ(o.name, x.name);
      EXPECT_EQ(o.vertexCount, x.vertices) << x.name;
      EXPECT_EQ(o.faceIndexCount, 3 * x.faces) << x.name;
      EXPECT_EQ(o.groupCount, x.groups) << x.name;
      EXPECT_EQ(o.hasMapCoords, x.mapped) << x.name;
      vertexTotal += x.vertices;
      faceTotal += x.faces;
    }
    EXPECT_EQ(model.vertexTotal, vertexTotal);
    EXPECT_EQ(model.faceTotal, faceTotal);
  }
}

// What the corpus's own notes say, so the walk above is checked too.
TEST_F(Model3dsCorpus, KnownFilesHoldWhatTheirNotesSay) {
  auto load = [&](const char* file, Model_3DS& model) {
    Bytes bytes = ReadFile(CorpusDir() / file);
    model.LoadFromBytes(bytes.data(), bytes.size());
    return !bytes.empty();
  };
  Model_3DS test1;
  ASSERT_TRUE(load("assimp_test1.3ds", test1));
  EXPECT_EQ(test1.objectCount, 9);
  EXPECT_EQ(test1.materialCount, 3);
  EXPECT_EQ(sgtest::TotalGroups(test1), 9);

  Model_3DS cubes;
  ASSERT_TRUE(load("assimp_cubes_with_alpha.3DS", cubes));
  EXPECT_EQ(cubes.objectCount, 5);
  EXPECT_EQ(cubes.materialCount, 5);

  Model_3DS fels;
  ASSERT_TRUE(load("assimp_fels.3ds", fels));
  ASSERT_EQ(fels.objectCount, 1);
  EXPECT_EQ(fels.vertexTotal, 386);
  EXPECT_EQ(fels.faceTotal, 768);
  EXPECT_FALSE(fels.objectList[0].hasMapCoords);

  Model_3DS empty;
  load("assimp_invalid_empty.3ds", empty);
  EXPECT_EQ(empty.objectCount, 0);
  EXPECT_EQ(empty.materialCount, 0);
}

TEST_F(Model3dsCorpus, NormalsOfRealMeshesAreUnitOrZero) {
  for (const fs::path& path : files) {
    Bytes bytes = ReadFile(path);
    Model_3DS model;
    model.LoadFromBytes(bytes.data(), bytes.size());
    for (int o = 0; o < model.objectCount; ++o) {
      const ModelObject& object = model.objectList[o];
      for (int v = 0; v < object.vertexCount; ++v) {
        const float* n = object.normals + 3 * v;
        float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length != 0.0f) {
          ASSERT_NEAR(length, 1.0f, 1e-5f) << path.filename() << " object " << o << " vertex " << v;
        }
      }
    }
  }
}

TEST_F(Model3dsCorpus, EveryPrefixOfEveryFileLoads) {
  for (const fs::path& path : files) {
    Bytes bytes = ReadFile(path);
    for (size_t size = 0; size <= bytes.size(); ++size) {
      Model_3DS model;
      model.LoadFromBytes(bytes.data(), size);
      ASSERT_EQ(sgtest::ModelProblem(model), "") << path.filename() << " cut to " << size;
    }
  }
}

}  // namespace
