// The generated model, read back by a chunk walker of the test's own: every
// chunk well-formed, the features the program's reader meets, sound indices,
// outward-facing triangles and an upright fist.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "content_test_util.h"
#include "fist_model.h"

namespace {

struct Chunk {
  uint16_t id = 0;
  size_t begin = 0;  // first byte after the header
  size_t end = 0;    // one past the chunk's last byte
};

struct Vec {
  double x, y, z;
};

struct MeshObject {
  std::string name;
  bool hasMesh = false, hasLight = false, hasCamera = false;
  std::vector<Vec> vertices;  // as stored in the file
  size_t mapCoords = 0;
  bool hasMapCoords = false;
  std::vector<std::array<uint16_t, 3>> faces;
  std::vector<std::pair<std::string, std::vector<uint16_t>>> groups;
};

struct Material {
  std::string name;
  bool byteColour = false, floatColour = false, textureMap = false;
  int r = -1, g = -1, b = -1;
};

// Reads the file strictly: a chunk that overruns its parent fails the test.
class ModelFile {
 public:
  explicit ModelFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::vector<Chunk> Children(size_t begin, size_t end) {
    std::vector<Chunk> chunks;
    size_t at = begin;
    while (at < end) {
      if (end - at < 6) {
        ADD_FAILURE() << "stray bytes at " << at;
        break;
      }
      const uint32_t length = U32(at + 2);
      if (length < 6 || length > end - at) {
        ADD_FAILURE() << "chunk at " << at << " has length " << length << ", parent ends at " << end;
        break;
      }
      chunks.push_back({U16(at), at + 6, at + length});
      at += length;
    }
    return chunks;
  }
  uint16_t U16(size_t at) const { return static_cast<uint16_t>(bytes_.at(at) | (bytes_.at(at + 1) << 8)); }
  uint32_t U32(size_t at) const { return U16(at) | (static_cast<uint32_t>(U16(at + 2)) << 16); }
  float F32(size_t at) const {
    const uint32_t bits = U32(at);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
  }
  // A zero-terminated name of at most 80 bytes; at moves past it.
  std::string Name(size_t& at, size_t end) const {
    std::string name;
    while (at < end && bytes_.at(at) != 0) name += static_cast<char>(bytes_[at++]);
    EXPECT_LT(at, end) << "name without terminator";
    EXPECT_LT(name.size(), 80u);
    ++at;
    return name;
  }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

struct Model {
  std::vector<Material> materials;
  std::vector<MeshObject> objects;
  std::set<uint16_t> mainChildren, keyframerChildren;
};

void ReadFaceList(ModelFile& file, const Chunk& chunk, MeshObject& object) {
  const uint16_t count = file.U16(chunk.begin);
  size_t at = chunk.begin + 2;
  ASSERT_LE(at + count * 8u, chunk.end);
  for (int i = 0; i < count; ++i, at += 8) object.faces.push_back({file.U16(at), file.U16(at + 2), file.U16(at + 4)});
  for (const Chunk& sub : file.Children(at, chunk.end)) {
    if (sub.id != 0x4130) continue;
    size_t p = sub.begin;
    const std::string name = file.Name(p, sub.end);
    const uint16_t entries = file.U16(p);
    ASSERT_EQ(p + 2 + entries * 2u, sub.end) << "group size";
    std::vector<uint16_t> numbers;
    for (int i = 0; i < entries; ++i) numbers.push_back(file.U16(p + 2 + i * 2));
    object.groups.push_back({name, numbers});
  }
}

void ReadObject(ModelFile& file, const Chunk& chunk, MeshObject& object) {
  size_t at = chunk.begin;
  object.name = file.Name(at, chunk.end);
  for (const Chunk& kind : file.Children(at, chunk.end)) {
    object.hasLight |= kind.id == 0x4600;
    object.hasCamera |= kind.id == 0x4700;
    if (kind.id != 0x4100) continue;
    object.hasMesh = true;
    for (const Chunk& part : file.Children(kind.begin, kind.end)) {
      if (part.id == 0x4110) {
        const uint16_t count = file.U16(part.begin);
        ASSERT_EQ(part.begin + 2 + count * 12u, part.end);
        for (int i = 0; i < count; ++i) {
          const size_t p = part.begin + 2 + i * 12u;
          object.vertices.push_back({file.F32(p), file.F32(p + 4), file.F32(p + 8)});
        }
      } else if (part.id == 0x4140) {
        object.hasMapCoords = true;
        object.mapCoords = file.U16(part.begin);
        ASSERT_EQ(part.begin + 2 + object.mapCoords * 8, part.end);
      } else if (part.id == 0x4120) {
        ReadFaceList(file, part, object);
      }
    }
  }
}

void ReadMaterial(ModelFile& file, const Chunk& chunk, Material& material) {
  for (const Chunk& part : file.Children(chunk.begin, chunk.end)) {
    if (part.id == 0xA000) {
      size_t at = part.begin;
      material.name = file.Name(at, part.end);
    } else if (part.id == 0xA020) {
      for (const Chunk& colour : file.Children(part.begin, part.end)) {
        if (colour.id == 0x0011) {
          material.byteColour = true;
          material.r = file.U16(colour.begin) & 0xFF;
          material.g = file.U16(colour.begin + 1) & 0xFF;
          material.b = file.U16(colour.begin + 2) & 0xFF;
        } else if (colour.id == 0x0010) {
          material.floatColour = true;
          material.r = static_cast<int>(file.F32(colour.begin) * 255.0);
          material.g = static_cast<int>(file.F32(colour.begin + 4) * 255.0);
          material.b = static_cast<int>(file.F32(colour.begin + 8) * 255.0);
        }
      }
    } else if (part.id == 0xA200) {
      for (const Chunk& map : file.Children(part.begin, part.end)) material.textureMap |= map.id == 0xA300;
    }
  }
}

Model Walk(std::vector<uint8_t> bytes) {
  ModelFile file(std::move(bytes));
  Model model;
  const std::vector<Chunk> top = file.Children(0, file.Size());
  EXPECT_EQ(top.size(), 1u);
  if (top.empty()) return model;
  EXPECT_EQ(top[0].id, 0x4D4D);
  EXPECT_EQ(top[0].end, file.Size()) << "the main chunk covers the whole file";
  for (const Chunk& section : file.Children(top[0].begin, top[0].end)) {
    model.mainChildren.insert(section.id);
    if (section.id == 0xB000) {
      for (const Chunk& key : file.Children(section.begin, section.end)) model.keyframerChildren.insert(key.id);
    }
    if (section.id != 0x3D3D) continue;
    for (const Chunk& item : file.Children(section.begin, section.end)) {
      if (item.id == 0xAFFF) {
        model.materials.emplace_back();
        ReadMaterial(file, item, model.materials.back());
      } else if (item.id == 0x4000) {
        model.objects.emplace_back();
        ReadObject(file, item, model.objects.back());
      }
    }
  }
  return model;
}

// The axes the program draws in: (X, Z, -Y) of the file's.
Vec Drawn(const Vec& v) { return {v.x, v.z, -v.y}; }

class FistModel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { model_ = new Model(Walk(sgcontent::BuildFistModel())); }
  static void TearDownTestSuite() { delete model_; }
  static Model* model_;
};
Model* FistModel::model_ = nullptr;

TEST_F(FistModel, HasTheFilesSections) {
  EXPECT_TRUE(model_->mainChildren.count(0x0002)) << "version";
  EXPECT_TRUE(model_->mainChildren.count(0x3D3D)) << "editor";
  EXPECT_TRUE(model_->mainChildren.count(0xB000)) << "keyframer";
  EXPECT_GE(model_->keyframerChildren.size(), 3u);
  EXPECT_TRUE(model_->keyframerChildren.count(0xB002)) << "object nodes";
}

TEST_F(FistModel, MaterialsCoverEveryColourForm) {
  ASSERT_GE(model_->materials.size(), 3u);
  bool bytes = false, floats = false, texture = false;
  for (const Material& m : model_->materials) {
    bytes |= m.byteColour;
    floats |= m.floatColour;
    texture |= m.textureMap;
    EXPECT_FALSE(m.name.empty());
    // Added over dark pictures without a depth test, surfaces stack up:
    // visible, but well short of white.
    EXPECT_GE(std::max({m.r, m.g, m.b}), 40) << m.name;
    EXPECT_LE(std::max({m.r, m.g, m.b}), 160) << m.name;
  }
  EXPECT_TRUE(bytes && floats && texture);
}

TEST_F(FistModel, ObjectsAreTheFistsPartsPlusALampOrCamera) {
  std::set<std::string> names;
  int meshes = 0, others = 0;
  size_t faces = 0;
  for (const MeshObject& object : model_->objects) {
    names.insert(object.name);
    if (object.hasMesh) {
      ++meshes;
      faces += object.faces.size();
    }
    if ((object.hasLight || object.hasCamera) && !object.hasMesh) ++others;
  }
  EXPECT_EQ(names.size(), model_->objects.size()) << "names are unique";
  for (const char* part : {"Palm", "Thumb", "Wrist", "Finger1", "Finger2", "Finger3", "Finger4"}) {
    EXPECT_TRUE(names.count(part)) << part;
  }
  EXPECT_GE(meshes, 7);
  EXPECT_GE(others, 1);
  EXPECT_GE(faces, 2000u);
  EXPECT_LE(faces, 20000u);
}

TEST_F(FistModel, IndicesGroupsAndMapCoordsAreSound) {
  std::set<std::string> materialNames;
  for (const Material& m : model_->materials) materialNames.insert(m.name);
  int withMapCoords = 0, withoutMapCoords = 0;
  for (const MeshObject& object : model_->objects) {
    if (!object.hasMesh) continue;
    SCOPED_TRACE(object.name);
    ASSERT_LT(object.vertices.size(), 65535u);
    for (const auto& face : object.faces) {
      for (uint16_t index : face) {
        ASSERT_LT(index, object.vertices.size());
      }
    }
    (object.hasMapCoords ? withMapCoords : withoutMapCoords) += 1;
    if (object.hasMapCoords) {
      EXPECT_EQ(object.mapCoords, object.vertices.size());
    }
    // Every face in exactly one group, every group naming a material.
    std::vector<int> uses(object.faces.size(), 0);
    ASSERT_FALSE(object.groups.empty());
    for (const auto& [material, numbers] : object.groups) {
      EXPECT_TRUE(materialNames.count(material)) << material;
      for (uint16_t f : numbers) {
        ASSERT_LT(f, object.faces.size());
        ++uses[f];
      }
    }
    EXPECT_EQ(std::count(uses.begin(), uses.end(), 1), static_cast<long>(uses.size()));
  }
  EXPECT_GT(withMapCoords, 0);
  EXPECT_GT(withoutMapCoords, 0);
}

TEST_F(FistModel, TrianglesFaceOutwards) {
  // A closed surface wound counter-clockwise seen from outside encloses a
  // positive signed volume, whatever its shape; reversed winding makes it
  // negative. Checked in the drawing axes, where the program sums its normals.
  for (const MeshObject& object : model_->objects) {
    if (!object.hasMesh) continue;
    double volume = 0;
    for (const auto& face : object.faces) {
      const Vec a = Drawn(object.vertices[face[0]]);
      const Vec b = Drawn(object.vertices[face[1]]);
      const Vec c = Drawn(object.vertices[face[2]]);
      volume += a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x);
    }
    EXPECT_GT(volume / 6, 1e6) << object.name;
  }
}

