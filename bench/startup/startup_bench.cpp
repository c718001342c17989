// Start-up and memory benchmark of the real program, headless at 1920 x 1080.
//
//   bench_startup startup [runs]   process start to the first frame, and its
//                                  parts, median of `runs` (default 5)
//   bench_startup memory           peak resident memory over the whole show
//
// Start-up: the parent takes the time, then starts this executable again
// (fork and exec, so loading the program counts) to run WinMain on the real
// clock and the silent real-time output; the child reports when main began,
// the span of each scene init (startup_spans.cpp) and its first frames.
// Memory: the show from start to end on frame-locked clocks at 5 frames a
// second (every scene, the model and the music), the audio mix dropped as it
// is made; the kernel's high-water mark of resident memory is the figure.
// Run from the build folder (the program reads datas/ from there).
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "host.h"
#include "lockstep.h"
#include "sequence/music.h"
#include "startup_spans.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

using Figures = std::map<std::string, double>;  // name to milliseconds

// ---- In the child ----

double g_mainStart = 0.0;
double g_firstSwap = -1.0;
double g_firstScene = -1.0;

int RunStartupChild() {
  g_mainStart = benchstartup::MonotonicSeconds();
  host::SetDialogAnswer(host::DialogAnswer::Go);
  host::SetSurfaceSize(kWidth, kHeight);
  audio_host::SelectOutput(audio_host::Output::Silent);
  benchstartup::InstallInitProbes();
  host::SetSwapHook([](const host::FrameInfo&) {
    double now = benchstartup::MonotonicSeconds();
    if (g_firstSwap < 0.0) g_firstSwap = now;
    if (g_firstScene < 0.0 && g_musicSeconds > 0.0f) {
      g_firstScene = now;
      host::QueueKey(VK_ESCAPE);
    }
  });
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  std::printf("main %.9f\nfirstSwap %.9f\nfirstScene %.9f\n", g_mainStart, g_firstSwap, g_firstScene);
  for (const benchstartup::Span& span : benchstartup::Spans()) {
    std::printf("span %d %.9f %.9f %.9f %s\n", span.calls, span.seconds, span.firstStart, span.lastEnd,
                span.name.c_str());
  }
  return code;
}

long StatusKilobytes(const char* field) {
  std::FILE* file = std::fopen("/proc/self/status", "r");
  if (file == nullptr) return -1;
  char line[256];
  long value = -1;
  size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, file)) {
    if (std::strncmp(line, field, length) == 0) value = std::atol(line + length + 1);
  }
  std::fclose(file);
  return value;
}

int RunMemoryChild() {
  sglockstep::Options options;
  options.rate = {5, 1};
  options.width = kWidth;
  options.height = kHeight;
  options.onFrame = [](const host::FrameInfo&, double) {
    static std::vector<int16_t> mix;
    audio_host::OfflineTakeMix(mix);
  };
  sglockstep::Install(options);
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  std::printf("frames %d\nmusic %.3f\npeakKb %ld\n", host::SwapCount(), static_cast<double>(g_musicSeconds),
              StatusKilobytes("VmHWM:"));
  return code;
}

// ---- In the parent ----

