// The headless back end's state: what the host hooks have set (surface size,
// clock, scripted input and answers, injected failures) and what it reports
// back. One instance per process, main thread only; host::Reset() restores
// the defaults below.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "host.h"

namespace sgwin {

// A key press or close request queued by the host, not yet in the queue.
struct HostInput {
  UINT message;  // WM_KEYDOWN or WM_CLOSE
  WPARAM wParam;
};

struct HostState {
  // Display and surface.
  int surfaceWidth = 0;
  int surfaceHeight = 0;
  bool alphaForReadBack = false;
  host::DisplayModes displayModes = host::DisplayModes::Default;
  bool modeActive = false;

  // Clock.
  bool virtualClock = false;
  int64_t virtualTicksPerSecond = 0;
  int64_t virtualTicks = 0;
  bool failFrequency = false;
  bool failCounter = false;

  // Input.
  std::deque<HostInput> input;

  // Frames and contexts.
  std::function<void(const host::FrameInfo&)> swapHook;
  std::function<void()> contextReleaseHook;
  int swapCount = 0;
  host::ContextCounts contexts = {0, 0, 0, 0};

  // Message boxes and the setup dialog.
  std::deque<int> messageBoxAnswers;
  std::vector<host::MessageBoxRecord> messageBoxes;
  host::DialogAnswer dialogAnswer = host::DialogAnswer::Interactive;
  std::vector<int> dialogClicks;  // for DialogAnswer::Clicks

  // Failure injection.
  std::set<host::Step> failingSteps;
  std::set<std::string> hiddenProcs;
};

HostState& Host();

// True when the host made this step fail.
bool StepFails(host::Step step);

}  // namespace sgwin
