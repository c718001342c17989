// The host hooks that only set or report state, the state itself, and the
// back ends' bookkeeping of it; the read-back of the back buffer lives with
// each back end's GL surfaces (headless_gl.cpp, web_gl_context.cpp).
#include "common/backend.h"
#include "host/host_state.h"

namespace sgwin {

HostState& Host() {
  static HostState state;
  return state;
}

bool StepFails(host::Step step) { return Host().failingSteps.count(step) != 0; }

void HostSurfaceSize(const Window& window, int& width, int& height) {
  width = Host().surfaceWidth > 0 ? Host().surfaceWidth : window.clientWidth;
  height = Host().surfaceHeight > 0 ? Host().surfaceHeight : window.clientHeight;
  width = width > 0 ? width : 1;
  height = height > 0 ? height : 1;
}

void NoteSwap(const Window& window, int width, int height) {
  if (Host().swapHook && CurrentWindow() == &window) Host().swapHook({Host().swapCount, width, height});
  ++Host().swapCount;
}

void NoteContext(ContextEvent event) {
  host::ContextCounts& counts = Host().contexts;
  switch (event) {
    case ContextEvent::Created: ++counts.created; break;
    case ContextEvent::MadeCurrent: ++counts.madeCurrent; break;
    case ContextEvent::ReleasedCurrent: ++counts.releasedCurrent; break;
    case ContextEvent::Deleted: ++counts.deleted; break;
  }
}

void NoteContextLeaving() {
  if (Host().contextReleaseHook) Host().contextReleaseHook();
}

bool ProcHidden(const char* name) { return Host().hiddenProcs.count(name) != 0; }

}  // namespace sgwin

namespace host {

using sgwin::Host;

void Reset() { Host() = sgwin::HostState(); }

void SetSurfaceSize(int width, int height) {
  bool valid = width > 0 && height > 0;
  Host().surfaceWidth = valid ? width : 0;
  Host().surfaceHeight = valid ? height : 0;
}

void AddAlphaForReadBack(bool add) { Host().alphaForReadBack = add; }

void SetDisplayModes(DisplayModes modes) { Host().displayModes = modes; }

bool DisplayModeChanged() { return Host().modeActive; }

int CursorCounter() { return sgwin::CursorCounter(); }

void SetScriptedRun(bool scripted) { Host().scriptedRun = scripted; }

void UseVirtualClock(int64_t ticksPerSecond) {
  Host().virtualClock = true;
  Host().virtualTicksPerSecond = ticksPerSecond;
}

void SetVirtualTicks(int64_t ticks) { Host().virtualTicks = ticks; }

void AdvanceVirtualTicks(int64_t ticks) { Host().virtualTicks += ticks; }

int64_t VirtualTicks() { return Host().virtualTicks; }

void FailPerformanceFrequency(bool fail) { Host().failFrequency = fail; }

void FailPerformanceCounter(bool fail) { Host().failCounter = fail; }

void QueueKey(int virtualKey) {
  if (virtualKey > 0 && virtualKey < 256) {
    Host().input.push_back({WM_KEYDOWN, static_cast<WPARAM>(virtualKey)});
  }
}

void QueueClose() { Host().input.push_back({WM_CLOSE, 0}); }

void SetSwapHook(std::function<void(const FrameInfo&)> hook) { Host().swapHook = std::move(hook); }

void SetContextReleaseHook(std::function<void()> hook) { Host().contextReleaseHook = std::move(hook); }

int SwapCount() { return Host().swapCount; }

void QueueMessageBoxAnswer(int answer) { Host().messageBoxAnswers.push_back(answer); }

std::vector<MessageBoxRecord> MessageBoxes() { return Host().messageBoxes; }

void SetDialogAnswer(DialogAnswer answer) { Host().dialogAnswer = answer; }

void SetDialogClicks(const std::vector<int>& controlIds) { Host().dialogClicks = controlIds; }

void FailStep(Step step, bool fail) {
  if (fail) {
    Host().failingSteps.insert(step);
  } else {
    Host().failingSteps.erase(step);
  }
}

void HideProcAddress(const std::string& name) { Host().hiddenProcs.insert(name); }

ContextCounts Contexts() { return Host().contexts; }

}  // namespace host
