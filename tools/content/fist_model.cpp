#include "fist_model.h"

#include <array>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "le_bytes.h"

namespace sgcontent {
namespace {

constexpr float kPi = 3.14159265358979f;
// Moves the fist so it turns about its middle, then sizes it for a camera
// some 4000 units away: about 2200 units tall.
constexpr float kLift = 315;
constexpr float kScale = 1.6f;

struct Vec3 {
  float x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 Normalized(Vec3 a) { return a * (1.0f / std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z)); }

struct Triangle {
  uint16_t a, b, c;
  int material;
};

// One named mesh object under construction.
struct Mesh {
  Mesh(std::string meshName, bool withMapCoords) : name(std::move(meshName)), hasMapCoords(withMapCoords) {}

  std::string name;
  bool hasMapCoords = false;
  std::vector<Vec3> vertices;
  std::vector<std::array<float, 2>> mapCoords;
  std::vector<Triangle> faces;

  uint16_t Vertex(Vec3 p, float u, float v) {
    vertices.push_back(p);
    mapCoords.push_back({u, v});
    return static_cast<uint16_t>(vertices.size() - 1);
  }
  // Corners in counter-clockwise order seen from outside.
  void Quad(uint16_t a, uint16_t b, uint16_t c, uint16_t d, int material) {
    faces.push_back({a, b, c, material});
    faces.push_back({a, c, d, material});
  }
};

// A grid over each side of an axis-aligned box; each side spans u x v with
// u x v pointing out of the box.
void AddBox(Mesh& mesh, Vec3 lo, Vec3 hi, int nx, int ny, int nz, int sideMaterial, int topMaterial) {
  const Vec3 size = hi - lo;
  struct Side {
    Vec3 origin, u, v;
    int nu, nv;
    bool top;
  };
  const Side sides[] = {
      {{hi.x, lo.y, lo.z}, {0, size.y, 0}, {0, 0, size.z}, ny, nz, false},
      {{lo.x, hi.y, lo.z}, {0, -size.y, 0}, {0, 0, size.z}, ny, nz, false},
      {{hi.x, hi.y, lo.z}, {-size.x, 0, 0}, {0, 0, size.z}, nx, nz, false},
      {{lo.x, lo.y, lo.z}, {size.x, 0, 0}, {0, 0, size.z}, nx, nz, false},
      {{lo.x, lo.y, hi.z}, {size.x, 0, 0}, {0, size.y, 0}, nx, ny, true},
      {{lo.x, hi.y, lo.z}, {size.x, 0, 0}, {0, -size.y, 0}, nx, ny, false},
  };
  for (const Side& side : sides) {
    const uint16_t first = static_cast<uint16_t>(mesh.vertices.size());
    for (int j = 0; j <= side.nv; ++j)
      for (int i = 0; i <= side.nu; ++i) {
        const float s = static_cast<float>(i) / side.nu, t = static_cast<float>(j) / side.nv;
        mesh.Vertex(side.origin + side.u * s + side.v * t, s, t);
      }
    auto at = [&](int i, int j) { return static_cast<uint16_t>(first + j * (side.nu + 1) + i); };
    for (int j = 0; j < side.nv; ++j)
      for (int i = 0; i < side.nu; ++i)
        mesh.Quad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1), side.top ? topMaterial : sideMaterial);
  }
}

// Two unit vectors across the axis w, with e1 x e2 = w.
void Basis(Vec3 w, Vec3& e1, Vec3& e2) {
  const Vec3 helper = std::fabs(w.z) < 0.9f ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
  e1 = Normalized(Cross(helper, w));
  e2 = Cross(w, e1);
}

