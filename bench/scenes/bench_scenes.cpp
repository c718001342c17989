// Scene benchmark: every scene at 1920 x 1080 for a few hundred frames on
// the real OpenGL, headless, each frame waited for with glFinish. Reports
// the frame time as a ratio to a floor measured in the same run (clear plus
// one full-screen additive textured quad), best of three rounds that take
// turns, and the share of the frame spent
// in our own code outside OpenGL, which bench_scenes_cpu measures by running
// the same frames with every OpenGL and GLU call made empty.
//
//   bench_scenes [frames]        (default 300)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/shell.h"
#include "host.h"
#include "scene_frames.h"
#include "scenes/scene2.h"
#include "scenes/screen_overlay.h"
#include "sequence/timeline.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kWarmUpFrames = 10;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

GLuint g_floorTexture = 0;

void DrawFloorFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushAttrib(kAllAttribBits);
  DrawScreenOverlay(g_floorTexture, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
  glPopAttrib();
}

// Milliseconds a frame, every frame finished before the next.
template <typename Draw>
double MillisecondsPerFrame(int firstFrame, int frames, Draw draw) {
  for (int i = 0; i < kWarmUpFrames; ++i) draw(firstFrame + i);
  glFinish();
  Clock::time_point start = Clock::now();
  for (int i = 0; i < frames; ++i) {
    draw(firstFrame + kWarmUpFrames + i);
    glFinish();
  }
  return SecondsSince(start) * 1000.0 / frames;
}

// Microseconds a frame of our own code, by scene name, from bench_scenes_cpu.
std::map<std::string, double> OwnCodeMicroseconds(int frames) {
  std::map<std::string, double> result;
  std::string command = std::string(BENCH_SCENES_CPU) + " " + std::to_string(frames);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char line[256];
  while (std::fgets(line, sizeof line, pipe)) {
    char name[64];
    double micros = 0;
    if (std::sscanf(line, "own %63[^=]=%lf", name, &micros) == 2) result[name] = micros;
  }
  pclose(pipe);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  if (frames <= 0) {
    std::fprintf(stderr, "usage: bench_scenes [frames]\n");
    return 2;
  }
  host::SetSurfaceSize(kWidth, kHeight);
  if (!CreateDemoWindow("bench", kWidth, kHeight, 32, 0)) {
    std::fprintf(stderr, "bench_scenes: no OpenGL window\n");
    return 1;
  }
  glViewport(0, 0, kWidth, kHeight);
  std::string note = benchscenes::PrepareScenes(true, BENCH_SOUNDTRACK);
  g_floorTexture = g_scene2OverlayTexture;
  std::printf("%d frames a scene at %d x %d on %s; %s\n", frames, kWidth, kHeight,
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)), note.c_str());

  // The machine is shared: the floor and the scenes take turns in rounds,
  // and each keeps its best round.
  const int rounds = 3;
  const int perRound = (frames + rounds - 1) / rounds;
  const int configs = 1 + static_cast<int>(std::size(benchscenes::kSceneRuns));
  std::vector<double> best(configs, 1e30);
  for (int round = 0; round < rounds; ++round) {
    const int first = round * (perRound + kWarmUpFrames);
    best[0] = std::min(best[0], MillisecondsPerFrame(first, perRound, [](int) { DrawFloorFrame(); }));
    for (int c = 1; c < configs; ++c) {
      const benchscenes::SceneRun& run = benchscenes::kSceneRuns[c - 1];
      const double ms = MillisecondsPerFrame(first, perRound, [&run](int i) { benchscenes::DrawSceneFrame(run, i); });
      best[c] = std::min(best[c], ms);
    }
  }
  std::map<std::string, double> own = OwnCodeMicroseconds(frames);

  const double floor = best[0];
  std::printf("\n%-8s %10s %9s %14s %10s\n", "", "ms/frame", "x floor", "own code us", "own share");
  std::printf("%-8s %10.2f %9.2f %14s %10s\n", "floor", floor, 1.0, "-", "-");
  bool withinBudget = true;
  for (int c = 1; c < configs; ++c) {
    const benchscenes::SceneRun& run = benchscenes::kSceneRuns[c - 1];
    const double ms = best[c];
    auto found = own.find(run.Name());
    if (found == own.end()) {
      std::printf("%-8s %10.2f %9.2f %14s %10s\n", run.Name(), ms, ms / floor, "?", "?");
      withinBudget = false;
      continue;
    }
    const double share = found->second / (ms * 1000.0);
    withinBudget = withinBudget && share < 0.02;
    std::printf("%-8s %10.2f %9.2f %14.1f %9.3f%%\n", run.Name(), ms, ms / floor, found->second, share * 100.0);
  }
  std::printf("\nown code under 2%% of every scene's frame: %s\n", withinBudget ? "yes" : "NO");
  return withinBudget ? 0 : 1;
}
