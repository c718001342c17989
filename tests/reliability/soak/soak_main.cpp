// stormglass-soak: plays the show again and again for a while, each run in a
// fresh child process (the program's state is static), with random keys, and
// judges every run: no crash, no hang (a watchdog on the child's reports),
// every frame drawn with the scene of its music position, and memory flat
// after the warm-up: resident size and heap in use within each run, heap in
// use from run to run.
//
//   stormglass-soak [--seconds N] [--warmup S] [--seed N] [--audio silent|sdl]
//                   [--size WxH] [--no-memory-check] [--single [--lockstep FPS]]
//
// --single makes one run in this process, with no child and no watchdog
// (for valgrind); --lockstep runs it on frame-locked clocks.
// --no-memory-check reports memory without judging it (sanitizer builds,
// whose shadow memory and quarantine grow by design).
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "soak_run.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kFlatKilobytes = 1024;     // allowed growth after the warm-up
constexpr int kSilenceLimitSeconds = 20;  // a child that reports nothing this long is hung

struct Options {
  double seconds = 600.0;
  double warmup = -1.0;  // default: a minute, or half of a short soak
  uint32_t seed = 0;
  sgsoak::AudioOut audio = sgsoak::AudioOut::Silent;
  int width = 320;
  int height = 180;
  bool single = false;
  bool memoryCheck = true;
  int lockstepFps = 0;
};

// Memory in kB at a moment of a run: resident (all of it) and the C heap in
// use (every thread's allocations not yet freed).
struct RssSample {
  double seconds;
  long kilobytes;
  long heapKilobytes;
};

struct RunReport {
  int index = 0;
  sgsoak::RunPlan plan;
  bool exited = false;
  int exitCode = -1;
  int signal = 0;
  bool hung = false;
  bool ended = false;  // the "end" line came
  bool noEnd = false;
  long frames = 0, wrong = 0, stale = 0, keys = 0, seeks = 0, samples = 0, swaps = 0;
  double seconds = 0.0;
  double tourEnd = -1.0;  // when the opening tour was over
  float endMusicSeconds = 0.0f;
  int lastKey = -1;
  std::vector<RssSample> rss;
  std::vector<std::string> problems;  // lines worth showing
};

bool ParseSize(const char* text, int& width, int& height) {
  return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--single") {
      o.single = true;
      continue;
    }
    if (arg == "--no-memory-check") {
      o.memoryCheck = false;
      continue;
    }
    if (value == nullptr) return false;
    ++i;
    if (arg == "--seconds") {
      o.seconds = std::atof(value);
    } else if (arg == "--warmup") {
      o.warmup = std::atof(value);
    } else if (arg == "--seed") {
      o.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
    } else if (arg == "--audio" && (std::strcmp(value, "silent") == 0 || std::strcmp(value, "sdl") == 0)) {
      o.audio = std::strcmp(value, "sdl") == 0 ? sgsoak::AudioOut::Sdl : sgsoak::AudioOut::Silent;
    } else if (arg == "--size") {
      if (!ParseSize(value, o.width, o.height)) return false;
    } else if (arg == "--lockstep") {
      o.lockstepFps = std::atoi(value);
      if (o.lockstepFps <= 0) return false;
    } else {
      return false;
    }
  }
  if (o.warmup < 0.0) o.warmup = std::min(60.0, o.seconds / 2.0);
  if (o.seed == 0) o.seed = static_cast<uint32_t>(Clock::now().time_since_epoch().count());
  return o.seconds > 0.0;
}

// One line of the child's report.
void ReadLine(const std::string& line, RunReport& r) {
  std::istringstream in(line);
  std::string key;
  in >> key;
  if (key == "rss") {
    RssSample sample{};
    in >> sample.seconds >> sample.kilobytes >> sample.heapKilobytes;
    r.rss.push_back(sample);
  } else if (key == "frames") {
    in >> r.frames >> r.wrong >> r.stale;
  } else if (key == "end") {
    int code = 0;
    in >> code >> r.frames >> r.wrong >> r.stale >> r.keys >> r.seeks >> r.samples >> r.swaps >> r.seconds >>
        r.endMusicSeconds >> r.lastKey;
    r.ended = true;
  } else if (key == "tour") {
    in >> r.tourEnd;
  } else if (key == "noend") {
    r.noEnd = true;
    r.problems.push_back(line);
  } else if (key == "wrong" || key == "stale" || key == "box") {
    r.problems.push_back(line);
  }
}

// Reads the child's lines until it closes its end; kills it when it falls
// silent for too long.
void Supervise(pid_t pid, int fd, RunReport& r) {
  std::string pending;
  Clock::time_point lastHeard = Clock::now();
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, 500);
    if (ready > 0) {
      char buffer[4096];
      ssize_t n = read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      lastHeard = Clock::now();
      pending.append(buffer, static_cast<size_t>(n));
      size_t newline;
      while ((newline = pending.find('\n')) != std::string::npos) {
        ReadLine(pending.substr(0, newline), r);
        pending.erase(0, newline + 1);
      }
    }
    if (Clock::now() - lastHeard > std::chrono::seconds(kSilenceLimitSeconds)) {
      r.hung = true;
      kill(pid, SIGKILL);
      break;
    }
  }
}

