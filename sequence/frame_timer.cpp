// The frame timer over the performance counter. Each reading costs one
// counter query and two multiplications: the frequency is cached as its
// reciprocal on first use.
#include "sequence/frame_timer.h"

#include <cstdio>
#include <cstdlib>

#include "win32.h"

double g_secondsPerCount = -1.0;
double g_timeScale = 1.0;
FrameTimer* g_frameTimer = nullptr;

namespace {

// The timer cannot run without its counter: say so and stop at once.
[[noreturn]] void DieWithoutCounter(const char* message) {
  std::fputs(message, stdout);
  std::fflush(stdout);
  std::_Exit(EXIT_FAILURE);
}

}  // namespace

double TimerSeconds() {
  if (g_secondsPerCount == -1.0) {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) {
      DieWithoutCounter("No freqency !!!\n");
    }
    g_secondsPerCount = 1.0 / static_cast<double>(frequency.QuadPart);
  }
  LARGE_INTEGER count;
  if (!QueryPerformanceCounter(&count)) {
    DieWithoutCounter("No timer !!!\n");
  }
  return static_cast<double>(count.QuadPart) * g_secondsPerCount * g_timeScale;
}

FrameTimer::FrameTimer() {
  Reset();
  paused = 0;
}

FrameTimer::~FrameTimer() {}

void FrameTimer::Reset() {
  last = TimerSeconds();
  delta = 0.0;
  total = 0.0;
}

void FrameTimer::Start() {
  if (paused) {
    paused = 0;
  } else {
    Reset();
  }
}

void FrameTimer::Pause() { paused = 1; }

void FrameTimer::TogglePause() { paused ^= 1; }

void FrameTimer::Update() {
  double now = TimerSeconds();
  double step = now - last;
  last = now;
  if (paused) {
    delta = 0.0;
  } else {
    delta = step;
    total += step;
  }
}

double FrameTimer::Elapsed() const {
  if (paused) {
    return total;
  }
  return total + (TimerSeconds() - last);
}

double FrameTimer::Delta() const { return delta; }

double FrameTimer::Total() const { return total; }

void InitFrameTimer() {
  if (g_frameTimer) {
    return;
  }
  g_frameTimer = new FrameTimer();
  g_frameTimer->Start();
}

double UpdateFrameTimer() {
  g_frameTimer->Update();
  return g_frameTimer->Total();
}

double GetFrameDelta() { return g_frameTimer->Delta(); }

double GetFrameElapsed() { return g_frameTimer->Elapsed(); }

void SetTimeScale(double scale) { g_timeScale = scale; }
