// Loading a model: name clean-up, directory, the read, unit normals, totals
// and the materials' solid-colour textures.
#include <climits>
#include <cmath>
#include <cstring>

#include "assets/model_3ds.h"

namespace {

// "\"datas/m.3ds\"" names datas/m.3ds: the first quote-delimited token,
// cut in place. A name of nothing but quotes becomes empty.
char* StripQuotes(char* name) {
  if (name == nullptr || std::strchr(name, '"') == nullptr) return name;
  while (*name == '"') ++name;
  char* closing = std::strchr(name, '"');
  if (closing != nullptr) *closing = 0;
  return name;
}

int ClampToInt(int64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

}  // namespace

Model_3DS::Model_3DS()
    : fileName(nullptr),
      objectCount(0),
      materialCount(0),
      vertexTotal(0),
      faceTotal(0),
      drawNormalLines(false),
      materialList(nullptr),
      objectList(nullptr),
      position{0.0f, 0.0f, 0.0f},
      rotation{0.0f, 0.0f, 0.0f},
      uniformScale(1.0f),
      drawLit(true),
      isVisible(true) {
  directory[0] = 0;
}

// The arrays go with the model; texture names stay with the context.
Model_3DS::~Model_3DS() { ReleaseContents(); }

void Model_3DS::LoadFromFile(char* name) {
  ReleaseContents();
  directory[0] = 0;
  name = StripQuotes(name);

  // The directory part ends with its last separator, of either kind. One too
  // long for the buffer is left out: no system opens such a path anyway.
  const char* lastSeparator = nullptr;
  for (const char* c = name; c != nullptr && *c != 0; ++c) {
    if (*c == '/' || *c == '\\') lastSeparator = c;
  }
  if (lastSeparator != nullptr) {
    size_t directoryLength = static_cast<size_t>(lastSeparator - name) + 1;
    if (directoryLength < sizeof directory) {
      std::memcpy(directory, name, directoryLength);
      directory[directoryLength] = 0;
    }
  }

  if (stream.Open(name)) ReadModelStream();
  stream.Close();
  NormalizeNormals();
  fileName = name;
  ComputeTotals();
  CreateMaterialTextures();
}

void Model_3DS::LoadFromBytes(const unsigned char* data, size_t size) {
  ReleaseContents();
  stream.OpenBytes(data, size);
  ReadModelStream();
  stream.Close();
  NormalizeNormals();
  ComputeTotals();
}

void Model_3DS::CreateMaterialTextures() {
  for (int i = 0; i < materialCount; ++i) {
    ModelMaterial& material = materialList[i];
    if (material.hasTexture) continue;
    material.texture.CreateSolidColor(material.color.r, material.color.g, material.color.b);
    material.hasTexture = true;
  }
}

// A zero normal (a vertex on no face, or only on degenerate ones) stays zero.
void Model_3DS::NormalizeNormals() {
  for (int i = 0; i < objectCount; ++i) {
    ModelObject& object = objectList[i];
    for (int v = 0; v < object.vertexCount; ++v) {
      float* unit = object.normals + 3 * v;
      float squares = unit[0] * unit[0] + unit[1] * unit[1] + unit[2] * unit[2];
      float length = static_cast<float>(std::sqrt(static_cast<double>(squares)));
      if (length == 0.0f) length = 1.0f;
      unit[0] /= length;
      unit[1] /= length;
      unit[2] /= length;
    }
  }
}

void Model_3DS::ComputeTotals() {
  int64_t faces = 0;
  int64_t vertices = 0;
  for (int i = 0; i < objectCount; ++i) {
    faces += objectList[i].faceIndexCount / 3;
    vertices += objectList[i].vertexCount;
  }
  faceTotal = ClampToInt(faces);
  vertexTotal = ClampToInt(vertices);
}