RunReport RunChild(int index, const sgsoak::RunPlan& plan) {
  RunReport r;
  r.index = index;
  r.plan = plan;
  int fds[2];
  if (pipe(fds) != 0) {
    r.problems.push_back("pipe failed");
    return r;
  }
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    dup2(fds[1], STDOUT_FILENO);
    close(fds[1]);
    int code = sgsoak::RunShow(plan);
    std::fflush(nullptr);
    std::_Exit(code);
  }
  close(fds[1]);
  Supervise(pid, fds[0], r);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) {
    r.exited = true;
    r.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    r.signal = WTERMSIG(status);
  }
  return r;
}

// Memory at the end of the warm-up (and of the run's opening tour), and the
// most it grew past that; false when the run was too short to tell.
struct MemoryAfterWarmup {
  long resident = 0, residentGrowth = 0;
  long heap = 0, heapGrowth = 0;
};

bool AfterWarmup(const RunReport& r, double warmup, MemoryAfterWarmup& m) {
  if (r.tourEnd < 0.0) return false;
  warmup = std::max(warmup, r.tourEnd);
  auto first = std::find_if(r.rss.begin(), r.rss.end(), [&](const RssSample& s) { return s.seconds >= warmup; });
  if (first == r.rss.end() || r.rss.back().seconds < warmup + 5.0) return false;
  m = MemoryAfterWarmup{first->kilobytes, 0, first->heapKilobytes, 0};
  for (auto it = first; it != r.rss.end(); ++it) {
    m.residentGrowth = std::max(m.residentGrowth, it->kilobytes - m.resident);
    m.heapGrowth = std::max(m.heapGrowth, it->heapKilobytes - m.heap);
  }
  return true;
}

bool Judge(const RunReport& r, double warmup, bool memoryCheck, std::vector<MemoryAfterWarmup>& levels) {
  bool ok = true;
  auto fail = [&](const std::string& why) {
    std::printf("  run %d FAILED: %s\n", r.index, why.c_str());
    ok = false;
  };
  if (r.hung) fail("hung (no report for " + std::to_string(kSilenceLimitSeconds) + " s), killed");
  if (r.signal != 0) fail(std::string("ended by signal ") + strsignal(r.signal));
  if (r.exited && r.exitCode != 0) fail("exit code " + std::to_string(r.exitCode));
  if (!r.ended && !r.hung && r.signal == 0) fail("no end report");
  if (r.noEnd) fail(std::string("the ending (") + sgsoak::EndingName(r.plan.ending) + ") did not end the show");
  if (r.wrong > 0) fail(std::to_string(r.wrong) + " frames drew the wrong scene");
  if (r.stale > 0) fail(std::to_string(r.stale) + " frames drew a stale music position");
  if (r.frames == 0) fail("no frame drawn");
  if (r.tourEnd < 0.0 && r.plan.keySeconds >= 60.0 && r.ended && r.keys > 0 && r.seconds >= r.plan.keySeconds) {
    fail("the opening tour of the scenes did not finish: the seek keys did not take the show where they should");
  }
  for (const std::string& line : r.problems) std::printf("    %s\n", line.c_str());
  MemoryAfterWarmup m;
  if (AfterWarmup(r, warmup, m)) {
    levels.push_back(m);
    if (memoryCheck && m.residentGrowth >= kFlatKilobytes) {
      fail("resident memory grew by " + std::to_string(m.residentGrowth) + " kB after the warm-up");
    }
    if (memoryCheck && m.heapGrowth >= kFlatKilobytes) {
      fail("the heap grew by " + std::to_string(m.heapGrowth) + " kB after the warm-up");
    }
  }
  return ok;
}

// How the run actually ended: the music at its end, Esc, or the close box.
const char* HowItEnded(const RunReport& r) {
  if (!r.ended) return "-";
  if (r.endMusicSeconds >= 74.0f) return "show end";
  if (r.lastKey == 0x1B) return "Esc";
  if (r.lastKey == 0) return "close box";
  return "?";
}