// A closed cylinder from a to b: side rings plus a fan on each end.
void AddCylinder(Mesh& mesh, Vec3 a, Vec3 b, float radius, int segments, int rings, int material) {
  const Vec3 w = Normalized(b - a);
  Vec3 e1, e2;
  Basis(w, e1, e2);
  auto rim = [&](int i) {
    const float angle = 2 * kPi * static_cast<float>(i % segments) / segments;
    return (e1 * std::cos(angle) + e2 * std::sin(angle)) * radius;
  };
  const uint16_t first = static_cast<uint16_t>(mesh.vertices.size());
  for (int k = 0; k <= rings; ++k)
    for (int i = 0; i <= segments; ++i) {
      const float t = static_cast<float>(k) / rings;
      mesh.Vertex(a + (b - a) * t + rim(i), static_cast<float>(i) / segments, t);
    }
  auto at = [&](int i, int k) { return static_cast<uint16_t>(first + k * (segments + 1) + i); };
  for (int k = 0; k < rings; ++k)
    for (int i = 0; i < segments; ++i) mesh.Quad(at(i, k), at(i + 1, k), at(i + 1, k + 1), at(i, k + 1), material);
  for (int end = 0; end < 2; ++end) {
    const Vec3 centre = end == 0 ? a : b;
    const uint16_t hub = mesh.Vertex(centre, 0.5f, 0.5f);
    const uint16_t ring = static_cast<uint16_t>(mesh.vertices.size());
    for (int i = 0; i < segments; ++i) {
      const Vec3 offset = rim(i);
      mesh.Vertex(centre + offset, 0.5f + 0.5f * offset.x / radius, 0.5f + 0.5f * offset.y / radius);
    }
    for (int i = 0; i < segments; ++i) {
      const uint16_t r0 = static_cast<uint16_t>(ring + i), r1 = static_cast<uint16_t>(ring + (i + 1) % segments);
      if (end == 0) {
        mesh.faces.push_back({hub, r1, r0, material});  // faces -w
      } else {
        mesh.faces.push_back({hub, r0, r1, material});  // faces +w
      }
    }
  }
}

// A sphere of latitude bands, pole on +Z; no degenerate triangles at the poles.
void AddSphere(Mesh& mesh, Vec3 centre, float radius, int segments, int stacks, int material) {
  const uint16_t first = static_cast<uint16_t>(mesh.vertices.size());
  for (int j = 0; j <= stacks; ++j)
    for (int i = 0; i <= segments; ++i) {
      const float theta = 2 * kPi * static_cast<float>(i) / segments;
      const float phi = kPi * static_cast<float>(j) / stacks;
      const Vec3 p{std::sin(phi) * std::cos(theta), std::sin(phi) * std::sin(theta), std::cos(phi)};
      mesh.Vertex(centre + p * radius, static_cast<float>(i) / segments, static_cast<float>(j) / stacks);
    }
  auto at = [&](int i, int j) { return static_cast<uint16_t>(first + j * (segments + 1) + i); };
  for (int j = 0; j < stacks; ++j)
    for (int i = 0; i < segments; ++i) {
      const uint16_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      if (j != 0) mesh.faces.push_back({a, c, b, material});
      if (j != stacks - 1) mesh.faces.push_back({a, d, c, material});
    }
}

