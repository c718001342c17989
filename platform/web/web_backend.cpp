// The web back end's input, clock, display modes and boxes: the page's keys
// and closing as messages, performance.now() as the counter, full screen
// through the Fullscreen API. A deterministic run (host.h's hooks, set by
// web_main.cpp, a scripted run) sets the page's input and screen aside and
// replaces the clock as on the headless back end.
#include "common/backend.h"
#include "common/message_queue.h"
#include "common/window_table.h"
#include "host/host_state.h"
#include "web/web_dialogs.h"
#include "web/web_page.h"

namespace sgwin {

namespace backend {

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;

void PostPageEvent(HWND target, const sgweb::PageEvent& event) {
  using Kind = sgweb::PageEvent::Kind;
  if (event.kind == Kind::Close) {
    if (!IsMessageWaiting(target, WM_CLOSE)) PostInputMessage(target, WM_CLOSE, 0, 0);
  } else if (event.kind == Kind::KeyDown || event.kind == Kind::KeyUp) {
    if (event.a <= 0 || event.a > 255) return;
    LPARAM bits = event.kind == Kind::KeyUp ? (LPARAM(3) << 30) | 1 : 1;
    PostInputMessage(target, event.kind == Kind::KeyDown ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(event.a), bits);
  }
}

}  // namespace

bool Refuses(Call call) { return StepFails(call); }

// The page's input (or the host's, in a deterministic run) goes to the
// program's window; mouse movements over the show mean nothing to it.
void PumpEvents() {
  HWND target = InputWindow();
  for (sgweb::PageEvent event = sgweb::TakeEvent(); event.kind != sgweb::PageEvent::Kind::None;
       event = sgweb::TakeEvent()) {
    if (target && !Host().scriptedRun) PostPageEvent(target, event);
  }
  if (!target) return;
  for (const HostInput& input : Host().input) PostInputMessage(target, input.message, input.wParam, 0);
  Host().input.clear();
}

bool CounterFrequency(int64_t& ticksPerSecond) {
  ticksPerSecond = Host().virtualClock ? Host().virtualTicksPerSecond : kMicrosecondsPerSecond;
  return true;
}

bool CounterTicks(int64_t& ticks) {
  ticks = Host().virtualClock ? Host().virtualTicks : static_cast<int64_t>(sgweb::NowMilliseconds() * 1000.0);
  return true;
}

// The browser shows the canvas full screen at any size: it scales it.
bool ModeOffered(const DEVMODEA& mode, int width, int height) { return PlausibleMode(mode, width, height); }

void OnDisplayMode(bool fullscreen, int, int) {
  Host().modeActive = fullscreen;
  if (!Host().scriptedRun) sgweb::RequestFullscreen(fullscreen);
}

void ApplyCursor(bool visible) { sgweb::ShowCursor(visible); }

bool ShowMessageBox(const std::string& caption, const std::string& text, UINT type,
                    const std::vector<BoxButton>& buttons, int& pressed) {
  if (Host().scriptedRun) {
    pressed = buttons.front().id;
    Host().messageBoxes.push_back({text, caption, type, pressed});
    return true;
  }
  return sgweb::ShowPageMessageBox(caption, text, type, buttons, pressed);
}

std::unique_ptr<DialogChooser> NewDialogChooser() {
  if (Host().dialogAnswer == host::DialogAnswer::Go) return sgweb::NewScriptedGo();
  return sgweb::NewPageDialogChooser();
}

}  // namespace backend
}  // namespace sgwin
