// Builds 3D Studio chunk trees as bytes for the reader tests: a chunk is an
// id, its own data and its sub-chunks; the length field is worked out unless
// a test forces one.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace sgtest {

using Bytes = std::vector<uint8_t>;

struct Chunk {
  uint16_t id = 0;
  Bytes data;
  std::vector<Chunk> children;
  std::optional<uint32_t> forcedLength;

  explicit Chunk(uint16_t chunkId) : id(chunkId) {}

  Chunk& U8(uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Chunk& U16(uint16_t v) {
    data.push_back(static_cast<uint8_t>(v));
    data.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  Chunk& U32(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<uint8_t>(v >> shift));
    return *this;
  }
  Chunk& F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return U32(bits);
  }
  // The text and its terminating zero.
  Chunk& Name(const std::string& text) {
    data.insert(data.end(), text.begin(), text.end());
    data.push_back(0);
    return *this;
  }
  Chunk& Raw(const Bytes& bytes) {
    data.insert(data.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Chunk& Add(const Chunk& child) {
    children.push_back(child);
    return *this;
  }
  Chunk& Length(uint32_t length) {
    forcedLength = length;
    return *this;
  }

  Bytes Serialize() const {
    Bytes body = data;
    for (const Chunk& child : children) {
      Bytes b = child.Serialize();
      body.insert(body.end(), b.begin(), b.end());
    }
    uint32_t length = forcedLength ? *forcedLength : static_cast<uint32_t>(body.size() + 6);
    Bytes out;
    out.push_back(static_cast<uint8_t>(id));
    out.push_back(static_cast<uint8_t>(id >> 8));
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(length >> shift));
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }
};

struct Vec3 {
  float x, y, z;
};

struct Tri {
  uint16_t a, b, c;
};

// ---- Common pieces, in file axes ----

inline Chunk ByteColor(uint16_t id, uint8_t r, uint8_t g, uint8_t b) { return Chunk(id).U8(r).U8(g).U8(b); }

inline Chunk FloatColor(uint16_t id, float r, float g, float b) { return Chunk(id).F32(r).F32(g).F32(b); }

inline Chunk Material(const std::string& name, const Chunk& color) {
  return Chunk(0xAFFF).Add(Chunk(0xA000).Name(name)).Add(Chunk(0xA020).Add(color));
}

inline Chunk SolidMaterial(const std::string& name, uint8_t r, uint8_t g, uint8_t b) {
  return Material(name, ByteColor(0x0011, r, g, b));
}

inline Chunk MappedMaterial(const std::string& name, const std::string& map) {
  return Material(name, ByteColor(0x0011, 9, 9, 9)).Add(Chunk(0xA200).Add(Chunk(0xA300).Name(map)));
}

inline Chunk VertexList(const std::vector<Vec3>& vertices) {
  Chunk c(0x4110);
  c.U16(static_cast<uint16_t>(vertices.size()));
  for (const Vec3& v : vertices) c.F32(v.x).F32(v.y).F32(v.z);
  return c;
}

inline Chunk MapCoords(const std::vector<std::pair<float, float>>& coords) {
  Chunk c(0x4140);
  c.U16(static_cast<uint16_t>(coords.size()));
  for (const auto& uv : coords) c.F32(uv.first).F32(uv.second);
  return c;
}

inline Chunk FaceGroupChunk(const std::string& material, const std::vector<uint16_t>& faces) {
  Chunk c(0x4130);
  c.Name(material).U16(static_cast<uint16_t>(faces.size()));
  for (uint16_t f : faces) c.U16(f);
  return c;
}

// A face list with its group sub-chunks after the face records.
inline Chunk FaceList(const std::vector<Tri>& faces, const std::vector<Chunk>& groups = {}) {
  Chunk c(0x4120);
  c.U16(static_cast<uint16_t>(faces.size()));
  for (const Tri& t : faces) c.U16(t.a).U16(t.b).U16(t.c).U16(0x0007);
  for (const Chunk& g : groups) c.Add(g);
  return c;
}

inline Chunk Object(const std::string& name, const Chunk& content) {
  return Chunk(0x4000).Name(name).Add(content);
}

inline Chunk Mesh(const std::vector<Vec3>& vertices, const std::vector<Tri>& faces,
                  const std::vector<Chunk>& groups = {}) {
  return Chunk(0x4100).Add(VertexList(vertices)).Add(FaceList(faces, groups));
}

// Main chunk around an editor chunk holding the given chunks, in order.
inline Bytes ModelFile(const std::vector<Chunk>& editorContents) {
  Chunk editor(0x3D3D);
  editor.Add(Chunk(0x3D3E).U32(3));  // mesh version: skipped
  for (const Chunk& c : editorContents) editor.Add(c);
  return Chunk(0x4D4D).Add(Chunk(0x0002).U32(3)).Add(editor).Serialize();
}

}  // namespace sgtest
