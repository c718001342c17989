// Load times of the assets: the program's model file, the largest real-world
// 3DS file, and the 21 bitmap textures of content setup in their order, each
// set against a plain baseline measured in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/bitmap_textures.h"
#include "assets/model_3ds.h"
#include "chunk_writer.h"
#include "embedded_resources.h"
#include "gl_test_context.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The loads of content setup, in the order the scene inits make them.
const int kSetupBitmapIds[21] = {101, 201, 121, 183, 198, 138, 201, 203, 206, 210, 209,
                                 211, 212, 213, 131, 197, 180, 122, 106, 138, 214};

template <typename F>
double MedianMs(int runs, F&& f) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    Clock::time_point start = Clock::now();
    f();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The floor for any loader: one open, one read of the whole file, one close.
std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::vector<uint8_t> bytes(fs::file_size(path));
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {};
  size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  bytes.resize(got);
  return bytes;
}

// A stand-in for the program's model when the build has not made it: eight
// objects of a 128 x 128 vertex grid, 32 258 faces each, in two groups.
fs::path WriteLargeModel() {
  std::vector<sgtest::Chunk> contents = {sgtest::SolidMaterial("a", 200, 10, 10), sgtest::SolidMaterial("b", 10, 200, 10)};
  const int side = 128;
  for (int o = 0; o < 8; ++o) {
    std::vector<sgtest::Vec3> vertices;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) vertices.push_back({float(x), float(y), float((x * y + o) % 7)});
    }
    std::vector<sgtest::Tri> faces;
    for (int y = 0; y + 1 < side; ++y) {
      for (int x = 0; x + 1 < side; ++x) {
        uint16_t i = uint16_t(y * side + x);
        faces.push_back({i, uint16_t(i + 1), uint16_t(i + side)});
        faces.push_back({uint16_t(i + 1), uint16_t(i + side + 1), uint16_t(i + side)});
      }
    }
    std::vector<uint16_t> first, second;
    for (size_t f = 0; f < faces.size(); ++f) (f % 2 ? second : first).push_back(uint16_t(f));
    contents.push_back(sgtest::Object("grid" + std::to_string(o),
                                      sgtest::Mesh(vertices, faces,
                                                   {sgtest::FaceGroupChunk("a", first), sgtest::FaceGroupChunk("b", second)})));
  }
  sgtest::Bytes bytes = sgtest::ModelFile(contents);
  fs::path path = fs::temp_directory_path() / "sg_assets_bench_model.3ds";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

// Many materials and many one-face groups naming them: the name lookup must
// not make this quadratic.
fs::path WriteManyMaterialsModel(int count) {
  std::vector<sgtest::Chunk> contents;
  for (int m = 0; m < count; ++m) contents.push_back(sgtest::SolidMaterial("material " + std::to_string(m), 1, 2, 3));
  std::vector<sgtest::Chunk> groups;
  for (int g = 0; g < count; ++g) groups.push_back(sgtest::FaceGroupChunk("material " + std::to_string(count - 1 - g), {0}));
  contents.push_back(sgtest::Object("o", sgtest::Mesh({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 1, 2}}, groups)));
  sgtest::Bytes bytes = sgtest::ModelFile(contents);
  fs::path path = fs::temp_directory_path() / "sg_assets_bench_materials.3ds";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

void BenchModel(const char* label, const fs::path& path, int runs) {
  std::vector<uint8_t> bytes = ReadFile(path);
  Model_3DS probe;
  probe.LoadFromBytes(bytes.data(), bytes.size());
  std::printf("%s: %s, %zu bytes, %d objects, %d materials, %d vertices, %d faces\n", label,
              path.filename().c_str(), bytes.size(), probe.objectCount, probe.materialCount, probe.vertexTotal,
              probe.faceTotal);

  std::string name = path.string();
  double readMs = MedianMs(runs, [&] { (void)ReadFile(path); });
  double parseMs = MedianMs(runs, [&] {
    Model_3DS model;
    model.LoadFromBytes(bytes.data(), bytes.size());
  });
  double loadMs = MedianMs(runs, [&] {
    Model_3DS model;
    std::vector<char> text(name.begin(), name.end());
    text.push_back(0);
    model.LoadFromFile(text.data());
  });
  std::printf("  read file only %.3f ms | read+normals+totals from bytes %.3f ms | LoadFromFile %.3f ms\n", readMs,
              parseMs, loadMs);
  std::printf("  LoadFromFile / read file = %.1f x; %.1f MB/s\n", loadMs / readMs,
              bytes.size() / 1e6 / (loadMs / 1e3));
}