TEST_F(FistModel, StandsUprightAlongZWithFingersOnTop) {
  std::map<std::string, std::pair<double, double>> zRange;
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9, minZ = 1e9, maxZ = -1e9;
  for (const MeshObject& object : model_->objects) {
    if (!object.hasMesh) continue;
    auto& range = zRange[object.name];
    range = {1e9, -1e9};
    for (const Vec& v : object.vertices) {
      minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
      minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
      minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
      range.first = std::min(range.first, v.z), range.second = std::max(range.second, v.z);
    }
  }
  EXPECT_GT(maxZ - minZ, 1.5 * (maxX - minX));
  EXPECT_GT(maxZ - minZ, 1.5 * (maxY - minY));
  EXPECT_LT(std::fabs(maxZ + minZ) / 2, 0.1 * (maxZ - minZ)) << "centred, so it turns about its middle";
  for (const char* finger : {"Finger1", "Finger2", "Finger3", "Finger4"}) {
    EXPECT_GT(zRange[finger].first, zRange["Wrist"].second) << finger;
  }
}

TEST(FistModelFile, GeneratorWritesTheSameBytesEveryRun) {
  const std::string folder = sgtest::ScratchFolder("model");
  const std::string first = folder + "/first.3ds", second = folder + "/second.3ds";
  ASSERT_EQ(sgtest::RunCommand(std::string("'") + STORMGLASS_CONTENT_TOOL + "' model '" + first + "'").status, 0);
  ASSERT_EQ(sgtest::RunCommand(std::string("'") + STORMGLASS_CONTENT_TOOL + "' model '" + second + "'").status, 0);
  const std::vector<uint8_t> a = sgtest::ReadBytes(first), b = sgtest::ReadBytes(second);
  EXPECT_GT(a.size(), 10000u);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, sgcontent::BuildFistModel());
}

}  // namespace