void PrintRun(const RunReport& r, double warmup) {
  MemoryAfterWarmup m;
  bool measured = AfterWarmup(r, warmup, m);
  long first = r.rss.empty() ? 0 : r.rss.front().kilobytes;
  long peak = 0;
  for (const RssSample& s : r.rss) peak = std::max(peak, s.kilobytes);
  char rssText[96];
  if (measured) {
    std::snprintf(rssText, sizeof rssText, "%7.1f %7.1f %+6ld %7.2f %+6ld", m.resident / 1024.0, peak / 1024.0,
                  m.residentGrowth, m.heap / 1024.0, m.heapGrowth);
  } else {
    std::snprintf(rssText, sizeof rssText, "%7s %7.1f %6s %7s %6s", "-", peak / 1024.0, "-", "-", "-");
  }
  std::printf("%3d %6.1f %7ld %6.1f %5ld %5ld %5ld %6.1f %-9s %-9s %4d %7.1f %s %5ld %5ld\n", r.index, r.seconds,
              r.frames, r.seconds > 0 ? r.frames / r.seconds : 0.0, r.keys, r.seeks, r.samples, r.tourEnd,
              sgsoak::EndingName(r.plan.ending), HowItEnded(r), r.exited ? r.exitCode : -r.signal, first / 1024.0,
              rssText, r.wrong, r.stale);
  std::fflush(stdout);
}

sgsoak::RunPlan PlanRun(const Options& o, std::mt19937& random, int index, double remaining) {
  sgsoak::RunPlan plan;
  plan.seed = o.seed + static_cast<uint32_t>(index);
  plan.audio = o.audio;
  plan.width = o.width;
  plan.height = o.height;
  // Long enough to judge memory after the warm-up, leaving time to end.
  double wanted = std::uniform_real_distribution<double>(o.warmup + 10.0, o.warmup + 80.0)(random);
  plan.keySeconds = std::max(3.0, std::min(wanted, remaining - 12.0));
  const sgsoak::Ending endings[] = {sgsoak::Ending::ShowEnd,     sgsoak::Ending::ShowEnd, sgsoak::Ending::SeekPastEnd,
                                    sgsoak::Ending::SeekPastEnd, sgsoak::Ending::Escape,  sgsoak::Ending::Close};
  plan.ending = endings[random() % 6];
  return plan;
}

int Soak(const Options& o) {
  std::mt19937 random(o.seed);
  std::printf("soak: %.0f s, warm-up %.0f s, seed %u, %dx%d, audio %s\n", o.seconds, o.warmup, o.seed, o.width,
              o.height, o.audio == sgsoak::AudioOut::Silent ? "silent output" : "SDL");
  std::printf(
      "                                                                           resident memory                heap\n"
      "run    secs  frames    fps  keys seeks space   tour plan      ended     exit rss@0MB @warmMB   maxMB grewkB "
      "@warmMB grewkB wrong stale\n");
  std::fflush(stdout);
  Clock::time_point start = Clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  std::vector<MemoryAfterWarmup> levels;
  bool ok = true;
  long frames = 0, wrong = 0, keys = 0;
  int runs = 0;
  while (runs == 0 || o.seconds - elapsed() > 15.0) {
    ++runs;
    RunReport r = RunChild(runs, PlanRun(o, random, runs, o.seconds - elapsed()));
    PrintRun(r, o.warmup);
    ok = Judge(r, o.warmup, o.memoryCheck, levels) && ok;
    frames += r.frames;
    wrong += r.wrong;
    keys += r.keys;
  }
  // From run to run, each a fresh process: no run may settle with more heap
  // in use than an earlier one did. (The resident size of a fresh process
  // differs by a megabyte or two from one to the next with the library pages
  // it happened to touch, so it is shown, and judged within runs only.)
  long residentSpread = 0, heapBuildUp = 0;
  for (size_t k = 0; k < levels.size(); ++k) {
    for (size_t e = 0; e < k; ++e) {
      residentSpread = std::max(residentSpread, std::labs(levels[k].resident - levels[e].resident));
      heapBuildUp = std::max(heapBuildUp, levels[k].heap - levels[e].heap);
    }
  }
  std::printf(
      "soak: %d runs in %.0f s, %ld frames checked, %ld wrong, %ld keys; after the warm-up, over %zu runs: resident "
      "memory within %ld kB of each other, heap build-up from run to run %ld kB\n",
      runs, elapsed(), frames, wrong, keys, levels.size(), residentSpread, heapBuildUp);
  if (o.memoryCheck && heapBuildUp >= kFlatKilobytes) {
    std::printf("soak FAILED: the heap builds up from run to run (%ld kB)\n", heapBuildUp);
    ok = false;
  }
  std::printf("soak: %s\n", ok ? "PASS" : "FAIL");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: stormglass-soak [--seconds N] [--warmup S] [--seed N] [--audio silent|sdl] [--size WxH]\n"
                 "                       [--no-memory-check] [--single [--lockstep FPS]]\n");
    return 2;
  }
  if (o.single) {
    sgsoak::RunPlan plan;
    plan.seed = o.seed;
    plan.keySeconds = o.seconds;
    plan.ending = sgsoak::Ending::Escape;
    plan.audio = o.audio;
    plan.width = o.width;
    plan.height = o.height;
    plan.lockstepFps = o.lockstepFps;
    plan.watchdog = false;
    return sgsoak::RunShow(plan);
  }
  return Soak(o);
}