// The same pictures uploaded as they are, one level, no mipmaps.
double PlainUploadsMs() {
  std::vector<GLuint> names(21);
  glGenTextures(21, names.data());
  Clock::time_point start = Clock::now();
  for (int i = 0; i < 21; ++i) {
    const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(kSetupBitmapIds[i]);
    if (bitmap == nullptr) continue;
    glBindTexture(GL_TEXTURE_2D, names[i]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, bitmap->width, bitmap->height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                 bitmap->bits);
  }
  glFinish();
  double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  glDeleteTextures(21, names.data());
  return ms;
}

void BenchBitmaps(int runs) {
  std::vector<double> perId(21, 0.0);
  std::vector<double> totals;
  for (int run = 0; run < runs; ++run) {
    std::vector<GLuint> names;
    double total = 0.0;
    for (int i = 0; i < 21; ++i) {
      Clock::time_point start = Clock::now();
      GLuint name = LoadBitmapTexture(kSetupBitmapIds[i]);
      glFinish();
      double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      if (name == 0) std::printf("  bitmap %d did not load\n", kSetupBitmapIds[i]);
      names.push_back(name);
      perId[i] += ms / runs;
      total += ms;
    }
    glDeleteTextures(GLsizei(names.size()), names.data());
    totals.push_back(total);
  }
  std::sort(totals.begin(), totals.end());
  double median = totals[totals.size() / 2];
  double plain = MedianMs(runs, [] { (void)PlainUploadsMs(); });
  std::printf("content-setup bitmaps: 21 LoadBitmapTexture calls %.1f ms (median of %d); plain level-0 uploads %.1f ms;"
              " ratio %.1f x\n",
              median, runs, plain, median / plain);
  std::vector<int> order(21);
  for (int i = 0; i < 21; ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](int a, int b) { return perId[a] > perId[b]; });
  std::printf("  slowest:");
  for (int k = 0; k < 5; ++k) {
    const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(kSetupBitmapIds[order[k]]);
    std::printf(" %d (%dx%d) %.1f ms;", kSetupBitmapIds[order[k]], bitmap ? bitmap->width : 0,
                bitmap ? bitmap->height : 0, perId[order[k]]);
  }
  std::printf("\n");
}

}  // namespace

int main() {
  sgtest::GLTestContext gl(64, 64);
  if (!gl.Ok()) {
    std::fprintf(stderr, "no offscreen OpenGL context\n");
    return 1;
  }
  std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

  fs::path model = STORMGLASS_MODEL_FILE;
  if (fs::exists(model)) {
    BenchModel("program model", model, 21);
  } else {
    std::printf("(%s not built: timing a generated large model instead)\n", model.c_str());
  }
  fs::path large = WriteLargeModel();
  BenchModel("large generated model", large, 11);
  fs::remove(large);

  for (int count : {2000, 8000}) {
    fs::path many = WriteManyMaterialsModel(count);
    std::string label = std::to_string(count) + " materials and groups";
    BenchModel(label.c_str(), many, 5);
    fs::remove(many);
  }

  const fs::path corpusRoot = STORMGLASS_CORPUS_DIR;
  fs::path corpus = corpusRoot.empty() ? corpusRoot : corpusRoot / "3ds";
  fs::path largest;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(corpus, error)) {
    if (largest.empty() || fs::file_size(entry.path()) > fs::file_size(largest)) largest = entry.path();
  }
  if (!largest.empty()) BenchModel("largest corpus file", largest, 101);

  BenchBitmaps(5);
  return 0;
}
