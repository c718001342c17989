// The chunk readers. Every reader seeks to its start on entry and back there
// before it returns; its caller moves on to the next sibling chunk. Nothing
// in the file is trusted: every end is cut to the enclosing chunk and the
// file, every count to what its chunk can hold, and every index is checked
// before it is used.
#include <cmath>
#include <cstring>

#include "assets/model_3ds.h"

namespace {

constexpr uint32_t kHeaderBytes = 6;
constexpr uint32_t kVertexBytes = 12;
constexpr uint32_t kMapCoordBytes = 8;
constexpr uint32_t kFaceBytes = 8;
constexpr uint32_t kFaceNumberBytes = 2;

constexpr uint16_t kEditorChunk = 0x3D3D;
constexpr uint16_t kMaterialChunk = 0xAFFF;
constexpr uint16_t kMaterialNameChunk = 0xA000;
constexpr uint16_t kDiffuseChunk = 0xA020;
constexpr uint16_t kFloatColorChunk = 0x0010;
constexpr uint16_t kByteColorChunk = 0x0011;
constexpr uint16_t kLinearByteColorChunk = 0x0012;
constexpr uint16_t kLinearFloatColorChunk = 0x0013;
constexpr uint16_t kTextureMapChunk = 0xA200;
constexpr uint16_t kMapFileNameChunk = 0xA300;
constexpr uint16_t kObjectChunk = 0x4000;
constexpr uint16_t kMeshChunk = 0x4100;
constexpr uint16_t kVertexListChunk = 0x4110;
constexpr uint16_t kFaceListChunk = 0x4120;
constexpr uint16_t kFaceMaterialChunk = 0x4130;
constexpr uint16_t kMappingCoordsChunk = 0x4140;

constexpr size_t kNameBytes = 80;

// Where a chunk's contents end: start + length - 6 worked out without
// wrapping, never before start and never past the file.
uint32_t ChunkEnd(const ChunkStream& stream, uint32_t length, uint32_t start) {
  int64_t end = static_cast<int64_t>(start) + length - kHeaderBytes;
  if (end < static_cast<int64_t>(start)) end = start;
  if (end > static_cast<int64_t>(stream.Size())) end = stream.Size();
  return static_cast<uint32_t>(end);
}

// A reader's stay in its chunk: on entry the contents' end is worked out and
// the stream stands at the chunk's start; on leaving, the stream goes back
// there, so the caller moves on to the next sibling chunk.
class ChunkScope {
 public:
  ChunkScope(ChunkStream& stream, uint32_t length, uint32_t start)
      : stream_(stream), start_(start), end_(ChunkEnd(stream, length, start)) {
    stream_.Seek(start_);
  }
  ~ChunkScope() { stream_.Seek(start_); }
  ChunkScope(const ChunkScope&) = delete;
  ChunkScope& operator=(const ChunkScope&) = delete;
  uint32_t End() const { return end_; }

