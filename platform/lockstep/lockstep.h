// Runs the real program frame-exact: every SwapBuffers advances the virtual
// clock and the offline audio output by exactly one frame, so frame n is shown
// at n * den / num seconds. Used by the capture tool and the program tests.
// Main thread only; install before calling WinMain.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host.h"

namespace sglockstep {

struct FrameRate {
  int64_t num = 60;  // frames per second = num / den
  int64_t den = 1;
};

// "60", "30", "60000/1001": false on anything else (zero, negative, junk).
bool ParseFrameRate(const std::string& text, FrameRate& rate);

struct ScheduledKey {
  double seconds;  // show time: the key is handled before the first frame at or after it
  int virtualKey;
};

// "20:F3,35:Space": false with a message on bad input, or on more than
// kMaxScheduledKeys keys.
constexpr size_t kMaxScheduledKeys = 4096;
bool ParseKeySchedule(const std::string& text, std::vector<ScheduledKey>& keys, std::string& error);

// "1280x720": false with a message unless both sides are whole numbers from
// 1 to `largest` (what the GL can draw into), so nothing is allocated for a
// surface that cannot be.
bool ParseSurfaceSize(const std::string& text, int largest, int& width, int& height, std::string& error);

struct Options {
  FrameRate rate;
  int width = 1920;
  int height = 1080;
  std::vector<ScheduledKey> keys;
  // Called for every swapped frame (context current, back buffer intact)
  // with the frame's show time in seconds.
  std::function<void(const host::FrameInfo&, double seconds)> onFrame;
};

// Frame n's show time, in exact integer ratios: ticks, seconds and samples.
int64_t FrameTicks(const FrameRate& rate, int64_t frame);
double FrameSeconds(const FrameRate& rate, int64_t frame);
uint64_t FrameSample(const FrameRate& rate, int64_t frame, int sampleRate);

// Installs the hooks: virtual clock, offline audio, dialog answered GO!,
// message boxes logged to standard error, the surface at the given size.
void Install(const Options& options);

}  // namespace sglockstep
