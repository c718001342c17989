#include "soak_run.h"

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "host.h"
#include "lockstep.h"
#include "scene_probe.h"
#include "sequence/music.h"

namespace sgsoak {

namespace {

constexpr double kReportEverySeconds = 1.0;
constexpr double kEndingGraceSeconds = 30.0;  // the show's end is at most 12 s after F4
constexpr int kMaxWrongLines = 20;

const int kInShowSeekKeys[] = {VK_F1, VK_F2, VK_F3, VK_F4};
const int kPastEndKeys[] = {VK_F5, VK_F6, VK_F7, VK_F8};
// Keys the program ignores: they must change nothing.
const char* const kOtherKeys[] = {"A",     "Q",  "Z",    "0",  "9",   "Enter", "Tab", "Left",
                                  "Right", "Up", "Down", "F9", "F10", "F11",   "F12"};

// The tour that opens every run: each scene drawn after every scene it can
// follow (by a seek key or by the music moving on), and the sample. The
// OpenGL driver builds and keeps a program for each new combination of state
// it meets, so memory is judged only after this.
struct TourStep {
  int scene;  // pressed on the first frame of this scene, 0.3 s after the last press
  int key;
};
// clang-format off
const TourStep kTour[] = {
    {1, VK_F2},    {3, VK_F1},     {1, VK_F3},    {4, VK_F4},  // 1-2, 2-3, 3-1, 1-4, 4-4
    {5, VK_F1},    {1, VK_F1},     {2, VK_SPACE}, {2, VK_F2},  // 4-5, 5-1, 1-1, 1-2, 2-2
    {2, VK_F1},    {1, VK_F2},     {3, VK_F2},    {3, VK_F3},  // 2-1, 1-2, 3-2, 3-4
    {4, VK_SPACE}, {4, VK_F1},     {1, VK_F3},    {4, VK_F2},  // 4-1, 1-4, 4-2
    {2, VK_F4},    {5, VK_F2},     {2, VK_F4},    {5, VK_F3},  // 2-4, 5-2, 5-4
    {4, VK_F4},    {5, VK_SPACE},  {5, VK_F4},                 // 5-4
};
// clang-format on
constexpr double kTourKeyGapSeconds = 0.3;

struct RunState {
  RunPlan plan;
  size_t tourStep = 0;
  double lastTourKey = 0.0;
  std::mt19937 random;
  std::chrono::steady_clock::time_point start;
  double nextKey = 0.0;
  double nextReport = 0.0;
  double endingAt = -1.0;  // when the ending was started
  bool endingStarted = false;
  bool nudged = false;
  long frames = 0;
  long wrong = 0;
  long stale = 0;
  long keys = 0;
  long samples = 0;
  long seeks = 0;
  int lastKey = 0;  // 0 for the close box
};

RunState& State() {
  static RunState state;
  return state;
}

double Uniform(std::mt19937& random, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(random);
}

// Resident memory in kB: all of it, its anonymous part (heap, stacks, the
// driver's buffers) and the part that is pages of files (the libraries' code).
struct Resident {
  long total = -1, anonymous = -1, file = -1;
};

Resident ResidentKilobytes() {
  Resident resident;
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return resident;
  char line[256];
  while (std::fgets(line, sizeof line, status)) {
    std::sscanf(line, "VmRSS: %ld", &resident.total);
    std::sscanf(line, "RssAnon: %ld", &resident.anonymous);
    std::sscanf(line, "RssFile: %ld", &resident.file);
  }
  std::fclose(status);
  return resident;
}

void Press(RunState& s, int key) {
  host::QueueKey(key);
  ++s.keys;
  s.lastKey = key;
  std::printf("key %ld 0x%02x %.3f\n", s.frames, key, static_cast<double>(g_musicSeconds));
}

// Mostly seeks inside the show, the sample and ignored keys; rarely Esc.
void PressRandomKey(RunState& s) {
  double pick = Uniform(s.random, 0.0, 1.0);
  if (pick < 0.30) {
    Press(s, kInShowSeekKeys[s.random() % 4]);
    ++s.seeks;
  } else if (pick < 0.55) {
    Press(s, VK_SPACE);
    ++s.samples;
  } else if (pick < 0.999) {
    Press(s, host::VirtualKeyFromName(kOtherKeys[s.random() % (sizeof kOtherKeys / sizeof kOtherKeys[0])]));
  } else {
    Press(s, VK_ESCAPE);
  }
}

void StartEnding(RunState& s, double now) {
  s.endingStarted = true;
  s.endingAt = now;
  switch (s.plan.ending) {
    case Ending::ShowEnd:
      Press(s, VK_F4);
      break;
    case Ending::SeekPastEnd:
      Press(s, kPastEndKeys[s.random() % 4]);
      break;
    case Ending::Escape:
      Press(s, VK_ESCAPE);
      break;
    case Ending::Close:
      host::QueueClose();
      s.lastKey = 0;
      break;
  }
}

bool IsSeekKey(int key) { return key >= VK_F1 && key <= VK_F4; }

void DriveTour(RunState& s, double now) {
  const TourStep& step = kTour[s.tourStep];
  if (now - s.lastTourKey < kTourKeyGapSeconds || ExpectedScene(g_musicSeconds) != step.scene) return;
  Press(s, step.key);
  if (IsSeekKey(step.key)) ++s.seeks;
  if (step.key == VK_SPACE) ++s.samples;
  s.lastTourKey = now;
  if (++s.tourStep == sizeof kTour / sizeof kTour[0]) {
    std::printf("tour %.1f\n", now);
    s.nextKey = now + kTourKeyGapSeconds;
  }
}

void DriveKeys(RunState& s, double now) {
  if (s.tourStep < sizeof kTour / sizeof kTour[0] && now < s.plan.keySeconds) {
    DriveTour(s, now);
    return;
  }
  if (now < s.nextKey) return;
  s.nextKey = now + Uniform(s.random, 0.1, 0.6);
  if (now < s.plan.keySeconds) {
    PressRandomKey(s);
  } else if (!s.endingStarted) {
    StartEnding(s, now);
  } else if (s.plan.ending == Ending::ShowEnd) {
    // Until the end comes by itself: only keys that leave the music alone.
    Press(s, Uniform(s.random, 0.0, 1.0) < 0.3 ? VK_SPACE : host::VirtualKeyFromName("A"));
  }
  if (s.endingStarted && now - s.endingAt > kEndingGraceSeconds && s.plan.watchdog) {
    if (!s.nudged) {
      std::printf("noend %.1f %s\n", now, EndingName(s.plan.ending));
      std::fflush(stdout);
      s.nudged = true;
      Press(s, VK_ESCAPE);
    } else if (now - s.endingAt > 2 * kEndingGraceSeconds) {
      std::abort();  // not even Esc ends it: a hang the supervisor must see
    }
  }
}

// The music position the frame was drawn for must still be the music's:
// it may only have moved on by the time the frame took.
void CheckPosition(RunState& s) {
  float heard = BASS_ChannelBytes2Seconds(g_music, BASS_ChannelGetPosition(g_music));
  float ahead = heard - g_musicSeconds;
  if (ahead < -0.001f || ahead > 2.0f) {
    ++s.stale;
    if (s.stale <= kMaxWrongLines) {
      std::printf("stale %ld %.6f %.6f\n", s.frames, static_cast<double>(g_musicSeconds), static_cast<double>(heard));
    }
  }
}

// Bytes the C heap has handed out and not taken back, of every thread.
long HeapKilobytes() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

void Report(RunState& s, double now) {
  Resident resident = ResidentKilobytes();
  std::printf("rss %.1f %ld %ld %ld %ld\nframes %ld %ld %ld\n", now, resident.total, HeapKilobytes(),
              resident.anonymous, resident.file, s.frames, s.wrong, s.stale);
  std::fflush(stdout);
}

void OnFrame(double now) {
  RunState& s = State();
  ++s.frames;
  std::string problem = CheckFrame(g_musicSeconds, TakeDrawn());
  if (!problem.empty()) {
    ++s.wrong;
    if (s.wrong <= kMaxWrongLines) std::printf("wrong %ld %s\n", s.frames, problem.c_str());
  }
  if (s.plan.lockstepFps == 0) CheckPosition(s);
  if (now >= s.nextReport) {
    Report(s, now);
    s.nextReport = now + kReportEverySeconds;
  }
  DriveKeys(s, now);
}

double WallSeconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now() - State().start).count(); }