// Runs this executable with `mode` and returns what it printed.
bool RunSelf(const char* self, const char* mode, std::string& out, double& started) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::fflush(nullptr);
  started = benchstartup::MonotonicSeconds();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl(self, self, mode, static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  close(fds[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The spans' names in content setup's order, as the child reported them.
std::vector<std::string> g_initNames;

Figures StartupFigures(const std::string& out, double started) {
  Figures f;
  double mainStart = 0, firstSwap = 0, firstScene = 0, initsStart = -1, initsEnd = 0;
  char name[128];
  std::vector<std::string> names;
  const char* line = out.c_str();
  while (*line) {
    int calls = 0;
    double seconds = 0, start = 0, end = 0;
    if (std::sscanf(line, "main %lf", &mainStart) == 1 || std::sscanf(line, "firstSwap %lf", &firstSwap) == 1 ||
        std::sscanf(line, "firstScene %lf", &firstScene) == 1) {
    } else if (std::sscanf(line, "span %d %lf %lf %lf %127[^\n]", &calls, &seconds, &start, &end, name) == 5) {
      f[name] = seconds * 1000.0;
      f["scene inits"] += seconds * 1000.0;
      names.push_back(name);
      if (initsStart < 0) initsStart = start;
      initsEnd = end;
    }
    const char* next = std::strchr(line, '\n');
    if (next == nullptr) break;
    line = next + 1;
  }
  g_initNames = names;
  f["to main"] = (mainStart - started) * 1000.0;
  f["before the scene inits"] = (initsStart - mainStart) * 1000.0;
  f["after the scene inits"] = (firstSwap - initsEnd) * 1000.0;
  f["to first frame"] = (firstSwap - started) * 1000.0;
  f["to first scene"] = (firstScene - started) * 1000.0;
  return f;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

void Row(const char* label, const std::vector<Figures>& runs, const std::string& key, const char* unit = "ms") {
  std::vector<double> values;
  for (const Figures& f : runs) {
    auto found = f.find(key);
    if (found != f.end()) values.push_back(found->second);
  }
  if (values.empty()) return;
  std::printf("| %-44s | %9.1f %s |\n", label, Median(values), unit);
}

int Startup(const char* self, int runs) {
  std::vector<Figures> all;
  for (int i = 0; i < runs; ++i) {
    std::string out;
    double started = 0;
    if (!RunSelf(self, "child-startup", out, started)) {
      std::fprintf(stderr, "bench_startup: the program run failed:\n%s\n", out.c_str());
      return 1;
    }
    all.push_back(StartupFigures(out, started));
  }
  std::printf("| **Start-up** (%d x %d, headless, median of %d runs) | |\n", kWidth, kHeight, runs);
  Row("process start to first frame", all, "to first frame");
  Row("  exec and loading, to main()", all, "to main");
  Row("  setup dialog, window, context, frame timer", all, "before the scene inits");
  Row("  scene inits (the bitmap loads among them)", all, "scene inits");
  for (const std::string& scene : g_initNames) Row(("    " + scene).c_str(), all, scene);
  Row("  strip texture, model, textures, audio start", all, "after the scene inits");
  Row("first frame showing a scene", all, "to first scene");
  return 0;
}

// The value of a "key value" line.
std::string Field(const std::string& out, const std::string& key) {
  size_t at = out.find(key + " ");
  while (at != std::string::npos && at != 0 && out[at - 1] != '\n') at = out.find(key + " ", at + 1);
  if (at == std::string::npos) return "";
  size_t start = at + key.size() + 1;
  return out.substr(start, out.find('\n', start) - start);
}

int Memory(const char* self) {
  std::string out;
  double started = 0;
  if (!RunSelf(self, "child-memory", out, started)) {
    std::fprintf(stderr, "bench_startup: the program run failed:\n%s\n", out.c_str());
    return 1;
  }
  double peakMb = std::atof(Field(out, "peakKb").c_str()) / 1024.0;
  std::printf("| peak resident memory over the show (%s frames to %s s) | %9.1f MB |\n", Field(out, "frames").c_str(),
              Field(out, "music").c_str(), peakMb);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "child-startup") return RunStartupChild();
  if (mode == "child-memory") return RunMemoryChild();
  // The running executable itself, wherever it was started from.
  const char* self = "/proc/self/exe";
  if (mode == "startup") return Startup(self, argc > 2 ? std::max(1, std::atoi(argv[2])) : 5);
  if (mode == "memory") return Memory(self);
  std::fprintf(stderr, "usage: bench_startup startup [runs] | memory   (run in the build folder)\n");
  return 2;
}