 private:
  ChunkStream& stream_;
  uint32_t start_;
  uint32_t end_;
};

uint32_t BytesLeft(const ChunkStream& stream, uint32_t end) {
  return stream.Tell() < end ? end - stream.Tell() : 0;
}

bool ReadU8(ChunkStream& stream, uint32_t end, uint8_t& value) {
  return BytesLeft(stream, end) >= 1 && stream.Read(&value, 1);
}

bool ReadU16(ChunkStream& stream, uint32_t end, uint16_t& value) {
  uint8_t b[2];
  if (BytesLeft(stream, end) < sizeof b || !stream.Read(b, sizeof b)) return false;
  value = static_cast<uint16_t>(b[0] | (b[1] << 8));
  return true;
}

bool ReadU32(ChunkStream& stream, uint32_t& value) {
  uint8_t b[4];
  if (!stream.Read(b, sizeof b)) return false;
  value = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
  return true;
}

bool ReadFloat(ChunkStream& stream, uint32_t end, float& value) {
  uint32_t bits = 0;
  if (BytesLeft(stream, end) < sizeof bits || !ReadU32(stream, bits)) return false;
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

// Two reads, the id and then the length, as the format lays them out.
bool ReadChunkHeader(ChunkStream& stream, ChunkHeader& h) {
  uint8_t id[2];
  if (!stream.Read(id, sizeof id)) return false;
  h.id = static_cast<uint16_t>(id[0] | (id[1] << 8));
  return ReadU32(stream, h.length);
}

// A zero-terminated name of at most 80 bytes. A name with no zero among its
// first 80 bytes, or cut off by its chunk's end, keeps what fits before a
// terminating zero.
void ReadName(ChunkStream& stream, uint32_t end, char (&name)[kNameBytes]) {
  std::memset(name, 0, sizeof name);
  for (size_t i = 0; i < kNameBytes; ++i) {
    uint8_t c = 0;
    if (!ReadU8(stream, end, c)) break;
    name[i] = static_cast<char>(c);
    if (c == 0) break;
  }
  name[kNameBytes - 1] = 0;
}

// A count of records followed by the records: never more than the chunk holds.
uint32_t ReadCount(ChunkStream& stream, uint32_t end, uint32_t recordBytes) {
  uint16_t count = 0;
  if (!ReadU16(stream, end, count)) return 0;
  uint32_t fits = BytesLeft(stream, end) / recordBytes;
  return count < fits ? count : fits;
}

// 0..1 scaled to a byte, truncated toward zero, low 8 bits kept. Values no
// 32-bit integer can hold (and NaN) give 0 instead of undefined behaviour.
unsigned char ColorByte(float value) {
  double scaled = value * 255.0;
  if (!(std::fabs(scaled) < 2147483648.0)) return 0;
  return static_cast<unsigned char>(static_cast<int32_t>(scaled));
}

// Calls visit(id, length, start) for each sub-chunk between from and end.
// A header that would not advance (length below 6) or that does not fit ends
// the walk; a chunk running past end is cut there and is the walk's last.
template <typename Visit>
void WalkSubChunks(ChunkStream& stream, uint32_t from, uint32_t end, Visit&& visit) {
  uint32_t position = from;
  while (position < end) {
    if (end - position < kHeaderBytes) return;
    stream.Seek(position);
    ChunkHeader h;
    if (!ReadChunkHeader(stream, h) || h.length < kHeaderBytes) return;
    uint32_t length = h.length > end - position ? end - position : h.length;
    visit(h.id, length, position + kHeaderBytes);
    position += length;
  }
}

uint32_t CountSubChunks(ChunkStream& stream, uint32_t from, uint32_t end, uint16_t id) {
  uint32_t count = 0;
  WalkSubChunks(stream, from, end, [&](uint16_t chunkId, uint32_t, uint32_t) {
    if (chunkId == id) ++count;
  });
  return count;
}

// A chunk id and the member that reads it; the member's type fixes which
// record indices are handed on to it.
template <typename Reader>
struct ChunkRoute {
  uint16_t id;
  Reader read;
};

using ChunkReader = void (Model_3DS::*)(uint32_t length, uint32_t start);
using RecordReader = void (Model_3DS::*)(uint32_t length, uint32_t start, int index);
using GroupReader = void (Model_3DS::*)(uint32_t length, uint32_t start, int objectIndex, int groupIndex);

// No id is routed twice: the second route would never be taken. (Whether a
// route names a reader cannot be asked here: GCC's undefined-behaviour
// sanitizer makes member pointer comparisons non-constant.)
template <typename Reader, size_t N>
constexpr bool RoutesAreSound(const ChunkRoute<Reader> (&table)[N]) {
  for (size_t i = 0; i < N; ++i) {
    for (size_t j = i + 1; j < N; ++j) {
      if (table[i].id == table[j].id) return false;
    }
  }
  return true;
}

// Hands each sub-chunk between from and end that the table names to its
// reader, with the indices of the record being filled; skips the others.
template <typename Reader, size_t N, typename... Indices>
void RouteSubChunks(Model_3DS& model, ChunkStream& stream, uint32_t from, uint32_t end,
                    const ChunkRoute<Reader> (&table)[N], Indices... indices) {
  WalkSubChunks(stream, from, end, [&](uint16_t id, uint32_t length, uint32_t start) {
    for (const ChunkRoute<Reader>& route : table) {
      if (route.id != id) continue;
      (model.*route.read)(length, start, indices...);
      return;
    }
  });
}

// Each sub-chunk the route names fills the next record, in file order: the
// last index handed on counts 0, 1, 2, ...
template <typename Reader, typename... Indices>
void ReadRecords(Model_3DS& model, ChunkStream& stream, uint32_t from, uint32_t end, const ChunkRoute<Reader>& route,
                 Indices... indices) {
  int next = 0;
  WalkSubChunks(stream, from, end, [&](uint16_t id, uint32_t length, uint32_t start) {
    if (id == route.id) (model.*route.read)(length, start, indices..., next++);
  });
}

void ClearObject(ModelObject& object) {
  std::memset(object.name, 0, sizeof object.name);
  object.vertices = nullptr;
  object.normals = nullptr;
  object.mapCoords = nullptr;
  object.faceIndices = nullptr;
  object.faceIndexCount = 0;
  object.groupCount = 0;
  object.vertexCount = 0;
  object.mapCoordCount = 0;
  object.hasMapCoords = false;
  object.groups = nullptr;
  for (int axis = 0; axis < 3; ++axis) {
    object.position[axis] = 0.0f;
    object.rotation[axis] = 0.0f;
  }
}

void ReleaseGroups(ModelObject& object) {
  for (int g = 0; g < object.groupCount; ++g) delete[] object.groups[g].indices;
  delete[] object.groups;
  object.groups = nullptr;
  object.groupCount = 0;
}

// Faces and their groups index the vertex list; they go when it goes.
void ReleaseFaces(ModelObject& object) {
  ReleaseGroups(object);
  delete[] object.faceIndices;
  object.faceIndices = nullptr;
  object.faceIndexCount = 0;
}

void ReleaseVertices(ModelObject& object) {
  ReleaseFaces(object);
  delete[] object.vertices;
  delete[] object.normals;
  object.vertices = nullptr;
  object.normals = nullptr;
  object.vertexCount = 0;
}

bool FaceInVertexList(const ModelObject& object, const uint16_t* face) {
  return face[0] < object.vertexCount && face[1] < object.vertexCount && face[2] < object.vertexCount;
}

// Adds the face's unnormalised normal, (B - C) x (B - A), to its corners.
void AddFaceNormal(ModelObject& object, const uint16_t* face) {
  const float* a = object.vertices + 3 * face[0];
  const float* b = object.vertices + 3 * face[1];
  const float* c = object.vertices + 3 * face[2];
  float u[3] = {b[0] - c[0], b[1] - c[1], b[2] - c[2]};
  float v[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  for (int corner = 0; corner < 3; ++corner) {
    float* normal = object.normals + 3 * face[corner];
    normal[0] += n[0];
    normal[1] += n[1];
    normal[2] += n[2];
  }
}

}  // namespace

// The chunk tree as read: what each level reads, and with which reader.
// Every chunk not named here is skipped whole, with everything inside it.
struct Model_3DS::ChunkTables {
  static constexpr ChunkRoute<ChunkReader> kMain[] = {
      {kEditorChunk, &Model_3DS::ReadEditorChunk},
  };
  // Read in this order: materials first, wherever they stand, so that face
  // groups find them by name.
  static constexpr ChunkRoute<RecordReader> kEditorRecords[] = {
      {kMaterialChunk, &Model_3DS::ReadMaterialChunk},
      {kObjectChunk, &Model_3DS::ReadObjectChunk},
  };
  static constexpr ChunkRoute<RecordReader> kMaterial[] = {
      {kMaterialNameChunk, &Model_3DS::ReadMaterialName},
      {kDiffuseChunk, &Model_3DS::ReadDiffuseColor},
      {kTextureMapChunk, &Model_3DS::ReadTextureMapChunk},
  };
  static constexpr ChunkRoute<RecordReader> kDiffuse[] = {
      {kFloatColorChunk, &Model_3DS::ReadFloatColor},
      {kByteColorChunk, &Model_3DS::ReadByteColor},
      {kLinearByteColorChunk, &Model_3DS::ReadByteColor},
      {kLinearFloatColorChunk, &Model_3DS::ReadFloatColor},
  };
  static constexpr ChunkRoute<RecordReader> kTextureMap[] = {
      {kMapFileNameChunk, &Model_3DS::ReadMapFileName},
  };
  static constexpr ChunkRoute<RecordReader> kObject[] = {
      {kMeshChunk, &Model_3DS::ReadMeshChunk},
  };
  // A mesh is walked twice, so that the vertices exist before any face
  // refers to them.
  static constexpr ChunkRoute<RecordReader> kMeshFirst[] = {
      {kVertexListChunk, &Model_3DS::ReadVertexList},
      {kMappingCoordsChunk, &Model_3DS::ReadMappingCoords},
  };
  static constexpr ChunkRoute<RecordReader> kMeshThen[] = {
      {kFaceListChunk, &Model_3DS::ReadFaceList},
  };
  // Groups follow the face records inside the face list.
  static constexpr ChunkRoute<GroupReader> kFaceListGroups = {kFaceMaterialChunk, &Model_3DS::ReadFaceMaterialGroup};

  static_assert(RoutesAreSound(kMain) && RoutesAreSound(kEditorRecords) && RoutesAreSound(kMaterial) &&
                    RoutesAreSound(kDiffuse) && RoutesAreSound(kTextureMap) && RoutesAreSound(kObject) &&
                    RoutesAreSound(kMeshFirst) && RoutesAreSound(kMeshThen),
                "a chunk table routes the same id twice");
};

// Back to an empty model; the settings (placement, visibility) stay.
void Model_3DS::ReleaseContents() {
  for (int i = 0; objectList != nullptr && i < objectCount; ++i) {
    ReleaseVertices(objectList[i]);
    delete[] objectList[i].mapCoords;
  }
  delete[] objectList;
  delete[] materialList;
  materialLookup.clear();
  objectList = nullptr;
  materialList = nullptr;
  objectCount = 0;
  materialCount = 0;
  vertexTotal = 0;
  faceTotal = 0;
}

void Model_3DS::ReadModelStream() {
  stream.Seek(0);
  ChunkHeader main;
  if (!ReadChunkHeader(stream, main)) return;
  // The id is not checked: whatever the first chunk is, it is walked.
  ReadMainChunk(main.length, stream.Tell());
}

ModelMaterial* Model_3DS::MaterialAt(int materialIndex) {
  if (materialList == nullptr || materialIndex < 0 || materialIndex >= materialCount) return nullptr;
  return &materialList[materialIndex];
}

ModelObject* Model_3DS::ObjectAt(int objectIndex) {
  if (objectList == nullptr || objectIndex < 0 || objectIndex >= objectCount) return nullptr;
  return &objectList[objectIndex];
}

// The first material of that name, as a group names its material.
int Model_3DS::FindMaterial(const char* name) {
  if (materialLookup.empty()) {
    for (int i = 0; i < materialCount; ++i) materialLookup.emplace(materialList[i].name, i);
  }
  auto found = materialLookup.find(name);
  return found == materialLookup.end() ? -1 : found->second;
}

void Model_3DS::ReadMainChunk(uint32_t length, uint32_t start) {
  ChunkScope chunk(stream, length, start);
  RouteSubChunks(*this, stream, start, chunk.End(), ChunkTables::kMain);
}

// A further editor chunk replaces what an earlier one gave.
void Model_3DS::ReadEditorChunk(uint32_t length, uint32_t start) {
  ReleaseContents();
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  WalkSubChunks(stream, start, end, [&](uint16_t id, uint32_t, uint32_t) {
    if (id == kObjectChunk) ++objectCount;
    if (id == kMaterialChunk) ++materialCount;
  });
  MakeMaterials();
  MakeObjects();
  for (const auto& route : ChunkTables::kEditorRecords) ReadRecords(*this, stream, start, end, route);
}

// Unnamed, uncoloured and unmapped until their chunks say otherwise.
void Model_3DS::MakeMaterials() {
  if (materialCount == 0) return;
  materialList = new ModelMaterial[materialCount];
  for (int i = 0; i < materialCount; ++i) {
    std::memset(materialList[i].name, 0, sizeof materialList[i].name);
    materialList[i].hasTexture = false;
    materialList[i].color = ModelColor{0, 0, 0, 0};
  }
}

void Model_3DS::MakeObjects() {
  if (objectCount == 0) return;
  objectList = new ModelObject[objectCount];
  for (int i = 0; i < objectCount; ++i) ClearObject(objectList[i]);
}

void Model_3DS::ReadMaterialChunk(uint32_t length, uint32_t start, int materialIndex) {
  if (MaterialAt(materialIndex) == nullptr) return;
  ChunkScope chunk(stream, length, start);
  RouteSubChunks(*this, stream, start, chunk.End(), ChunkTables::kMaterial, materialIndex);
}

void Model_3DS::ReadMaterialName(uint32_t length, uint32_t start, int materialIndex) {
  ModelMaterial* material = MaterialAt(materialIndex);
  if (material == nullptr) return;
  ChunkScope chunk(stream, length, start);
  ReadName(stream, chunk.End(), material->name);
  materialLookup.clear();
}

// Every colour sub-chunk writes the same colour: the last one wins.
void Model_3DS::ReadDiffuseColor(uint32_t length, uint32_t start, int materialIndex) {
  if (MaterialAt(materialIndex) == nullptr) return;
  ChunkScope chunk(stream, length, start);
  RouteSubChunks(*this, stream, start, chunk.End(), ChunkTables::kDiffuse, materialIndex);
}

void Model_3DS::ReadFloatColor(uint32_t length, uint32_t start, int materialIndex) {
  ModelMaterial* material = MaterialAt(materialIndex);
  if (material == nullptr) return;
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  float r = 0.0f, g = 0.0f, b = 0.0f;
  if (ReadFloat(stream, end, r) && ReadFloat(stream, end, g) && ReadFloat(stream, end, b)) {
    material->color = ModelColor{ColorByte(r), ColorByte(g), ColorByte(b), 255};
  }
}

void Model_3DS::ReadByteColor(uint32_t length, uint32_t start, int materialIndex) {
  ModelMaterial* material = MaterialAt(materialIndex);
  if (material == nullptr) return;
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  uint8_t r = 0, g = 0, b = 0;
  if (ReadU8(stream, end, r) && ReadU8(stream, end, g) && ReadU8(stream, end, b)) {
    material->color = ModelColor{r, g, b, 255};
  }
}

void Model_3DS::ReadTextureMapChunk(uint32_t length, uint32_t start, int materialIndex) {
  if (MaterialAt(materialIndex) == nullptr) return;
  ChunkScope chunk(stream, length, start);
  RouteSubChunks(*this, stream, start, chunk.End(), ChunkTables::kTextureMap, materialIndex);
}

// No image is loaded: the name only marks the material as mapped, which keeps
// it from getting a solid-colour texture.
void Model_3DS::ReadMapFileName(uint32_t length, uint32_t start, int materialIndex) {
  ModelMaterial* material = MaterialAt(materialIndex);
  if (material == nullptr) return;
  ChunkScope chunk(stream, length, start);
  char name[kNameBytes];
  ReadName(stream, chunk.End(), name);
  material->hasTexture = true;
}

// The sub-chunks follow the object's name.
void Model_3DS::ReadObjectChunk(uint32_t length, uint32_t start, int objectIndex) {
  ModelObject* object = ObjectAt(objectIndex);
  if (object == nullptr) return;
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  ReadName(stream, end, object->name);
  RouteSubChunks(*this, stream, stream.Tell(), end, ChunkTables::kObject, objectIndex);
}

void Model_3DS::ReadMeshChunk(uint32_t length, uint32_t start, int objectIndex) {
  if (ObjectAt(objectIndex) == nullptr) return;
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  RouteSubChunks(*this, stream, start, end, ChunkTables::kMeshFirst, objectIndex);
  RouteSubChunks(*this, stream, start, end, ChunkTables::kMeshThen, objectIndex);
}

// The file is Z-up; drawing is Y-up: (X, Y, Z) is kept as (X, Z, -Y).
void Model_3DS::ReadVertexList(uint32_t length, uint32_t start, int objectIndex) {
  ModelObject* object = ObjectAt(objectIndex);
  if (object == nullptr) return;
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  uint32_t numVerts = ReadCount(stream, end, kVertexBytes);
  ReleaseVertices(*object);
  if (numVerts > 0) {
    object->vertices = new float[3 * numVerts];
    object->normals = new float[3 * numVerts]();
  }
  object->vertexCount = static_cast<int>(numVerts);
  for (uint32_t i = 0; i < numVerts; ++i) {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    ReadFloat(stream, end, x);
    ReadFloat(stream, end, y);
    ReadFloat(stream, end, z);
    object->vertices[3 * i + 0] = x;
    object->vertices[3 * i + 1] = z;
    object->vertices[3 * i + 2] = -y;
  }
}

void Model_3DS::ReadMappingCoords(uint32_t length, uint32_t start, int objectIndex) {
  ModelObject* object = ObjectAt(objectIndex);
  if (object == nullptr) return;
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  uint32_t numCoords = ReadCount(stream, end, kMapCoordBytes);
  delete[] object->mapCoords;
  object->mapCoords = numCoords > 0 ? new float[2 * numCoords] : nullptr;
  object->mapCoordCount = static_cast<int>(numCoords);
  for (uint32_t i = 0; i < 2 * numCoords; ++i) ReadFloat(stream, end, object->mapCoords[i]);
  object->hasMapCoords = true;
}

// Faces naming a vertex past the list stay in faceIndices, as read, so that
// the groups' face numbers still match, but give no normal and are never
// drawn.
void Model_3DS::ReadFaceList(uint32_t length, uint32_t start, int objectIndex) {
  ModelObject* object = ObjectAt(objectIndex);
  if (object == nullptr) return;
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  uint32_t numFaces = ReadCount(stream, end, kFaceBytes);
  ReleaseFaces(*object);
  if (numFaces > 0) object->faceIndices = new uint16_t[3 * numFaces];
  object->faceIndexCount = static_cast<int>(3 * numFaces);
  for (uint32_t f = 0; f < numFaces; ++f) {
    uint16_t vertA = 0, vertB = 0, vertC = 0, flags = 0;
    ReadU16(stream, end, vertA);
    ReadU16(stream, end, vertB);
    ReadU16(stream, end, vertC);
    ReadU16(stream, end, flags);
    object->faceIndices[3 * f + 0] = vertA;
    object->faceIndices[3 * f + 1] = vertB;
    object->faceIndices[3 * f + 2] = vertC;
  }
  for (uint32_t f = 0; f < numFaces; ++f) {
    const uint16_t* face = object->faceIndices + 3 * f;
    if (FaceInVertexList(*object, face)) AddFaceNormal(*object, face);
  }

  const auto& groupRoute = ChunkTables::kFaceListGroups;
  uint32_t afterFaces = stream.Tell();
  uint32_t numGroups = CountSubChunks(stream, afterFaces, end, groupRoute.id);
  if (numGroups > 0) {
    object->groups = new FaceGroup[numGroups];
    object->groupCount = static_cast<int>(numGroups);
    for (uint32_t g = 0; g < numGroups; ++g) object->groups[g] = FaceGroup{nullptr, 0, -1};
    ReadRecords(*this, stream, afterFaces, end, groupRoute, objectIndex);
  }
}

// Copies the vertex indices of the faces the group names. Face numbers past
// the face list and faces naming a vertex past the vertex list are dropped.
void Model_3DS::ReadFaceMaterialGroup(uint32_t length, uint32_t start, int objectIndex, int groupIndex) {
  ModelObject* object = ObjectAt(objectIndex);
  if (object == nullptr || object->groups == nullptr || groupIndex < 0 || groupIndex >= object->groupCount) return;
  FaceGroup& group = object->groups[groupIndex];
  ChunkScope chunk(stream, length, start);
  const uint32_t end = chunk.End();
  char name[kNameBytes];
  ReadName(stream, end, name);
  group.materialIndex = FindMaterial(name);

  uint32_t numEntries = ReadCount(stream, end, kFaceNumberBytes);
  delete[] group.indices;
  group.indices = numEntries > 0 ? new uint16_t[3 * numEntries] : nullptr;
  group.indexCount = 0;
  uint32_t numFaces = static_cast<uint32_t>(object->faceIndexCount) / 3;
  for (uint32_t entry = 0; entry < numEntries; ++entry) {
    uint16_t Face = 0;
    ReadU16(stream, end, Face);
    if (Face >= numFaces) continue;
    const uint16_t* corners = object->faceIndices + 3 * Face;
    if (!FaceInVertexList(*object, corners)) continue;
    for (int corner = 0; corner < 3; ++corner) group.indices[group.indexCount++] = corners[corner];
  }
}
