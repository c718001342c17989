// The performance counter from the back end's clock; Sleep and GetTickCount
// on the monotonic clock.
#include <chrono>
#include <thread>

#include "common/backend.h"

namespace {

int64_t MonotonicNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  int64_t ticksPerSecond = 0;
  // Windows never reports a zero frequency.
  if (!lpFrequency || !sgwin::backend::CounterFrequency(ticksPerSecond) || ticksPerSecond <= 0) return FALSE;
  lpFrequency->QuadPart = ticksPerSecond;
  return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  int64_t ticks = 0;
  if (!lpPerformanceCount || !sgwin::backend::CounterTicks(ticks)) return FALSE;
  lpPerformanceCount->QuadPart = ticks;
  return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds)); }

DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(MonotonicNanoseconds() / 1000000); }
