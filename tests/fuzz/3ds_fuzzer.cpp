// libFuzzer target for the 3DS reader: any bytes, read the way LoadFromFile
// reads an opened file (read, unit normals, totals), must give a model whose
// counts match its arrays and whose drawn indices stay inside them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/model_3ds.h"
#include "model_checks.h"

namespace {

// Reads what Render hands to OpenGL, so the sanitizers see any stray index.
float TouchDrawnData(const Model_3DS& model) {
  float sum = 0.0f;
  for (int o = 0; o < model.objectCount; ++o) {
    const ModelObject& object = model.objectList[o];
    for (int g = 0; g < object.groupCount; ++g) {
      const FaceGroup& group = object.groups[g];
      for (int i = 0; i < group.indexCount; ++i) {
        const int v = group.indices[i];
        sum += object.vertices[3 * v] + object.normals[3 * v + 2];
        if (object.hasMapCoords && object.mapCoordCount >= object.vertexCount) sum += object.mapCoords[2 * v + 1];
      }
    }
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Model_3DS model;
  model.LoadFromBytes(data, size);
  std::string problem = sgtest::ModelProblem(model);
  if (!problem.empty()) {
    std::fprintf(stderr, "inconsistent model: %s\n", problem.c_str());
    std::abort();
  }
  volatile float sink = TouchDrawnData(model);
  (void)sink;
  // A second read into the same model must not disturb the first's memory.
  model.LoadFromBytes(data, size / 2);
  return 0;
}