// Little-endian chunk output; Begin/End pairs patch each chunk's length.
class ChunkWriter {
 public:
  size_t Begin(uint16_t id) {
    const size_t start = bytes_.size();
    U16(id);
    U32(0);
    return start;
  }
  void End(size_t start) {
    const uint32_t length = static_cast<uint32_t>(bytes_.size() - start);
    for (int i = 0; i < 4; ++i) bytes_[start + 2 + i] = static_cast<uint8_t>(length >> (8 * i));
  }
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) { Put16(bytes_, v); }
  void U32(uint32_t v) { Put32(bytes_, v); }
  void F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    U32(bits);
  }
  void Vec(Vec3 v) {
    F32(v.x);
    F32(v.y);
    F32(v.z);
  }
  void Name(const std::string& name) {
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    U8(0);
  }
  // A chunk holding only the given writes.
  template <typename F>
  void Chunk(uint16_t id, F body) {
    const size_t start = Begin(id);
    body();
    End(start);
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

struct Material {
  std::string name;
  enum class Colour { kBytes, kFloats } colour;
  uint8_t r, g, b;
  const char* textureMap;  // null when none
};

// Dim tones: the program adds the model over its pictures without a depth
// test, so front, back and inner surfaces stack up three to six deep; these
// stay short of white where they do.
const Material kMaterials[] = {
    {"Skin", Material::Colour::kBytes, 92, 52, 34, nullptr},
    {"Knuckle", Material::Colour::kFloats, 104, 58, 44, nullptr},
    {"Band", Material::Colour::kBytes, 30, 45, 100, "band.bmp"},
};
enum : int { kSkin = 0, kKnuckle = 1, kBand = 2 };

void WriteColourBytes(ChunkWriter& out, uint16_t id, uint8_t r, uint8_t g, uint8_t b) {
  out.Chunk(id, [&] {
    out.Chunk(0x0011, [&] {
      out.U8(r);
      out.U8(g);
      out.U8(b);
    });
  });
}

void WriteMaterial(ChunkWriter& out, const Material& m) {
  out.Chunk(0xAFFF, [&] {
    out.Chunk(0xA000, [&] { out.Name(m.name); });
    WriteColourBytes(out, 0xA010, m.r / 3, m.g / 3, m.b / 3);  // ambient
    out.Chunk(0xA020, [&] {
      if (m.colour == Material::Colour::kBytes) {
        out.Chunk(0x0011, [&] {
          out.U8(m.r);
          out.U8(m.g);
          out.U8(m.b);
        });
      } else {
        // Halfway between steps, so truncation after scaling by 255 lands on
        // the intended byte.
        out.Chunk(0x0010, [&] {
          out.F32((m.r + 0.5f) / 255);
          out.F32((m.g + 0.5f) / 255);
          out.F32((m.b + 0.5f) / 255);
        });
      }
    });
    WriteColourBytes(out, 0xA030, 200, 200, 200);                // specular
    out.Chunk(0xA040, [&] { out.Chunk(0x0030, [&] { out.U16(25); }); });  // shininess
    if (m.textureMap != nullptr) {
      out.Chunk(0xA200, [&] {
        out.Chunk(0x0030, [&] { out.U16(100); });  // map strength in percent
        out.Chunk(0xA300, [&] { out.Name(m.textureMap); });
      });
    }
  });
}

void WriteMesh(ChunkWriter& out, const Mesh& mesh) {
  out.Chunk(0x4000, [&] {
    out.Name(mesh.name);
    out.Chunk(0x4100, [&] {
      out.Chunk(0x4110, [&] {
        out.U16(static_cast<uint16_t>(mesh.vertices.size()));
        for (const Vec3& v : mesh.vertices) out.Vec({v.x * kScale, v.y * kScale, (v.z + kLift) * kScale});
      });
      if (mesh.hasMapCoords) {
        out.Chunk(0x4140, [&] {
          out.U16(static_cast<uint16_t>(mesh.mapCoords.size()));
          for (const auto& uv : mesh.mapCoords) {
            out.F32(uv[0]);
            out.F32(uv[1]);
          }
        });
      }
      out.Chunk(0x4160, [&] {  // local axes: identity at the origin
        out.Vec({1, 0, 0});
        out.Vec({0, 1, 0});
        out.Vec({0, 0, 1});
        out.Vec({0, 0, kLift * kScale});
      });
      out.Chunk(0x4120, [&] {
        out.U16(static_cast<uint16_t>(mesh.faces.size()));
        for (const Triangle& t : mesh.faces) {
          out.U16(t.a);
          out.U16(t.b);
          out.U16(t.c);
          out.U16(0x0007);  // all three edges visible
        }
        for (int m = 0; m < static_cast<int>(std::size(kMaterials)); ++m) {
          std::vector<uint16_t> members;
          for (size_t f = 0; f < mesh.faces.size(); ++f)
            if (mesh.faces[f].material == m) members.push_back(static_cast<uint16_t>(f));
          if (members.empty()) continue;
          out.Chunk(0x4130, [&] {
            out.Name(kMaterials[m].name);
            out.U16(static_cast<uint16_t>(members.size()));
            for (uint16_t f : members) out.U16(f);
          });
        }
        out.Chunk(0x4150, [&] {  // one smoothing group for everything
          for (size_t f = 0; f < mesh.faces.size(); ++f) out.U32(1);
        });
      });
    });
  });
}

std::vector<Mesh> BuildFist() {
  std::vector<Mesh> meshes;
  Mesh wrist{"Wrist", true};
  AddCylinder(wrist, {0, 0, -1000}, {0, 0, -380}, 230, 40, 10, kSkin);
  meshes.push_back(wrist);

  Mesh band{"Band", true};
  AddCylinder(band, {0, 0, -760}, {0, 0, -620}, 248, 40, 2, kBand);
  meshes.push_back(band);

  Mesh palm{"Palm", true};
  AddBox(palm, {-330, -170, -420}, {330, 170, 200}, 10, 6, 12, kSkin, kKnuckle);
  meshes.push_back(palm);

  // Fingers curl forward over the top of the palm and down its front.
  const float tops[] = {270, 290, 285, 255};
  const float radii[] = {80, 82, 80, 70};
  for (int i = 0; i < 4; ++i) {
    Mesh finger{"Finger" + std::to_string(i + 1), false};
    const float x = -247.5f + 165 * i, z = tops[i], r = radii[i];
    const Vec3 knuckle{x, 150, z}, bend{x, -200, z}, tip{x, -215, z - 240};
    AddCylinder(finger, knuckle, bend, r, 16, 6, kKnuckle);
    AddSphere(finger, bend, r * 1.04f, 16, 8, kKnuckle);
    AddCylinder(finger, bend, tip, r * 0.95f, 16, 6, kKnuckle);
    AddSphere(finger, tip, r * 0.95f, 16, 8, kKnuckle);
    meshes.push_back(finger);
  }

  Mesh thumb{"Thumb", false};
  const Vec3 base{-300, -40, -200}, joint{-330, -240, -20}, thumbTip{-40, -320, 20};
  AddCylinder(thumb, base, joint, 95, 16, 6, kSkin);
  AddSphere(thumb, joint, 95, 16, 8, kSkin);
  AddCylinder(thumb, joint, thumbTip, 80, 16, 6, kSkin);
  AddSphere(thumb, thumbTip, 80, 16, 8, kSkin);
  meshes.push_back(thumb);
  return meshes;
}

void WriteLampAndCamera(ChunkWriter& out) {
  out.Chunk(0x4000, [&] {
    out.Name("Lamp01");
    out.Chunk(0x4600, [&] {
      out.Vec({-900, -1400, 1600});
      out.Chunk(0x0010, [&] { out.Vec({1, 0.95f, 0.85f}); });
    });
  });
  out.Chunk(0x4000, [&] {
    out.Name("Camera01");
    out.Chunk(0x4700, [&] {
      out.Vec({0, -4000, 0});  // position
      out.Vec({0, 0, 0});      // target
      out.F32(0);                  // bank, degrees
      out.F32(35);                 // lens, millimetres
    });
  });
}

// Keyframe tracks hold one key: the object at rest.
void WriteTrack(ChunkWriter& out, uint16_t id, const std::vector<float>& key) {
  out.Chunk(id, [&] {
    out.U16(0);  // track flags
    out.U32(0);
    out.U32(0);
    out.U32(1);  // keys
    out.U32(0);  // frame
    out.U16(0);  // key flags
    for (float v : key) out.F32(v);
  });
}

void WriteKeyframer(ChunkWriter& out, const std::vector<Mesh>& meshes) {
  out.Chunk(0xB000, [&] {
    out.Chunk(0xB00A, [&] {
      out.U16(5);
      out.Name("qor_fist");
      out.U32(100);
    });
    out.Chunk(0xB008, [&] {
      out.U32(0);
      out.U32(100);
    });
    out.Chunk(0xB009, [&] { out.U32(0); });
    uint16_t nodeId = 0;
    for (const Mesh& mesh : meshes) {
      out.Chunk(0xB002, [&] {
        out.Chunk(0xB030, [&] { out.U16(nodeId++); });
        out.Chunk(0xB010, [&] {
          out.Name(mesh.name);
          out.U16(0x4000);
          out.U16(0);
          out.U16(0xFFFF);  // no parent
        });
        out.Chunk(0xB013, [&] { out.Vec({0, 0, 0}); });
        WriteTrack(out, 0xB020, {0, 0, kLift * kScale});
        WriteTrack(out, 0xB021, {0, 0, 0, 1});
        WriteTrack(out, 0xB022, {1, 1, 1});
      });
    }
    out.Chunk(0xB005, [&] {  // the lamp
      out.Chunk(0xB030, [&] { out.U16(nodeId++); });
      out.Chunk(0xB010, [&] {
        out.Name("Lamp01");
        out.U16(0x4000);
        out.U16(0);
        out.U16(0xFFFF);
      });
      WriteTrack(out, 0xB020, {-900, -1400, 1600});
    });
  });
}

}  // namespace

std::vector<uint8_t> BuildFistModel() {
  const std::vector<Mesh> meshes = BuildFist();
  ChunkWriter out;
  out.Chunk(0x4D4D, [&] {
    out.Chunk(0x0002, [&] { out.U32(3); });  // file version
    out.Chunk(0x3D3D, [&] {
      out.Chunk(0x3D3E, [&] { out.U32(3); });  // mesh version
      for (const Material& m : kMaterials) WriteMaterial(out, m);
      out.Chunk(0x0100, [&] { out.F32(1); });  // master scale
      for (const Mesh& mesh : meshes) WriteMesh(out, mesh);
      WriteLampAndCamera(out);
    });
    WriteKeyframer(out, meshes);
  });
  return out.Take();
}

}  // namespace sgcontent
