// What must hold for any loaded model, whatever the file held: counts match
// arrays, names are terminated, and nothing Render hands to OpenGL points
// past an array. Shared by the reader tests and the fuzzer.
#pragma once

#include <cstring>
#include <string>

#include "assets/model_3ds.h"

namespace sgtest {

inline bool Terminated(const char (&name)[80]) { return std::memchr(name, 0, sizeof name) != nullptr; }

// "" when the model is consistent, else the first problem found.
inline std::string ModelProblem(const Model_3DS& model) {
  if (model.objectCount < 0 || model.materialCount < 0) return "negative count";
  if ((model.objectCount > 0) != (model.objectList != nullptr)) return "object list does not match its count";
  if ((model.materialCount > 0) != (model.materialList != nullptr)) return "material list does not match its count";
  for (int m = 0; m < model.materialCount; ++m) {
    if (!Terminated(model.materialList[m].name)) return "material name not terminated";
  }
  for (int o = 0; o < model.objectCount; ++o) {
    const ModelObject& object = model.objectList[o];
    std::string where = "object " + std::to_string(o) + ": ";
    if (!Terminated(object.name)) return where + "name not terminated";
    if (object.vertexCount < 0 || object.faceIndexCount < 0 || object.groupCount < 0 || object.mapCoordCount < 0)
      return where + "negative count";
    if (object.vertexCount > 0 && (object.vertices == nullptr || object.normals == nullptr))
      return where + "vertices missing";
    if (object.mapCoordCount > 0 && object.mapCoords == nullptr) return where + "mapping coordinates missing";
    if (object.faceIndexCount % 3 != 0) return where + "face index count not a multiple of 3";
    if (object.faceIndexCount > 0 && object.faceIndices == nullptr) return where + "face indices missing";
    if (object.groupCount > 0 && object.groups == nullptr) return where + "groups missing";
    for (int g = 0; g < object.groupCount; ++g) {
      const FaceGroup& group = object.groups[g];
      if (group.indexCount < 0 || group.indexCount % 3 != 0) return where + "bad group index count";
      if (group.indexCount > 0 && group.indices == nullptr) return where + "group indices missing";
      if (group.materialIndex < -1 || group.materialIndex >= model.materialCount)
        return where + "group material out of range";
      for (int i = 0; i < group.indexCount; ++i) {
        if (group.indices[i] >= object.vertexCount) return where + "group index past the vertex list";
      }
    }
  }
  return "";
}

inline int TotalGroups(const Model_3DS& model) {
  int groups = 0;
  for (int o = 0; o < model.objectCount; ++o) groups += model.objectList[o].groupCount;
  return groups;
}

}  // namespace sgtest
