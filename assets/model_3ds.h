// A model read from a 3D Studio binary file: materials, mesh objects and their
// face groups, drawn from client-side vertex arrays. Loaded once on the main
// thread with a context current (materials get textures); drawn there too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "assets/chunk_stream.h"
#include "assets/gl_texture.h"

struct ChunkHeader {
  uint16_t id;
  uint32_t length;
};

struct ModelColor {
  unsigned char r, g, b, a;
};

struct ModelMaterial {
  char name[80];
  GLTexture texture;
  bool hasTexture;
  ModelColor color;
};

// Every index is below its object's vertexCount: faces that name a vertex
// past the list, or a face past the face list, are left out.
struct FaceGroup {
  uint16_t* indices;
  int indexCount;
  int materialIndex;  // -1 when no material has the group's name
};

struct ModelObject {
  char name[80];
  float* vertices;
  float* normals;
  float* mapCoords;
  uint16_t* faceIndices;  // as read, so groups can name faces by position
  int faceIndexCount;
  int groupCount;
  int vertexCount;
  int mapCoordCount;
  bool hasMapCoords;
  FaceGroup* groups;
  float position[3];
  float rotation[3];
};

class Model_3DS {
 public:
  Model_3DS();
  // Frees the arrays; texture names stay with the context.
  virtual ~Model_3DS();
  Model_3DS(const Model_3DS&) = delete;
  Model_3DS& operator=(const Model_3DS&) = delete;

  // Replaces whatever the model held. A file that cannot be opened leaves an
  // empty model. Keeps the pointer `name` (and may cut quotes in its text).
  void LoadFromFile(char* name);
  // The same read, normalisation and totals from bytes in memory, without
  // OpenGL: materials get no textures until CreateMaterialTextures.
  void LoadFromBytes(const unsigned char* data, size_t size);
  // A solid-colour texture for every material that names no texture map.
  void CreateMaterialTextures();
  void NormalizeNormals();
  void Render();

  // The pointer LoadFromFile was given, after its quotes were cut.
  const char* FileName() const { return fileName; }

 private:
  char* fileName;  // borrowed from LoadFromFile's caller

 public:
  char directory[4096];
  int objectCount;
  int materialCount;
  int vertexTotal;
  int faceTotal;
  bool drawNormalLines;
  ModelMaterial* materialList;
  ModelObject* objectList;
  float position[3];
  float rotation[3];
  float uniformScale;
  bool drawLit;
  bool isVisible;

 private:
  // The model file, held only while it is read.
  ChunkStream stream;

  // Which chunk ids each chunk level reads, and with which reader.
  struct ChunkTables;

  // Chunk readers: length is the chunk's length field, start the offset of
  // the first byte after its header.
  void ReadMainChunk(uint32_t length, uint32_t start);
  void ReadEditorChunk(uint32_t length, uint32_t start);
  void ReadMaterialChunk(uint32_t length, uint32_t start, int materialIndex);
  void ReadMaterialName(uint32_t length, uint32_t start, int materialIndex);
  void ReadDiffuseColor(uint32_t length, uint32_t start, int materialIndex);
  void ReadFloatColor(uint32_t length, uint32_t start, int materialIndex);
  void ReadByteColor(uint32_t length, uint32_t start, int materialIndex);
  void ReadTextureMapChunk(uint32_t length, uint32_t start, int materialIndex);
  void ReadMapFileName(uint32_t length, uint32_t start, int materialIndex);
  void ReadObjectChunk(uint32_t length, uint32_t start, int objectIndex);
  void ReadMeshChunk(uint32_t length, uint32_t start, int objectIndex);
  void ReadVertexList(uint32_t length, uint32_t start, int objectIndex);
  void ReadMappingCoords(uint32_t length, uint32_t start, int objectIndex);
  void ReadFaceList(uint32_t length, uint32_t start, int objectIndex);
  void ReadFaceMaterialGroup(uint32_t length, uint32_t start, int objectIndex, int groupIndex);

  void ReleaseContents();
  void ReadModelStream();
  void MakeMaterials();
  void MakeObjects();
  void ComputeTotals();
  int FindMaterial(const char* name);
  ModelMaterial* MaterialAt(int materialIndex);
  ModelObject* ObjectAt(int objectIndex);
  void DrawObject(const ModelObject& object);
  void DrawNormalLines(const ModelObject& object);

  // Material names to the first index of each, so that many groups naming
  // many materials take no quadratic time; rebuilt when empty.
  std::unordered_map<std::string, int> materialLookup;
};
