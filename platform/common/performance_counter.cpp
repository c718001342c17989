// The performance counter on a monotonic nanosecond clock, or on the host's
// virtual clock; plus Sleep and GetTickCount.
#include <chrono>
#include <thread>

#include "headless/host_state.h"

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

int64_t MonotonicNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  const sgwin::HostState& host = sgwin::Host();
  if (!lpFrequency || host.failFrequency) return FALSE;
  if (host.virtualClock) {
    // Windows never reports a zero frequency; a virtual clock without one fails.
    if (host.virtualTicksPerSecond <= 0) return FALSE;
    lpFrequency->QuadPart = host.virtualTicksPerSecond;
  } else {
    lpFrequency->QuadPart = kNanosecondsPerSecond;
  }
  return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  const sgwin::HostState& host = sgwin::Host();
  if (!lpPerformanceCount || host.failCounter) return FALSE;
  lpPerformanceCount->QuadPart = host.virtualClock ? host.virtualTicks : MonotonicNanoseconds();
  return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds)); }

DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(MonotonicNanoseconds() / 1000000); }
