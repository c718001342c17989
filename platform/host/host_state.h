// What the host hooks have set (surface size, clock, scripted input and
// answers, injected failures) and what they report back, for the back ends
// that take them: the headless one and the page's. One instance per process,
// main thread only; host::Reset() restores the defaults below. The
// bookkeeping both back ends do around their surfaces and contexts is here
// too, once.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/window_table.h"
#include "host.h"

namespace sgwin {

// A key press or close request queued by the host, not yet in the queue.
struct HostInput {
  UINT message;  // WM_KEYDOWN or WM_CLOSE
  WPARAM wParam;
};

struct HostState {
  // Driven by the hooks, not by a viewer: a back end with a viewer's input
  // and screen (the page) sets them aside.
  bool scriptedRun = false;

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

// The size of a new surface for `window`: the host's, else the window's
// client size, at least 1 x 1.
void HostSurfaceSize(const Window& window, int& width, int& height);
// A swap of `window`'s surface, before the buffers are swapped: the host's
// hook sees the frame while it is the one drawn on.
void NoteSwap(const Window& window, int width, int height);
enum class ContextEvent { Created, MadeCurrent, ReleasedCurrent, Deleted };
void NoteContext(ContextEvent event);
// The context is about to be released or deleted, still current.
void NoteContextLeaving();
// wglGetProcAddress must not find `name`.
bool ProcHidden(const char* name);

}  // namespace sgwin