void InstallRealTime(const RunPlan& plan) {
  host::SetDialogAnswer(host::DialogAnswer::Go);
  host::SetSurfaceSize(plan.width, plan.height);
  audio_host::SelectOutput(plan.audio == AudioOut::Silent ? audio_host::Output::Silent : audio_host::Output::Automatic);
  host::SetSwapHook([](const host::FrameInfo&) { OnFrame(WallSeconds()); });
}

void InstallLockstep(const RunPlan& plan) {
  sglockstep::Options options;
  options.rate = {plan.lockstepFps, 1};
  options.width = plan.width;
  options.height = plan.height;
  options.onFrame = [](const host::FrameInfo&, double seconds) {
    // The offline output keeps what it mixed for a capture to take: dropped
    // here, or it would pile up.
    static std::vector<int16_t> mix;
    audio_host::OfflineTakeMix(mix);
    OnFrame(seconds);
  };
  sglockstep::Install(options);
}

}  // namespace

const char* EndingName(Ending ending) {
  switch (ending) {
    case Ending::ShowEnd:
      return "show-end";
    case Ending::SeekPastEnd:
      return "past-end";
    case Ending::Escape:
      return "esc";
    case Ending::Close:
      return "close";
  }
  return "?";
}

int RunShow(const RunPlan& plan) {
  RunState& s = State();
  s = RunState{};
  s.plan = plan;
  s.random.seed(plan.seed);
  s.start = std::chrono::steady_clock::now();
  s.nextKey = Uniform(s.random, 0.1, 0.6);
  if (plan.lockstepFps > 0) {
    InstallLockstep(plan);
  } else {
    InstallRealTime(plan);
  }
  if (plan.watchdog) alarm(static_cast<unsigned>(plan.keySeconds + 4 * kEndingGraceSeconds + 60));
  InstallSceneProbe();
  int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  alarm(0);
  double now = plan.lockstepFps > 0 ? static_cast<double>(s.frames) / plan.lockstepFps : WallSeconds();
  Report(s, now);
  for (const host::MessageBoxRecord& box : host::MessageBoxes()) {
    std::printf("box %s|%s\n", box.caption.c_str(), box.text.c_str());
  }
  std::printf("end %d %ld %ld %ld %ld %ld %ld %d %.1f %.3f %d\n", code, s.frames, s.wrong, s.stale, s.keys, s.seeks,
              s.samples, host::SwapCount(), now, static_cast<double>(g_musicSeconds), s.lastKey);
  std::fflush(stdout);
  return code;
}

}  // namespace sgsoak
