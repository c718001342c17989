// The scene frames of bench_scenes with every OpenGL and GLU call the scene
// draws make replaced by an empty function (gl_noop.cpp), so that what is
// timed is our own code: the geometry, the trigonometry, the state values,
// the spectrum query and the calls themselves. Prints "own <scene>=<us>",
// microseconds a frame.
//
//   bench_scenes_cpu [frames]    (default 300)
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "scene_frames.h"
#include "scenes/tri_mesh.h"

namespace {

void APIENTRY NoActiveTexture(GLenum) {}
void APIENTRY NoMultiTexCoord(GLenum, GLfloat, GLfloat) {}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  if (frames <= 0) return 2;
  // No context: the entry points are the empty ones too.
  glActiveTextureARB = NoActiveTexture;
  glMultiTexCoord2fARB = NoMultiTexCoord;
  benchscenes::PrepareScenes(false, BENCH_SOUNDTRACK);
  for (const benchscenes::SceneRun& run : benchscenes::kSceneRuns) {
    // Repeated so that the timer's resolution does not matter.
    const int repeats = 20;
    auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < repeats; ++r) {
      for (int i = 0; i < frames; ++i) benchscenes::DrawSceneFrame(run, i);
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("own %s=%.3f\n", run.Name(), seconds * 1e6 / (static_cast<double>(frames) * repeats));
  }
  return 0;
}
